#pragma once
// A scenario: a passage written down to be run again and again (in CI, every
// night) with its weather, its manoeuvres, its sensor faults and what must hold
// for it to pass. Written in YAML:
//
//   config: ../Ventrel.ini            # optional, relative to this file
//   start: "2026-12-06 10:00:00"      # optional, local time of second 0
//   duration: 01:00:00                # seconds or hh:mm:ss (or mm:ss)
//   events:
//     - at: 0
//       wind: {speed: 12, from: 45}
//     - at: 00:10:00
//       wind: {from: 60, over: 120}   # ramped over 120 s
//     - at: 900
//       tack:
//     - at: 1200
//       fault: {kind: invalid_fix, sentences: [RMC, GLL], for: 60}
//   expect:
//     - at: end
//       waypoint_distance_below: 0.5
//     - at: 600
//       heading_between: [40, 60]
//
// Events at the same time run in the order written; events at 0 are applied
// before the start, as values typed before "Démarrer".

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "nmea/local_time.h"
#include "scenario/boat_event.h"
#include "scenario/command_fields.h"
#include "scenario/expectations.h"

namespace ventrel {

struct Scenario {
  std::filesystem::path folder;             // the scenario file's folder (relative names start there)
  std::optional<std::filesystem::path> config;  // absolute once read
  std::optional<LocalTime> start;           // local time of second 0
  std::int64_t durationSeconds = 0;          // 1 to 10^7
  std::vector<TimedEvent> events;           // sorted by time, stable
  std::vector<Expectation> expectations;
};

struct ScenarioError {
  std::string message;  // French
  FieldPlace place;     // line and column in the file (1-based)
};

// Largest scenario file read, bytes.
inline constexpr std::size_t kMaxScenarioBytes = 1024 * 1024;

// Reads the text of a scenario file that sits in `folder`. Any error (YAML
// syntax, unknown key, bad value, event past the duration, a file named that does
// not exist) gives its place and a French message; nothing is half-read.
std::variant<Scenario, ScenarioError> ParseScenario(std::string_view text, const std::filesystem::path& folder);
// Reads the file (at most kMaxScenarioBytes), then ParseScenario.
std::variant<Scenario, ScenarioError> ReadScenarioFile(const std::filesystem::path& file);
// "fichier.yaml:12:5 : message" for the user.
std::string ScenarioErrorText(const std::filesystem::path& file, const ScenarioError& e);

}  // namespace ventrel
