// The best-haul search on the virtual clock: the approach, the reversal, the
// close-hauled end, and the searches that must stop by themselves.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::D;
using testing::Rig;

// A polar whose best upwind angle is its first row, 40 degrees, at 10 knots of
// wind: 6.0 kn at 40 degrees makes good 6 cos 40 = 4.5963 kn, and every wider
// angle less (at 40 1/3 degrees: 6.0056 cos 40.33 = 4.5780).
PolarTable FortyDegreePolar() {
  const long double at10[] = {6.0, 6.2, 6.4, 6.6, 6.7, 6.6, 6.0, 5.4, 4.6};
  const long double scale[] = {0.7, 1.0, 1.15, 1.2};  // for 6, 10, 16 and 25 kn
  std::vector<std::vector<long double>> speeds;
  for (long double s : at10) speeds.push_back({s * scale[0], s * scale[1], s * scale[2], s * scale[3]});
  return testing::MakePolar({40, 52, 60, 75, 90, 110, 135, 150, 180}, {6, 10, 16, 25}, speeds);
}

// A run in a steady wind of 10 kn from 220, on the heading `hdg`, one tick old
// (so that the surface wind is the true wind exactly).
void StartSteady(Rig& r, const std::string& hdg) {
  r.model.SetPolar(FortyDegreePolar());
  r.start(hdg, "10", "220");
  r.seconds(1);
}

TEST(BestHaul, FromFiftyThreeDegreesItLuffsSevenTimesAndEndsAtTheTwentyFourthSecond) {
  Rig r;
  StartSteady(r, "273");  // port tack, SWA 53
  ASSERT_NEAR(D(r.s().SWA), 53.0, 1e-12);
  EXPECT_EQ(r.f("LbEdBestHaul").text(), "40.0");  // the optimum and its VMG, shown
  EXPECT_EQ(r.f("LbEdVMGauPres").text(), "4.60");
  EXPECT_EQ(r.f("LbEdBestHaul").label(), "Meilleur TWA");
  const std::int32_t t0 = r.s().t;
  r.model.BtBestHaulClick();
  EXPECT_TRUE(r.s().RecENCour);
  EXPECT_EQ(r.driving(), "TimerPres");
  EXPECT_EQ(r.f("BtBestHaul").picture(), "jecherchevert.bmp");
  EXPECT_EQ(r.f("BtBestHaul").text(), "");
  EXPECT_EQ(r.model.speed().AlphaOptWndWrd, 40);
  EXPECT_NEAR(D(r.s().SpMax), 6.0, 1e-12);
  EXPECT_NEAR(D(r.s().VMGauPres), 4.5962667, 1e-6);
  EXPECT_NEAR(D(r.s().Da), 53.0 / 26, 1e-12);
  EXPECT_NEAR(D(r.s().Dapp), 53.0 / 676, 1e-12);
  EXPECT_EQ(r.s().cvir, TCvir::ababord);  // toward the wind from 220

  const double coarse = 53.0 / 26, fine = 53.0 / 676;
  for (int k = 1; k <= 24; ++k) {
    SCOPED_TRACE(k);
    r.seconds(1);
    // Seven luffing steps to 38.73, then the fine steps bear away.
    const double swa = k <= 7 ? 53 - k * coarse : 53 - 7 * coarse + (k - 7) * fine;
    EXPECT_NEAR(D(r.s().SWA), swa, 1e-9);
    EXPECT_NEAR(D(r.s().BS.argt), 220 + swa, 1e-9);
    EXPECT_EQ(r.s().t, t0 + k);
    if (k >= 8) {
      EXPECT_TRUE(r.s().switched_dir);
      EXPECT_NEAR(D(r.s().BS.mdl), 0.8 * 6.0, 1e-12);  // 80 % of SpMax
    }
    if (k == 4 || k == 5) {  // at 44.85, then 42.81
      EXPECT_EQ(r.f("BtBestHaul").picture(), k == 4 ? "jecherchevert.bmp" : "japproche.bmp");
    }
    EXPECT_EQ(r.s().RecENCour, k < 24);
  }
  // Close-hauled at 40.06: the autopilot holds the final heading.
  EXPECT_NEAR(D(r.s().SWA), 40.0636095, 1e-6);
  EXPECT_NEAR(D(r.s().HDG), 260.0636095, 1e-6);
  EXPECT_TRUE(r.s().AuPres);
  EXPECT_EQ(r.f("BtBestHaul").picture(), "jesuisaupres.bmp");
  EXPECT_EQ(r.driving(), "TimerAT");
  const long double hdg = r.s().HDG;
  r.seconds(5);
  EXPECT_EQ(r.s().BS.argt, hdg);
  EXPECT_TRUE(r.s().AuPres);
  EXPECT_EQ(r.f("BtBestHaul").picture(), "jesuisaupres.bmp");
}

