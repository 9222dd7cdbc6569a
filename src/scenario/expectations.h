#pragma once
// What must hold for a scenario to pass, checked on the typed read-out at a
// time of the run or at its end, and the report of a run: readable text, and
// JUnit XML for CI systems.
//
// Written in a scenario under `expect:`, each item one condition:
//   - at: end                       # or seconds, or hh:mm:ss
//     waypoint_distance_below: 0.5  # nautical miles
//   - at: 600
//     heading_between: [40, 60]     # degrees true; [350, 10] wraps through north
//   - sog_above: 4.5                # knots (at: end when left out)
//   - tacks: {min: 2, max: 4}       # tacks begun since second 0 (either bound may be left out)
//   - gybes: {min: 1}
//   - within: {lat: 47.5, lon: -3.25, radius: 0.2}   # nautical miles of that point
//   - no_sentence_missing: [1, 2, 3]                 # groups, or "all"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "nmea/sentence_cycle.h"
#include "program/boat_commands.h"
#include "scenario/command_fields.h"

namespace ventrel {

enum class ExpectKind { waypointDistanceBelow, headingBetween, speedOverGroundAbove, tacks, gybes, within,
                        noSentenceMissing };

struct Expectation {
  ExpectKind kind = ExpectKind::waypointDistanceBelow;
  std::optional<std::int64_t> atSeconds;  // run time, s; nothing: at the end
  long double low = 0, high = 0;          // a bound (below / above), or the interval (heading)
  std::optional<int> minCount, maxCount;  // tacks, gybes
  long double latitude = 0, longitude = 0, radiusNm = 0;  // within
  std::vector<int> groups;                // no_sentence_missing: 1 to 3
  std::string written;                    // as the file says it, for the report ("heading_between: [40, 60]")
  FieldPlace place;
};

// Watches the groups sent during a run (SentenceCycle::SetGroupListener), for
// no_sentence_missing: a sentence built but sent by no output.
class SentenceWatch {
 public:
  void OnGroup(const GroupOutcome& g, std::int64_t atMs);
  // "groupe 2 à 35 s : RMC, GLL" for each group of `groups` with a sentence
  // missing, up to `untilMs`; at most `most` lines, then a count of the rest.
  std::vector<std::string> Missing(const std::vector<int>& groups, std::int64_t untilMs, std::size_t most = 5) const;
  // Groups seen up to `untilMs`, of `groups`.
  std::size_t GroupsSeen(const std::vector<int>& groups, std::int64_t untilMs) const;

 private:
  struct Seen {
    int group;
    std::int64_t atMs;
    std::vector<std::string> missing;
  };
  std::vector<Seen> seen_;
};

struct ExpectationOutcome {
  Expectation expectation;
  std::int64_t checkedAtSeconds = 0;
  bool passed = false;
  std::string observed;  // French, with units: "0.42 mille", "cap 47.3°", "3 virements"
};

ExpectationOutcome Evaluate(const Expectation& e, std::int64_t nowSeconds, const BoatReadout& r,
                            const SentenceWatch& watch);

// The report: one line per expectation (time, what was asked, what was seen,
// "OK" or "ÉCHEC"), then the count of failures.
std::string ReportText(const std::string& scenarioName, const std::vector<ExpectationOutcome>& outcomes);
// A JUnit XML document: one testsuite named after the scenario, one testcase per
// expectation, a <failure> for each that failed; `seconds` is the run's length.
std::string JUnitXml(const std::string& scenarioName, const std::vector<ExpectationOutcome>& outcomes,
                     long double seconds);

}  // namespace ventrel
