// Start, pause and resume, the alternating current and the best upwind angle.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::D;
using testing::Rig;

TEST(Start, PositionStateAndCommandsAfterTheStart) {
  struct Case { int ns, ew; double lat, lg; };  // graphic longitude
  const Case cases[] = {{1, 0, -51.069, 2.3846666666666667},  // "S" with 51 and 4.14
                        {0, 0, 51.069, 2.3846666666666667},
                        {0, 1, 51.069, 357.61533333333333}};  // 2 23.08 W
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lat);
    Rig r;
    r.f(Field::LatitudeHemisphere).setItemIndex(c.ns);
    r.f(Field::LongitudeHemisphere).setItemIndex(c.ew);
    r.model.params().CS = 0.4L;
    r.model.params().CQ = 1.7L;
    r.start();
    const SimState& s = r.s();
    EXPECT_NEAR(D(s.Pact.lat), c.lat, 1e-12);
    EXPECT_NEAR(D(s.Pact.long_), c.lg, 1e-12);
    EXPECT_EQ(s.Memo_Pos.lat, s.Pact.lat);
    EXPECT_FALSE(s.PremPasse || s.StPause);
    EXPECT_EQ(s.t, 0);
    // hdm: variation 1 E.
    EXPECT_EQ(std::tuple(s.HDG, s.HDGt_1, s.TWS, s.TWD, s.hdm), std::tuple(335.0L, 335.0L, 10.0L, 220.0L, 334.0L));
    EXPECT_EQ(std::pair(s.offset_surf, s.offset_keel), std::pair(0.4L, 1.7L));
    // The typed 6.2 knots gave way to the polar's speed for this wind.
    EXPECT_EQ(s.BS.mdl, r.model.speed().BoatSpeed(s.SWA, s.SW.mdl));
    EXPECT_NE(s.BS.mdl, 6.2L);
    EXPECT_EQ(r.model.dial().mem.factConv, 203.0L / 20);
    EXPECT_EQ(r.boat.angles.back(), -335);
    EXPECT_EQ(r.driving(), "TimerAT");
    EXPECT_EQ(r.enabled({Field::BestHaulButton, Field::PauseResumeButton, Field::AutoButton, Field::StandbyButton, Field::ParametersMenuItem, Field::ConfigurationMenu}),
              "BestHaulButton PauseResumeButton AutoButton StandbyButton");
    EXPECT_EQ(r.f(Field::PauseResumeButton).picture(), "Gl_pause.bmp");
    // What the sentences of second 0 read: the wind from 220 comes over the port
    // bow of a boat heading 335, and a depth of the sea-state band, which the first
    // tick carries on without a jump.
    EXPECT_NEAR(D(s.RelWA), 360 - D(s.AWA), 1e-12);
    EXPECT_GT(s.RelWA, 180);
    const long double depth0 = s.dbs;
    EXPECT_TRUE(depth0 > 7 && depth0 < 19) << D(depth0);
    r.seconds(1);
    EXPECT_NEAR(D(r.s().dbs), D(depth0), 1.0);
    EXPECT_NE(r.s().dbs, depth0);
  }
}

TEST(Start, WrongFieldsKeepTheirPreviousValueAndAreNamed) {
  // Not a number, or a number out of the range of its quantity (the table of
  // ranges): typing 1e20 knots or a heading of 1e4000 degrees is refused.
  struct Case { Field field; const char* text; const char* caption; const char* said; };
  const Case cases[] = {{Field::HeadingInput, "abc", "Cap vrai", "n'est pas un nombre"},
                                  {Field::TrueWindSpeedInput, "1.2.3", "Force du vent réel", "n'est pas un nombre"},
                                  {Field::PolarPercentInput, "12.5", "Polaire %", "n'est pas un nombre entier"},
                                  {Field::LatitudeMinutes, "4..14", "Position - LAT min", "n'est pas un nombre"},
                                  {Field::TrueWindSpeedInput, "1e20", "Force du vent réel", "hors limites (0 à 100 nœuds)"},
                                  {Field::TrueWindSpeedInput, "-3", "Force du vent réel", "hors limites"},
                                  {Field::HeadingInput, "1e4000", "Cap vrai", "hors limites (-360 à 360 degrés)"},
                                  {Field::PolarPercentInput, "1000", "Polaire %", "hors limites (0 à 100 %, nombre entier)"},
                                  {Field::PolarPercentInput, "-5", "Polaire %", "hors limites"},
                                  {Field::LatitudeMinutes, "60", "Position - LAT min", "hors limites (0 à 60 minutes (60 exclu))"},
                                  {Field::LatitudeDegrees, "91", "Position - LAT deg", "hors limites (0 à 90 degrés)"},
                                  {Field::LatitudeDegrees, "90", "Position", "dépasse 90°"}};
  for (const auto& [field, text, caption, said] : cases) {
    SCOPED_TRACE(std::string(IdentifierOf(field)));
    Rig r;
    r.start();
    r.seconds(2);
    const SimState before = r.s();
    r.type(field, text);
    r.messages.clear();
    r.model.BtCALCClick();
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_NE(r.messages[0].find(caption), std::string::npos) << r.messages[0];
    EXPECT_NE(r.messages[0].find(said), std::string::npos) << r.messages[0];
    EXPECT_EQ(r.s().HDG, before.BS.argt);
    EXPECT_EQ(r.s().TWS, before.TW.mdl);
    EXPECT_EQ(r.model.speed().polPerc, 100);
    EXPECT_NEAR(D(r.s().Pact.lat), D(before.Pact.lat), 1e-9);
  }
}

