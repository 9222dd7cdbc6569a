#pragma once
// The instrument dial: compass card, speed scale rings, arrows, dashed
// construction lines, the line towards the waypoint, and the depth box.
//
// Angles here are screen angles in degrees: 0 to the right, counter-clockwise;
// a compass bearing b is drawn at 450 - b. Lengths are pixels. Every real is
// rounded to a screen integer half to even. Nothing is retained: an arrow is
// removed by drawing it again in the dial colour (cream) from its remembered
// origin, angle and length.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "model/canvas.h"
#include "sim/sim_state.h"

namespace ventrel {

// Position and size of a shape of the window, pixels.
struct ShapeRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The dial `Visu` and the ring `VisuBk` behind it, in the two layouts.
inline constexpr ShapeRect kVisuNormal{576, 24, 577, 433};
inline constexpr ShapeRect kVisuBkNormal{576, 11, 577, 457};
inline constexpr ShapeRect kVisuFull{506, 24, 932, 700};
inline constexpr ShapeRect kVisuBkFull{506, 11, 932, 724};

// Full-scale speeds of the dial (knots): with the scale k, k knots are drawn Rayon - 12 pixels long.
inline constexpr int Conv1N_05 = 5, Conv1N_10 = 10, Conv1N_15 = 15, Conv1N_20 = 20, Conv1N_25 = 25,
                     Conv1N_30 = 30;

// Rounds to the nearest integer, halves to even.
std::int32_t RoundEven(long double x);

// The full scale (knots) that the speed `etalon` selects: 5 up to 5, 10 up to 10,
// ... 25 up to 25, otherwise 30.
int ScaleFor(long double etalon);

// What the dial remembers between two ticks (all 0 at program start, 0 meaning
// nothing drawn yet). Lengths in pixels, angles screen degrees.
struct DisplayMemory {
  long double MemTWlgr = 0.0L, MemTWAlpha = 0.0L;    // true wind arrow
  long double MemSWlgr = 0.0L, MemSWAlpha = 0.0L;    // surface wind arrow
  long double MemCURlgr = 0.0L, MemCURAlpha = 0.0L;  // current arrow
  long double MemBSlgr = 0.0L, MemBSAlpha = 0.0L;    // boat speed arrow
  long double MemAWlgr = 0.0L, MemAWAlpha = 0.0L;    // apparent wind arrow
  long double MemSOGlgr = 0.0L, MemCOGalpha = 0.0L;  // ground arrow
  t_pCan MemOrigTW, MemOrigSW, MemOrigAW;            // tails drawn this tick
  t_pCan MemPrecOrigTW, MemPrecOrigSW, MemPrecOrigAW;  // the same, previous tick
  long double factConv = 0.0L;     // scale, pixels per knot
  long double MemFactConv = 0.0L;  // scale of the previous tick
  long double etalon = 20.0L;      // the speed that chose the scale, knots
};

class Dial {
 public:
  static constexpr long double beta = 23.0L;  // half-angle of an arrow head, degrees
  static constexpr long double lf = 12.0L;    // length of the barbs, pixels
  static constexpr long double lf1 = 6.0L;    // depth of the notch on the shaft, pixels
  static constexpr int kDepthBars = 30;

  Dial();
  // The window canvas (dial, compass card, arrows) and the canvas of the depth
  // box; nullptr selects a canvas that draws nothing. Neither is owned. On a
  // canvas that draws nothing (a NullCanvas) the drawing is not worked out at all.
  void SetCanvases(Canvas* window, Canvas* depthBox);
  Canvas& canvas() { return *window_; }
  Canvas& depthCanvas() { return *depth_; }

  // Geometry from the shapes: Rayon := round(Visu height / 2) - 1, RayonBk :=
  // round(VisuBk height / 2), Centre := (Visu left + round(width / 2), Visu top + Rayon).
  void SetShapes(ShapeRect visu, ShapeRect visuBk);
  ShapeRect visu() const { return visu_; }

  t_pCan Centre{};
  std::int32_t Rayon = 0;
  std::int32_t RayonBk = 0;
  DisplayMemory mem;
  // Depth history, bar heights in pixels; index 0 is the newest.
  std::array<std::int32_t, kDepthBars> tabProf{};
  // Size of the depth box, pixels.
  int boxWidth = 152;
  int boxHeight = 110;
  // Whether the depth sentence is switched on: the box then shows the depth and its bars.
  std::function<bool()> DptOn;

  // Redraws the dial shape (a cream disc of radius Rayon), wiping what lies on it.
  void RepaintVisu();
  // The compass card: 360 one-degree marks of 6 pixels, 72 five-degree marks of 10
  // (pen width 1), 12 thirty-degree marks of 10 (pen width 3), from RayonBk - 12 outward.
  void GradueCompas();
  // The point at `lgr` pixels from Centre in the screen direction `angl`.
  t_pCan CoordORIgW(long double lgr, long double angl) const;
  // The point at `lgr` pixels from `org` in the screen direction `angl`.
  static t_pCan PointAt(t_pCan org, long double lgr, long double angl);
  // Arrow of `lgr` pixels from `org` in the direction `angl`, pen width 2, solid,
  // in the pen colour; its shaft stops on the edge of the 40-pixel square around
  // Centre when its tip would fall within 18 pixels of it on both axes.
  void DessFlech(t_pCan org, long double lgr, long double angl);
  // A wind arrow: `lgr` pixels long, from the point in the screen direction `angl`
  // (the side the wind comes from) toward Centre. Returns its tail.
  t_pCan DessFlechVent(long double lgr, long double angl);
  // Dashed arrow from `org` to `dst` (pen width 1, doubled one pixel to the right),
  // its end kept out of the square around Centre and never behind `org`.
  void DessFlechODDash(t_pCan org, t_pCan dst);
  // Dotted line from Centre towards the screen direction `angl`, to the compass card.
  void DessRelWp(long double angl);
  // Draws (trON) or erases the five scale rings and their labels for `fconv`
  // pixels per knot; 1 to 5 knots when mem.etalon <= 5, otherwise 5 to 25.
  void trace_ech(bool trON, long double fconv);
  // Records the depth `dbs` (metres) for the tick counter t and repaints the box.
  void MajProf(std::int32_t t, long double dbs, long double WatrTemp);
  // Paints the depth box: blue ground, water temperature, and when the depth
  // sentence is on, the depth and the 30 bars standing on the bottom edge.
  void PaintBxProfPaint(long double dbs, long double WatrTemp);

 private:
  void Head(t_pCan tip, long double a);
  // The pixels of a ring of radius r, one every `step` degrees (computed once per
  // geometry: the card and the rings are drawn at every tick).
  const std::vector<t_pCan>& RingPixels(std::int32_t r, int step);

  // Segments of the compass card for the geometry in force: 432 thin, then 12 thick.
  std::vector<std::pair<t_pCan, t_pCan>> card_;
  std::map<std::pair<std::int32_t, int>, std::vector<t_pCan>> rings_;

  NullCanvas nullCanvas_;
  Canvas* window_;
  Canvas* depth_;
  bool windowDraws_ = false;
  bool depthDraws_ = false;
  ShapeRect visu_{};
};

}  // namespace ventrel
