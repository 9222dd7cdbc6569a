// Sources of steering sentences as typed: one source, and lists of them.

#include <gtest/gtest.h>

#include <string>

#include "files/nmea_source.h"

namespace ventrel::test {
namespace {

TEST(NmeaSource, OneSourceReadsAndWritesBack) {
  using K = NmeaSourceKind;
  const struct {
    const char* text;
    K kind;
    const char* host;   // nullptr: refused
    int port;
    const char* shown;  // written back
  } rows[] = {
      {"serial", K::Serial, "", 0, "serial"},
      {"tcp", K::TcpServerClients, "", 0, "tcp"},
      {"udp:10111", K::Udp, "", 10111, "udp:10111"},
      {"udp:127.0.0.1:10111", K::Udp, "127.0.0.1", 10111, "udp:127.0.0.1:10111"},
      {"udp:[::1]:65535", K::Udp, "::1", 65535, "udp:[::1]:65535"},
      {"tcp://127.0.0.1:10110", K::TcpClient, "127.0.0.1", 10110, "tcp://127.0.0.1:10110"},
      {"tcp://localhost:1", K::TcpClient, "localhost", 1, "tcp://localhost:1"},
      {"tcp://[::1]:2000", K::TcpClient, "::1", 2000, "tcp://[::1]:2000"},
      // Refused.
      {"", K::Serial, nullptr, 0, ""},
      {"Serial", K::Serial, nullptr, 0, ""},
      {"serie", K::Serial, nullptr, 0, ""},
      {"udp", K::Serial, nullptr, 0, ""},
      {"udp:", K::Serial, nullptr, 0, ""},
      {"udp:0", K::Serial, nullptr, 0, ""},
      {"udp:65536", K::Serial, nullptr, 0, ""},
      {"udp:::1:10111", K::Serial, nullptr, 0, ""},
      {"udp://127.0.0.1:10111", K::Serial, nullptr, 0, ""},
      {"tcp://10110", K::Serial, nullptr, 0, ""},  // a connection needs its host
      {"tcp://127.0.0.1:0", K::Serial, nullptr, 0, ""},
      {"tcp://127.0.0.1", K::Serial, nullptr, 0, ""},
      {"tcp:127.0.0.1:10110", K::Serial, nullptr, 0, ""},
      {"tcp://", K::Serial, nullptr, 0, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    std::string error;
    const auto s = ParseNmeaSource(r.text, error);
    if (r.host == nullptr) {
      EXPECT_FALSE(s.has_value());
      EXPECT_NE(error.find(std::string("Source NMEA invalide : « ") + r.text + " »"), std::string::npos) << error;
      continue;
    }
    ASSERT_TRUE(s.has_value()) << error;
    EXPECT_EQ(s->kind, r.kind);
    EXPECT_EQ(s->endpoint.host, r.host);
    EXPECT_EQ(s->endpoint.port, r.port);
    EXPECT_EQ(NmeaSourceText(*s), r.shown);
  }
}

TEST(NmeaSource, ListsSplitOnCommasAndSpacesAndRefuseRepeats) {
  const struct {
    const char* text;
    const char* shown;  // nullptr: refused
    const char* why;    // part of the message when refused
  } rows[] = {
      {"", "", ""},
      {" , ", "", ""},
      {"serial", "serial", ""},
      {"serial,tcp", "serial,tcp", ""},
      {"udp:10111 tcp://[::1]:2000", "udp:10111,tcp://[::1]:2000", ""},
      {" tcp ,\tudp:127.0.0.1:1 ", "tcp,udp:127.0.0.1:1", ""},
      {"udp:10111,udp:127.0.0.1:10111", "udp:10111,udp:127.0.0.1:10111", ""},
      {"serial,serial", nullptr, "nommée deux fois : « serial »"},
      {"udp:10111 udp:10111", nullptr, "nommée deux fois : « udp:10111 »"},
      {"tcp,tcpp", nullptr, "« tcpp »"},
      {"udp:10111;tcp", nullptr, "« udp:10111;tcp »"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    std::string error;
    const auto list = ParseNmeaSourceList(r.text, error);
    if (r.shown == nullptr) {
      EXPECT_FALSE(list.has_value());
      EXPECT_NE(error.find(r.why), std::string::npos) << error;
      continue;
    }
    ASSERT_TRUE(list.has_value()) << error;
    EXPECT_EQ(NmeaSourceListText(*list), r.shown);
    std::string again;
    const auto back = ParseNmeaSourceList(NmeaSourceListText(*list), again);
    ASSERT_TRUE(back.has_value()) << again;
    EXPECT_EQ(*back, *list);
  }
}

}  // namespace
}  // namespace ventrel::test
