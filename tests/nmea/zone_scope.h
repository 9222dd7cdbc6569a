#pragma once
// The time zone of the C library set for the length of a test, then put back: a
// POSIX rule in TZ ("CET-1CEST,M3.5.0,M10.5.0/3"), which needs no zone database.
// Unix only (Windows reads other TZ forms).

#ifndef _WIN32

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace ventrel::test {

class ZoneScope {
 public:
  explicit ZoneScope(const char* tz) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    Set(tz);
  }
  ~ZoneScope() {
    if (old_) {
      Set(old_->c_str());
    } else {
      unsetenv("TZ");
      tzset();
    }
  }
  ZoneScope(const ZoneScope&) = delete;
  ZoneScope& operator=(const ZoneScope&) = delete;

 private:
  static void Set(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
  }
  std::optional<std::string> old_;
};

// Central Europe: UTC + 1, summer time UTC + 2 from the last Sunday of March
// 02:00 to the last Sunday of October 03:00 (29 March and 25 October in 2026).
inline constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";
// Eastern North America: UTC - 5, summer time UTC - 4 from the second Sunday of
// March to the first Sunday of November.
inline constexpr const char* kEasternAmerica = "EST5EDT,M3.2.0,M11.1.0";

}  // namespace ventrel::test

#endif
