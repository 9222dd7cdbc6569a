// An hour of sentences from the simulation model (model_run.h), for the real
// receivers of tests/app/nmea_consumers.sh, every type selected; the tack changes
// after half an hour (a restart: the trip log starts again).
// The local clock starts at 00:20 on 1 January 2027 with UTC one hour behind, so
// the UTC date changes at 23:59:59 -> 00:00:00 during the run. The test writes,
// into the folder named by VENTREL_NMEA_RUN_DIR (a temporary folder otherwise):
//   sentences.txt   the sentences, one per line, CR LF ended, as sent;
//   expected.jsonl  per sentence: its text, group, cycle and the values a
//                   receiver should decode from it, taken from the model's state.
// It checks here only what any receiver needs (frame, checksum, length).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "nav/geodesy.h"
#include "nmea/frame.h"
#include "model_run.h"
#include "scene.h"
#include "sim/wind.h"

namespace ventrel::test {
namespace {

long double Wrap(long double a) {
  a = std::fmod(a, 360.0L);
  return a < 0 ? a + 360.0L : a;
}

// A JSON object written member by member.
class Json {
 public:
  Json& num(const char* key, long double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.12Lg", v);
    return raw(key, std::isfinite(v) ? buf : "null");
  }
  Json& str(const char* key, const std::string& v) {
    std::string q = "\"";
    for (char c : v) q += (c == '"' || c == '\\') ? std::string{'\\', c} : std::string{c};
    return raw(key, q + "\"");
  }
  Json& raw(const char* key, const std::string& v) {
    body_ += (body_.empty() ? "\"" : ",\"") + std::string(key) + "\":" + v;
    return *this;
  }
  std::string text() const { return "{" + body_ + "}"; }

 private:
  std::string body_;
};

std::string Iso(const UtcStamp& u) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.000Z", u.year, u.month, u.day, u.hours,
                u.minutes, u.seconds);
  return buf;
}

// The values a receiver should decode from a sentence of this type, from the
// state the sentence was built from. Degrees, knots, metres, nautical miles.
std::string Expected(std::string_view type, const VentrelModel& model, const UtcStamp& utc,
                     const NmeaClock& clock) {
  const SimState& s = model.state();
  const WaypointState& w = model.waypoint();
  const long double transducer = s.dbs - s.offset_surf;
  Json e;
  const auto position = [&](const TPos_elem& p) {
    e.num("lat", p.lat).num("lon", LongGeo(p.long_));
  };
  if (type == "DPT") e.num("depth", transducer).num("offset", s.offset_surf);
  if (type == "DBS") e.num("depth", s.dbs);
  if (type == "DBT") e.num("depth", transducer);
  if (type == "DBK") e.num("depth", transducer - s.offset_keel);
  if (type == "HDG") e.num("headingMagnetic", Wrap(s.BS.argt - s.Declin)).num("variation", s.Declin);
  if (type == "HDM") e.num("headingMagnetic", Wrap(s.BS.argt - s.Declin));
  if (type == "HDT" || type == "VHW") e.num("headingTrue", Wrap(s.BS.argt));
  if (type == "VHW") e.num("headingMagnetic", Wrap(s.BS.argt - s.Declin)).num("speed", s.BS.mdl);
  if (type == "MWV") e.num("windAngle", Wrap(s.RelWA)).num("windSpeed", s.AW.mdl);
  if (type == "VWR") {
    // Off the bow, positive to starboard: the wind over the starboard side on starboard tack.
    const bool starboard = TackSideOf(s) == SailingTack::tribord;
    e.num("windAngle", Wrap(starboard ? s.AWA : -s.AWA)).num("windSpeed", s.AW.mdl);
  }
  if (type == "MWD") {
    e.num("windDirectionTrue", Wrap(s.TW.argt))
        .num("windDirectionMagnetic", Wrap(s.TW.argt - s.Declin))
        .num("windSpeedTrue", s.TW.mdl);
  }
  if (type == "GLL" || type == "RMC" || type == "GGA") {
    position(s.Memo_Pos);
    e.str("time", Iso(utc));
  }
  if (type == "RMC") e.num("sog", s.SOG).num("cog", Wrap(s.COG)).num("variation", s.Declin);
  if (type == "VTG") e.num("sog", s.SOG).num("cog", Wrap(s.COG)).num("cogMagnetic", Wrap(s.COG - s.Declin));
  if (type == "BWC" || type == "BWR" || type == "RMB" || type == "WPL") {
    position(w.Wp.P);
    e.str("waypoint", SanitizeName(w.Wp.P.nom));
  }
  if (type == "BWC" || type == "BWR") {
    e.num("bearingTrue", Wrap(w.Wp.relev)).num("bearingMagnetic", Wrap(w.Wp.relev - s.Declin));
  }
  if (type == "BWC") e.num("distance", w.Wp.dist);
  if (type == "BWR") {
    Mercator merc;
    merc.calcul_loxodromie(s.Pact.lat, s.Pact.long_, w.Wp.P.lat, w.Wp.P.long_);
    e.num("distance", merc.dist_loxo);
  }
  if (type == "RMB") {
    e.num("distance", w.Wp.dist).num("bearingTrue", Wrap(w.Wp.relev)).num("vmg", w.WCV);
    e.str("origin", w.Wp1.P.nom);
  }
  if (type == "APB") {
    if (w.BearOrKnown()) e.num("bearingOrigin", Wrap(w.BearOrToDest));
    e.num("bearingTrue", Wrap(w.Wp.relev)).num("headingToSteer", model.HdGMagToDest());
    e.str("waypoint", SanitizeName(w.Wp.P.nom));
  }
  if (type == "MTW") e.num("temperature", s.WatrTemp);
  if (type == "ROT") e.num("rateOfTurn", s.turnRate);
  if (type == "RSA") e.num("rudderAngle", s.helm);
  if (type == "VLW") e.num("logTotal", s.logTotal).num("logTrip", s.logTrip);
  if (type == "ZDA") {
    e.str("time", Iso(utc));
    e.num("zoneHours", std::trunc(clock.dTU));
  }
  return e.text();
}