TEST(PauseResume, PauseStopsTheRunAndResumeContinuesIt) {
  Rig r;
  int suspended = 0, resumed = 0;
  r.model.SetNmeaHooks({[&] { ++suspended; }, [&] { ++resumed; }});
  r.start();
  r.seconds(30);
  r.model.SpBtPauseResClick();
  const SimState paused = r.s();
  EXPECT_TRUE(paused.StPause);
  EXPECT_EQ(r.driving(), "");
  EXPECT_EQ(suspended, 1);
  EXPECT_EQ(r.f(Field::PauseResumeButton).picture(), "Gl_res.bmp");
  EXPECT_EQ(r.enabled({Field::ParametersMenuItem, Field::ConfigurationMenu, Field::BestHaulButton, Field::AutoButton, Field::StandbyButton}), "ParametersMenuItem ConfigurationMenu");
  r.seconds(10);
  EXPECT_EQ(r.s().t, paused.t);
  EXPECT_EQ(r.s().Pact.lat, paused.Pact.lat);

  r.model.SpBtPauseResClick();
  EXPECT_EQ(resumed, 1);
  EXPECT_FALSE(r.s().StPause);
  EXPECT_EQ(r.driving(), "TimerAT");
  EXPECT_EQ(r.f(Field::PauseResumeButton).picture(), "Gl_pause.bmp");
  EXPECT_TRUE(r.f(Field::AutoButton).enabled());
  // Same heading, wind and position (the fields hold the state as shown).
  EXPECT_EQ(r.s().t, 0);
  EXPECT_EQ(r.s().HDG, paused.BS.argt);
  EXPECT_EQ(r.s().TW.mdl, paused.TW.mdl);
  EXPECT_EQ(r.s().TW.argt, paused.TW.argt);
  EXPECT_NEAR(D(r.s().Pact.lat), D(paused.Pact.lat), 1e-9);
  EXPECT_NEAR(D(r.s().Pact.long_), D(paused.Pact.long_), 1e-9);
  EXPECT_NEAR(D(r.s().BS.mdl), D(paused.BS.mdl), 1e-12);
  r.seconds(1);
  EXPECT_EQ(r.s().t, 1);
  EXPECT_GT(r.s().Pact.lat, paused.Pact.lat);
}

TEST(PauseResume, InStandbyTheHelmBarIsLockedAndCentred) {
  Rig r;
  r.s().ModPil = TModPil::STDBY;
  r.start();
  EXPECT_EQ(r.driving(), "TimerB");  // the helm timer runs the tick
  EXPECT_FALSE(r.f(Field::BestHaulButton).enabled());
  r.f(Field::HelmBar).setEnabled(true);
  r.f(Field::HelmBar).setPosition(20);
  r.s().Ptb = 20;
  r.model.SpBtPauseResClick();
  r.seconds(3);  // the bar slides back while paused
  EXPECT_FALSE(r.f(Field::HelmBar).enabled() || r.f(Field::HelmBar).sliderVisible());
  EXPECT_EQ(r.f(Field::HelmBar).position(), 15);
  EXPECT_EQ(r.driving(), "");
  r.model.SpBtPauseResClick();
  EXPECT_TRUE(r.f(Field::HelmBar).enabled() && r.f(Field::HelmBar).sliderVisible());
  EXPECT_EQ(r.driving(), "TimerB");
}

