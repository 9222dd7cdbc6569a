// The model timers and the virtual clock that fires them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim/timers.h"

namespace ventrel {
namespace {

using Fired = std::vector<std::pair<std::int64_t, std::string>>;

// Timers whose handlers log (instant, name).
struct Clocked {
  ModelTimers timers;
  VirtualClock clock{timers};
  Fired fired;
  Clocked() {
    for (ModelTimer* t : timers.all()) t->setHandler([this, t] { fired.emplace_back(clock.now(), t->name()); });
  }
  std::vector<std::int64_t> instants() const {
    std::vector<std::int64_t> out;
    for (const auto& f : fired) out.push_back(f.first);
    return out;
  }
};

TEST(Timers, PeriodAfterEnablingAgainOrANewInterval) {
  // TimerAT enabled at 0, the change made at `at` ms, the clock run to 2000.
  struct Case { const char* what; std::int64_t at; void (*change)(ModelTimer&); std::vector<std::int64_t> fired; };
  const Case cases[] = {
      {"enabled again while running: the period goes on", 600, [](ModelTimer& t) { t.setEnabled(true); }, {1000, 2000}},
      {"stopped and enabled: a period from now", 600, [](ModelTimer& t) { t.setEnabled(false); t.setEnabled(true); },
       {1600}},
      {"a new interval restarts the period", 300, [](ModelTimer& t) { t.setInterval(500); }, {800, 1300, 1800}},
      {"a zero interval never fires", 0,
       [](ModelTimer& t) { t.setEnabled(false); t.setInterval(0); t.setEnabled(true); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clocked k;
    k.timers.TimerAT.setEnabled(true);
    k.clock.advance(c.at);
    c.change(k.timers.TimerAT);
    k.clock.advance(2000 - c.at);
    EXPECT_EQ(k.instants(), c.fired);
  }
}

TEST(Timers, TimersDueTogetherFireInTheOrderTheyWereEnabled) {
  const std::vector<std::string> orders[] = {{"TimerC", "TimerAT", "TimerV"}, {"TimerV", "TimerC", "TimerAT"}};
  for (const auto& order : orders) {
    Clocked c;
    for (const std::string& n : order) {
      for (ModelTimer* t : c.timers.all()) {
        if (t->name() == n) t->setEnabled(true);
      }
    }
    c.clock.advance(2000);
    ASSERT_EQ(c.fired.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(c.fired[i], std::make_pair(std::int64_t{i < 3 ? 1000 : 2000}, order[i % 3])) << "firing " << i;
    }
  }
}

TEST(Timers, FiringFollowsTimeAcrossIntervals) {
  Clocked c;
  c.timers.TimerE.setEnabled(true);   // every 200 ms
  c.timers.TimerAT.setEnabled(true);  // every 1000 ms
  c.clock.runFor(10000);
  const auto t = c.instants();
  EXPECT_TRUE(std::is_sorted(t.begin(), t.end()));
  EXPECT_EQ(std::count_if(c.fired.begin(), c.fired.end(), [](const auto& f) { return f.second == "TimerE"; }), 50);
  EXPECT_EQ(c.fired.size(), 60u);
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
  EXPECT_EQ(c.fired, (Fired{{4000, "TimerAT"}, {5000, "TimerAT"}}));
}

TEST(Timers, StepJumpsToTheNextDueTimer) {
  Clocked c;
  EXPECT_FALSE(c.clock.step());
  c.timers.Timer60.setEnabled(true);
  c.timers.TimerLoadCFG.setEnabled(true);
  ASSERT_TRUE(c.clock.step());
  EXPECT_EQ(c.clock.now(), 10000);
  EXPECT_EQ(c.fired.back().second, "TimerLoadCFG");
  EXPECT_EQ(c.clock.nextDue(c.timers.Timer60), std::optional<std::int64_t>(60000));
  EXPECT_FALSE(c.clock.nextDue(c.timers.TimerAT).has_value());
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
