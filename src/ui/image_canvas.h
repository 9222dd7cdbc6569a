#pragma once
// The model's drawing surface on a persistent image.
//
// Whatever the model draws stays in the image until drawn over, as on the
// window's canvas: an arrow is removed by drawing it again in the dial colour.
// Nothing is antialiased (text included), so that a second drawing of the same
// figure covers the first exactly and erasing leaves no trace.

#include <QFont>
#include <QImage>

#include "model/canvas.h"

namespace ventrel {

class ImageCanvas final : public Canvas {
 public:
  // An image of `width` x `height` pixels filled with `ground` (transparent by default).
  explicit ImageCanvas(int width = 0, int height = 0, QColor ground = Qt::transparent);

  // Grows or shrinks the image, keeping what is drawn at the same place; new
  // pixels take `ground`.
  void Resize(int width, int height, QColor ground = Qt::transparent);
  void Clear(QColor ground = Qt::transparent);

  const QImage& image() const { return image_; }
  QImage& image() { return image_; }
  // The font of Text (bold 8-point sans-serif, without antialiasing).
  void SetFont(const QFont& f);
  const QFont& font() const { return font_; }

  void Line(t_pCan from, t_pCan to) override;
  void Polygon(std::span<const t_pCan> points) override;
  void Pixel(t_pCan p, Rgb colour) override;
  void Text(t_pCan topLeft, std::string_view text, Rgb colour) override;
  void FillRect(t_pCan topLeft, int width, int height, Rgb colour) override;
  void Ellipse(t_pCan topLeft, int width, int height) override;

  // Filled circle whose diameter is the smaller side of the rectangle, centred in
  // it (as a circle shape of the window draws itself), outlined one pixel wide.
  void Disc(t_pCan topLeft, int width, int height, QColor fill, QColor outline);

 private:
  QPen QtPen() const;

  QImage image_;
  QFont font_;
};

QColor ToQColor(Rgb c);

}  // namespace ventrel
