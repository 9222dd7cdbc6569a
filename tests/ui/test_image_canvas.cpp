// The model's drawing surface on a persistent image: what is drawn stays, and a
// figure drawn again in the ground colour leaves no trace (erase-by-redraw), for
// every primitive the dial uses.

#include <QImage>
#include <QTest>

#include <array>
#include <functional>
#include <set>

#include "sim/colour.h"
#include "ui/image_canvas.h"

using namespace ventrel;

Q_DECLARE_METATYPE(std::function<void(ventrel::Canvas&)>)

namespace {

using Figure = std::function<void(Canvas&)>;
const QColor kCream(255, 251, 240);

}  // namespace

class TestImageCanvas : public QObject {
  Q_OBJECT

 private slots:
  void redrawingInTheGroundColourErases_data() {
    QTest::addColumn<Figure>("figure");
    QTest::newRow("solid line, width 2") << Figure([](Canvas& c) {
      c.SetPenWidth(2);
      c.SetPenStyle(PenStyle::Solid);
      c.Line({10, 10}, {187, 93});
    });
    QTest::newRow("dashed line doubled") << Figure([](Canvas& c) {
      c.SetPenWidth(1);
      c.SetPenStyle(PenStyle::Dash);
      c.Line({20, 150}, {160, 30});
      c.Line({21, 150}, {161, 30});
    });
    QTest::newRow("dotted line") << Figure([](Canvas& c) {
      c.SetPenWidth(1);
      c.SetPenStyle(PenStyle::Dot);
      c.Line({100, 100}, {100, 5});
    });
    QTest::newRow("arrow head") << Figure([](Canvas& c) {
      c.SetPenWidth(2);
      c.SetBrush(c.pen().colour);
      const std::array<t_pCan, 4> head = {{{100, 100}, {89, 95}, {94, 100}, {89, 105}}};
      c.Polygon(head);
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
    QVERIFY(c.image() != before);  // it was drawn
    c.SetPenColour(colours::kCream);
    figure(c);
    QCOMPARE(c.image(), before);  // and it is gone
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
    // Growing the image keeps what is drawn.
    c.Resize(300, 200);
    QCOMPARE(c.image().pixelColor(50, 90), QColor(0, 128, 0));
    QCOMPARE(qAlpha(c.image().pixel(250, 150)), 0);
  }

  void textIsDrawnInItsColourOnly() {
    ImageCanvas c(120, 40, kCream);
    c.Text({5, 5}, "25 nds", colours::kGrey);
    std::set<QRgb> colours;
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 120; ++x) colours.insert(c.image().pixel(x, y));
    }
    QCOMPARE(colours, (std::set<QRgb>{kCream.rgb(), QColor(128, 128, 128).rgb()}));
  }

  void pixelsOutsideTheImageAreIgnored() {
    ImageCanvas c(10, 10, kCream);
    const QImage before = c.image();
    c.Pixel({-1, 5}, colours::kBlack);
    c.Pixel({10, 5}, colours::kBlack);
    c.Pixel({5, 10}, colours::kBlack);
    QCOMPARE(c.image(), before);
  }
};

QTEST_MAIN(TestImageCanvas)
#include "test_image_canvas.moc"