TEST(ConsumerRun, AnHourOfModelSentencesForTheReceivers) {
  const char* dirEnv = std::getenv("VENTREL_NMEA_RUN_DIR");
  const std::filesystem::path dir =
      dirEnv != nullptr ? std::filesystem::path(dirEnv) : std::filesystem::path(::testing::TempDir());
  std::filesystem::create_directories(dir);

  ModelRun run;
  ASSERT_TRUE(run.messages.empty()) << run.messages.front();
  // Every type, those off unless chosen too.
  for (const auto& e : SentenceTable()) e.flag(run.m) = t_switch::ON;
  std::ofstream raw(dir / "sentences.txt", std::ios::binary);
  std::ofstream exp(dir / "expected.jsonl", std::ios::binary);
  std::map<std::string, int> perType;
  const RunPlan plan{{2027, 1, 1, 0, 20, 0.0L, -1.0L}, 3600, 1800};
  run.Sail(plan, [&](const std::string& s, int group, int sec, const NmeaClock& c) {
    ASSERT_EQ(s.substr(s.size() - 2), OwnChecksum(s)) << s;
    ASSERT_LE(s.size() + 2, 82u) << s;
    const std::string type = s.substr(3, 3);
    ++perType[type];
    raw << s << "\r\n";
    Json line;
    line.str("s", s).num("group", group).num("cycle", sec / 3).num("second", sec);
    line.raw("e", Expected(type, run.model, UtcOf(c), c));
    exp << line.text() << "\n";
  });
  EXPECT_TRUE(run.messages.empty()) << run.messages.front();
  // 1200 cycles of 33 sentences: 31 types, GSV three times.
  EXPECT_EQ(perType.size(), 31u);
  EXPECT_EQ(perType["GSV"], 3600);
  EXPECT_EQ(perType["RMC"], 1200);
  EXPECT_TRUE(raw.good());
  EXPECT_TRUE(exp.good());
}

}  // namespace
}  // namespace ventrel::test
