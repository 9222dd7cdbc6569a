// The real-time driver of the model timers: periods kept on their deadlines
// whatever the handlers cost, the same order of firing as the virtual clock, and
// the end of a run.

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <string>
#include <limits>
#include <utility>
#include <vector>

#include "sim/timers.h"
#include "ui/timer_driver.h"

using namespace ventrel;

namespace {

using Firing = std::pair<std::int64_t, std::string>;

// Two timers started together by a handler (so on the same deadline), in the
// order TimerNMEA then TimerAT, and a gybe-like timer of its own pace.
template <class Clock>
void Scenario(ModelTimers& timers, Clock clock, std::vector<Firing>& log) {
  timers.TimerAT.setInterval(100);
  timers.TimerNMEA.setInterval(100);
  timers.TimerE.setInterval(70);
  for (ModelTimer* t : {&timers.TimerAT, &timers.TimerNMEA, &timers.TimerE}) {
    t->setHandler([t, clock, &log] { log.push_back({clock(), t->name()}); });
  }
  timers.TimerPres.setInterval(30);
  timers.TimerPres.setHandler([&timers] {
    timers.TimerPres.setEnabled(false);
    timers.TimerNMEA.setEnabled(true);
    timers.TimerAT.setEnabled(true);
    timers.TimerE.setEnabled(true);
  });
  timers.TimerPres.setEnabled(true);
}

}  // namespace

class TestTimerDriver : public QObject {
  Q_OBJECT

 private slots:
  void periodsKeepToTheirDeadlines() {
    ModelTimers timers;
    TimerDriver d(timers);
    std::vector<std::int64_t> instants;
    std::int64_t lastLate = 0;
    timers.TimerAT.setInterval(50);
    timers.TimerAT.setHandler([&] {
      instants.push_back(d.instant());
      lastLate = d.now() - d.instant();
      // Every third handler takes 20 ms: the next deadlines must not move.
      if (instants.size() % 3 == 0) {
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 20) {
        }
      }
    });
    timers.TimerAT.setEnabled(true);
    d.setEnd(1000);
    QSignalSpy finished(&d, &TimerDriver::finished);
    QVERIFY(finished.wait(5000));
    std::vector<std::int64_t> expected;
    for (int k = 1; k <= 20; ++k) expected.push_back(50 * k);
    QCOMPARE(instants, expected);
    QVERIFY2(lastLate < 40, qPrintable(QString("the last period fired %1 ms late").arg(lastLate)));
    // Nothing fires after the end.
    const auto fired = d.fired();
    QTest::qWait(200);
    QCOMPARE(d.fired(), fired);
    QCOMPARE(finished.count(), 1);
  }

  void sameOrderAsTheVirtualClock() {
    std::vector<Firing> real;
    {
      ModelTimers timers;
      TimerDriver d(timers);
      Scenario(timers, [&d] { return d.instant(); }, real);
      d.setEnd(730);
      QSignalSpy finished(&d, &TimerDriver::finished);
      QVERIFY(finished.wait(5000));
    }
    std::vector<Firing> simulated;
    {
      ModelTimers timers;
      VirtualClock vc(timers);
      Scenario(timers, [&vc] { return vc.now(); }, simulated);
      vc.advance(730);
    }
    QCOMPARE(real, simulated);
    // At each shared deadline the tick comes before the phase.
    for (std::size_t i = 0; i + 1 < real.size(); ++i) {
      if (real[i].first == real[i + 1].first && real[i + 1].second == "TimerAT") {
        QVERIFY2(real[i].second != "TimerNMEA", qPrintable(QString("phase before tick at %1").arg(real[i].first)));
      }
    }
    QCOMPARE(real.back(), (Firing{730, "TimerNMEA"}));
  }

  void anEventStartsItsTimersAtItsInstant() {
    ModelTimers timers;
    TimerDriver d(timers);
    std::vector<std::int64_t> at, nmea;
    timers.TimerAT.setInterval(50);
    timers.TimerNMEA.setInterval(50);
    timers.TimerAT.setHandler([&] { at.push_back(d.instant()); });
    timers.TimerNMEA.setHandler([&] { nmea.push_back(d.instant()); });
    // A start that takes 30 ms between the two timers it enables.
    const std::int64_t t0 = d.runEvent([&] {
      timers.TimerAT.setEnabled(true);
      QElapsedTimer busy;
      busy.start();
      while (busy.elapsed() < 30) {
      }
      timers.TimerNMEA.setEnabled(true);
    });
    d.setEnd(t0 + 100);
    QSignalSpy finished(&d, &TimerDriver::finished);
    QVERIFY(finished.wait(5000));
    const std::vector<std::int64_t> expected{t0 + 50, t0 + 100};
    QCOMPARE(at, expected);
    QCOMPARE(nmea, expected);
  }

  void aTimerStoppedByAHandlerDoesNotFire() {
    ModelTimers timers;
    TimerDriver d(timers);
    int e = 0;
    timers.TimerAT.setInterval(20);
    timers.TimerE.setInterval(20);
    // Both started on the same deadline; TimerAT, enabled first, stops TimerE.
    timers.TimerPres.setInterval(10);
    timers.TimerPres.setHandler([&] {
      timers.TimerPres.setEnabled(false);
      timers.TimerAT.setEnabled(true);
      timers.TimerE.setEnabled(true);
    });
    timers.TimerAT.setHandler([&] { timers.TimerE.setEnabled(false); });
    timers.TimerE.setHandler([&] { ++e; });
    timers.TimerPres.setEnabled(true);
    QTest::qWait(150);
    QVERIFY(!d.nextDue(timers.TimerE));
    QCOMPARE(e, 0);
    QVERIFY(d.fired() >= 3);
  }

  // An end far away (a duration of 2^63 - 1 ms) runs like no end: the timers fire,
  // nothing overflows (the sanitizer build stops on a signed overflow).
  void anEndFarAwayIsBoundedAndTimersKeepFiring() {
    const std::int64_t ends[] = {std::numeric_limits<std::int64_t>::max(), TimerDriver::kMaxEndMs + 1,
                                 std::int64_t{1'000'000'000} * 1000};
    for (const std::int64_t end : ends) {
      ModelTimers timers;
      TimerDriver d(timers);
      int fired = 0;
      timers.TimerAT.setInterval(10);
      timers.TimerAT.setHandler([&] { ++fired; });
      d.setEnd(end);  // no timer due yet: the wake-up is worked out from the end alone
      timers.TimerAT.setEnabled(true);
      QTest::qWait(100);
      QVERIFY(fired >= 3);
      QVERIFY(!d.ended());
    }
  }
};

QTEST_GUILESS_MAIN(TestTimerDriver)
#include "test_timer_driver.moc"
