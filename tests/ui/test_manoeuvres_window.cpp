// The manoeuvre and pilot commands from the window: a tack, a gybe, hand
// steering in STDBY with the helm bar, the bar recentred, pause and resume.
// The model's manoeuvres are tested on their own; here the buttons, the bar and
// the displays must drive them and show them.

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <cmath>

#include "ui/controls.h"
#include "window_fixture.h"

using namespace ventrel;
using ventrel::testing::WindowFixture;

namespace {

// The smaller angle between two headings, degrees.
double Turn(double from, double to) {
  double d = std::fmod(std::fabs(to - from), 360.0);
  return d > 180 ? 360 - d : d;
}

void Type(QLineEdit* e, const QString& text) {
  e->setFocus();
  e->selectAll();
  QTest::keyClicks(e, text);
  QTest::keyClick(e, Qt::Key_Tab);
}

}  // namespace

class TestManoeuvresWindow : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ventrel::testing::UseProgramStyle(); }

  void tackTurnsThroughTheWind() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    Type(f.Find<QLineEdit>("EdHDG"), "260");  // 40 degrees off a wind from 220
    f.Find<QPushButton>("BtCalC")->click();
    f.Advance(2000);
    auto* vire = f.Find<QPushButton>("SBtVire");
    QVERIFY(vire->isEnabled());
    QVERIFY(!f.Find<QPushButton>("SBtEmp")->isEnabled());
    const double swa = static_cast<double>(w.model().state().SWA);
    const double before = static_cast<double>(w.model().state().HDG);

    QTest::mouseClick(vire, Qt::LeftButton);
    QVERIFY(w.model().state().VireEncour);
    QCOMPARE(w.panel()["BtBestHaul"].picture(), std::string("JEVIRE.bmp"));
    f.Advance(26000);
    QVERIFY(!w.model().state().VireEncour);
    const double after = static_cast<double>(w.model().state().HDG);
    // Thirteen steps of 2 SWA / 13: the bow crossed the wind by twice the angle.
    QVERIFY2(std::fabs(Turn(before, after) - 2 * swa) < 1.0,
             qPrintable(QString("%1 -> %2, SWA %3").arg(before).arg(after).arg(swa)));
    // The heading box shows the new heading.
    QCOMPARE(f.Find<QLineEdit>("EdCAP")->text().trimmed().toInt(),
             static_cast<int>(std::lround(w.model().state().BS.argt)) % 360);
    QVERIFY(f.Find<QToolButton>("BtBestHaul")->isEnabled());
  }

  void gybeTurnsTheSternThroughTheWind() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    Type(f.Find<QLineEdit>("EdHDG"), "60");  // wind from 220: 160 degrees off the bow
    f.Find<QPushButton>("BtCalC")->click();
    f.Advance(2000);
    auto* emp = f.Find<QPushButton>("SBtEmp");
    QVERIFY(emp->isEnabled());
    const double swa = static_cast<double>(w.model().state().SWA);
    const double before = static_cast<double>(w.model().state().HDG);
    QTest::mouseClick(emp, Qt::LeftButton);
    QVERIFY(w.model().state().EmpEncour);
    QCOMPARE(w.panel()["BtBestHaul"].picture(), std::string("JEMPANNE.bmp"));
    f.Advance(66 * 200 + 1000);
    QVERIFY(!w.model().state().EmpEncour);
    const double after = static_cast<double>(w.model().state().HDG);
    QVERIFY2(std::fabs(Turn(before, after) - (360 - 2 * swa)) < 1.0,
             qPrintable(QString("%1 -> %2, SWA %3").arg(before).arg(after).arg(swa)));
  }

  void standbyFollowsTheHelmBar() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    f.Find<QPushButton>("BtCalC")->click();
    f.Advance(1000);
    auto* bar = f.Find<HelmBar>("TrackBarre");
    QVERIFY(!bar->isEnabled());

    QTest::mouseClick(f.Find<QPushButton>("SpBtStdBY"), Qt::LeftButton);
    QCOMPARE(w.model().state().ModPil, TModPil::STDBY);
    QVERIFY(bar->isEnabled());
    QVERIFY(bar->sliderShown());
    QVERIFY(f.Find<QLineEdit>("LbModPil")->text().contains(QStringLiteral("STDBY")));
    QVERIFY(!f.Find<QPushButton>("SBtVire")->isEnabled());
    QVERIFY(!f.Find<QPushButton>("SBtEmp")->isEnabled());

    // The bar five positions left of the centre: five degrees to starboard a second.
    const double before = static_cast<double>(w.model().state().BS.argt);
    bar->setValue(10);
    f.Advance(3000);
    QCOMPARE(Turn(before, static_cast<double>(w.model().state().BS.argt)), 15.0);

    // The picture beside the bar brings it back to the centre, a position per 100 ms.
    QTest::mouseClick(f.Find<QToolButton>("ImgIndcBarre"), Qt::LeftButton);
    f.Advance(1500);
    QCOMPARE(bar->value(), 15);
    const double held = static_cast<double>(w.model().state().BS.argt);
    f.Advance(2000);
    QCOMPARE(static_cast<double>(w.model().state().BS.argt), held);

    // AUTO: the bar goes grey and thumbless, the manoeuvres come back.
    QTest::mouseClick(f.Find<QPushButton>("SpBtAUTO"), Qt::LeftButton);
    QCOMPARE(w.model().state().ModPil, TModPil::AUTO);
    QVERIFY(!bar->isEnabled());
    QVERIFY(!bar->sliderShown());
    f.Advance(1000);
    QVERIFY(f.Find<QPushButton>("SBtVire")->isEnabled() || f.Find<QPushButton>("SBtEmp")->isEnabled());
  }

  void pauseHoldsTheBoatAndResumeSailsOn() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    f.Find<QPushButton>("BtCalC")->click();
    f.Advance(2000);
    auto* pause = f.Find<QToolButton>("SpBtPauseRes");
    QTest::mouseClick(pause, Qt::LeftButton);
    QVERIFY(w.model().state().StPause);
    QCOMPARE(w.panel()["SpBtPauseRes"].picture(), std::string("Gl_res.bmp"));
    QVERIFY(w.Action("Paramtres1")->isEnabled());
    QVERIFY(w.Action("Ouvrir1")->isEnabled());
    const QString lat = f.Find<QLineEdit>("EdLATmin")->text();
    f.Advance(5000);
    QCOMPARE(f.Find<QLineEdit>("EdLATmin")->text(), lat);

    QTest::mouseClick(pause, Qt::LeftButton);
    QVERIFY(!w.model().state().StPause);
    QCOMPARE(w.panel()["SpBtPauseRes"].picture(), std::string("Gl_pause.bmp"));
    QVERIFY(!w.Action("Paramtres1")->isEnabled());
    f.Advance(3000);
    QVERIFY(f.Find<QLineEdit>("EdLATmin")->text() != lat);
  }
};

QTEST_MAIN(TestManoeuvresWindow)
#include "test_manoeuvres_window.moc"
