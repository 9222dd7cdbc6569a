// Events played on a running program: ramps, the seconds they come at, refusals
// told, expectations checked at their time and at the end.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "program/program_fixture.h"
#include "scenario/event_player.h"

namespace ventrel::testing {
namespace {

TimedEvent At(std::int64_t seconds, BoatEvent e) { return TimedEvent{seconds, std::move(e), 0, 0}; }

class Player : public ::testing::Test, public ProgramRig {
 protected:
  void SetUp() override {
    // Steady wind and heading: the values read are the values given.
    Params& p = program.params();
    p.varyHeading = p.varyWindSpeed = p.varyWindDirection = false;
    ASSERT_TRUE(cmd.SetCurrent(0, 0, CurrentKind::constant).accepted);
    scenario.durationSeconds = 60;
    scenario.events.push_back(At(0, HeadingEvent{45, 0}));
    scenario.events.push_back(At(0, TrueWindEvent{12, 0, 0}));
  }
  // The events at 0, the start, then the scenario's timer.
  void Run() {
    run = std::make_unique<ScenarioRun>(scenario, player, cmd, program.transmission().cycle(),
                                        program.model().timers().TimerScenario,
                                        [this](const std::string& line) { told.push_back(line); });
    run->BeforeStart();
    ASSERT_TRUE(cmd.Start().accepted);
    run->AfterStart();
  }
  void Seconds(int n) { clock.advance(1000LL * n); }
  const SimState& State() const { return program.model().state(); }

