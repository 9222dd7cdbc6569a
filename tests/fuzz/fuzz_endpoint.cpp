// Fuzz target: network addresses as typed on the command line and in the
// configuration (TCP listening points, UDP destinations and their lists), and the
// sources of steering sentences built on them.
//
// Any text is read or refused with a message; what is read is written back in a
// text that reads to the same address.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/net_endpoint.h"
#include "files/nmea_source.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ventrel;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  if (const auto e = ParseListenPoint(text, error)) {
    std::string again;
    const auto back = ParseListenPoint(EndpointText(*e), again);
    FUZZ_CHECK(back && *back == *e, "listening point does not read back: " + EndpointText(*e));
  } else {
    FUZZ_CHECK(!error.empty(), "listening point refused without a message");
  }
  error.clear();
  if (const auto e = ParseDestination(text, error)) {
    FUZZ_CHECK(e->port != 0 && !e->host.empty(), "destination without host or port");
  } else {
    FUZZ_CHECK(!error.empty(), "destination refused without a message");
  }
  error.clear();
  if (const auto list = ParseDestinationList(text, error)) {
    std::string again;
    const auto back = ParseDestinationList(DestinationListText(*list), again);
    FUZZ_CHECK(back && *back == *list, "destination list does not read back: " + DestinationListText(*list));
  }
  error.clear();
  if (const auto s = ParseNmeaSource(text, error)) {
    std::string again;
    const auto back = ParseNmeaSource(NmeaSourceText(*s), again);
    FUZZ_CHECK(back && *back == *s, "source does not read back: " + NmeaSourceText(*s));
  } else {
    FUZZ_CHECK(!error.empty(), "source refused without a message");
  }
  error.clear();
  if (const auto list = ParseNmeaSourceList(text, error)) {
    std::string again;
    const auto back = ParseNmeaSourceList(NmeaSourceListText(*list), again);
    FUZZ_CHECK(back && *back == *list, "source list does not read back: " + NmeaSourceListText(*list));
  } else {
    FUZZ_CHECK(!error.empty(), "source list refused without a message");
  }
  return 0;
}
