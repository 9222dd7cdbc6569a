// The boat at the centre of the dial: its picture's frame and plain ground made
// transparent, the rotation about its centre to the heading, and the plain mark
// that stands in for a missing picture.

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

#include "raster/rotated_boat.h"

using namespace ventrel;

namespace {

const QColor kGround(255, 251, 240);

// A 41 x 41 picture on the cream ground: a dark hull bow up, a cream deck closed
// inside it, and a red mark at the bow, 12 pixels above the centre pixel.
QImage TestBoat() {
  QImage img(41, 41, QImage::Format_RGB32);
  img.fill(kGround);
  QPainter p(&img);
  p.fillRect(QRect(15, 6, 11, 29), QColor(20, 40, 100));
  p.fillRect(QRect(17, 14, 7, 18), kGround);  // the deck: ground colour, but inside the hull
  p.fillRect(QRect(19, 7, 3, 3), QColor(255, 0, 0));
  return img;
}

// Centre of the red pixels of an image.
QPointF RedCentre(const QImage& img) {
  double sx = 0, sy = 0;
  int n = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = QColor::fromRgba(img.pixel(x, y));
      if (c.alpha() > 200 && c.red() > 180 && c.green() < 90 && c.blue() < 90) {
        sx += x;
        sy += y;
        ++n;
      }
    }
  }
  return n == 0 ? QPointF(-1, -1) : QPointF(sx / n, sy / n);
}

}  // namespace

class TestBoatPicture : public QObject {
  Q_OBJECT

 private slots:
  void frameAndGroundBecomeTransparent() {
    RotatedBoat boat;
    QVERIFY(boat.SetPicture(TestBoat()));
    const QImage& src = boat.source();
    QCOMPARE(qAlpha(src.pixel(0, 0)), 0);     // the frame
    QCOMPARE(qAlpha(src.pixel(40, 17)), 0);   // the frame
    QCOMPARE(qAlpha(src.pixel(5, 20)), 0);    // the ground joined to the frame
    QCOMPARE(qAlpha(src.pixel(16, 20)), 255); // the hull
    QCOMPARE(qAlpha(src.pixel(20, 20)), 255); // the deck, closed inside the hull
  }

  void rotatesAboutItsCentreToTheHeading_data() {
    QTest::addColumn<double>("heading");
    QTest::addColumn<QPointF>("bow");
    // The bow mark (pixels 19 to 21 by 7 to 9) goes round the centre pixel (20, 20).
    QTest::newRow("north") << 0.0 << QPointF(20, 8);
    QTest::newRow("east") << 90.0 << QPointF(32, 20);
    QTest::newRow("south") << 180.0 << QPointF(20, 32);
    QTest::newRow("west") << 270.0 << QPointF(8, 20);
    const double r = 12 / std::sqrt(2.0);
    QTest::newRow("north-east") << 45.0 << QPointF(20 + r, 20 - r);
    QTest::newRow("south-west") << 225.0 << QPointF(20 - r, 20 + r);
  }

  void rotatesAboutItsCentreToTheHeading() {
    QFETCH(double, heading);
    QFETCH(QPointF, bow);
    RotatedBoat boat;
    QVERIFY(boat.SetPicture(TestBoat()));
    int repaints = 0;
    boat.setChanged([&] { ++repaints; });
    boat.RotationBat(-heading);  // the tick passes minus the heading
    QCOMPARE(repaints, 1);
    QCOMPARE(boat.image().size(), QSize(41, 41));
    const QPointF got = RedCentre(boat.image());
    QVERIFY2(std::hypot(got.x() - bow.x(), got.y() - bow.y()) < 0.6,
             qPrintable(QString("bow at %1, %2").arg(got.x()).arg(got.y())));
  }

  void theShippedPictureLoads() {
    RotatedBoat boat;
    QVERIFY(boat.Load(QStringLiteral(VENTREL_DATA_DIR "/iconbat1.jpg")));
    QVERIFY(boat.loaded());
    QCOMPARE(boat.image().size(), QSize(140, 140));
    QCOMPARE(qAlpha(boat.image().pixel(2, 2)), 0);
    QCOMPARE(qAlpha(boat.image().pixel(137, 137)), 0);
    QCOMPARE(qAlpha(boat.image().pixel(70, 70)), 255);
  }

  void aMissingPictureLeavesThePlainMark() {
    RotatedBoat boat;
    QVERIFY(!boat.Load(QStringLiteral(VENTREL_DATA_DIR "/pas_de_bateau.jpg")));
    QVERIFY(!boat.loaded());
    QCOMPARE(boat.image().size(), QSize(RotatedBoat::kMarkSize, RotatedBoat::kMarkSize));
    QCOMPARE(qAlpha(boat.image().pixel(70, 70)), 255);
    QCOMPARE(qAlpha(boat.image().pixel(2, 2)), 0);
    // The mark turns like the picture: bow up at 0, hull across at 90.
    boat.RotationBat(-90);
    QCOMPARE(qAlpha(boat.image().pixel(70, 20)), 0);
    QVERIFY(qAlpha(boat.image().pixel(118, 70)) > 0);
  }
};

QTEST_MAIN(TestBoatPicture)
#include "test_boat_picture.moc"
