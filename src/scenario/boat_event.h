#pragma once
// One thing done to the boat or to its outputs at a moment of a run, typed: what
// a scenario file's event, a line of the control port and (through the same
// commands) the window ask for. Each maps onto BoatCommands (program/), or, for
// faults, onto the outputs' OutputFaults (nmea/output_faults.h).
//
// Heading, wind and current may be ramped: `overSeconds` > 0 moves the value
// linearly from what it is when the event comes to the value asked, one step a
// simulated second, the shorter way round for directions. 0: at once. A value
// left out (nothing) keeps what is in force.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "nmea/output_faults.h"
#include "program/boat_commands.h"

namespace ventrel {

struct HeadingEvent {
  long double degreesTrue = 0;  // 0 to 360
  long double overSeconds = 0;  // ramp length, s (0 to 86400)
};
struct TrueWindEvent {
  std::optional<long double> knots;        // 0 to 100
  std::optional<long double> fromDegrees;  // degrees true, where it blows from, 0 to 360
  long double overSeconds = 0;
};
struct CurrentEvent {
  std::optional<long double> knots;          // 0 to 20
  std::optional<long double> towardDegrees;  // degrees true, where it sets to, 0 to 360
  std::optional<CurrentKind> kind;           // constant or alternating (turns round every minute)
  long double overSeconds = 0;
};
struct WaypointEvent {
  std::string name;       // at most 32 printable ASCII characters
  long double latitude = 0;   // signed decimal degrees, north positive, -90 to 90
  long double longitude = 0;  // signed decimal degrees, east positive, -180 to 180
};
struct PilotEvent {
  PilotMode mode = PilotMode::automatic;
};
struct HelmEvent {
  int degreesToStarboard = 0;  // -15 to 15 per second, negative to port; 0 stops
};
struct TackEvent {};
struct GybeEvent {};
struct BestHaulEvent {};
struct StartEvent {};
struct PauseEvent {};
struct ResumeEvent {};
struct SentencesEvent {
  std::optional<std::vector<std::string>> types;  // exactly these are sent ("GGA", "RMC"); nothing: unchanged
  // The talkers of the four devices; nothing: unchanged ("GP"/"EC", "SD"/"II", "DM"/"II", "WI"/"II").
  std::optional<std::string> position, sounder, instruments, wind;
};
struct PolarEvent {
  std::filesystem::path file;  // absolute, or relative to the scenario's folder
};
struct PolarPercentEvent {
  int percent = 100;  // 0 to 100
};
struct FaultEvent {
  FaultKind kind = FaultKind::badChecksum;
  std::vector<std::string> types;            // sentence types ("RMC"); empty: every type
  std::optional<long double> forSeconds;     // > 0; nothing: until cleared
};
struct ClearFaultEvent {
  std::optional<FaultKind> kind;   // nothing: every kind
  std::vector<std::string> types;  // empty: every type
};

using BoatEvent = std::variant<HeadingEvent, TrueWindEvent, CurrentEvent, WaypointEvent, PilotEvent, HelmEvent,
                               TackEvent, GybeEvent, BestHaulEvent, StartEvent, PauseEvent, ResumeEvent,
                               SentencesEvent, PolarEvent, PolarPercentEvent, FaultEvent, ClearFaultEvent>;

// The command's name as written in scenario files and on the control port:
// "heading", "wind", "current", "waypoint", "pilot", "helm", "tack", "gybe",
// "best_haul", "start", "pause", "resume", "sentences", "polar", "polar_percent",
// "fault", "clear_fault".
std::string_view EventName(const BoatEvent& e);

// A run time as "hh:mm:ss" ("01:02:03"; hours may pass 99), as scenarios write
// times and as the lines told to the user show them.
std::string RunClockText(std::int64_t seconds);

// An event at a time of a run.
struct TimedEvent {
  std::int64_t atSeconds = 0;  // run time from second 0, s (0 to 10^7)
  BoatEvent event;
  int line = 0, column = 0;    // where it was written (1-based; 0: unknown)
};

}  // namespace ventrel
