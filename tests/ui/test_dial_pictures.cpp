// The pictures of the dial. The model draws on a persistent image: what is drawn
// stays, in its colour only, and a figure drawn again in the ground colour leaves
// no trace (erase-by-redraw), for every primitive the dial uses. The boat at its
// centre: the picture's frame and plain ground made transparent, the rotation
// about its centre to the heading, and the plain mark for a missing picture.

#include <QPainter>
#include <QTest>

#include <array>
#include <cmath>
#include <functional>
#include <set>

#include "raster/rotated_boat.h"
#include "model/colour.h"
#include "ui/image_canvas.h"

using namespace ventrel;

using Figure = std::function<void(Canvas&)>;
Q_DECLARE_METATYPE(Figure)

namespace {

const QColor kCream(255, 251, 240);

// A 41 x 41 picture on the cream ground: a dark hull bow up, a cream deck closed
// inside it, and a red mark at the bow, 12 pixels above the centre pixel (20, 20).
QImage TestBoat() {
  QImage img(41, 41, QImage::Format_RGB32);
  img.fill(kCream);
  QPainter p(&img);
  p.fillRect(QRect(15, 6, 11, 29), QColor(20, 40, 100));
  p.fillRect(QRect(17, 14, 7, 18), kCream);
  p.fillRect(QRect(19, 7, 3, 3), QColor(255, 0, 0));
  return img;
}

}  // namespace

class TestDialPictures : public QObject {
  Q_OBJECT

 private slots:
  void redrawingInTheGroundColourErases_data() {
    QTest::addColumn<Figure>("figure");
    QTest::newRow("solid line, width 2") << Figure([](Canvas& c) {
      c.SetPenWidth(2);
      c.Line({10, 10}, {187, 93});
    });
    QTest::newRow("dashed line doubled") << Figure([](Canvas& c) {
      c.SetPenStyle(PenStyle::Dash);
      c.Line({20, 150}, {160, 30});
      c.Line({21, 150}, {161, 30});
    });
    QTest::newRow("dotted line") << Figure([](Canvas& c) {
      c.SetPenStyle(PenStyle::Dot);
      c.Line({100, 100}, {100, 5});
    });
    QTest::newRow("arrow head") << Figure([](Canvas& c) {
      c.SetPenWidth(2);
      c.SetBrush(c.pen().colour);
      c.Polygon(std::array<t_pCan, 4>{{{100, 100}, {89, 95}, {94, 100}, {89, 105}}});
    });
    QTest::newRow("ring label") << Figure([](Canvas& c) { c.Text({50, 60}, "15 nds", c.pen().colour); });
    QTest::newRow("ring pixels") << Figure([](Canvas& c) {
      for (int x = 0; x < 200; x += 3) c.Pixel({x, 120}, c.pen().colour);
    });
  }

  void redrawingInTheGroundColourErases() {
    QFETCH(Figure, figure);
    ImageCanvas c(200, 160, kCream);
    const QImage before = c.image();
    c.SetPenColour(colours::kRed);
    figure(c);
    // Drawn, and in its colour only: a blended pixel would survive the erase.
    std::set<QRgb> seen;
    for (int y = 0; y < 160; ++y) {
      for (int x = 0; x < 200; ++x) seen.insert(c.image().pixel(x, y));
    }
    QCOMPARE(seen, (std::set<QRgb>{kCream.rgb(), QColor(255, 0, 0).rgb()}));
    c.SetPenColour(colours::kCream);
    figure(c);
    QCOMPARE(c.image(), before);
  }

