#include "nmea/nmea_clock.h"

#include <cmath>
#include <cstdint>

namespace ventrel {
namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// The civil date of a day count from 1970-01-01.
void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

long double Finite(long double x) { return std::isfinite(x) ? x : 0.0L; }

// The settings hold the offset within 14 hours; one beyond a day counts as 0, so
// that the seconds below always fit a 64-bit integer.
constexpr long double kMaxOffsetHours = 24.0L;

}  // namespace

UtcStamp UtcOf(const NmeaClock& c) {
  const std::int64_t days = DaysFromCivil(c.year, c.month, c.day);
  // Seconds of the local day plus the offset; the day count is kept apart so
  // that the fraction of a second keeps its precision.
  const long double dTU = std::fabs(Finite(c.dTU)) <= kMaxOffsetHours ? c.dTU : 0.0L;
  const long double seconds = std::fabs(Finite(c.seconds)) <= 86400.0L ? Finite(c.seconds) : 0.0L;
  const long double secOfDay = c.hours * 3600.0L + c.minutes * 60.0L + seconds + dTU * 3600.0L;
  // Nearest whole second, halves to even (the default rounding mode; rint rounds
  // as nearbyint does without saving the floating-point environment).
  const auto whole = static_cast<std::int64_t>(std::rint(secOfDay));
  std::int64_t dayShift = whole / 86400;
  std::int64_t rest = whole % 86400;
  if (rest < 0) {
    rest += 86400;
    --dayShift;
  }
  UtcStamp u;
  CivilFromDays(days + dayShift, u.year, u.month, u.day);
  u.hours = static_cast<int>(rest / 3600);
  u.minutes = static_cast<int>(rest / 60 % 60);
  u.seconds = static_cast<int>(rest % 60);
  return u;
}

}  // namespace ventrel
