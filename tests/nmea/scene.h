#pragma once
// The state behind the example sentences: a boat at 50°30' N, 1°30' W heading 45
// at 6.5 knots, true wind from 270 at 15 knots, variation 1° E, 13 m of water,
// the waypoint "Att_Dover" at 51°06.18' N, 1°19.88' E, 36.4 miles on 52.7°, on
// 6 December 2026 at 12:15:30 local time, UTC = local - 2 h (10:15:30 UTC);
// turning to port at 12°/min with the bar 4 positions right of the centre, 1234.5678
// miles logged, 12.3456 since the start.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/registry.h"
#include "nmea/records.h"

namespace ventrel::test {

struct Scene {
  SimState s;
  WaypointState w;
  NmeaClock clock;
  NmeaModule m;

  Scene() {
    s.BS = {6.5L, 45.0L};
    s.HDG = 45.0L;
    s.H180 = 225.0L;
    s.TW = {15.0L, 270.0L};
    s.AW = {12.4L, 0.0L};
    s.AWA = 44.8L;
    s.RelWA = 315.2L;
    s.Declin = 1.0L;
    s.DeclinD = 'E';
    s.dbs = 13.0L;
    s.offset_surf = 0.5L;
    s.offset_keel = 1.2L;
    s.UpdateDepthBelowTransducer();
    s.SOG = 6.8L;
    s.COG = 48.3L;
    s.WatrTemp = 13.0L;
    s.turnRate = -12.0L;
    s.helm = -4.0L;
    s.logTotal = 1234.5678L;
    s.logTrip = 12.3456L;
    s.Memo_Pos.lat = 50.5L;
    s.Memo_Pos.long_ = 358.5L;  // 1°30' W, graphic
    // Due south of the waypoint, 36.41 minutes of latitude away: the rhumb-line
    // distance along the meridian is 36.41 miles.
    w.Wp.P.nom = "Att_Dover";
    w.Wp.P.lat = 51.103L;                         // 51°06.18'
    w.Wp.P.long_ = 1.0L + 19.88L / 60.0L;         // 1°19.88'
    s.Pact.lat = w.Wp.P.lat - 36.41L / 60.0L;
    s.Pact.long_ = w.Wp.P.long_;
    w.Wp.dist = 36.4L;
    w.Wp.relev = 52.7L;
    w.WpUsed = true;
    w.BearOrToDest = 50.0L;
    w.WCV = 5.1L;
    w.ETE = 7.0825L;  // 7 h 08 min 25 s
    clock = {2026, 12, 6, 12, 15, 30.0L, -2.0L};
  }

  // Selects exactly the given sentence types ("*": all of them).
  void Select(const std::vector<std::string_view>& types) {
    for (const auto& e : SentenceTable()) {
      bool on = false;
      for (auto t : types) on = on || t == "*" || t == e.type;
      e.flag(m) = on ? t_switch::ON : t_switch::OFF;
    }
  }

  int Build(int group) { return m.BuildSentenceGroup(group, s, w, clock); }
};

// The checksum of the tests, written apart from the program's: XOR of the
// characters between "$" and "*", as two upper-case hexadecimal digits.
inline std::string OwnChecksum(std::string_view sentence) {
  const auto dollar = sentence.find('$');
  const auto star = sentence.find('*');
  std::uint8_t x = 0;
  for (auto i = dollar + 1; i < star; ++i) x = static_cast<std::uint8_t>(x ^ sentence[i]);
  const char* digits = "0123456789ABCDEF";
  return {digits[x >> 4], digits[x & 15]};
}

}  // namespace ventrel::test
