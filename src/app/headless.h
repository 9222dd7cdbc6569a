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

#include "files/net_endpoint.h"
#include "files/nmea_source.h"
#include "nmea/local_time.h"

namespace ventrel::app {

// What a run does when its serial port fails (device unplugged, far end gone):
// try to open it again every 2 s and go on, or end with exit status 1.
enum class PortLoss { Retry, Exit };

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
  PortLoss portLoss = PortLoss::Retry;  // with --port only
  std::vector<NetEndpoint> tcp;       // --tcp [ADDR:]PORT, each a TCP server ("" : every interface)
  std::vector<NetEndpoint> udp;       // --udp HOST:PORT, each a destination
  int waitClients = 0;                // --wait-clients N: TCP clients awaited before second 0
  std::vector<NmeaSource> nmeaIn;     // --nmea-in SOURCE, each a source of steering sentences
  std::string pilot;                  // --pilot AUTO|STDBY|NAV at second 0; "" : the configuration's
  int speed = 1;                      // --speed N: real time N times as fast, 1 to 100
  std::string scenario;               // --scenario FILE: events and expectations played on the run
  std::string junit;                  // --junit FILE: the expectations' report as JUnit XML (with --scenario)
  std::optional<NetEndpoint> control;  // --control [ADDR:]PORT: the live control port (127.0.0.1 when no address)
};

// The options after "--headless". Nothing and a French message in `error` when
// they are wrong.
std::optional<HeadlessOptions> ParseHeadlessOptions(const std::vector<std::string>& args, std::string& error);

// ventrel --headless [options]. Exit status:
//   0  a clean end: duration reached, Ctrl+C, SIGTERM, or the reader of standard
//      output gone (a pipe closed by `head`: said on standard error only when a
//      list is written to a file);
//   1  a failure during the run, told on standard error: standard output or a list
//      file refused a write (the run stops; standard output holds whole sentences
//      and the list files exactly the lines of the sentences that went out), a list
//      could not be saved, the serial port was lost with --port-loss exit;
// With --scenario, status 1 also when an expectation of the scenario fails.
//   2  refused before starting, nothing sent: bad options, a scenario with an error, a configuration that
//      cannot be read as one or selects no sentence, no usable polar, a port that
//      cannot be opened, a TCP port taken, a UDP destination unknown, a source of
//      steering sentences refused (its form, "serial" without a serial port, "tcp"
//      without a TCP server, a UDP port taken).
// `args` are the arguments after "--headless".
int RunHeadless(int argc, char** argv, const std::vector<std::string>& args, std::ostream& err);

// ventrel --check-scenario FILE: reads the scenario and says whether it is valid
// ("Scénario valide : N événements, M attentes" on `out`, status 0), or its
// first error with its line and column on `err` (status 2). Nothing runs.
int CheckScenario(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ventrel::app
