#pragma once
// Where steering sentences are read, as the user types it (on the command line
// and in the configuration's [NAV] section):
//   "serial"           the receive side of the serial port the sentences are sent on;
//   "tcp"              what the clients of our own TCP server(s) send;
//   "udp:[ADDR:]PORT"  a UDP listening port ("udp:10111", "udp:127.0.0.1:10111",
//                      "udp:[::1]:10111"; no ADDR: every interface), port 1 to 65535;
//   "tcp://HOST:PORT"  a TCP client connection to another program's NMEA output
//                      ("tcp://127.0.0.1:10110", "tcp://[::1]:2000"), port 1 to 65535.
// A list separates its sources with commas or spaces; a source named twice is refused.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/net_endpoint.h"

namespace ventrel {

enum class NmeaSourceKind { Serial, TcpServerClients, Udp, TcpClient };

struct NmeaSource {
  NmeaSourceKind kind = NmeaSourceKind::Serial;
  // Udp: the listening point (host "" : every interface); TcpClient: the host and
  // port connected to; unused (empty, 0) for the others.
  NetEndpoint endpoint;
  bool operator==(const NmeaSource&) const = default;
};

// Nothing and a French message naming the text in `error` when it is not a source.
std::optional<NmeaSource> ParseNmeaSource(std::string_view text, std::string& error);
// An empty text gives an empty list.
std::optional<std::vector<NmeaSource>> ParseNmeaSourceList(std::string_view text, std::string& error);
// The French message for a source named twice in `list`; nothing when none is.
std::optional<std::string> RepeatedNmeaSource(const std::vector<NmeaSource>& list);

// The text the parsers read back ("serial", "udp:127.0.0.1:10111", "tcp://[::1]:2000").
std::string NmeaSourceText(const NmeaSource& s);
std::string NmeaSourceListText(const std::vector<NmeaSource>& list);

}  // namespace ventrel
