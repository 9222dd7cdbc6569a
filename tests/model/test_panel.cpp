// The panel model (commands before the first start, names, change marks), and the
// wind fields: tack side, wind angles and drift, on the state and through the panel.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/panel.h"
#include "sim/wind.h"
#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::D;
using testing::Rig;

TEST(Panel, CommandsDisabledUntilTheFirstStart) {
  Rig r;
  EXPECT_EQ(r.enabled({Field::PauseResumeButton, Field::BestHaulButton, Field::TackButton, Field::GybeButton, Field::HelmBar, Field::StartButton, Field::ParametersMenuItem,
                       Field::ConfigurationMenu, Field::AutoButton, Field::StandbyButton}),
            "StartButton ParametersMenuItem ConfigurationMenu AutoButton StandbyButton");
  EXPECT_EQ(r.f(Field::BestHaulButton).picture(), "vamp.bmp");
  EXPECT_EQ(r.f(Field::HelmBar).position(), 15);
  EXPECT_FALSE(r.f(Field::HelmBar).sliderVisible());
  EXPECT_EQ(r.f(Field::PolarPercentUpDown).position(), 100);
  EXPECT_TRUE(r.f(Field::AutoButton).checked());
  EXPECT_EQ(r.f(Field::BestUpwindAngle).label(), "Meilleur SWA");
  EXPECT_EQ(r.f(Field::PauseResumeButton).hint(), "Pause / Reprendre est inhibé pendant la rotation du courant ");
}

TEST(Panel, OnlyRealChangesAreMarked) {
  Panel p;
  p[Field::PortList].setText("COM1");
  EXPECT_EQ(p[Field::PortList].text(), "COM1");
  EXPECT_EQ(&p[Field::PortList], &p[Field::PortList]);

  p.clearAllChanged();
  p[Field::HeadingInput].setText("335");         // same text
  p[Field::TrueWindSpeedInput].setText("12.0");        // changed
  p[Field::TackButton].setEnabled(false);    // already disabled
  p[Field::TackIndicator].setBackground(MonVert);  // changed
  std::vector<std::string> seen;
  p.takeChanged([&](const PanelField& f) { seen.push_back(std::string(IdentifierOf(f.id()))); });
  EXPECT_EQ(seen, (std::vector<std::string>{"TrueWindSpeedInput", "TackIndicator"}));
  seen.clear();
  p.takeChanged([&](const PanelField& f) { seen.push_back(std::string(IdentifierOf(f.id()))); });
  EXPECT_TRUE(seen.empty());
}

TEST(Panel, ANumberIsWrittenWhenReadAndMarkedOnlyWhenItsTextChanges) {
  // One field through a sequence of numbers, each read after it is set: the text
  // is the fixed form, and a number whose text is the one shown leaves no mark.
  constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
  struct Case { long double x; int p, d; const char* text; bool marked; };
  const Case cases[] = {
      {10.04L, 3, 1, "10.0", true},     {9.96L, 3, 1, "10.0", false},  {2.675L, 4, 2, "2.68", true},
      {-0.004L, 4, 2, "0.00", true},    {0.0L, 4, 2, "0.00", false},   {-12.345L, 5, 2, "-12.35", true},
      {1234.5L, 3, 1, "1.23E+3", true}, {kNaN, 4, 1, "", true},         {47.25L, 15, 0, "47", true},
  };
  Panel p;
  PanelField& f = p[Field::TrueWindSpeedInput];
  p.clearAllChanged();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    f.setNumber(c.x, c.p, c.d);
    EXPECT_EQ(f.changed(), c.marked);
    EXPECT_EQ(f.text(), c.text);
    f.clearChanged();
  }

  // Only the last of the numbers set between two reads counts, and the window
  // sees the field through takeChanged.
  f.setNumber(5, 3, 1);
  f.setNumber(47, 3, 1);
  std::vector<std::string> seen;
  p.takeChanged([&](const PanelField& g) { seen.push_back(std::string(IdentifierOf(g.id())) + "=" + g.text()); });
  EXPECT_EQ(seen, std::vector<std::string>{"TrueWindSpeedInput=47.0"});
  // A text typed after a number replaces it; typed back to the text shown, no mark.
  f.setNumber(8, 3, 1);
  f.setText("47.0");
  EXPECT_FALSE(f.changed());
  EXPECT_EQ(f.text(), "47.0");
  f.setNumber(8, 3, 1);
  f.setText("9");
  EXPECT_TRUE(f.changed());
  EXPECT_EQ(f.text(), "9");
}

