// The physics step alone: a few ticks with and without current, the frame held
// against vector sums worked out here from their components (x = m sin a,
// y = m cos a, compass angles), against the state it left, and the cases where
// the step stops or skips the polar.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

#include "nav/geodesy.h"
#include "sim/boat_speed.h"
#include "sim/params.h"
#include "sim/physics_step.h"
#include "sim/sim_state.h"
#include "polar_fixtures.h"

namespace ventrel {
namespace {

using testing::Compass;
using testing::D;
using testing::MakePolar;

constexpr double kTol = 1e-9;
constexpr double kDeg = std::numbers::pi / 180.0;

// The compass sum of two vectors, independent of the code under test.
t_vect CompassSum(t_vect a, t_vect b) {
  const double x = D(a.mdl) * std::sin(D(a.argt) * kDeg) + D(b.mdl) * std::sin(D(b.argt) * kDeg);
  const double y = D(a.mdl) * std::cos(D(a.argt) * kDeg) + D(b.mdl) * std::cos(D(b.argt) * kDeg);
  return {std::hypot(x, y), Compass(std::atan2(x, y) / kDeg)};
}

// Difference of two compass angles, degrees 0..180.
double AngleApart(long double a, long double b) {
  const double d = Compass(D(a) - D(b));
  return d > 180 ? 360 - d : d;
}

void ExpectVector(const t_vect& got, const t_vect& want, const char* what) {
  EXPECT_NEAR(D(got.mdl), D(want.mdl), kTol) << what;
  if (want.mdl > 1e-6) {
    EXPECT_NEAR(AngleApart(got.argt, want.argt), 0.0, kTol) << what;
  }
}

bool Same(const t_vect& a, const t_vect& b) { return a.mdl == b.mdl && a.argt == b.argt; }

// Every cell the same speed: the polar gives it at any angle and wind in range.
constexpr long double kPolarSpeed = 6.0L;
PolarTable FlatPolar(long double speed) {
  return MakePolar({40, 90, 180}, {6, 16, 25}, {{speed, speed, speed}, {speed, speed, speed}, {speed, speed, speed}});
}

struct Rig {
  PolarTable polar;
  BoatSpeedModel speed{polar};
  Params params;
  Mercator chart;
  SimState s;
  WaypointState w;

