#pragma once
// The clock given to the sentence builds: the local date and time of the build
// and the offset of UTC from local time. From it come the UTC time and date that
// the sentences carry, both of the same instant.

namespace ventrel {

struct NmeaClock {
  int year = 2000;            // local calendar date (proleptic Gregorian)
  int month = 1;              // 1..12
  int day = 1;                // 1..31
  int hours = 0;              // local time of day, 0..23
  int minutes = 0;            // 0..59
  long double seconds = 0.0L; // [0, 60), with its fraction
  long double dTU = 0.0L;     // UTC - local time, decimal hours (5.5 is 5 h 30 min)
};

// A UTC instant to the whole second.
struct UtcStamp {
  int year = 2000, month = 1, day = 1;
  int hours = 0, minutes = 0, seconds = 0;
  friend bool operator==(const UtcStamp&, const UtcStamp&) = default;
};

// The UTC instant of the clock: local time + dTU, rounded to the nearest whole
// second (halves to even); the carry of the rounding and of the offset runs
// through the minutes and hours into the date, so 23:59:59.7 on 6 December is
// 00:00:00 on 7 December. A value that is not finite counts as 0, and so does an
// offset beyond 24 hours (the settings keep it within 14).
UtcStamp UtcOf(const NmeaClock& clock);

}  // namespace ventrel
