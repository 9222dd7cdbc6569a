// Tack side, wind angles and drift, on the state and through the panel.

#include <gtest/gtest.h>

#include "sim/wind.h"
#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::Rig;

TEST(Wind, TackSideAndTrueWindAngle) {
  struct Case {
    long double heading, h180, twd;
    TAmure side;
    long double twa;
  };
  const Case cases[] = {
      {0, 180, 350, TAmure::babord, 10},  {0, 180, 10, TAmure::tribord, 10},
      {0, 180, 0, TAmure::tribord, 0},    {0, 180, 180, TAmure::babord, 180},
      {200, 20, 150, TAmure::babord, 50}, {200, 20, 250, TAmure::tribord, 50},
      // Regression: a heading of 361.9 (359 plus the heading variation) gave a true
      // wind angle of -1.4 and the starboard tack for a wind from 0.5.
      {361.9L, 181.9L, 0.5L, TAmure::babord, 1.4L},
      {361.9L, 181.9L, 3.0L, TAmure::tribord, 1.1L},
  };
  for (const Case& c : cases) {
    SimState s;
    s.BS.argt = c.heading;
    s.H180 = c.h180;
    s.TW.argt = c.twd;
    EXPECT_EQ(AmureOf(s), c.side) << static_cast<double>(c.twd);
    EXPECT_EQ(F_amure(s), c.side);
    EXPECT_NEAR(static_cast<double>(s.TWA), static_cast<double>(c.twa), 1e-9);
  }
}

TEST(Wind, Wrap360) {
  const std::pair<long double, long double> rows[] = {{361.9L, 1.9L}, {360, 0}, {-0.5L, 359.5L}, {720.25L, 0.25L}, {0, 0}};
  for (const auto& [in, out] : rows) EXPECT_NEAR(static_cast<double>(Wrap360(in)), static_cast<double>(out), 1e-12);
}

TEST(WindPanel, DriftAngleAndSide) {
  struct Case {
    long double cog;
    long double deriv;
    const char* label;
  };
  const Case cases[] = {{195, 5, "° BABORD"}, {205, 5, "° TRIBORD"}, {20, 180, "° BABORD"}};
  for (const Case& c : cases) {
    Rig r;
    r.s().BS.argt = 200;
    r.s().H180 = 20;
    r.s().COG = c.cog;
    r.model.Affiche_derive();
    EXPECT_NEAR(static_cast<double>(r.s().Deriv), static_cast<double>(c.deriv), 1e-12);
    EXPECT_EQ(r.f("LDeriv").text(), c.label);
    EXPECT_EQ(r.s().DerivTribord, std::string(c.label) == "° TRIBORD");
    EXPECT_EQ(r.f("EdDeriv").text(), c.deriv == 5 ? "5.0" : "180.0");
  }
}

TEST(WindPanel, SurfaceWindAngle) {
  struct Case {
    long double heading, swd, swa;
  };
  const Case cases[] = {{10, 350, 20}, {350, 10, 20}, {0, 180, 180}, {90, 45, 45}, {361.9L, 0.5L, 1.4L}};
  for (const Case& c : cases) {
    Rig r;
    r.s().BS = {5, c.heading};
    r.s().SW = {10, c.swd};
    r.model.MajAW_SWA();
    EXPECT_NEAR(static_cast<double>(r.s().SWA), static_cast<double>(c.swa), 1e-9);
    EXPECT_GE(r.s().AWA, 0);
    EXPECT_LE(r.s().AWA, 180);
  }
}

TEST(WindPanel, ApparentWindAngleChoosesTheManoeuvre) {
  struct Case {
    long double swd;  // the boat is still: the apparent wind is the surface wind
    bool tack, gybe;
  };
  const Case cases[] = {{90, true, false}, {45, true, false}, {90.5L, false, true}, {180, false, true}};
  for (const Case& c : cases) {
    Rig r;
    r.s().BS = {0, 0};
    r.s().SW = {10, c.swd};
    r.model.MajAW_SWA();
    EXPECT_EQ(r.f("SBtVire").enabled(), c.tack) << static_cast<double>(c.swd);
    EXPECT_EQ(r.f("SBtEmp").enabled(), c.gybe) << static_cast<double>(c.swd);
    EXPECT_EQ(r.f("EdAWS").text(), "10.0");
  }
}

TEST(WindPanel, NoManoeuvreOfferedOutsideTheNormalModeOrWhileTheCurrentRotates) {
  struct Case {
    const char* what;
    void (*set)(Rig&);
  };
  const Case cases[] = {
      {"current rotating", [](Rig& r) { r.model.timers().TimerC.setEnabled(true); }},
      {"tacking", [](Rig& r) { r.s().VireEncour = true; }},
      {"standby", [](Rig& r) { r.s().ModPil = TModPil::STDBY; }},
  };
  for (const Case& c : cases) {
    Rig r;
    c.set(r);
    r.s().SW = {10, 45};
    r.model.MajAW_SWA();
    EXPECT_FALSE(r.f("SBtVire").enabled()) << c.what;
    EXPECT_FALSE(r.f("SBtEmp").enabled()) << c.what;
  }
}

TEST(WindPanel, SurfaceWindFieldsAndReferenceLabels) {
  struct Case {
    long double current;
    Rgb font;
    bool italic;
    const char* typeLabel;
    const char* bestLabel;
  };
  const Case cases[] = {{0, colours::kGrey, true, " Vent réel TW", "Meilleur TWA"},
                        {1.5L, colours::kBlack, false, " Vent surface SW", "Meilleur SWA"}};
  for (const Case& c : cases) {
    Rig r;
    r.s().CUR = {c.current, 70};
    r.s().SW = {12.34L, 221.6L};
    r.model.MajAW_SWA();
    r.model.MajLabTWSW();
    EXPECT_EQ(r.f("EdVRS_S").fontColour(), c.font);
    EXPECT_EQ(r.f("EdVRS_D").italic(), c.italic);
    EXPECT_EQ(r.f("EdVRS_A").fontColour(), c.font);
    EXPECT_FALSE(r.f("EdVRS_A").italic());
    EXPECT_EQ(r.f("EdVRS_S").text(), "12.3");
    EXPECT_EQ(r.f("LabTypVent").text(), c.typeLabel);
    EXPECT_EQ(r.f("LbEdBestHaul").label(), c.bestLabel);
  }
}

}  // namespace
}  // namespace ventrel
