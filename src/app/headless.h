#pragma once
// ventrel --headless: the simulation and the sentence output without a window,
// for test benches, the continuous integration of navigation software and servers
// without a screen. It reads the configuration, loads the polar, starts the run
// at once as the start button does, and transmits until stopped.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "nmea/local_time.h"

namespace ventrel::app {

struct HeadlessOptions {
  std::string config;                 // "" : the default configuration beside the program
  std::string port;                   // "" : no serial port
  std::optional<std::uint32_t> baud;  // bits per second; the configuration's "iVit" when missing
  bool toStdout = false;              // the sentences with CR LF on standard output
  std::optional<std::int64_t> duration;  // simulated seconds; endless when missing
  bool fast = false;                  // the virtual clock, as fast as the machine allows
  std::optional<LocalTime> startTime;  // the local clock at second 0
  std::string log;                    // raw list, written at the end
  std::string logStamped;             // time-stamped list, written at the end
};

// The options after "--headless". Nothing and a French message in `error` when
// they are wrong.
std::optional<HeadlessOptions> ParseHeadlessOptions(const std::vector<std::string>& args, std::string& error);

// ventrel --headless [options]: exit status 0 after a clean end (duration reached,
// Ctrl+C, SIGTERM, standard output closed), 2 for bad options or a port that
// cannot be opened (nothing is started then), 1 when a list cannot be saved.
// `args` are the arguments after "--headless".
int RunHeadless(int argc, char** argv, const std::vector<std::string>& args, std::ostream& err);

}  // namespace ventrel::app
