// The UTC instant of a build: local date and time plus the offset, rounded to
// the second, the carry running into the date.

#include <gtest/gtest.h>

#include <limits>

#include "nmea/local_time.h"
#include "nmea/nmea_clock.h"
#include "nmea/zone_scope.h"

namespace ventrel {
namespace {

struct Case {
  const char* what;
  NmeaClock local;
  UtcStamp utc;
};

const Case kCases[] = {
    {"plain", {2026, 12, 6, 12, 15, 30.0L, -2.0L}, {2026, 12, 6, 10, 15, 30}},
    {"23:30 with +1 is the next day", {2026, 12, 6, 23, 30, 0.0L, 1.0L}, {2026, 12, 7, 0, 30, 0}},
    {"00:30 with -1 is the day before", {2026, 12, 6, 0, 30, 0.0L, -1.0L}, {2026, 12, 5, 23, 30, 0}},
    {"23:59:59.7 rounds into the next day", {2026, 12, 6, 23, 59, 59.7L, 0.0L}, {2026, 12, 7, 0, 0, 0}},
    {"new year by rounding", {2026, 12, 31, 23, 59, 59.5L, 0.0L}, {2027, 1, 1, 0, 0, 0}},
    {"a half second goes to the even second", {2026, 12, 31, 23, 59, 58.5L, 0.0L},
     {2026, 12, 31, 23, 59, 58}},
    {"29 February of a leap year", {2028, 2, 28, 23, 30, 0.0L, 1.0L}, {2028, 2, 29, 0, 30, 0}},
    {"1 March of a common year", {2027, 2, 28, 23, 30, 0.0L, 1.0L}, {2027, 3, 1, 0, 30, 0}},
    {"2100 is not a leap year", {2100, 2, 28, 23, 0, 0.0L, 2.0L}, {2100, 3, 1, 1, 0, 0}},
    {"an offset of 5 h 30 min", {2026, 1, 1, 0, 10, 0.0L, -5.5L}, {2025, 12, 31, 18, 40, 0}},
    {"seconds that are not a number count as 0",
     {2026, 6, 1, 8, 0, std::numeric_limits<long double>::quiet_NaN(), 0.0L},
     {2026, 6, 1, 8, 0, 0}},
    {"the widest offset the settings take", {2026, 6, 1, 8, 0, 0.0L, 14.0L}, {2026, 6, 1, 22, 0, 0}},
    {"an offset of 1e20 hours counts as 0", {2026, 6, 1, 8, 0, 0.0L, 1e20L}, {2026, 6, 1, 8, 0, 0}},
    {"and so does one beyond a day", {2026, 6, 1, 8, 0, 0.0L, -25.0L}, {2026, 6, 1, 8, 0, 0}},
    {"seconds of 1e30 count as 0", {2026, 6, 1, 8, 0, 1e30L, 0.0L}, {2026, 6, 1, 8, 0, 0}},
    {"9999 turns into 10000", {9999, 12, 31, 23, 0, 0.0L, 2.0L}, {10000, 1, 1, 1, 0, 0}},
};

TEST(NmeaClock, UtcOfTheLocalClock) {
  for (const auto& c : kCases) EXPECT_EQ(UtcOf(c.local), c.utc) << c.what;
}

#ifndef _WIN32
// The machine's offset (UTC - local) at a local instant, summer time included, in
// zones given as POSIX rules.
TEST(SystemUtcOffset, TheZoneOfTheMachineAtThatInstant) {
  const struct {
    const char* zone;
    LocalTime local;
    long double dTU;
  } cases[] = {
      {test::kCentralEurope, {2026, 12, 6, 10, 0, 0, 0}, -1.0L},
      {test::kCentralEurope, {2026, 7, 1, 12, 0, 0, 0}, -2.0L},
      {test::kCentralEurope, {2026, 3, 29, 1, 59, 59, 0}, -1.0L},  // the last second of winter time
      {test::kCentralEurope, {2026, 3, 29, 3, 0, 0, 0}, -2.0L},    // the first of summer time
      {test::kCentralEurope, {2026, 10, 25, 1, 59, 59, 0}, -2.0L},
      {test::kCentralEurope, {2026, 10, 25, 3, 0, 0, 0}, -1.0L},   // after the hour repeated
      {test::kEasternAmerica, {2026, 12, 6, 10, 0, 0, 0}, 5.0L},
      {test::kEasternAmerica, {2026, 7, 1, 10, 0, 0, 0}, 4.0L},
      {"<+0530>-5:30", {2026, 12, 6, 10, 0, 0, 0}, -5.5L},
      {"<+0545>-5:45", {2026, 12, 31, 23, 59, 59, 0}, -5.75L},
      {"<-0930>9:30", {2027, 1, 1, 0, 0, 0, 0}, 9.5L},
      {"<+14>-14", {2026, 12, 6, 10, 0, 0, 0}, -14.0L},
      {"UTC0", {2026, 7, 1, 12, 0, 0, 0}, 0.0L},
  };
  for (const auto& c : cases) {
    const test::ZoneScope zone(c.zone);
    EXPECT_EQ(SystemUtcOffset(c.local), c.dTU)
        << c.zone << " " << DateStamp(c.local) << " " << TimeStamp(c.local);
  }
}
#endif

}  // namespace
}  // namespace ventrel
