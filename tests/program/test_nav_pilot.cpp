// The NAV pilot in a closed loop with a plotter written for the test: it reads
// the boat's position each second and answers with APB and RMB for a route of
// three waypoints, the second leg dead upwind.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "program/boat_commands.h"
#include "program_fixture.h"
#include "sim/timers.h"

namespace ventrel::testing {
namespace {

constexpr long double kPi = 3.14159265358979323846L;
long double Rad(long double d) { return d * kPi / 180; }
long double Deg(long double r) { return r * 180 / kPi; }

struct Point {
  std::string name;
  long double lat, lon;
};

// Great-circle bearing (degrees true) and distance (nautical miles) from a to b.
long double BearingTo(const Point& a, const Point& b) {
  const long double dl = Rad(b.lon - a.lon);
  const long double y = std::sin(dl) * std::cos(Rad(b.lat));
  const long double x = std::cos(Rad(a.lat)) * std::sin(Rad(b.lat)) - std::sin(Rad(a.lat)) * std::cos(Rad(b.lat)) * std::cos(dl);
  return std::fmod(Deg(std::atan2(y, x)) + 360, 360);
}
long double DistanceNm(const Point& a, const Point& b) {
  const long double c = std::sin(Rad(a.lat)) * std::sin(Rad(b.lat)) +
                        std::cos(Rad(a.lat)) * std::cos(Rad(b.lat)) * std::cos(Rad(b.lon - a.lon));
  return Deg(std::acos(std::min(1.0L, c))) * 60;
}
Point Offset(const Point& from, std::string name, long double northNm, long double eastNm) {
  return {std::move(name), from.lat + northNm / 60, from.lon + eastNm / 60 / std::cos(Rad(from.lat))};
}

class TestPlotter {
 public:
  TestPlotter(Point start, std::vector<Point> route, long double arrivalNm)
      : origin_(std::move(start)), route_(std::move(route)), arrivalNm_(arrivalNm) {}

  bool Done() const { return active_ >= route_.size(); }
  std::size_t Reached() const { return active_; }

  // The sentences for the boat at `here`.
  std::vector<SteeringSentence> Answer(const Point& here) {
    std::vector<SteeringSentence> out;
    if (Done()) return out;
    const Point& dest = route_[active_];
    const long double range = DistanceNm(here, dest);
    const bool arrived = range < arrivalNm_;
    // Cross-track: right of the leg positive; the sentences say "negative: steer left".
    const long double leg = BearingTo(origin_, dest);
    const long double fromOrigin = DistanceNm(origin_, here) / 60;
    const long double right =
        Deg(std::asin(std::sin(Rad(fromOrigin)) * std::sin(Rad(BearingTo(origin_, here) - leg)))) * 60;
    ApbSentence apb;
    apb.valid = true;
    apb.crossTrackNm = -right;
    apb.arrivalCircle = arrived;
    apb.originToDestination = Bearing{leg, NorthRef::True};
    apb.destination = dest.name;
    apb.presentToDestination = Bearing{BearingTo(here, dest), NorthRef::True};
    apb.headingToSteer = apb.presentToDestination;
    RmbSentence rmb;
    rmb.valid = true;
    rmb.crossTrackNm = -right;
    rmb.origin = origin_.name;
    rmb.destination = dest.name;
    rmb.latitude = dest.lat;
    rmb.longitude = dest.lon;
    rmb.rangeNm = range;
    rmb.bearingTrue = BearingTo(here, dest);
    rmb.arrived = arrived;
    out.emplace_back(apb);
    out.emplace_back(rmb);
    if (arrived) {
      closest_.push_back(range);
      origin_ = dest;
      ++active_;
    }
    return out;
  }
  const std::vector<long double>& ArrivalRanges() const { return closest_; }

 private:
  Point origin_;
  std::vector<Point> route_;
  long double arrivalNm_;
  std::size_t active_ = 0;
  std::vector<long double> closest_;
};

class NavPilot : public ::testing::Test, public ProgramRig {
 protected:
  void SetUp() override {
    ASSERT_TRUE(cmd.SetTrueWind(15, 0).accepted);
    ASSERT_TRUE(cmd.SetHeading(90).accepted);
    ASSERT_TRUE(cmd.SetCurrent(0, 0, CurrentKind::constant).accepted);
    NavPilotSettings settings;
    settings.corridorNm = 0.08L;
    program.model().SetNavSettings(settings);
    ASSERT_TRUE(cmd.Start().accepted);
    ASSERT_TRUE(cmd.Navigate().accepted);
  }
  // A steady heading and wind (the shipped configuration varies them).
  void Steady() {
    program.params().varyHeading = program.params().varyWindSpeed = program.params().varyWindDirection = false;
  }
  Point Here() const {
    const BoatReadout r = cmd.Readout();
    return {"", r.latitude, r.longitude};
  }