// The log: through the water at the boat speed, the trip from each start
// ("Démarrer", not a resume after a pause), the total from the program's start;
// no turn right after a start.
TEST(Start, TheTripLogStartsAgainAtEachStartAndTheTotalGoesOn) {
  Rig r;
  r.start();
  const struct {
    const char* what;
    bool restart;
    int seconds;
    bool pauseFirst = false;  // paused and resumed before the leg
  } legs[] = {{"first leg", false, 10},       {"started again", true, 5}, {"on", false, 7},
              {"paused, resumed", false, 4, true}, {"again", true, 3}};
  long double total = 0, trip = 0;
  for (const auto& leg : legs) {
    SCOPED_TRACE(leg.what);
    if (leg.pauseFirst) {
      r.model.SpBtPauseResClick();
      r.model.SpBtPauseResClick();
      EXPECT_NEAR(D(r.s().logTrip), D(trip), 1e-12);
    }
    if (leg.restart) {
      r.model.BtCALCClick();
      EXPECT_EQ(r.s().logTrip, 0);
      EXPECT_NEAR(D(r.s().logTotal), D(total), 1e-12);
      trip = 0;
    }
    EXPECT_EQ(r.s().turnRate, 0);
    // No variations: the speed of the polar, steady from the start.
    const long double legNm = r.s().BS.mdl * leg.seconds / 3600;
    r.seconds(leg.seconds);
    total += legNm;
    trip += legNm;
    EXPECT_NEAR(D(r.s().logTrip), D(trip), 1e-12);
    EXPECT_NEAR(D(r.s().logTotal), D(total), 1e-12);
    EXPECT_NEAR(D(r.s().turnRate), 0, 1e-9);
  }
  EXPECT_GT(total, 0.01L);
}

// In STDBY the rudder angle is the bar's offset read at each helm step (right of
// the centre: to port, negative); the heading turns by it each second, and the
// rate of turn has the rudder's sign.
TEST(PauseResume, InStandbyTheRudderAndTheRateOfTurnFollowTheBar) {
  const struct {
    int position;
    long double helm;
    long double rate;  // degrees per minute
  } cases[] = {{20, -5, -300}, {9, 6, 360}, {15, 0, 0}, {30, -15, -900}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.position);
    Rig r;
    r.s().ModPil = TModPil::STDBY;
    r.start();
    r.f(Field::HelmBar).setPosition(c.position);
    r.seconds(1);
    EXPECT_EQ(r.s().helm, c.helm);
    EXPECT_NEAR(D(r.s().turnRate), D(c.rate), 1e-6);
  }
}

// Starts a run with a current of 2 kn toward 70, paused or not, and chooses the alternating current.
void Alternate(Rig& r, bool paused = false) {
  r.start("335", "10", "220", "2", "70");
  if (paused) r.model.SpBtPauseResClick();
  r.f(Field::CurrentKind).setItemIndex(1);
  r.model.RadioGTypCClick();
}

TEST(AlternatingCurrent, ARotationTurnsTheCurrentByHalfATurnIn13Ticks) {
  Rig r;
  Alternate(r);
  EXPECT_EQ(r.driving(), "TimerC");
  EXPECT_FALSE(r.f(Field::PauseResumeButton).enabled());
  for (int i = 1; i <= 13; ++i) {
    r.seconds(1);
    EXPECT_EQ(r.s().t, i);  // one tick a second
    // Tack and gybe stay unavailable although each tick recomputes the apparent wind.
    EXPECT_EQ(r.enabled({Field::TackButton, Field::GybeButton}), "") << "second " << i;
  }
  // 1.0071 = 0.0223 x 169 - 0.3124 x 13 + 1.2996.
  EXPECT_NEAR(D(r.s().CUR.argt), 250, 1e-9);
  EXPECT_NEAR(D(r.s().CUR.mdl), 2.0142, 1e-9);
  EXPECT_EQ(r.f(Field::CurrentDirectionInput).text(), "250.0");

  r.seconds(1);  // the 14th step ends the rotation without a tick
  EXPECT_EQ(r.s().t, 13);
  EXPECT_EQ(r.driving(), "TimerAT");
  EXPECT_TRUE(r.model.timers().Timer60.enabled());
  EXPECT_TRUE(r.f(Field::PauseResumeButton).enabled());
  r.seconds(1);
  EXPECT_EQ(r.s().t, 14);
  EXPECT_NE(r.enabled({Field::TackButton, Field::GybeButton}), "");

  // The next rotation starts a minute after the end of this one, from the speed it left.
  r.seconds(59);
  EXPECT_EQ(r.driving(), "TimerC");
  EXPECT_EQ(r.s().t, 14 + 58);  // no tick at the instant the rotation takes over
  EXPECT_NEAR(D(r.s().COUR), 2.0142, 1e-9);
}