  void drawingsStayUntilDrawnOver() {
    ImageCanvas c(100, 100, kCream);
    c.SetPenColour(colours::kBlue);
    c.Line({0, 10}, {99, 10});
    c.SetPenColour(colours::kGreen);
    c.Line({50, 0}, {50, 99});
    QCOMPARE(c.image().pixelColor(10, 10), QColor(0, 0, 255));
    QCOMPARE(c.image().pixelColor(50, 90), QColor(0, 128, 0));
    c.FillRect({0, 0}, 20, 20, colours::kOlive);
    QCOMPARE(c.image().pixelColor(10, 10), QColor(128, 128, 0));
    QCOMPARE(c.image().pixelColor(30, 10), QColor(0, 0, 255));
    // Growing the image keeps what is drawn; pixels outside it are ignored.
    c.Resize(300, 200);
    QCOMPARE(c.image().pixelColor(50, 90), QColor(0, 128, 0));
    QCOMPARE(qAlpha(c.image().pixel(250, 150)), 0);
    const QImage grown = c.image();
    for (const t_pCan p : {t_pCan{-1, 5}, t_pCan{300, 5}, t_pCan{5, 200}}) c.Pixel(p, colours::kBlack);
    QCOMPARE(c.image(), grown);
  }

  void frameAndGroundBecomeTransparent() {
    RotatedBoat boat;
    QVERIFY(boat.SetPicture(TestBoat()));
    // The frame, the ground joined to it, the hull, the deck inside the hull.
    for (const auto& [x, y, alpha] : {std::tuple{0, 0, 0}, {40, 17, 0}, {5, 20, 0}, {16, 20, 255}, {20, 20, 255}}) {
      QVERIFY2(qAlpha(boat.source().pixel(x, y)) == alpha, qPrintable(QString("%1, %2").arg(x).arg(y)));
    }
  }

  void rotatesAboutItsCentreToTheHeading_data() {
    QTest::addColumn<double>("heading");
    QTest::addColumn<QPointF>("bow");
    const double r = 12 / std::sqrt(2.0);
    QTest::newRow("north") << 0.0 << QPointF(20, 8);
    QTest::newRow("east") << 90.0 << QPointF(32, 20);
    QTest::newRow("south") << 180.0 << QPointF(20, 32);
    QTest::newRow("west") << 270.0 << QPointF(8, 20);
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
    QPointF sum;  // of the red pixels
    int n = 0;
    for (int y = 0; y < 41; ++y) {
      for (int x = 0; x < 41; ++x) {
        const QColor c = QColor::fromRgba(boat.image().pixel(x, y));
        if (c.alpha() > 200 && c.red() > 180 && c.green() < 90 && c.blue() < 90) {
          sum += QPointF(x, y);
          ++n;
        }
      }
    }
    sum /= n;
    QVERIFY2(QLineF(sum, bow).length() < 0.6, qPrintable(QString("bow at %1, %2").arg(sum.x()).arg(sum.y())));
  }

  void theShippedPictureOrThePlainMark_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("iconbat1.jpg") << "iconbat1.jpg" << true;
    QTest::newRow("missing") << "pas_de_bateau.jpg" << false;
  }

  void theShippedPictureOrThePlainMark() {
    QFETCH(QString, file);
    QFETCH(bool, loaded);
    RotatedBoat boat;
    QCOMPARE(boat.Load(QStringLiteral(VENTREL_DATA_DIR "/") + file), loaded);
    QCOMPARE(boat.loaded(), loaded);
    QCOMPARE(boat.image().size(), QSize(140, 140));
    QCOMPARE(qAlpha(boat.image().pixel(2, 2)), 0);
    QCOMPARE(qAlpha(boat.image().pixel(137, 137)), 0);
    QCOMPARE(qAlpha(boat.image().pixel(70, 70)), 255);
    if (loaded) return;
    // The mark turns like the picture: bow up at 0, hull across at 90.
    boat.RotationBat(-90);
    QCOMPARE(qAlpha(boat.image().pixel(70, 20)), 0);
    QVERIFY(qAlpha(boat.image().pixel(118, 70)) > 0);
  }
};

QTEST_MAIN(TestDialPictures)
#include "test_dial_pictures.moc"
