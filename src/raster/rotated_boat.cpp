#include "raster/rotated_boat.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <cstdlib>
#include <vector>

namespace ventrel {

namespace {

// Tolerance of the ground colour, per channel: the picture is a JPEG, whose
// plain areas wander by a few units.
constexpr int kGroundTolerance = 24;

bool Near(QRgb a, QRgb b, int tol) {
  return std::abs(qRed(a) - qRed(b)) <= tol && std::abs(qGreen(a) - qGreen(b)) <= tol &&
         std::abs(qBlue(a) - qBlue(b)) <= tol;
}

}  // namespace

RotatedBoat::RotatedBoat() {
  Img32boat = PlainBoatMark();
  Image32Rot = QImage(Img32boat.size(), QImage::Format_ARGB32_Premultiplied);
  RotationBat(0);
}

bool RotatedBoat::Load(const QString& file) {
  QImage img;
  if (!img.load(file)) {
    loaded_ = false;
    Img32boat = PlainBoatMark();
    Image32Rot = QImage(Img32boat.size(), QImage::Format_ARGB32_Premultiplied);
    RotationBat(angle_);
    return false;
  }
  return SetPicture(img);
}

bool RotatedBoat::SetPicture(const QImage& picture) {
  if (picture.isNull()) return false;
  Img32boat = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  ClearFrameAndGround(Img32boat, kGroundTolerance);
  Image32Rot = QImage(Img32boat.size(), QImage::Format_ARGB32_Premultiplied);
  loaded_ = true;
  RotationBat(angle_);
  return true;
}

void RotatedBoat::RotationBat(long double angle) {
  angle_ = angle;
  const qreal w = Img32boat.width();
  const qreal h = Img32boat.height();
  // Translate the centre to the origin, rotate, translate back. The centre of
  // pixel (i, j) lies at (i + 0.5, j + 0.5) here, so the centre of the picture,
  // pixel (W - 1) / 2, is at W / 2. Qt's Y grows downwards, so its positive
  // rotation is clockwise on the screen: the counter-clockwise angle of the dial
  // is negated.
  QTransform t;
  t.translate(w / 2, h / 2);
  t.rotate(-static_cast<qreal>(angle));
  t.translate(-w / 2, -h / 2);
  Image32Rot.fill(Qt::transparent);
  {
    QPainter p(&Image32Rot);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(t);
    p.drawImage(0, 0, Img32boat);
  }
  if (changed_) changed_();
}

QImage RotatedBoat::PlainBoatMark() {
  QImage img(kMarkSize, kMarkSize, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal cx = kMarkSize / 2.0;
  // A pointed hull 110 pixels long and 44 wide, bow up, with a square transom.
  QPainterPath hull;
  hull.moveTo(cx, 15);
  hull.cubicTo(cx + 26, 40, cx + 24, 95, cx + 18, 125);
  hull.lineTo(cx - 18, 125);
  hull.cubicTo(cx - 24, 95, cx - 26, 40, cx, 15);
  p.setPen(QPen(QColor(20, 40, 100), 3));
  p.setBrush(QColor(250, 250, 250));
  p.drawPath(hull);
  // Mast and boom along the centre line.
  p.setPen(QPen(QColor(20, 40, 100), 2));
  p.drawLine(QPointF(cx, 50), QPointF(cx, 105));
  p.setBrush(QColor(20, 40, 100));
  p.drawEllipse(QPointF(cx, 50), 4, 4);
  return img;
}

void RotatedBoat::ClearFrameAndGround(QImage& img, int tolerance) {
  img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int w = img.width();
  const int h = img.height();
  if (w == 0 || h == 0) return;
  auto px = [&](int x, int y) -> QRgb& { return reinterpret_cast<QRgb*>(img.scanLine(y))[x]; };
  // The colour just inside the frame is the ground (the frame itself may be a
  // border line of another colour).
  const QRgb ground = (w > 2 && h > 2) ? px(1, 1) : px(0, 0);
  const bool keyGround = qAlpha(ground) == 255;

  std::vector<unsigned char> seen(static_cast<std::size_t>(w) * h, 0);
  std::vector<std::pair<int, int>> stack;
  auto visit = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    const std::size_t k = static_cast<std::size_t>(y) * w + x;
    if (seen[k]) return;
    if (!keyGround || !Near(px(x, y), ground, tolerance)) return;
    seen[k] = 1;
    stack.emplace_back(x, y);
  };
  // The one-pixel frame: transparent whatever its colour; the ground is reached from it.
  for (int x = 0; x < w; ++x) {
    for (int y : {0, h - 1}) {
      px(x, y) = qRgba(0, 0, 0, 0);
      seen[static_cast<std::size_t>(y) * w + x] = 1;
      stack.emplace_back(x, y);
    }
  }
  for (int y = 1; y < h - 1; ++y) {
    for (int x : {0, w - 1}) {
      px(x, y) = qRgba(0, 0, 0, 0);
      seen[static_cast<std::size_t>(y) * w + x] = 1;
      stack.emplace_back(x, y);
    }
  }
  while (!stack.empty()) {
    const auto [x, y] = stack.back();
    stack.pop_back();
    px(x, y) = qRgba(0, 0, 0, 0);
    visit(x + 1, y);
    visit(x - 1, y);
    visit(x, y + 1);
    visit(x, y - 1);
  }
}

}  // namespace ventrel