TEST(Panel, ATextMadeWhenReadIsMadeOnceAndMarkedOnlyWhenItChanges) {
  Panel p;
  PanelField& f = p[Field::VmgToWind];
  p.clearAllChanged();
  int made = 0;
  const auto maker = [&made](std::string text) {
    return [&made, text] {
      ++made;
      return text;
    };
  };
  f.setTextFrom(maker("4.20"));
  f.setTextFrom(maker("4.25"));  // only the last one is ever made
  EXPECT_EQ(made, 0);
  EXPECT_TRUE(f.changed());
  EXPECT_EQ(f.text(), "4.25");
  EXPECT_EQ(f.text(), "4.25");
  EXPECT_EQ(made, 1);
  f.clearChanged();
  f.setTextFrom(maker("4.25"));
  EXPECT_FALSE(f.changed());  // the same text
  // A number or a typed text replaces a text not made yet.
  f.setTextFrom(maker("9.99"));
  f.setNumber(1.5L, 4, 2);
  EXPECT_EQ(f.text(), "1.50");
  f.setTextFrom(maker("9.99"));
  f.setText("typed");
  EXPECT_EQ(f.text(), "typed");
  EXPECT_EQ(made, 2);
}

TEST(WindPanel, TheVmgShownIsThatOfTheTickEvenWhenReadLater) {
  // VMG = cos(SWA) x BSP, worked out when the field is read, from the values of the tick.
  Rig r;
  r.start("335", "10", "220");
  r.seconds(3);
  const double swa = D(r.s().SWA), bsp = D(r.s().BS.mdl);
  const double vmg = std::cos(swa * 3.14159265358979323846 / 180) * bsp;
  r.s().SWA = 90;
  r.s().BS.mdl = 0;
  EXPECT_NEAR(std::stod(r.f(Field::VmgToWind).text()), vmg, 0.0051) << r.f(Field::VmgToWind).text();
  EXPECT_GT(std::fabs(vmg), 1);  // a wind on the quarter: a VMG away from the wind
}

TEST(Wind, TackSideAndTrueWindAngle) {
  struct Case { long double heading, h180, twd; SailingTack side; long double twa; };
  const Case cases[] = {
      {0, 180, 350, SailingTack::babord, 10},  {0, 180, 10, SailingTack::tribord, 10},
      {0, 180, 0, SailingTack::tribord, 0},    {0, 180, 180, SailingTack::babord, 180},
      {200, 20, 150, SailingTack::babord, 50}, {200, 20, 250, SailingTack::tribord, 50},
      // Regression: a heading of 361.9 (359 plus the heading variation) gave a true
      // wind angle of -1.4 and the starboard tack for a wind from 0.5.
      {361.9L, 181.9L, 0.5L, SailingTack::babord, 1.4L}, {361.9L, 181.9L, 3.0L, SailingTack::tribord, 1.1L},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << D(c.heading) << " / " << D(c.twd));
    SimState s;
    s.BS.argt = c.heading;
    s.H180 = c.h180;
    s.TW.argt = c.twd;
    EXPECT_EQ(TackSideOf(s), c.side);
    EXPECT_EQ(UpdateTackSide(s), c.side);
    EXPECT_NEAR(D(s.TWA), D(c.twa), 1e-9);
  }
  const std::pair<long double, long double> wraps[] = {{361.9L, 1.9L}, {360, 0}, {-0.5L, 359.5L}, {720.25L, 0.25L}};
  for (const auto& [in, out] : wraps) EXPECT_NEAR(D(Wrap360(in)), D(out), 1e-12);
}

