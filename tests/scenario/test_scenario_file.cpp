// Scenario files: what a good file gives, where and why a bad one is refused.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "scenario/scenario_file.h"

namespace ventrel::testing {
namespace {

namespace fs = std::filesystem;

// A folder of its own with an empty configuration file "bateau.ini" in it.
class ScenarioFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("ventrel_scen_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
    std::ofstream(dir / "bateau.ini") << "[Version]\n";
  }
  void TearDown() override { fs::remove_all(dir); }

  std::variant<Scenario, ScenarioError> Parse(const std::string& text) const { return ParseScenario(text, dir); }

  fs::path dir;
};

// Event names in the order played, "name@seconds".
std::vector<std::string> Played(const Scenario& s) {
  std::vector<std::string> out;
  for (const auto& e : s.events) out.push_back(std::string(EventName(e.event)) + "@" + std::to_string(e.atSeconds));
  return out;
}

TEST_F(ScenarioFolder, GoodFilesReadAsWritten) {
  struct Case {
    std::string text;
    std::int64_t duration;
    std::vector<std::string> events;
    std::size_t expectations;
  };
  const std::vector<Case> cases = {
      {"duration: 600\n", 600, {}, 0},
      {"duration: 01:00:00\nevents:\nexpect:\n", 3600, {}, 0},
      {"duration: '10:05'\n", 605, {}, 0},
      // Sorted by time; at equal times, in the order written.
      {"duration: 02:00:00\nevents:\n"
       "  - {at: 900, tack: }\n"
       "  - at: 00:01:00\n    wind: {speed: 12, from: 45, over: 120}\n"
       "  - {at: 60, heading: {deg: 300}}\n"
       "  - {at: 0, pilot: {mode: AUTO}}\n"
       "  - {at: 2:00:00, fault: {kind: invalid_fix, sentences: [RMC, GLL], for: 60}}\n",
       7200,
       {"pilot@0", "wind@60", "heading@60", "tack@900", "fault@7200"},
       0},
      {"duration: 100\nexpect:\n  - sog_above: 4.5\n  - {at: 50, heading_between: [350, 10]}\n"
       "  - {at: end, tacks: {min: 2}}\n  - within: {lat: 51.1, lon: 1.3, radius: 0.2}\n"
       "  - no_sentence_missing: all\n  - {at: 1:40, waypoint_distance_below: 2}\n  - gybes: {max: 0}\n",
       100,
       {},
       7},
  };
  for (const auto& c : cases) {
    const auto r = Parse(c.text);
    ASSERT_TRUE(std::holds_alternative<Scenario>(r)) << c.text << std::get<ScenarioError>(r).message;
    const Scenario& s = std::get<Scenario>(r);
    EXPECT_EQ(s.durationSeconds, c.duration) << c.text;
    EXPECT_EQ(Played(s), c.events) << c.text;
    EXPECT_EQ(s.expectations.size(), c.expectations) << c.text;
  }
}

TEST_F(ScenarioFolder, ValuesOfAFullFile) {
  const auto r = Parse(
      "# commentaire\nconfig: bateau.ini\nstart: \"2026-12-06 10:00:00\"\nduration: 3600\nevents:\n"
      "  - at: 30\n    wind: {speed: 12.5, from: 45, over: 120}\n"
      "expect:\n  - at: 600\n    heading_between: [40, 60]\n  - tacks: {min: 1, max: 3}\n"
      "  - within: {lat: -47.5, lon: -3.25, radius: 0.2}\n  - no_sentence_missing: [3, 1, 3]\n");
  ASSERT_TRUE(std::holds_alternative<Scenario>(r)) << std::get<ScenarioError>(r).message;
  const Scenario& s = std::get<Scenario>(r);
  ASSERT_TRUE(s.config && s.start);
  EXPECT_TRUE(s.config->is_absolute() && fs::equivalent(*s.config, dir / "bateau.ini"));
  EXPECT_EQ(*s.start, (LocalTime{2026, 12, 6, 10, 0, 0, 0}));

  ASSERT_EQ(s.events.size(), 1u);
  EXPECT_EQ(std::make_pair(s.events[0].line, s.events[0].column), std::make_pair(6, 5));
  const auto& wind = std::get<TrueWindEvent>(s.events[0].event);
  EXPECT_EQ(std::make_tuple(*wind.knots, *wind.fromDegrees, wind.overSeconds), std::make_tuple(12.5L, 45.0L, 120.0L));

  ASSERT_EQ(s.expectations.size(), 4u);
  const auto& heading = s.expectations[0];
  EXPECT_EQ(heading.kind, ExpectKind::headingBetween);
  EXPECT_EQ(std::make_tuple(*heading.atSeconds, heading.low, heading.high, heading.place.line),
            std::make_tuple(std::int64_t{600}, 40.0L, 60.0L, 9));
  EXPECT_EQ(heading.written, "heading_between: [40, 60]");
  const auto& tacks = s.expectations[1];
  EXPECT_FALSE(tacks.atSeconds);
  EXPECT_EQ(std::make_pair(tacks.minCount, tacks.maxCount), std::make_pair(std::optional(1), std::optional(3)));
  EXPECT_EQ(tacks.written, "tacks: {min: 1, max: 3}");
  EXPECT_EQ(s.expectations[2].longitude, -3.25L);
  EXPECT_EQ(s.expectations[3].groups, (std::vector<int>{1, 3}));
}

TEST_F(ScenarioFolder, BadFilesGiveTheirPlaceAndWhy) {
  struct Case {
    std::string text;
    int line, column;
    std::string fragment;
  };
  const std::vector<Case> cases = {
      {"duration: 600\nevents: [\n", 3, 1, "syntaxe YAML"},
      {"duration: 600\n  bad: indent\n", 2, 6, "syntaxe YAML"},
      {"duration: 600\nevents: x\n---\nduration: 5\n", 3, 1, "un seul document"},
      // yaml-cpp alone would read empty documents from this for ever.
      {", duration: 10::0:0x\x82\x8d .\n", 1, 1, "symbole inattendu"},
      {"- 1\n- 2\n", 1, 1, "une table"},
      {"", 1, 1, "duration"},
      {"events: []\n", 1, 1, "« duration »"},
      {"duration: 600\nduree: 5\n", 2, 1, "« duree » inconnue"},
      {"duration: 1h\n", 1, 11, "n'est pas un temps"},
      {"duration: 0\n", 1, 11, "au moins 1 s"},
      {"duration: 10:60\n", 1, 11, "n'est pas un temps"},
      {"duration: 99999999\n", 1, 11, "dépasse"},
      {"start: 2026-13-01 10:00:00\nduration: 5\n", 1, 8, "AAAA-MM-JJ"},
      {"config: absent.ini\nduration: 5\n", 1, 9, "introuvable"},
      {"duration: 600\nevents:\n  - {at: 601, tack: }\n", 3, 5, "dépasse la durée"},
      {"duration: 600\nevents:\n  - {at: 5, tack: , gybe: }\n", 3, 21, "une seule commande"},
      {"duration: 600\nevents:\n  - {tack: }\n", 3, 5, "« at »"},
      {"duration: 600\nevents:\n  - at: 5\n    pilot: AUTO\n", 4, 12, "en table"},
      {"duration: 600\nevents:\n  - {at: 5, windy: {speed: 3}}\n", 3, 13, "commande inconnue"},
      {"duration: 600\nevents:\n  - {at: 5, wind: {speed: fast}}\n", 3, 27, "n'est pas un nombre"},
      {"duration: 600\nevents:\n  - {at: 5, wind: {speed: {a: 1}}}\n", 3, 27, "pas une table"},
      {"duration: 600\nevents:\n  - {at: 5, wind: {speed: 3, speed: 4}}\n", 3, 30, "en double"},
      {"duration: 600\nexpect:\n  - {at: 700, sog_above: 3}\n", 3, 5, "dépasse la durée"},
      {"duration: 600\nexpect:\n  - {sog_below: 3}\n", 3, 6, "« sog_below » inconnue"},
      {"duration: 600\nexpect:\n  - {sog_above: 3, tacks: {min: 1}}\n", 3, 20, "une seule condition"},
      {"duration: 600\nexpect:\n  - heading_between: [10]\n", 3, 22, "deux caps"},
      {"duration: 600\nexpect:\n  - heading_between: [10, 361]\n", 3, 27, "hors de l'intervalle"},
      {"duration: 600\nexpect:\n  - tacks: {min: 3, max: 2}\n", 3, 12, "« min » dépasse"},
      {"duration: 600\nexpect:\n  - tacks: {min: -1}\n", 3, 18, "nombre entier"},
      {"duration: 600\nexpect:\n  - within: {lat: 1, lon: 2}\n", 3, 13, "« radius »"},
      {"duration: 600\nexpect:\n  - within: {lat: 91, lon: 2, radius: 1}\n", 3, 19, "hors de l'intervalle"},
      {"duration: 600\nexpect:\n  - no_sentence_missing: [4]\n", 3, 27, "groupe"},
      {"duration: 600\nexpect:\n  - {at: end of run, sog_above: 1}\n", 3, 10, "n'est pas un temps"},
  };
  for (const auto& c : cases) {
    const auto r = Parse(c.text);
    ASSERT_TRUE(std::holds_alternative<ScenarioError>(r)) << c.text;
    const ScenarioError& e = std::get<ScenarioError>(r);
    EXPECT_EQ(e.place.line, c.line) << c.text << e.message;
    EXPECT_EQ(e.place.column, c.column) << c.text << e.message;
    EXPECT_NE(e.message.find(c.fragment), std::string::npos) << c.text << e.message;
  }
}

// What a hostile file may ask for is bounded: refused with a message, quickly.
TEST_F(ScenarioFolder, HostileFilesAreRefused) {
  // A text of 10000 characters named 100000 times: 10^9 bytes to copy if followed.
  std::string aliases = "duration: 600\nevents:\n  - {at: 1, sentences: {position: &t " + std::string(10000, 'x') +
                        ", types: [*t";
  for (int i = 0; i < 100000; ++i) aliases += ",*t";
  aliases += "]}}\n";
  const std::string deep = "duration: 600\nevents: " + std::string(5000, '[') + std::string(5000, ']') + "\n";
  const std::string big = "duration: 600\n#" + std::string(kMaxScenarioBytes, 'x') + "\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {aliases, "trop grand à lire"}, {deep, "imbrication trop profonde"}, {big, "fichier trop grand"}};
  for (const auto& [text, fragment] : cases) {
    const auto r = Parse(text);
    ASSERT_TRUE(std::holds_alternative<ScenarioError>(r)) << text.substr(0, 80);
    EXPECT_NE(std::get<ScenarioError>(r).message.find(fragment), std::string::npos)
        << std::get<ScenarioError>(r).message;
  }
}

TEST_F(ScenarioFolder, ReadingAFile) {
  std::ofstream(dir / "ok.yaml") << "config: bateau.ini\nduration: 60\n";
  const auto ok = ReadScenarioFile(dir / "ok.yaml");
  ASSERT_TRUE(std::holds_alternative<Scenario>(ok)) << std::get<ScenarioError>(ok).message;
  EXPECT_TRUE(fs::equivalent(std::get<Scenario>(ok).folder, dir));

  std::ofstream(dir / "bad.yaml") << "duration: 60\nevents: 3\n";
  const auto bad = ReadScenarioFile(dir / "bad.yaml");
  ASSERT_TRUE(std::holds_alternative<ScenarioError>(bad));
  EXPECT_EQ(ScenarioErrorText("bad.yaml", std::get<ScenarioError>(bad)),
            "bad.yaml:2:9 : events : une liste (- ...) est attendue, pas une valeur");

  const auto missing = ReadScenarioFile(dir / "absent.yaml");
  ASSERT_TRUE(std::holds_alternative<ScenarioError>(missing));
  EXPECT_EQ(ScenarioErrorText("absent.yaml", std::get<ScenarioError>(missing)),
            "absent.yaml : fichier de scénario introuvable");
}

// Every shipped scenario reads, with its configuration and at least one expectation.
TEST(ShippedScenarios, EveryOneReads) {
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(VENTREL_DATA_DIR) / "scenarios")) {
    if (entry.path().extension() != ".yaml") continue;
    ++count;
    const auto r = ReadScenarioFile(entry.path());
    ASSERT_TRUE(std::holds_alternative<Scenario>(r))
        << ScenarioErrorText(entry.path(), std::get<ScenarioError>(r));
    EXPECT_FALSE(std::get<Scenario>(r).events.empty()) << entry.path();
    EXPECT_FALSE(std::get<Scenario>(r).expectations.empty()) << entry.path();
  }
  EXPECT_GE(count, 3u);
}

}  // namespace
}  // namespace ventrel::testing
