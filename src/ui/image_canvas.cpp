#include "ui/image_canvas.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace ventrel {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

ImageCanvas::ImageCanvas(int width, int height, QColor ground) {
  QFont f(QStringLiteral("Sans Serif"), 8, QFont::Bold);
  f.setStyleHint(QFont::SansSerif);
  SetFont(f);
  Resize(width, height, ground);
}

void ImageCanvas::SetFont(const QFont& f) {
  font_ = f;
  font_.setStyleStrategy(QFont::NoAntialias);
}

void ImageCanvas::Resize(int width, int height, QColor ground) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (!image_.isNull() && image_.width() == width && image_.height() == height) return;
  QImage next(width, height, QImage::Format_ARGB32_Premultiplied);
  next.fill(ground);
  if (!image_.isNull()) {
    QPainter p(&next);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, image_);
  }
  image_ = std::move(next);
}

void ImageCanvas::Clear(QColor ground) { image_.fill(ground); }

QPen ImageCanvas::QtPen() const {
  const Pen& mine = pen();
  QPen qp(ToQColor(mine.colour));
  qp.setWidth(std::max(mine.width, 1));
  switch (mine.style) {
    case PenStyle::Solid: qp.setStyle(Qt::SolidLine); break;
    case PenStyle::Dash: qp.setStyle(Qt::DashLine); break;
    case PenStyle::Dot: qp.setStyle(Qt::DotLine); break;
  }
  qp.setCapStyle(Qt::FlatCap);
  qp.setJoinStyle(Qt::MiterJoin);
  return qp;
}

void ImageCanvas::Line(t_pCan from, t_pCan to) {
  if (image_.isNull()) return;
  QPainter p(&image_);
  p.setPen(QtPen());
  p.drawLine(from.X, from.Y, to.X, to.Y);
}

void ImageCanvas::Polygon(std::span<const t_pCan> points) {
  if (image_.isNull() || points.empty()) return;
  QPolygon poly;
  for (const t_pCan& pt : points) poly << QPoint(pt.X, pt.Y);
  QPainter p(&image_);
  QPen qp = QtPen();
  qp.setWidth(1);
  qp.setStyle(Qt::SolidLine);
  p.setPen(qp);
  p.setBrush(ToQColor(brush()));
  p.drawPolygon(poly);
}

void ImageCanvas::Pixel(t_pCan pt, Rgb colour) {
  if (pt.X < 0 || pt.Y < 0 || pt.X >= image_.width() || pt.Y >= image_.height()) return;
  image_.setPixel(pt.X, pt.Y, qRgb(colour.r, colour.g, colour.b));
}

void ImageCanvas::Text(t_pCan topLeft, std::string_view text, Rgb colour) {
  if (image_.isNull()) return;
  QPainter p(&image_);
  p.setFont(font_);
  p.setPen(ToQColor(colour));
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  p.drawText(QRect(topLeft.X, topLeft.Y, 1000, 100), Qt::AlignLeft | Qt::AlignTop, s);
}

void ImageCanvas::FillRect(t_pCan topLeft, int width, int height, Rgb colour) {
  if (image_.isNull() || width <= 0 || height <= 0) return;
  QPainter p(&image_);
  p.fillRect(topLeft.X, topLeft.Y, width, height, ToQColor(colour));
}

void ImageCanvas::Ellipse(t_pCan topLeft, int width, int height) {
  if (image_.isNull()) return;
  QPainter p(&image_);
  QPen qp = QtPen();
  qp.setStyle(Qt::SolidLine);
  p.setPen(qp);
  p.setBrush(ToQColor(brush()));
  p.drawEllipse(topLeft.X, topLeft.Y, width - 1, height - 1);
}

void ImageCanvas::Disc(t_pCan topLeft, int width, int height, QColor fill, QColor outline) {
  if (image_.isNull()) return;
  const int d = std::min(width, height);
  QPainter p(&image_);
  p.setPen(QPen(outline, 1));
  p.setBrush(fill);
  p.drawEllipse(topLeft.X + (width - d) / 2, topLeft.Y + (height - d) / 2, d - 1, d - 1);
}

}  // namespace ventrel