  Rig(const t_vect& current, long double tws, long double twd, long double heading, long double boatSpeed,
      TModPil mode, PolarTable table = FlatPolar(kPolarSpeed))
      : polar(std::move(table)) {
    s.CUR = current;
    s.TWS = tws;
    s.TWD = twd;
    s.TW = {tws, twd};
    s.HDG = heading;
    s.BS = {boatSpeed, heading};
    s.ModPil = mode;
    s.offset_surf = 0.5L;
    s.Pact.lat = 45.0L;
    s.Pact.long_ = 355.0L;
    s.Memo_Pos = s.Pact;
  }
  PhysicsFrame Step() { return AdvancePhysics(s, w, PhysicsInputs{speed, params, chart}); }
};

struct TickCase {
  const char* name;
  t_vect current;  // speed, direction towards
  long double tws, twd, heading, startSpeed;
  TModPil mode;
};

const std::vector<TickCase> kTickCases = {
    {"no current, wind on the beam", {0, 0}, 12, 270, 0, 5, TModPil::AUTO},
    {"current across the bow", {2, 90}, 12, 270, 0, 5, TModPil::AUTO},
    {"current astern of the beam, broad reach", {1.5, 200}, 8, 150, 20, 3, TModPil::AUTO},
    {"STDBY against a current", {3, 180}, 16, 45, 315, 4, TModPil::STDBY},
};

TEST(PhysicsStep, FrameHoldsTheVectorSumsAndTheStateItLeft) {
  for (const TickCase& c : kTickCases) {
    SCOPED_TRACE(c.name);
    Rig r(c.current, c.tws, c.twd, c.heading, c.startSpeed, c.mode);
    const bool withCurrent = c.current.mdl != 0;
    long double previousSpeed = c.startSpeed;
    t_vect previousGround = r.s.OG;
    for (int tick = 0; tick < 5; ++tick) {
      SCOPED_TRACE(tick);
      const long double latBefore = r.s.Pact.lat;
      const PhysicsFrame f = r.Step();

      EXPECT_EQ(f.tickBefore, tick);
      EXPECT_EQ(r.s.t, tick + 1);
      EXPECT_FALSE(f.boatSpeedUndefined);

      // Without variations the wind is the base wind. The apparent wind and the
      // first ground vector use the speed of the previous tick, the second the
      // speed from the polar; the heading is kept.
      ExpectVector(f.trueWind, {c.tws, c.twd}, "true wind");
      ExpectVector(f.surfaceWind, CompassSum(f.trueWind, c.current), "surface wind");
      ExpectVector(f.boatBeforePolar, {previousSpeed, c.heading}, "boat before the polar");
      ExpectVector(f.apparentWind, CompassSum(f.boatBeforePolar, f.surfaceWind), "apparent wind");
      ExpectVector(f.groundBeforePolar, CompassSum(c.current, f.boatBeforePolar), "ground before the polar");
      ExpectVector(f.boatAfterPolar, {kPolarSpeed, c.heading}, "boat after the polar");
      ExpectVector(f.groundAfterPolar, CompassSum(c.current, f.boatAfterPolar), "ground after the polar");

      // The frame is the state the step left.
      EXPECT_TRUE(Same(f.current, c.current) && Same(f.trueWind, r.s.TW) && Same(f.surfaceWind, r.s.SW) &&
                  Same(f.apparentWind, r.s.AW) && Same(f.boatAfterPolar, r.s.BS) &&
                  Same(f.groundAfterPolar, r.s.OG) && r.s.SOG == r.s.OG.mdl && r.s.COG == r.s.OG.argt);
      if (!withCurrent) {
        EXPECT_TRUE(Same(f.surfaceWind, f.trueWind));
      }

      // The drift is read on the ground vector before the polar.
      if (withCurrent) {
        EXPECT_NEAR(D(r.s.Deriv), AngleApart(f.groundBeforePolar.argt, c.heading), kTol);
      } else {
        EXPECT_EQ(r.s.Deriv, 0);
      }

      // The depth stays in its band, 13 m plus or minus 6, the transducer 0.5 m under the surface.
      EXPECT_TRUE(f.depthBelowSurface >= 7 && f.depthBelowSurface <= 19) << D(f.depthBelowSurface);
      EXPECT_NEAR(D(f.depthBelowTransducer), D(f.depthBelowSurface) - 0.5, 1e-12);
      EXPECT_TRUE(f.depthBelowSurface == r.s.dbs && f.depthBelowTransducer == r.s.depthBelowTransducer);

      // Dead reckoning moves the boat one second along the ground vector of the
      // previous tick: the rhumb line changes the latitude by d cos(course) / 60.
      EXPECT_TRUE(f.positionStepped);
      const double miles = D(previousGround.mdl) / 3600;
      EXPECT_NEAR(D(r.s.Pact.lat - latBefore), miles * std::cos(D(previousGround.argt) * kDeg) / 60, 1e-12);
      EXPECT_EQ(r.s.Memo_Pos.lat, r.s.Pact.lat);

      previousSpeed = f.boatAfterPolar.mdl;
      previousGround = f.groundAfterPolar;
    }
  }
}

TEST(PhysicsStep, PolarWithoutSpeedStopsTheStepUnlessAManoeuvreHoldsTheSpeed) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  struct Case {
    const char* name;
    bool tacking;
    bool undefined;
  } cases[] = {{"normal mode reads the polar", false, true}, {"a tack sets the speed itself", true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r({1, 90}, 12, 270, 0, 5, TModPil::AUTO, FlatPolar(nan));
    r.s.VireEncour = c.tacking;
    r.s.dbs = 42.0L;
    const PhysicsFrame f = r.Step();
    EXPECT_EQ(f.boatSpeedUndefined, c.undefined);
    EXPECT_EQ(r.s.t, 1);
    EXPECT_EQ(r.s.BS.mdl, 5.0L);  // the speed before the step, kept either way
    EXPECT_TRUE(Same(f.boatAfterPolar, r.s.BS) && Same(f.groundAfterPolar, r.s.OG));
    // Stopped: the depth is the one before; gone through: a new one in its band.
    if (c.undefined) {
      EXPECT_EQ(r.s.dbs, 42.0L);
    } else {
      EXPECT_TRUE(r.s.dbs >= 7 && r.s.dbs <= 19) << D(r.s.dbs);
    }
  }
}

}  // namespace
}  // namespace ventrel

