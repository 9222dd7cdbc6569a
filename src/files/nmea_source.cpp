#include "files/nmea_source.h"

#include "files/value_ranges.h"

namespace ventrel {

namespace {

constexpr std::string_view kUdpPrefix = "udp:";
constexpr std::string_view kTcpPrefix = "tcp://";
constexpr std::string_view kForms =
    "serial, tcp, udp:[ADRESSE:]PORT ou tcp://HOTE:PORT, par exemple udp:10111 ou tcp://127.0.0.1:10110";

std::string Refused(std::string_view text, std::string_view why) {
  return "Source NMEA invalide : « " + ShownValue(text, 60) + " » (" + std::string(why) + ")";
}

}  // namespace

std::optional<NmeaSource> ParseNmeaSource(std::string_view text, std::string& error) {
  NmeaSource s;
  if (text == "serial") return s;
  if (text == "tcp") {
    s.kind = NmeaSourceKind::TcpServerClients;
    return s;
  }
  std::string why;
  if (text.starts_with(kUdpPrefix)) {
    const std::optional<NetEndpoint> e = ParseListenPoint(text.substr(kUdpPrefix.size()), why);
    if (!e || e->port == 0) {
      error = Refused(text, "forme udp:[ADRESSE:]PORT, port de 1 à 65535, par exemple udp:10111 ou udp:127.0.0.1:10111");
      return std::nullopt;
    }
    s.kind = NmeaSourceKind::Udp;
    s.endpoint = *e;
    return s;
  }
  if (text.starts_with(kTcpPrefix)) {
    const std::optional<NetEndpoint> e = ParseDestination(text.substr(kTcpPrefix.size()), why);
    if (!e) {
      error = Refused(text, "forme tcp://HOTE:PORT, port de 1 à 65535, par exemple tcp://127.0.0.1:10110");
      return std::nullopt;
    }
    s.kind = NmeaSourceKind::TcpClient;
    s.endpoint = *e;
    return s;
  }
  error = Refused(text, kForms);
  return std::nullopt;
}

std::optional<std::vector<NmeaSource>> ParseNmeaSourceList(std::string_view text, std::string& error) {
  std::vector<NmeaSource> list;
  for (const std::string_view item : SplitList(text, ", \t")) {
    std::optional<NmeaSource> s = ParseNmeaSource(item, error);
    if (!s) return std::nullopt;
    list.push_back(std::move(*s));
  }
  if (std::optional<std::string> why = RepeatedNmeaSource(list)) {
    error = std::move(*why);
    return std::nullopt;
  }
  return list;
}

std::optional<std::string> RepeatedNmeaSource(const std::vector<NmeaSource>& list) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (list[i] == list[j]) return "Source NMEA nommée deux fois : « " + NmeaSourceText(list[i]) + " »";
    }
  }
  return std::nullopt;
}

std::string NmeaSourceText(const NmeaSource& s) {
  switch (s.kind) {
    case NmeaSourceKind::Serial: return "serial";
    case NmeaSourceKind::TcpServerClients: return "tcp";
    case NmeaSourceKind::Udp: return std::string(kUdpPrefix) + EndpointText(s.endpoint);
    case NmeaSourceKind::TcpClient: return std::string(kTcpPrefix) + EndpointText(s.endpoint);
  }
  return {};
}

std::string NmeaSourceListText(const std::vector<NmeaSource>& list) {
  std::string s;
  for (const NmeaSource& e : list) s += (s.empty() ? "" : ",") + NmeaSourceText(e);
  return s;
}

}  // namespace ventrel