  BoatCommands cmd{program};
  VirtualClock clock{program.model().timers()};
};

TEST_F(NavPilot, SailsARouteWithAnUpwindLeg) {
  EXPECT_EQ(cmd.Readout().pilot, PilotMode::navigation);
  const Point start{"DEPART", Here().lat, Here().lon};
  const Point reach = Offset(start, "EST", 0, 0.3L);
  const Point windward = Offset(reach, "NORD", 0.6L, 0);
  const Point home = Offset(windward, "RETOUR", -0.3L, -0.3L);
  TestPlotter plotter(start, {reach, windward, home}, 0.05L);

  int tacks = 0;
  bool wasTacking = false;
  std::vector<std::string> waypointsSeen, lines;
  for (int second = 0; second < 3 * 3600 && !plotter.Done(); ++second) {
    for (const SteeringSentence& s : plotter.Answer(Here())) {
      const CommandResult r = cmd.Steer(s);
      ASSERT_TRUE(r.accepted) << r.why;
      if (!r.why.empty()) lines.push_back(r.why);
    }
    clock.advance(1000);
    const BoatReadout r = cmd.Readout();
    ASSERT_NE(r.pilot, PilotMode::automatic) << "fell back at second " << second;
    if (r.tacking && !wasTacking) ++tacks;
    wasTacking = r.tacking;
    const std::string& wp = program.model().waypoint().Wp.P.nom;
    if (waypointsSeen.empty() || waypointsSeen.back() != wp) waypointsSeen.push_back(wp);
  }
  ASSERT_TRUE(plotter.Done()) << "waypoints reached: " << plotter.Reached();
  for (const long double range : plotter.ArrivalRanges()) EXPECT_LT(range, 0.05L);
  // The upwind leg of 0.6 nm in a corridor of 0.08 nm takes several tacks.
  EXPECT_GE(tacks, 2);
  EXPECT_EQ(waypointsSeen, (std::vector<std::string>{"EST", "NORD", "RETOUR"}));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Pilote NAV : destination NORD"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Pilote NAV : arrivée à RETOUR"), lines.end());
}

TEST_F(NavPilot, FallsBackToAutoWhenTheOrdersStop) {
  Steady();
  const Point dest = Offset(Here(), "SUD", -2, 0);  // a run: no manoeuvre needed at first
  TestPlotter plotter(Here(), {dest}, 0.05L);
  for (int second = 0; second < 30; ++second) {
    for (const SteeringSentence& s : plotter.Answer(Here())) cmd.Steer(s);
    clock.advance(1000);
  }
  ASSERT_EQ(cmd.Readout().pilot, PilotMode::navigation);
  const std::size_t messages = dialogs.messages.size();
  clock.advance(9000);
  EXPECT_EQ(cmd.Readout().pilot, PilotMode::navigation);
  clock.advance(2000);
  const BoatReadout r = cmd.Readout();
  EXPECT_EQ(r.pilot, PilotMode::automatic);
  ASSERT_EQ(dialogs.messages.size(), messages + 1);
  EXPECT_EQ(dialogs.messages.back(), "Pilote NAV : plus de consigne depuis 10 s, retour en AUTO");
  // AUTO holds the heading it had; the plotter's sentences no longer steer.
  for (const SteeringSentence& s : plotter.Answer(Here())) cmd.Steer(s);
  clock.advance(20000);
  EXPECT_NEAR(cmd.Readout().headingTrue, r.headingTrue, 1e-9L);
}

TEST_F(NavPilot, NamelessApbAndOtherInputSteerNothing) {
  Steady();
  clock.advance(1000);
  const BoatReadout before = cmd.Readout();
  ApbSentence cleared;
  cleared.valid = true;
  cleared.presentToDestination = Bearing{359, NorthRef::Magnetic};
  cleared.headingToSteer = cleared.presentToDestination;
  EXPECT_FALSE(cmd.Steer(cleared).accepted);
  XteSentence xte;
  xte.valid = true;
  xte.crossTrackNm = 3;
  EXPECT_FALSE(cmd.Steer(xte).accepted);
  clock.advance(5000);
  const BoatReadout after = cmd.Readout();
  EXPECT_NEAR(after.headingTrue, before.headingTrue, 1e-9L);
  EXPECT_EQ(after.trueWindDirection, before.trueWindDirection);
  EXPECT_EQ(program.model().waypoint().Wp.P.nom, "Att_Dover");
  EXPECT_FALSE(after.navHeadingAsked);
}

}  // namespace
}  // namespace ventrel::testing

namespace ventrel::testing {
namespace {

// [NAV] as read is what the pilot uses and what a save writes back.
TEST_F(Shipped, NavSectionReachesThePilotAndIsSavedBack) {
  Load("[NAV]\niEntree=1\nsEntree=udp:10111,tcp\niSansSomme=1\ndVirage=5\ndCouloir=0.2\ndPerte=30\n");
  const NavPilotSettings& pilot = program.model().nav().settings;
  EXPECT_EQ(pilot.turnRate, 5);
  EXPECT_EQ(pilot.corridorNm, 0.2L);
  EXPECT_EQ(pilot.lossSeconds, 30);
  const IniFile saved = SaveAs("saved.ini");
  const Configuration c = ReadConfiguration(saved, Configuration{});
  EXPECT_EQ(c.nav, program.Nav());
  EXPECT_TRUE(c.nav.input && c.nav.allowMissingChecksum);
  EXPECT_EQ(c.nav.sources.size(), 2u);
}

}  // namespace
}  // namespace ventrel::testing