TEST(AlternatingCurrent, ChoosingConstantStopsARotationAtOnce) {
  Rig r;
  Alternate(r);
  r.seconds(5);
  r.f(Field::CurrentKind).setItemIndex(0);
  r.model.RadioGTypCClick();
  EXPECT_EQ(r.driving(), "TimerAT");
  EXPECT_FALSE(r.model.timers().Timer60.enabled());
  EXPECT_TRUE(r.f(Field::PauseResumeButton).enabled());
  // 70 + 5 x 180/13, and (0.0223 x 25 - 0.3124 x 5 + 1.2996) x 2.
  EXPECT_NEAR(D(r.s().CUR.argt), 139.23076923076923, 1e-9);
  EXPECT_NEAR(D(r.s().CUR.mdl), 0.5902, 1e-9);
  r.seconds(3);
  EXPECT_NEAR(D(r.s().CUR.argt), 139.23076923076923, 1e-9);
}

TEST(AlternatingCurrent, NoRotationWhilePausedOrDuringAManoeuvreAndBeforeTheFirstStartItWaits) {
  Rig paused;
  Alternate(paused, true);
  EXPECT_FALSE(paused.model.timers().TimerC.enabled());

  Rig r;  // a rotation due during a manoeuvre waits a minute
  r.start("335", "10", "220", "2", "70");
  r.f(Field::CurrentKind).setItemIndex(1);
  r.s().VireEncour = true;
  r.model.Timer60Timer();
  EXPECT_FALSE(r.model.timers().TimerC.enabled());
  EXPECT_TRUE(r.model.timers().Timer60.enabled());

  Rig first;  // before the first start the choice waits for the start, which begins the rotation
  first.f(Field::CurrentKind).setItemIndex(1);
  first.model.RadioGTypCClick();
  EXPECT_EQ(first.driving(), "");
  first.start("335", "10", "220", "2", "70");
  EXPECT_EQ(first.driving(), "TimerC");
}

TEST(AlternatingCurrent, OneTimerRunsTheTickWhateverTheUserClicks) {
  // Regression: the start button during a rotation switched TimerAT on beside
  // TimerC, and the boat ran two ticks a second.
  Rig r;
  Alternate(r);
  r.seconds(2);
  r.model.BtCALCClick();
  EXPECT_EQ(r.driving(), "TimerC");
  r.seconds(3);
  EXPECT_EQ(r.s().t, 3);
}

TEST(BestUpwindAngle, ShownAndFollowingThePolarPercentage) {
  Rig r;
  r.start();
  const long double angle = r.model.speed().AlphaOptWndWrd;
  const long double vmg = r.s().VMGauPres;
  EXPECT_LT(angle, 90);
  EXPECT_FALSE(r.f(Field::BestUpwindAngle).text().empty());
  EXPECT_GT(vmg, 0);
  EXPECT_NEAR(D(vmg), D(r.s().SpMax * std::cos(angle * std::numbers::pi_v<long double> / 180)), 1e-12);
  r.model.UpDownPolClick(false);
  EXPECT_EQ(r.f(Field::PolarPercentInput).text(), "99");
  EXPECT_EQ(r.f(Field::PolarPercentUpDown).position(), 99);
  EXPECT_EQ(r.model.speed().polPerc, 99);
  EXPECT_EQ(r.model.speed().AlphaOptWndWrd, angle);  // a uniform scale keeps the best angle
  EXPECT_NEAR(D(r.s().VMGauPres), D(0.99L * vmg), 1e-12);
  r.model.UpDownPolClick(true);
  r.model.UpDownPolClick(true);  // the control stops at 100
  EXPECT_EQ(r.f(Field::PolarPercentInput).text(), "100");
  EXPECT_EQ(r.model.speed().polPerc, 100);
}

}  // namespace
}  // namespace ventrel