  BoatCommands cmd{program};
  OutputFaults faults;
  EventPlayer player{cmd, program, faults};
  VirtualClock clock{program.model().timers()};
  Scenario scenario;
  std::vector<std::string> told;
  std::unique_ptr<ScenarioRun> run;
};

TEST_F(Player, WindRampReachesItsValueInOneStepASecondAndTheRunGoesOn) {
  scenario.events.push_back(At(5, TrueWindEvent{22, std::nullopt, 10}));
  Run();
  EXPECT_EQ(State().TWS, 12);  // the events at 0 were typed before the start
  EXPECT_NEAR(cmd.Readout().headingTrue, 45, 1e-9);
  Seconds(5);
  for (int k = 1; k <= 10; ++k) {
    Seconds(1);
    EXPECT_NEAR(State().TWS, 12 + k, 1e-12) << k;
    EXPECT_EQ(State().TWD, 0) << k;
    EXPECT_NEAR(cmd.Readout().secondsSinceStart, 5 + k, 1e-9) << k;
  }
  EXPECT_FALSE(player.Ramping());
  EXPECT_GT(State().logTrip, 0.01L);  // one trip since the start
  EXPECT_TRUE(told.empty()) << told.front();
}

TEST_F(Player, DirectionsRampTheShorterWayRound) {
  Run();
  const struct {
    const char* what;
    BoatEvent first, ramp;
    std::vector<long double> steps;  // the value after each second
    long double SimState::*base;     // direction members only
  } cases[] = {
      {"wind through north", TrueWindEvent{std::nullopt, 350, 0}, TrueWindEvent{std::nullopt, 20, 3}, {0, 10, 20},
       &SimState::TWD},
      {"heading through north", HeadingEvent{10, 0}, HeadingEvent{340, 2}, {355, 340}, &SimState::HDG},
      {"current to port", CurrentEvent{1, 100, std::nullopt, 0}, CurrentEvent{std::nullopt, 60, std::nullopt, 4},
       {90, 80, 70, 60}, nullptr},
  };
  std::int64_t ms = 0;
  for (const auto& c : cases) {
    ASSERT_TRUE(player.Play(c.first, ms).accepted) << c.what;
    ASSERT_TRUE(player.Play(c.ramp, ms).accepted) << c.what;
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      ms += 1000;
      EXPECT_TRUE(player.Second(ms).empty()) << c.what;
      const long double seen = c.base ? State().*c.base : State().CUR.argt;
      EXPECT_NEAR(seen, c.steps[i], 1e-9) << c.what << " step " << i + 1;
    }
    EXPECT_FALSE(player.Ramping()) << c.what;
  }
}

TEST_F(Player, EventsComeAfterTheTickOfTheirSecond) {
  scenario.events.push_back(At(4, TrueWindEvent{20, std::nullopt, 0}));
  scenario.events.push_back(At(6, TackEvent{}));
  Run();
  Seconds(3);
  clock.advance(999);
  EXPECT_EQ(cmd.Readout().trueWindSpeed, 12);
  const long double speed = cmd.Readout().boatSpeed;
  clock.advance(1);
  // The wind of second 4 is in the read-out; the boat speed is still the one the
  // tick of that second worked out with the old wind.
  EXPECT_EQ(cmd.Readout().trueWindSpeed, 20);
  EXPECT_EQ(cmd.Readout().boatSpeed, speed);
  Seconds(1);
  EXPECT_GT(cmd.Readout().boatSpeed, speed);
  EXPECT_EQ(cmd.Readout().tacksBegun, 0);
  Seconds(1);
  EXPECT_EQ(cmd.Readout().tacksBegun, 1);
  EXPECT_TRUE(cmd.Readout().tacking);
  EXPECT_EQ(run->Played(), 4);
  EXPECT_EQ(run->Refused(), 0);
}

TEST_F(Player, ButtonsAtSecondZeroComeAfterTheStart) {
  // Written first, the tack still comes after the typed values and the start.
  scenario.events.insert(scenario.events.begin(), At(0, TackEvent{}));
  Run();
  EXPECT_TRUE(told.empty()) << told.front();
  EXPECT_EQ(cmd.Readout().tacksBegun, 1);
  EXPECT_EQ(State().TWS, 12);
}

TEST_F(Player, RefusalsAreToldWithTheirSecond) {
  scenario.events.push_back(At(1, ResumeEvent{}));             // not paused
  scenario.events.push_back(At(2, HeadingEvent{90, 10}));      // a ramp...
  scenario.events.push_back(At(3, TackEvent{}));               // ...stopped by the tack
  scenario.events.push_back(At(5, HeadingEvent{120, 0}));      // the tack steers
  scenario.events.push_back(At(6, PolarPercentEvent{90}));     // waits for the tack
  scenario.events.push_back(At(30, CurrentEvent{1, 90, CurrentKind::alternating, 0}));  // turns at once
  scenario.events.push_back(At(31, CurrentEvent{2, std::nullopt, std::nullopt, 0}));    // the rotation sets it
  Run();
  Seconds(32);
  const std::vector<std::string> expected = {
      "[00:00:01] resume : refusé : ",
      "[00:00:04] heading : refusé : Une manœuvre tient la barre",
      "[00:00:05] heading : refusé : Une manœuvre tient la barre",
      "[00:00:06] polar_percent : refusé : Une manœuvre ou une rotation du courant est en cours",
      "[00:00:31] current : refusé : Le courant alterné est en rotation",
  };
  ASSERT_EQ(told.size(), expected.size());
  for (std::size_t i = 0; i < told.size(); ++i) {
    EXPECT_EQ(told[i].rfind(expected[i], 0), 0U) << told[i];
  }
  EXPECT_EQ(run->Refused(), 4);  // the ramp's end is not an event
  EXPECT_FALSE(player.Ramping());
}

TEST_F(Player, ExpectationsAtTheirTimeAndAtTheEnd) {
  const auto expect = [](ExpectKind kind, std::optional<std::int64_t> at, long double low, long double high) {
    Expectation e;
    e.kind = kind;
    e.atSeconds = at;
    e.low = low;
    e.high = high;
    return e;
  };
  // At the end; after the run stops; at 3 s; at the end, no tack of the scenario's own.
  scenario.expectations = {expect(ExpectKind::speedOverGroundAbove, std::nullopt, 50, 0),
                           expect(ExpectKind::headingBetween, 40, 40, 50), expect(ExpectKind::headingBetween, 3, 40, 50),
                           expect(ExpectKind::tacks, std::nullopt, 0, 0)};
  scenario.expectations.back().maxCount = 0;
  scenario.events.push_back(At(4, HeadingEvent{90, 0}));
  // A tack sailed before the scenario.
  ASSERT_TRUE(cmd.SetTrueWind(12, 0).accepted && cmd.SetHeading(45).accepted && cmd.Start().accepted);
  ASSERT_TRUE(cmd.Tack().accepted);
  Seconds(30);
  ASSERT_FALSE(cmd.Readout().tacking);
  Run();
  Seconds(3);
  ASSERT_EQ(run->Outcomes().size(), 1U);
  EXPECT_EQ(run->Outcomes()[0].checkedAtSeconds, 3);
  EXPECT_TRUE(run->Outcomes()[0].passed) << run->Outcomes()[0].observed;
  Seconds(7);
  run->Finish();
  EXPECT_TRUE(run->Finished());
  ASSERT_EQ(run->Outcomes().size(), 4U);
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(run->Outcomes()[i].checkedAtSeconds, 10);
    EXPECT_EQ(run->Outcomes()[i].passed, i == 3) << run->Outcomes()[i].observed;
  }
  EXPECT_NE(run->Outcomes()[2].observed.find("non vérifiée"), std::string::npos) << run->Outcomes()[2].observed;
  EXPECT_FALSE(run->Passed());
  // The timer is off: nothing more is played or checked.
  EXPECT_FALSE(program.model().timers().TimerScenario.enabled());
}

TEST_F(Player, FaultsForADurationOrUntilCleared) {
  scenario.events.push_back(At(2, FaultEvent{FaultKind::invalidFix, {"RMC"}, 3}));
  scenario.events.push_back(At(2, FaultEvent{FaultKind::dropped, {}, std::nullopt}));
  scenario.events.push_back(At(9, ClearFaultEvent{FaultKind::dropped, {}}));
  scenario.events.push_back(At(10, ClearFaultEvent{std::nullopt, {}}));  // nothing left
  Run();
  const std::vector<std::size_t> active = {0, 0, 2, 2, 2, 1, 1, 1, 1, 0, 0};  // at each second
  for (std::size_t second = 0; second < active.size(); ++second) {
    if (second > 0) Seconds(1);
    EXPECT_EQ(faults.Active().size(), active[second]) << second;
  }
  ASSERT_EQ(told.size(), 1U);
  EXPECT_EQ(told[0], "[00:00:10] clear_fault : Aucun défaut en cours ne correspond : rien à lever.");
}

}  // namespace
}  // namespace ventrel::testing