namespace ventrel {
namespace {

TEST(TurnRate, IsTheShortWayRoundPerMinuteNegativeToPort) {
  const struct {
    long double before, after, minutes, rate;
  } cases[] = {
      {350, 10, 1.0L / 60, 1200},     // across north to starboard
      {10, 350, 1.0L / 60, -1200},    // across north to port
      {90, 90, 1.0L / 60, 0},
      {720.5L, 0.5L, 1.0L / 60, 0},   // whole turns are no turn
      {0, 180, 1.0L / 60, 10800},     // half a turn reads to starboard either way
      {180, 0, 1.0L / 60, 10800},
      {45, 46, 0.2L / 60, 300},       // a gybe step of a fifth of a second
      {45, 46, 0, 0},                 // no time: no rate
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(D(TurnRate(c.before, c.after, c.minutes)), D(c.rate), 1e-9)
        << D(c.before) << " -> " << D(c.after) << " in " << D(c.minutes);
  }
}

// Tick after tick: the rate of turn from the heading the previous tick left, and
// the log counting the distance through the water at the speed of the previous
// tick; a restart of the run empties the trip and keeps the total.
TEST(PhysicsStep, RateOfTurnAndLogFollowTheTicks) {
  Rig r({0, 0}, 12, 270, 10, 5, TModPil::AUTO);
  r.s.RestartTrip();
  const struct {
    const char* what;
    void (*before)(SimState&);
    long double rate;      // degrees per minute after the tick
    long double addedNm;   // added to both logs by the tick
    bool restartsTrip;     // RestartTrip before the tick
  } steps[] = {
      {"steady on 10 at 5 kn", nullptr, 0, 5.0L / 3600, false},
      {"autopilot to 5: 5 degrees to port", [](SimState& s) { s.HDG = 5; }, -300, 6.0L / 3600, false},
      {"steady on 5", nullptr, 0, 6.0L / 3600, true},
      {"across north to 355", [](SimState& s) { s.HDG = 355; }, -600, 6.0L / 3600, false},
      {"back to 2 across north", [](SimState& s) { s.HDG = 2; }, 420, 6.0L / 3600, false},
      {"a gybe step of a fifth of a second, 1 degree to starboard",
       [](SimState& s) {
         s.EmpEncour = true;
         s.BS.argt = 3;
       },
       300, 6.0L / 18000, false},
  };
  long double total = 0, trip = 0;
  for (const auto& st : steps) {
    SCOPED_TRACE(st.what);
    if (st.restartsTrip) {
      r.s.RestartTrip();
      trip = 0;
    }
    if (st.before != nullptr) st.before(r.s);
    r.Step();
    total += st.addedNm;
    trip += st.addedNm;
    EXPECT_NEAR(D(r.s.turnRate), D(st.rate), 1e-9);
    EXPECT_EQ(r.s.prevTickHeading, r.s.BS.argt);
    EXPECT_NEAR(D(r.s.logTotal), D(total), 1e-15);
    EXPECT_NEAR(D(r.s.logTrip), D(trip), 1e-15);
  }
}

}  // namespace
}  // namespace ventrel
