#pragma once
// Local calendar time to the millisecond, as the sentence lists stamp it and as
// the sentence builds read it. The time comes from a clock given by the owner:
// the system's local time in a window or a real-time run, a start instant plus
// the simulated time on the virtual clock, a fixed instant in tests.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "nmea/nmea_clock.h"

namespace ventrel {

struct LocalTime {
  int year = 2000;        // proleptic Gregorian, 1..9999
  int month = 1;          // 1..12
  int day = 1;            // 1..31
  int hours = 0;          // 0..23
  int minutes = 0;        // 0..59
  int seconds = 0;        // 0..59
  int milliseconds = 0;   // 0..999
  friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

using LocalClock = std::function<LocalTime()>;

// Days from 1 January 1970 to the given date (negative before it).
std::int64_t DaysFromCivil(int year, int month, int day);

// t moved by ms milliseconds (either sign), carried through the calendar.
LocalTime AddMilliseconds(const LocalTime& t, std::int64_t ms);

// "YYYY-MM-DD".
std::string DateStamp(const LocalTime& t);
// "hh:mm:ss.zzz", 24-hour clock.
std::string TimeStamp(const LocalTime& t);

// "YYYY-MM-DD hh:mm:ss" (exactly that form, a real date of years 1 to 9999);
// nothing for any other text.
std::optional<LocalTime> ParseLocalTime(std::string_view text);

// The clock of a sentence build at local time t, UTC being local time + dTU hours.
NmeaClock ToNmeaClock(const LocalTime& t, long double dTU);

// The machine's own offset of UTC from local time at local time t (UTC - local,
// decimal hours, summer time included), by the rules of the C library for the
// machine's zone (TZ on Unix, the zone settings on Windows): the offset of a
// configuration that says "auto". A local time in the gap of the change to summer
// time, or in the hour repeated at the change back, is placed as the library
// places it. 0 when the library cannot place t (a year outside its range).
long double SystemUtcOffset(const LocalTime& t);

}  // namespace ventrel
