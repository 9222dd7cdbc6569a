#pragma once
// The drawing surfaces the dial is drawn on, and the rotating boat picture.
//
// Coordinates are screen pixels, X to the right, Y downwards. The pen and the
// brush are state of the canvas, set by the drawing code before each primitive
// (as on the window's canvas); each primitive is drawn with the state in force.

#include <span>
#include <string_view>

#include "model/colour.h"
#include "sim/sim_state.h"

namespace ventrel {

enum class PenStyle { Solid, Dash, Dot };
// Only the copy mode is used: the pen colour replaces the pixels.
enum class PenMode { Copy };

struct Pen {
  Rgb colour{};
  int width = 1;
  PenStyle style = PenStyle::Solid;
  PenMode mode = PenMode::Copy;
  friend bool operator==(const Pen&, const Pen&) = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  const Pen& pen() const { return pen_; }
  void SetPenColour(Rgb c) { pen_.colour = c; }
  void SetPenWidth(int w) { pen_.width = w; }
  void SetPenStyle(PenStyle s) { pen_.style = s; }
  void SetPenMode(PenMode m) { pen_.mode = m; }
  // Solid brush: the fill of polygons and ellipses.
  Rgb brush() const { return brush_; }
  void SetBrush(Rgb c) { brush_ = c; }

  // Segment from `from` to `to` with the pen.
  virtual void Line(t_pCan from, t_pCan to) = 0;
  // Closed polygon filled with the brush and outlined with the pen.
  virtual void Polygon(std::span<const t_pCan> points) = 0;
  // One pixel of the given colour.
  virtual void Pixel(t_pCan p, Rgb colour) = 0;
  // Text whose top-left corner is at `topLeft`, transparent background.
  virtual void Text(t_pCan topLeft, std::string_view text, Rgb colour) = 0;
  // Rectangle of `width` x `height` pixels from `topLeft`, filled with `colour`, no outline.
  virtual void FillRect(t_pCan topLeft, int width, int height, Rgb colour) = 0;
  // Ellipse inscribed in the rectangle, filled with the brush and outlined with the pen.
  virtual void Ellipse(t_pCan topLeft, int width, int height) = 0;

 private:
  Pen pen_{};
  Rgb brush_{colours::kWhite};
};

// A canvas that draws nothing (no window, or a benchmark of the model alone).
class NullCanvas final : public Canvas {
 public:
  void Line(t_pCan, t_pCan) override {}
  void Polygon(std::span<const t_pCan>) override {}
  void Pixel(t_pCan, Rgb) override {}
  void Text(t_pCan, std::string_view, Rgb) override {}
  void FillRect(t_pCan, int, int, Rgb) override {}
  void Ellipse(t_pCan, int, int) override {}
};

// The boat picture at the centre of the dial.
class BoatPicture {
 public:
  virtual ~BoatPicture() = default;
  // Redraws the boat rotated by `angle` degrees (screen convention, counter-clockwise
  // positive: the tick passes minus the heading).
  virtual void RotationBat(long double angle) = 0;
};

class NullBoatPicture final : public BoatPicture {
 public:
  void RotationBat(long double) override {}
};

}  // namespace ventrel