// Searches that cannot end close-hauled stop by themselves: the boat is left on
// the heading whose wind angle came nearest the optimum when it was sailed, the
// variations are given back and the autopilot holds the heading.
TEST(BestHaul, ASearchThatCannotEndCloseHauledStopsOnTheNearestHeading) {
  struct Case {
    const char* name;
    const char* hdg;
    // Called after the click (second 0) and after each second of the search: the wind moved by the test.
    void (*meddle)(Rig& r, int second);
    int endSecond;           // the second at which the search is over
    double expectedHeading;  // where the boat is left
  };
  const Case cases[] = {
      // The wind veers by 2 degrees after the reversal: the wind angle jumps from
      // 38.81 to 40.89, past the window, at the 9th second. Nearest so far: the 6th
      // step, 40.77 (0.77 off).
      {"wind jump after the reversal", "273",
       [](Rig& r, int second) {
         if (second == 8) r.s().TWD = 218;
       },
       9, 273 - 6 * 53.0 / 26},
      // The wind follows the bow, the angle widening by 0.1 degree a step (53.1,
      // 53.2, ...): the luffing never reaches the optimum; 52 steps, then the stop
      // at the 53rd second, back on the starting heading (13 degrees off, the nearest).
      {"wind angle not answering", "273",
       [](Rig& r, int second) { r.s().TWD = r.s().BS.argt - r.s().Da - 53 - 0.1L * (second + 1); }, 53, 273},
      // Pinching at 38 degrees, the wind follows the bow so that the angle
      // narrows by 0.01 degree a fine step (37.99, 37.98, ...): 1352 fine steps,
      // then the stop at the 1353rd second, back on the starting heading (2 off).
      {"wind angle not answering the fine steps", "258",
       [](Rig& r, int second) { r.s().TWD = r.s().BS.argt + 38.0L / 676 - 38 + 0.01L * (second + 1); }, 1353, 258},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.unrecorded();
    StartSteady(r, c.hdg);
    Params& p = r.model.params();
    p.ChkB_HDG = p.ChkB_TWS = p.ChkB_TWD = true;
    r.model.BtBestHaulClick();
    ASSERT_TRUE(r.s().RecENCour);
    EXPECT_FALSE(p.ChkB_HDG || p.ChkB_TWS || p.ChkB_TWD);  // the wind and heading frozen
    c.meddle(r, 0);
    for (int second = 1; second < c.endSecond; ++second) {
      r.seconds(1);
      ASSERT_TRUE(r.s().RecENCour) << second;
      c.meddle(r, second);
    }
    r.seconds(1);
    EXPECT_FALSE(r.s().RecENCour);
    EXPECT_EQ(r.driving(), "TimerAT");
    EXPECT_NEAR(D(r.s().HDG), c.expectedHeading, 1e-9);
    EXPECT_EQ(r.s().BS.argt, r.s().HDG);
    EXPECT_FALSE(r.s().AuPres);
    EXPECT_EQ(r.f("BtBestHaul").picture(), "vamp.bmp");
    EXPECT_TRUE(p.ChkB_HDG && p.ChkB_TWS && p.ChkB_TWD);
    EXPECT_EQ(r.enabled({"BtBestHaul", "SpBtAUTO"}), "BtBestHaul SpBtAUTO");
  }
}

TEST(BestHaul, HigherThanTheOptimumItBearsAwayInFineStepsAtOnceEvenFromHeadToWind) {
  // Regression: from head to wind the step of the search was 0 and it never
  // ended. The fine step is now at least 1/676 of the way to the middle of the window.
  struct Case {
    const char* hdg;
    double swa0, step;  // SWA 38: 36 steps of 38/676 to 40.024; SWA 0: 673.5 steps of 40.15/676 to 40
    int steps;
  };
  const Case cases[] = {{"258", 38, 38.0 / 676, 36}, {"220", 0, 40.15 / 676, 674}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hdg);
    Rig r;
    r.unrecorded();
    StartSteady(r, c.hdg);
    ASSERT_NEAR(D(r.s().SWA), c.swa0, 1e-12);
    r.model.BtBestHaulClick();
    r.seconds(1);
    EXPECT_TRUE(r.s().switched_dir);
    if (c.swa0 > 0) {
      EXPECT_EQ(r.s().cvir, TCvir::atribord);  // reversed: away from the wind
    }
    EXPECT_NEAR(D(r.s().Dapp), c.step, 1e-12);
    EXPECT_NEAR(D(r.s().SWA), c.swa0 + c.step, 1e-12);
    EXPECT_NEAR(D(r.s().BS.mdl), 4.8, 1e-12);  // 80 % of SpMax
    r.seconds(c.steps - 2);
    EXPECT_TRUE(r.s().RecENCour);
    r.seconds(1);
    EXPECT_FALSE(r.s().RecENCour);
    EXPECT_TRUE(r.s().AuPres);
    EXPECT_NEAR(D(r.s().SWA), c.swa0 + c.steps * c.step, 1e-9);
  }
}

}  // namespace
}  // namespace ventrel
