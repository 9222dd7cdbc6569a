// The model timers and the virtual clock that fires them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/timers.h"

namespace ventrel {
namespace {

struct Log {
  std::vector<std::pair<std::int64_t, std::string>> fired;
};

// Timers whose handlers log (instant, name).
struct Clocked {
  ModelTimers timers;
  VirtualClock clock{timers};
  Log log;
  Clocked() {
    for (ModelTimer* t : timers.all()) {
      t->setHandler([this, t] { log.fired.emplace_back(clock.now(), t->name()); });
    }
  }
};

TEST(Timers, AllStoppedWithTheirIntervalsAtCreation) {
  ModelTimers t;
  struct Row {
    const ModelTimer* timer;
    int interval;
  };
  const Row rows[] = {{&t.TimerAT, 1000}, {&t.TimerB, 1000},   {&t.TimerC, 1000},    {&t.Timer60, 60000},
                      {&t.TimerV, 1000},  {&t.TimerE, 200},    {&t.TimerPres, 1000}, {&t.TimerLoadCFG, 10000}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.timer->name());
    EXPECT_FALSE(r.timer->enabled());
    EXPECT_EQ(r.timer->interval(), r.interval);
  }
}

TEST(Timers, EnablingARunningTimerDoesNotRestartItsPeriod) {
  Clocked c;
  c.timers.TimerAT.setEnabled(true);
  c.clock.advance(600);
  c.timers.TimerAT.setEnabled(true);  // again: nothing changes
  c.clock.advance(400);
  ASSERT_EQ(c.log.fired.size(), 1u);
  EXPECT_EQ(c.log.fired[0].first, 1000);
}

TEST(Timers, EnablingAStoppedTimerStartsAPeriodFromNow) {
  Clocked c;
  c.timers.TimerAT.setEnabled(true);
  c.clock.advance(600);
  c.timers.TimerAT.setEnabled(false);
  c.timers.TimerAT.setEnabled(true);
  c.clock.advance(1600);
  ASSERT_EQ(c.log.fired.size(), 1u);
  EXPECT_EQ(c.log.fired[0].first, 1600);
}

TEST(Timers, ANewIntervalRestartsTheRunningPeriod) {
  Clocked c;
  c.timers.TimerAT.setEnabled(true);
  c.clock.advance(300);
  c.timers.TimerAT.setInterval(500);
  c.clock.advance(1000);
  ASSERT_EQ(c.log.fired.size(), 2u);
  EXPECT_EQ(c.log.fired[0].first, 800);
  EXPECT_EQ(c.log.fired[1].first, 1300);
}

TEST(Timers, TimersDueTogetherFireInTheOrderTheyWereEnabled) {
  struct Case {
    std::vector<std::string> enableOrder;
  };
  const Case cases[] = {{{"TimerC", "TimerAT", "TimerV"}}, {{"TimerV", "TimerC", "TimerAT"}}};
  for (const Case& k : cases) {
    Clocked c;
    for (const std::string& n : k.enableOrder) {
      for (ModelTimer* t : c.timers.all()) {
        if (t->name() == n) t->setEnabled(true);
      }
    }
    c.clock.advance(2000);
    ASSERT_EQ(c.log.fired.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(c.log.fired[i].second, k.enableOrder[i % 3]) << "firing " << i;
      EXPECT_EQ(c.log.fired[i].first, i < 3 ? 1000 : 2000);
    }
  }
}

TEST(Timers, FiringFollowsTimeAcrossIntervals) {
  Clocked c;
  c.timers.TimerE.setEnabled(true);   // every 200 ms
  c.timers.TimerAT.setEnabled(true);  // every 1000 ms
  c.clock.runFor(10000);
  std::size_t gybe = 0, tick = 0;
  for (std::size_t i = 0; i < c.log.fired.size(); ++i) {
    if (i > 0) {
      EXPECT_LE(c.log.fired[i - 1].first, c.log.fired[i].first);
    }
    (c.log.fired[i].second == "TimerE" ? gybe : tick)++;
  }
  EXPECT_EQ(gybe, 50u);
  EXPECT_EQ(tick, 10u);
  EXPECT_EQ(c.clock.now(), 10000);
}

TEST(Timers, AHandlerThatSwitchesTimersIsObeyedAtOnce) {
  // The end of a current rotation: TimerC stops itself and hands over to TimerAT.
  Clocked c;
  int steps = 0;
  c.timers.TimerC.setHandler([&] {
    if (++steps == 3) {
      c.timers.TimerC.setEnabled(false);
      c.timers.TimerAT.setEnabled(true);
    }
  });
  c.timers.TimerC.setEnabled(true);
  c.clock.advance(5000);
  EXPECT_EQ(steps, 3);
  ASSERT_EQ(c.log.fired.size(), 2u);  // TimerAT at 4000 and 5000
  EXPECT_EQ(c.log.fired[0], std::make_pair(std::int64_t{4000}, std::string("TimerAT")));
  EXPECT_EQ(c.log.fired[1].first, 5000);
}

TEST(Timers, StepJumpsToTheNextDueTimer) {
  Clocked c;
  EXPECT_FALSE(c.clock.step());
  c.timers.Timer60.setEnabled(true);
  c.timers.TimerLoadCFG.setEnabled(true);
  ASSERT_TRUE(c.clock.step());
  EXPECT_EQ(c.clock.now(), 10000);
  EXPECT_EQ(c.log.fired.back().second, "TimerLoadCFG");
  ASSERT_EQ(c.clock.nextDue(c.timers.Timer60), std::optional<std::int64_t>(60000));
  EXPECT_FALSE(c.clock.nextDue(c.timers.TimerAT).has_value());
}

TEST(Timers, AZeroIntervalNeverFires) {
  Clocked c;
  c.timers.TimerAT.setInterval(0);
  c.timers.TimerAT.setEnabled(true);
  c.clock.advance(5000);
  EXPECT_TRUE(c.log.fired.empty());
}

TEST(Timers, TheObserverHearsOnlyRealChanges) {
  struct Counter final : TimerObserver {
    int n = 0;
    void timerChanged(ModelTimer&) override { ++n; }
  };
  ModelTimers t;
  Counter obs;
  t.setObserver(&obs);
  t.TimerAT.setEnabled(true);
  t.TimerAT.setEnabled(true);
  t.TimerAT.setInterval(1000);  // unchanged
  t.TimerB.setInterval(500);    // stopped: nothing to restart
  t.TimerAT.setInterval(500);
  t.TimerAT.setEnabled(false);
  EXPECT_EQ(obs.n, 3);
  t.setObserver(nullptr);
}

}  // namespace
}  // namespace ventrel
