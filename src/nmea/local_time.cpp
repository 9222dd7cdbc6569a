#include "nmea/local_time.h"

#include <charconv>
#include <ctime>

namespace ventrel {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// The civil date of a day count from 1970-01-01 (the inverse of DaysFromCivil).
void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;                                  // [0, 146096]
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);           // [0, 365]
  const std::int64_t mp = (5 * doy + 2) / 153;                                // [0, 11]
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

// The digits of text[pos, pos + n) as a number; -1 when one is not a digit.
int Digits(std::string_view text, std::size_t pos, std::size_t n) {
  int v = 0;
  for (std::size_t i = pos; i < pos + n; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    v = v * 10 + (text[i] - '0');
  }
  return v;
}

}  // namespace

std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;                                        // [0, 399]
  const std::int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;  // [0, 365]
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;                // [0, 146096]
  return era * 146097 + doe - 719468;
}

LocalTime AddMilliseconds(const LocalTime& t, std::int64_t ms) {
  std::int64_t total = DaysFromCivil(t.year, t.month, t.day) * kMsPerDay +
                       ((t.hours * 60 + t.minutes) * 60 + t.seconds) * std::int64_t{1000} + t.milliseconds + ms;
  std::int64_t days = total / kMsPerDay;
  std::int64_t rest = total % kMsPerDay;
  if (rest < 0) {
    rest += kMsPerDay;
    --days;
  }
  LocalTime r;
  CivilFromDays(days, r.year, r.month, r.day);
  r.milliseconds = static_cast<int>(rest % 1000);
  rest /= 1000;
  r.seconds = static_cast<int>(rest % 60);
  rest /= 60;
  r.minutes = static_cast<int>(rest % 60);
  r.hours = static_cast<int>(rest / 60);
  return r;
}

namespace {

// n as printf's "%0<width>d" writes it, without going through printf: one of
// these is written for each sentence of the time-stamped list.
void AppendPadded(std::string& s, int n, int width) {
  char buf[16];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
  const std::size_t len = static_cast<std::size_t>(end - buf);
  const bool negative = n < 0;
  if (negative) s += '-';
  const std::size_t digits = len - (negative ? 1 : 0);
  const std::size_t room = static_cast<std::size_t>(width) - (negative ? 1 : 0);
  if (digits < room) s.append(room - digits, '0');
  s.append(buf + (negative ? 1 : 0), digits);
}

}  // namespace

std::string DateStamp(const LocalTime& t) {
  std::string s;
  s.reserve(10);
  AppendPadded(s, t.year, 4);
  s += '-';
  AppendPadded(s, t.month, 2);
  s += '-';
  AppendPadded(s, t.day, 2);
  return s;
}

std::string TimeStamp(const LocalTime& t) {
  std::string s;
  s.reserve(12);
  AppendPadded(s, t.hours, 2);
  s += ':';
  AppendPadded(s, t.minutes, 2);
  s += ':';
  AppendPadded(s, t.seconds, 2);
  s += '.';
  AppendPadded(s, t.milliseconds, 3);
  return s;
}

std::optional<LocalTime> ParseLocalTime(std::string_view text) {
  // YYYY-MM-DD hh:mm:ss
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':') {
    return std::nullopt;
  }
  LocalTime t;
  t.year = Digits(text, 0, 4);
  t.month = Digits(text, 5, 2);
  t.day = Digits(text, 8, 2);
  t.hours = Digits(text, 11, 2);
  t.minutes = Digits(text, 14, 2);
  t.seconds = Digits(text, 17, 2);
  if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) ||
      t.hours < 0 || t.hours > 23 || t.minutes < 0 || t.minutes > 59 || t.seconds < 0 || t.seconds > 59) {
    return std::nullopt;
  }
  return t;
}

NmeaClock ToNmeaClock(const LocalTime& t, long double dTU) {
  NmeaClock c;
  c.year = t.year;
  c.month = t.month;
  c.day = t.day;
  c.hours = t.hours;
  c.minutes = t.minutes;
  c.seconds = t.seconds + t.milliseconds / 1000.0L;
  c.dTU = dTU;
  return c;
}

long double SystemUtcOffset(const LocalTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hours;
  tm.tm_min = t.minutes;
  tm.tm_sec = t.seconds;
  tm.tm_isdst = -1;  // the library knows whether summer time applies
  // mktime sets the day of the week only when it places the time (its result -1
  // is also the second before 1970).
  tm.tm_wday = -1;
  const std::time_t utc = std::mktime(&tm);
  if (tm.tm_wday < 0) return 0.0L;
  // The seconds of t read as if it were UTC, against the instant the library
  // gives: both count from 1970-01-01 00:00 UTC.
  const std::int64_t asUtc =
      DaysFromCivil(t.year, t.month, t.day) * 86400 + (t.hours * 60 + t.minutes) * 60 + t.seconds;
  return static_cast<long double>(static_cast<std::int64_t>(utc) - asUtc) / 3600.0L;
}

}  // namespace ventrel