TEST(WindPanel, DriftAngleAndSide) {
  struct Case { long double cog, deriv; const char* label; const char* shown; };
  const Case cases[] = {{195, 5, "° BABORD", "5.0"}, {205, 5, "° TRIBORD", "5.0"}, {20, 180, "° BABORD", "180.0"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(D(c.cog));
    Rig r;
    r.s().BS.argt = 200;
    r.s().H180 = 20;
    r.s().COG = c.cog;
    r.model.RefreshDrift();
    EXPECT_NEAR(D(r.s().Deriv), D(c.deriv), 1e-12);
    EXPECT_EQ(r.f(Field::DriftSide).text(), c.label);
    EXPECT_EQ(r.s().DerivTribord, std::string(c.label) == "° TRIBORD");
    EXPECT_EQ(r.f(Field::DriftAngle).text(), c.shown);
  }
}

TEST(WindPanel, SurfaceWindAngleAndTheManoeuvreOffered) {
  // Heading, surface wind and boat speed; the angle; the manoeuvre offered (none while the boat moves).
  struct Case { long double heading, swd, bs, swa; const char* offered; };  // the buttons enabled
  const Case cases[] = {{10, 350, 5, 20, ""},      {350, 10, 5, 20, ""},       {0, 180, 5, 180, ""},
                        {90, 45, 5, 45, ""},       {361.9L, 0.5L, 5, 1.4L, ""},
                        // The boat still, the apparent wind is the surface wind.
                        {0, 90, 0, 90, "TackButton"}, {0, 45, 0, 45, "TackButton"}, {0, 90.5L, 0, 90.5L, "GybeButton"},
                        {0, 180, 0, 180, "GybeButton"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << D(c.heading) << " / " << D(c.swd));
    Rig r;
    r.s().BS = {c.bs, c.heading};
    r.s().SW = {10, c.swd};
    r.model.RefreshApparentWind();
    EXPECT_NEAR(D(r.s().SWA), D(c.swa), 1e-9);
    EXPECT_GE(r.s().AWA, 0);
    EXPECT_LE(r.s().AWA, 180);
    if (c.bs == 0) {
      EXPECT_EQ(r.enabled({Field::TackButton, Field::GybeButton}), c.offered);
      EXPECT_EQ(r.f(Field::ApparentWindSpeed).text(), "10.0");
    }
  }
}

TEST(WindPanel, NoManoeuvreOfferedOutsideTheNormalModeOrWhileTheCurrentRotates) {
  const std::pair<const char*, void (*)(Rig&)> cases[] = {
      {"current rotating", [](Rig& r) { r.model.timers().TimerC.setEnabled(true); }},
      {"tacking", [](Rig& r) { r.s().VireEncour = true; }},
      {"standby", [](Rig& r) { r.s().ModPil = TModPil::STDBY; }},
  };
  for (const auto& [what, set] : cases) {
    Rig r;
    set(r);
    r.s().SW = {10, 45};
    r.model.RefreshApparentWind();
    EXPECT_EQ(r.enabled({Field::TackButton, Field::GybeButton}), "") << what;
  }
}

TEST(WindPanel, SurfaceWindFieldsAndReferenceLabels) {
  struct Case { long double current; Rgb font; bool italic; const char* typeLabel; const char* bestLabel; };
  const Case cases[] = {{0, colours::kGrey, true, " Vent réel TW", "Meilleur TWA"},
                        {1.5L, colours::kBlack, false, " Vent surface SW", "Meilleur SWA"}};
  for (const Case& c : cases) {
    Rig r;
    r.s().CUR = {c.current, 70};
    r.s().SW = {12.34L, 221.6L};
    r.model.RefreshApparentWind();
    r.model.ShowReferenceWindKind();
    EXPECT_EQ(r.f(Field::ReferenceWindSpeed).fontColour(), c.font);
    EXPECT_EQ(r.f(Field::ReferenceWindAngle).fontColour(), c.font);
    EXPECT_EQ(r.f(Field::ReferenceWindDirection).italic(), c.italic);
    EXPECT_FALSE(r.f(Field::ReferenceWindAngle).italic());
    EXPECT_EQ(r.f(Field::ReferenceWindSpeed).text(), "12.3");
    EXPECT_EQ(r.f(Field::WindKindCaption).text(), c.typeLabel);
    EXPECT_EQ(r.f(Field::BestUpwindAngle).label(), c.bestLabel);
  }
}

}  // namespace
}  // namespace ventrel
