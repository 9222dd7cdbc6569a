// Expectations checked on a read-out, and the reports of a run.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scenario/expectations.h"

namespace ventrel::testing {
namespace {

Expectation Make(ExpectKind kind, const std::string& written, long double low = 0, long double high = 0) {
  Expectation e;
  e.kind = kind, e.written = written, e.low = low, e.high = high;
  return e;
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(Evaluate, PassFailAndWhatWasSeen) {
  BoatReadout base;
  base.latitude = 51.069, base.longitude = 2.3847, base.headingTrue = 355.04, base.speedOverGround = 4.506;
  base.waypointUsed = true, base.waypointDistance = 0.42, base.tacksBegun = 3, base.gybesBegun = 1;

  const Expectation wrap = Make(ExpectKind::headingBetween, "heading_between: [350, 10]", 350, 10);
  const Expectation plain = Make(ExpectKind::headingBetween, "heading_between: [40, 60]", 40, 60);
  const Expectation near = Make(ExpectKind::waypointDistanceBelow, "waypoint_distance_below: 0.5", 0, 0.5);
  const Expectation sog = Make(ExpectKind::speedOverGroundAbove, "sog_above: 4.5", 4.5);
  Expectation tacks = Make(ExpectKind::tacks, "tacks: {min: 2, max: 3}");
  tacks.minCount = 2, tacks.maxCount = 3;
  Expectation fewGybes = Make(ExpectKind::gybes, "gybes: {max: 0}");
  fewGybes.maxCount = 0;
  // 0.1 nautical mile north of the boat: one minute of arc is a mile.
  Expectation within = Make(ExpectKind::within, "within");
  within.latitude = 51.069 + 0.1L / 60, within.longitude = 2.3847, within.radiusNm = 0.11L;

  struct Case {
    Expectation e;
    void (*change)(BoatReadout&);
    bool passed;
    std::string observed;
  };
  const std::vector<Case> cases = {
      {wrap, [](BoatReadout&) {}, true, "cap 355.0°"},
      {wrap, [](BoatReadout& r) { r.headingTrue = 10; }, true, "cap 10.0°"},
      {wrap, [](BoatReadout& r) { r.headingTrue = 20; }, false, "cap 20.0°"},
      {plain, [](BoatReadout& r) { r.headingTrue = 47.26; }, true, "cap 47.3°"},
      {near, [](BoatReadout&) {}, true, "0.42 mille"},
      {near, [](BoatReadout& r) { r.waypointDistance = 12.5; }, false, "12.50 milles"},
      {near, [](BoatReadout& r) { r.waypointUsed = false; }, false, "aucun point de route"},
      {sog, [](BoatReadout&) {}, true, "4.51 nœuds"},
      {sog, [](BoatReadout& r) { r.speedOverGround = 4.5; }, false, "4.50 nœuds"},
      {tacks, [](BoatReadout&) {}, true, "3 virements"},
      {tacks, [](BoatReadout& r) { r.tacksBegun = 4; }, false, "4 virements"},
      {fewGybes, [](BoatReadout&) {}, false, "1 empannage"},
      {within, [](BoatReadout&) {}, true, "à 0.10 mille du point"},
      {within, [](BoatReadout& r) { r.latitude -= 0.1L / 60; }, false, "à 0.20 mille du point"},
      {within, [](BoatReadout& r) { r.longitude = -2.3847; }, false, "à 179.79 milles du point"},
  };
  for (const auto& c : cases) {
    BoatReadout r = base;
    c.change(r);
    const ExpectationOutcome o = Evaluate(c.e, 120, r, SentenceWatch{});
    EXPECT_EQ(o.passed, c.passed) << c.e.written << " : " << o.observed;
    EXPECT_EQ(o.observed, c.observed) << c.e.written;
    EXPECT_EQ(o.checkedAtSeconds, 120);
  }
}

TEST(Evaluate, NoSentenceMissing) {
  SentenceWatch watch;
  watch.OnGroup({1, {"RMC", "GLL"}, {"RMC", "GLL"}}, 1000);
  watch.OnGroup({2, {"MWV", "VHW"}, {"MWV", "VHW"}}, 1500);
  watch.OnGroup({1, {"RMC", "GLL"}, {"RMC"}}, 35000);
  watch.OnGroup({3, {"ZDA"}, {"ZDA"}}, 36000);
  for (int s = 40; s < 50; ++s) watch.OnGroup({1, {"RMC"}, {}}, s * 1000);

  struct Case {
    std::vector<int> groups;
    std::int64_t at;
    bool passed;
    std::string observed;
  };
  const std::vector<Case> cases = {
      {{1, 2, 3}, 30, true, "2 groupes complets"},
      {{1}, 35, false, "manquantes : groupe 1 à 35 s : GLL"},
      {{2, 3}, 3600, true, "2 groupes complets"},
      {{3}, 10, false, "aucun groupe envoyé"},
      {{1}, 3600, false, "; et 6 autres groupes"},
  };
  for (const auto& c : cases) {
    Expectation e = Make(ExpectKind::noSentenceMissing, "no_sentence_missing");
    e.groups = c.groups;
    const ExpectationOutcome o = Evaluate(e, c.at, BoatReadout{}, watch);
    EXPECT_EQ(o.passed, c.passed) << c.at << " " << o.observed;
    EXPECT_NE(o.observed.find(c.observed), std::string::npos) << c.at << " " << o.observed;
  }
  const auto lines = watch.Missing({1}, 3'600'000, 2);
  EXPECT_EQ(lines, (std::vector<std::string>{"groupe 1 à 35 s : GLL", "groupe 1 à 40 s : RMC", "et 9 autres groupes"}));
}

std::vector<ExpectationOutcome> Outcomes(int passed, int failed) {
  std::vector<ExpectationOutcome> out;
  for (int i = 0; i < passed + failed; ++i) {
    Expectation e = Make(ExpectKind::tacks, "tacks: {min: \"<2 & 'x'>\"}");
    if (i % 2) e.atSeconds = 3725;
    out.push_back({e, 3725, i < passed, "3 virements <&>"});
  }
  return out;
}

TEST(Reports, TextAndJUnit) {
  struct Case {
    int passed, failed;
    std::string last;
  };
  const std::vector<Case> cases = {
      {0, 0, "Aucune attente.\n"},
      {2, 0, "Toutes les attentes tiennent.\n"},
      {1, 1, "1 attente sur 2 en échec.\n"},
      {0, 3, "3 attentes sur 3 en échec.\n"},
  };
  for (const auto& c : cases) {
    const auto outcomes = Outcomes(c.passed, c.failed);
    const std::string text = ReportText("essai.yaml", outcomes);
    EXPECT_EQ(Occurrences(text, " : OK\n"), std::size_t(c.passed)) << text;
    EXPECT_EQ(Occurrences(text, " : ÉCHEC\n"), std::size_t(c.failed)) << text;
    EXPECT_EQ(text.substr(text.size() - c.last.size()), c.last) << text;

    const std::string xml = JUnitXml("essai <1>.yaml", outcomes, 3725.5L);
    // The frame's five tags, one per case passed, four per case failed: no quoted
    // text brings a "<" of its own.
    EXPECT_EQ(Occurrences(xml, "<"), 5 + std::size_t(c.passed) + 4 * std::size_t(c.failed)) << xml;
    EXPECT_EQ(Occurrences(xml, "</testcase>"), std::size_t(c.failed)) << xml;
    EXPECT_EQ(Occurrences(xml, "<failure "), std::size_t(c.failed)) << xml;
    EXPECT_NE(xml.find("<testsuite name=\"essai &lt;1&gt;.yaml\" tests=\"" + std::to_string(outcomes.size()) +
                       "\" failures=\"" + std::to_string(c.failed) + "\" errors=\"0\" time=\"3725.500\""),
              std::string::npos)
        << xml;
  }
  const auto two = Outcomes(1, 1);
  EXPECT_EQ(ReportText("essai.yaml", two),
            "Scénario essai.yaml : 2 attentes\n"
            "  [01:02:05, fin] tacks: {min: \"<2 & 'x'>\"} : 3 virements <&> : OK\n"
            "  [01:02:05] tacks: {min: \"<2 & 'x'>\"} : 3 virements <&> : ÉCHEC\n"
            "1 attente sur 2 en échec.\n");
  EXPECT_NE(JUnitXml("e", two, 1).find("name=\"[01:02:05] tacks: {min: &quot;&lt;2 &amp; &apos;x&apos;&gt;&quot;}\""),
            std::string::npos);
  // Bytes that are not UTF-8 and control characters do not reach the XML.
  EXPECT_NE(JUnitXml("a\x01\xff" "b", {}, 0).find("name=\"a??b\""), std::string::npos);
}

}  // namespace
}  // namespace ventrel::testing
