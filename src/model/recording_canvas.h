#pragma once
// A canvas that keeps every primitive drawn on it, with the pen and brush in
// force: the tests check the drawing against its formulas, and a recorded run can
// be compared with an expected one.

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "model/canvas.h"

namespace ventrel {

enum class DrawKind { Line, Polygon, Pixel, Text, FillRect, Ellipse };

struct DrawOp {
  DrawKind kind{};
  Pen pen{};
  Rgb brush{};
  std::vector<t_pCan> points;  // Line: 2; Polygon: its corners; Pixel, Text, FillRect, Ellipse: 1
  std::string text;            // Text only
  Rgb colour{};                // Pixel, Text, FillRect
  int width = 0;               // FillRect, Ellipse
  int height = 0;
};

class RecordingCanvas final : public Canvas {
 public:
  std::vector<DrawOp> ops;

  void clear() { ops.clear(); }
  std::size_t count(DrawKind k) const {
    return static_cast<std::size_t>(std::count_if(ops.begin(), ops.end(), [k](const DrawOp& o) { return o.kind == k; }));
  }

  void Line(t_pCan from, t_pCan to) override { push(DrawKind::Line, {from, to}); }
  void Polygon(std::span<const t_pCan> points) override {
    push(DrawKind::Polygon, std::vector<t_pCan>(points.begin(), points.end()));
  }
  void Pixel(t_pCan p, Rgb colour) override { push(DrawKind::Pixel, {p}).colour = colour; }
  void Text(t_pCan topLeft, std::string_view text, Rgb colour) override {
    DrawOp& o = push(DrawKind::Text, {topLeft});
    o.text = std::string(text);
    o.colour = colour;
  }
  void FillRect(t_pCan topLeft, int width, int height, Rgb colour) override {
    DrawOp& o = push(DrawKind::FillRect, {topLeft});
    o.width = width;
    o.height = height;
    o.colour = colour;
  }
  void Ellipse(t_pCan topLeft, int width, int height) override {
    DrawOp& o = push(DrawKind::Ellipse, {topLeft});
    o.width = width;
    o.height = height;
  }

 private:
  DrawOp& push(DrawKind k, std::vector<t_pCan> pts) {
    DrawOp& o = ops.emplace_back();
    o.kind = k;
    o.pen = pen();
    o.brush = brush();
    o.points = std::move(pts);
    return o;
  }
};

}  // namespace ventrel
