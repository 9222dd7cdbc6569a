// Network addresses as typed: TCP listening points, UDP destinations and their lists.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/net_endpoint.h"

namespace ventrel::test {
namespace {

TEST(NetEndpoint, ListenPointsAndDestinations) {
  const struct {
    const char* text;
    bool listen;        // read as a listening point (else as a destination)
    const char* host;   // nullptr: refused
    int port;
    const char* shown;  // written back
  } rows[] = {
      {"10110", true, "", 10110, "10110"},
      {"0", true, "", 0, "0"},
      {"127.0.0.1:10110", true, "127.0.0.1", 10110, "127.0.0.1:10110"},
      {"[::1]:2000", true, "::1", 2000, "[::1]:2000"},
      {"[::]:65535", true, "::", 65535, "[::]:65535"},
      {"localhost:1", false, "localhost", 1, "localhost:1"},
      {"192.168.1.255:10110", false, "192.168.1.255", 10110, "192.168.1.255:10110"},
      {"[ff02::1]:10110", false, "ff02::1", 10110, "[ff02::1]:10110"},
      // Refused.
      {"65536", true, nullptr, 0, ""},
      {"", true, nullptr, 0, ""},
      {":10110", true, nullptr, 0, ""},
      {"-1", true, nullptr, 0, ""},
      {"+80", true, nullptr, 0, ""},
      {"123456", true, nullptr, 0, ""},
      {"::1:10110", true, nullptr, 0, ""},  // IPv6 without brackets
      {"[::1]10110", true, nullptr, 0, ""},
      {"[]:10110", true, nullptr, 0, ""},
      {"[1.2.3.4]:10110", true, nullptr, 0, ""},  // brackets hold IPv6 only
      {"host name:1", true, nullptr, 0, ""},
      {"10110", false, nullptr, 0, ""},  // a destination needs its host
      {"127.0.0.1:0", false, nullptr, 0, ""},
      {"127.0.0.1:", false, nullptr, 0, ""},
      {"h\xc3\xa9:1", false, nullptr, 0, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.listen ? "listen " : "destination ") + r.text);
    std::string error;
    const auto e = r.listen ? ParseListenPoint(r.text, error) : ParseDestination(r.text, error);
    if (r.host == nullptr) {
      EXPECT_FALSE(e.has_value());
      EXPECT_NE(error.find(r.listen ? "Point d'écoute TCP invalide" : "Destination UDP invalide"), std::string::npos)
          << error;
      continue;
    }
    ASSERT_TRUE(e.has_value()) << error;
    EXPECT_EQ(e->host, r.host);
    EXPECT_EQ(e->port, r.port);
    EXPECT_EQ(EndpointText(*e), r.shown);
  }
}

TEST(NetEndpoint, DestinationLists) {
  const struct {
    const char* text;
    bool ok;
    const char* shown;
  } rows[] = {
      {"", true, ""},
      {"127.0.0.1:1", true, "127.0.0.1:1"},
      {"127.0.0.1:1, [::1]:2;host:3  239.1.1.1:4", true, "127.0.0.1:1,[::1]:2,host:3,239.1.1.1:4"},
      {",,;", true, ""},
      {"127.0.0.1:1,bad", false, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    std::string error;
    const auto list = ParseDestinationList(r.text, error);
    ASSERT_EQ(list.has_value(), r.ok) << error;
    if (!list) continue;
    EXPECT_EQ(DestinationListText(*list), r.shown);
    // What is written reads back the same.
    const auto again = ParseDestinationList(DestinationListText(*list), error);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(*again, *list);
  }
}

}  // namespace
}  // namespace ventrel::test
