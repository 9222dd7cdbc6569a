// Fuzz target: the scenario reader, and the reports of what it accepts.
//
// Any text is either refused with a French message and a place inside the text
// (or none), or gives a scenario a run can play: a duration of 1 to 10^7 s, events
// sorted by time and none past the duration, each with its place; expectations at
// most at the duration, with sane bounds. Read twice, the same text gives the same
// verdict. The expectations of an accepted scenario, judged on an idle boat, give a
// report with one line each and a JUnit document with one testcase each and one
// failure per expectation failed, whatever the text they quote.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "scenario/scenario_file.h"

namespace {

using namespace ventrel;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string At(const std::string& what, int line, int column) {
  return what + " à " + std::to_string(line) + ":" + std::to_string(column);
}

void CheckRefusal(const ScenarioError& e, std::string_view text) {
  FUZZ_CHECK(!e.message.empty(), At("message vide", e.place.line, e.place.column));
  const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  FUZZ_CHECK(e.place.line >= 0 && e.place.line <= lines + 1 && e.place.column >= 0,
             At(e.message, e.place.line, e.place.column));
  FUZZ_CHECK((e.place.line == 0) == (e.place.column == 0), At(e.message, e.place.line, e.place.column));
}

void CheckScenario(const Scenario& s) {
  FUZZ_CHECK(s.durationSeconds >= 1 && s.durationSeconds <= 10'000'000, std::to_string(s.durationSeconds));
  FUZZ_CHECK(!s.config || s.config->is_absolute(), s.config->string());
  for (std::size_t i = 0; i < s.events.size(); ++i) {
    const TimedEvent& e = s.events[i];
    const std::string what = At(std::string(EventName(e.event)) + " à " + std::to_string(e.atSeconds) + " s", e.line,
                                e.column);
    FUZZ_CHECK(e.atSeconds >= 0 && e.atSeconds <= s.durationSeconds, what);
    FUZZ_CHECK(i == 0 || s.events[i - 1].atSeconds <= e.atSeconds, "événements non triés : " + what);
    FUZZ_CHECK(e.line >= 1 && e.column >= 1, what);
  }
  for (const Expectation& e : s.expectations) {
    const std::string what = At(e.written, e.place.line, e.place.column);
    FUZZ_CHECK(!e.atSeconds || (*e.atSeconds >= 0 && *e.atSeconds <= s.durationSeconds), what);
    FUZZ_CHECK(!e.written.empty() && e.place.line >= 1, what);
    switch (e.kind) {
      case ExpectKind::headingBetween:
        FUZZ_CHECK(e.low >= 0 && e.low <= 360 && e.high >= 0 && e.high <= 360, what);
        break;
      case ExpectKind::tacks:
      case ExpectKind::gybes:
        FUZZ_CHECK(e.minCount || e.maxCount, what);
        FUZZ_CHECK(!e.minCount || !e.maxCount || *e.minCount <= *e.maxCount, what);
        break;
      case ExpectKind::noSentenceMissing:
        FUZZ_CHECK(!e.groups.empty() && std::is_sorted(e.groups.begin(), e.groups.end()), what);
        for (const int g : e.groups) FUZZ_CHECK(g >= 1 && g <= 3, what);
        break;
      case ExpectKind::within:
        FUZZ_CHECK(e.latitude >= -90 && e.latitude <= 90 && e.radiusNm >= 0, what);
        break;
      default:
        break;
    }
  }

  std::vector<ExpectationOutcome> outcomes;
  std::size_t failed = 0;
  for (const Expectation& e : s.expectations) {
    outcomes.push_back(Evaluate(e, e.atSeconds.value_or(s.durationSeconds), BoatReadout{}, SentenceWatch{}));
    failed += outcomes.back().passed ? 0 : 1;
  }
  const std::string report = ReportText("fuzz.yaml", outcomes);
  FUZZ_CHECK(Count(report, " : OK\n") + Count(report, " : ÉCHEC\n") >= outcomes.size(), report);
  const std::string xml = JUnitXml("fuzz.yaml", outcomes, static_cast<long double>(s.durationSeconds));
  FUZZ_CHECK(Count(xml, "<testcase ") == outcomes.size(), xml);
  FUZZ_CHECK(Count(xml, "<failure ") == failed, xml);
  // Five lines of frame, a passed case in one element, a failed one in two: no
  // quoted text adds a "<" of its own.
  FUZZ_CHECK(Count(xml, "<") == 5 + (outcomes.size() - failed) + 4 * failed, xml);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::filesystem::path folder = "/nonexistent-ventrel-fuzz";
  const auto first = ParseScenario(text, folder);
  const auto second = ParseScenario(text, folder);
  FUZZ_CHECK(first.index() == second.index(), "deux lectures, deux verdicts");
  if (const auto* e = std::get_if<ScenarioError>(&first)) {
    CheckRefusal(*e, text);
    const auto& again = std::get<ScenarioError>(second);
    FUZZ_CHECK(e->message == again.message && e->place.line == again.place.line &&
                   e->place.column == again.place.column,
               e->message + " / " + again.message);
  } else {
    const Scenario& s = std::get<Scenario>(first);
    FUZZ_CHECK(s.events.size() == std::get<Scenario>(second).events.size(), "deux lectures, deux listes");
    CheckScenario(s);
  }
  return 0;
}
