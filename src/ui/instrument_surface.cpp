#include "ui/instrument_surface.h"

#include <QPaintEvent>
#include <QPainter>

#include "raster/rotated_boat.h"
#include "model/dial.h"
#include "ui/image_canvas.h"
#include "ui/look.h"

namespace ventrel {

InstrumentSurface::InstrumentSurface(ImageCanvas& canvas, RotatedBoat& boat, QWidget* parent)
    : QWidget(parent), canvas_(canvas), boat_(boat) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void InstrumentSurface::PaintOn(QPainter& p, const QRect& area) {
  p.fillRect(area, look::kNavy);
  if (beforePaint_) beforePaint_();
  p.save();
  if (dialSquare_) p.setClipRegion(QRegion(dialSquare_(), QRegion::Ellipse) & QRegion(area));
  p.drawImage(area.topLeft(), canvas_.image(), area);
  p.restore();
  if (centre_) {
    const t_pCan c = centre_();
    const QImage& b = boat_.image();
    // Centred as the image control: left := Centre.X - round(width / 2).
    p.drawImage(QPoint(c.X - RoundEven(b.width() / 2.0L), c.Y - RoundEven(b.height() / 2.0L)), b);
  }
}

void InstrumentSurface::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  PaintOn(p, e->rect());
}

void InstrumentSurface::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (resized_) resized_(size());
}

QImage InstrumentSurface::Snapshot() {
  QImage img(size(), QImage::Format_ARGB32_Premultiplied);
  QPainter p(&img);
  PaintOn(p, rect());
  return img;
}

DepthBox::DepthBox(ImageCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void DepthBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(0, 0, 255));
  p.drawImage(0, 0, canvas_.image());
}

}  // namespace ventrel
