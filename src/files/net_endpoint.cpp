#include "files/net_endpoint.h"

#include <charconv>

#include "files/value_ranges.h"

namespace ventrel {

namespace {

constexpr std::string_view kDestinationForm =
    "forme HOTE:PORT, par exemple 127.0.0.1:10110, 192.168.1.255:10110 ou [::1]:10110";

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
         c == '_';
}
bool IsV6Char(char c) {
  return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || (c >= '0' && c <= '9') || c == ':' || c == '.';
}

// Digits only, 0..65535.
std::optional<std::uint16_t> ReadPort(std::string_view t) {
  if (t.empty() || t.size() > 5) return std::nullopt;
  unsigned v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size() || v > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(v);
}

// "HOST:PORT" or "[V6]:PORT" split; the host checked, the port read. `hostOptional`:
// "PORT" alone is accepted with an empty host.
std::optional<NetEndpoint> Split(std::string_view text, bool hostOptional) {
  NetEndpoint e;
  std::string_view port;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') return std::nullopt;
    const std::string_view h = text.substr(1, close - 1);
    if (h.empty() || h.find(':') == std::string_view::npos) return std::nullopt;
    for (char c : h) {
      if (!IsV6Char(c)) return std::nullopt;
    }
    e.host = std::string(h);
    port = text.substr(close + 2);
  } else {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
      if (!hostOptional) return std::nullopt;
      port = text;
    } else {
      const std::string_view h = text.substr(0, colon);
      if (h.empty()) return std::nullopt;
      for (char c : h) {
        if (!IsNameChar(c)) return std::nullopt;
      }
      e.host = std::string(h);
      port = text.substr(colon + 1);
    }
  }
  const std::optional<std::uint16_t> p = ReadPort(port);
  if (!p) return std::nullopt;
  e.port = *p;
  return e;
}

// The text in a message: raw bytes escaped, cut after 60 characters.
std::string Shown(std::string_view text) { return ShownValue(text, 60); }

}  // namespace

std::optional<NetEndpoint> ParseListenPoint(std::string_view text, std::string& error) {
  std::optional<NetEndpoint> e = Split(text, true);
  if (!e) {
    error = "Point d'écoute TCP invalide : « " + Shown(text) +
            " » (forme [ADRESSE:]PORT, port de 0 à 65535, par exemple 10110, 127.0.0.1:10110 ou [::1]:10110)";
  }
  return e;
}

bool IsListenHost(std::string_view host) {
  if (host.empty()) return false;
  // Read as a listening point would be: "HOST:1", an IPv6 host in brackets.
  const std::string h(host);
  std::string error;
  return ParseListenPoint((h.find(':') != std::string::npos ? "[" + h + "]" : h) + ":1", error).has_value();
}

std::optional<NetEndpoint> ParseDestination(std::string_view text, std::string& error) {
  std::optional<NetEndpoint> e = Split(text, false);
  if (!e || e->port == 0) {
    error = "Destination UDP invalide : « " + Shown(text) + " » (" + std::string(kDestinationForm) +
            ", port de 1 à 65535)";
    return std::nullopt;
  }
  return e;
}

std::vector<std::string_view> SplitList(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> items;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t end = text.find_first_of(separators, i);
    const std::string_view item = text.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
    if (!item.empty()) items.push_back(item);
    if (end == std::string_view::npos) break;
    i = end + 1;
  }
  return items;
}

std::optional<std::vector<NetEndpoint>> ParseDestinationList(std::string_view text, std::string& error) {
  std::vector<NetEndpoint> list;
  for (const std::string_view item : SplitList(text, ",; \t")) {
    std::optional<NetEndpoint> e = ParseDestination(item, error);
    if (!e) return std::nullopt;
    list.push_back(std::move(*e));
  }
  return list;
}

std::string EndpointText(const NetEndpoint& e) {
  const std::string port = std::to_string(e.port);
  if (e.host.empty()) return port;
  if (e.host.find(':') != std::string::npos) return "[" + e.host + "]:" + port;
  return e.host + ":" + port;
}

std::string DestinationListText(const std::vector<NetEndpoint>& list) {
  std::string s;
  for (const NetEndpoint& e : list) s += (s.empty() ? "" : ",") + EndpointText(e);
  return s;
}

}  // namespace ventrel
