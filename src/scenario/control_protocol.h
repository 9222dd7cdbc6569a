#pragma once
// The live control port's protocol, without the sockets: one JSON object a line
// in, one JSON object a line out. A line names a command and its arguments as a
// scenario event does ({"cmd": "wind", "speed": 14, "from": 250, "over": 60}),
// or asks for the read-out ({"cmd": "readout"}). The answer says accepted
// ({"ok": true}), or refused and why ({"ok": false, "error": "..."}), or carries
// the read-out ({"ok": true, "readout": {...}}). No command reads or writes a file.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "program/boat_commands.h"
#include "scenario/boat_event.h"

namespace ventrel {

// Longest line taken, bytes (without its end); a longer one is refused whole.
inline constexpr std::size_t kMaxControlLine = 4096;

// What the protocol acts on: the window or the headless run plays the event
// (EventPlayer::Play with the run's time) and gives the read-out.
struct ControlTarget {
  std::function<CommandResult(const BoatEvent&)> play;
  std::function<BoatReadout()> readout;
};

// The answer to one line (without its CR LF), itself one line without its end.
std::string AnswerControlLine(std::string_view line, const ControlTarget& target);
// The answer to a line longer than kMaxControlLine.
std::string OversizedLineAnswer();
// The read-out as a JSON object (numbers with ".", angles in degrees, speeds in knots).
std::string ReadoutJson(const BoatReadout& r);

}  // namespace ventrel
