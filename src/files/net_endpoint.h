#pragma once
// Network addresses as the user types them, on the command line and in the
// configuration's [RESEAU] section:
//   a TCP listening point   "[ADDR:]PORT"   ("10110", "127.0.0.1:10110", "[::1]:10110");
//   a UDP destination       "HOST:PORT"     ("192.168.1.255:10110", "[ff02::1]:10110",
//                                           "localhost:2000");
//   a list of destinations  separated by commas, semicolons or spaces.
// An IPv6 address is written between brackets. A host is an IPv4 address or a name
// (letters, digits, '.', '-', '_'); the Qt floor resolves it. Ports are 0 to 65535
// where a listening point may ask for 0 (a port the system chooses), 1 to 65535
// for a destination.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ventrel {

struct NetEndpoint {
  std::string host;        // "" : every interface (listening point only); IPv6 without brackets
  std::uint16_t port = 0;  // 0..65535
  bool operator==(const NetEndpoint&) const = default;
};

// The default port of the TCP server, the usual one of navigation servers.
inline constexpr std::uint16_t kDefaultTcpPort = 10110;

// The items of a list separated by any of `separators`, the empty ones left out
// ("a,,b " gives "a" and "b").
std::vector<std::string_view> SplitList(std::string_view text, std::string_view separators);

// Nothing and a French message in `error` when the text is not of its form.
std::optional<NetEndpoint> ParseListenPoint(std::string_view text, std::string& error);
std::optional<NetEndpoint> ParseDestination(std::string_view text, std::string& error);
std::optional<std::vector<NetEndpoint>> ParseDestinationList(std::string_view text, std::string& error);

// True when `host` (no port; an IPv6 address without brackets) is one a listening
// point takes; false for an empty host, which each caller reads in its own way.
bool IsListenHost(std::string_view host);

// The text of an endpoint in the form the parsers read ("[::1]:10110", "10110").
std::string EndpointText(const NetEndpoint& e);
std::string DestinationListText(const std::vector<NetEndpoint>& list);

}  // namespace ventrel
