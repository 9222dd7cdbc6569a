// Group 3: satellites in view (GSV), navigation to the waypoint (RMB, APB), the
// cross-track error (XTE), water temperature (MTW), course and speed over ground
// (VTG), date and time (ZDA), time to go (ZTG), closing speed (WCV), waypoint to
// waypoint (WNC), waypoint (WPL).
// Angles in degrees, speeds in knots, distances in nautical miles.

#include <charconv>
#include <cmath>
#include <iterator>

#include "nav/conversions.h"
#include "nav/geodesy.h"
#include "nav/number_forms.h"
#include "sim/waypoint.h"
#include "nmea/frame.h"
#include "nmea/registry.h"

namespace ventrel {
namespace {

std::string Ch(char c) { return std::string(1, c); }
char Letter(const PosField& p) { return p.letter.empty() ? ' ' : p.letter[0]; }

// The cross-track error of RMB, APB and XTE, nautical miles: the boat is taken to
// be on the waypoint's course.
constexpr long double kCrossTrackError = 0.0L;

// v with at least two digits, as "%02d" writes it.
std::string TwoDigits(int v) {
  char buf[16];
  char* p = buf;
  if (v >= 0 && v < 10) *p++ = '0';
  return std::string(buf, std::to_chars(p, buf + sizeof buf, v).ptr);
}

}  // namespace

namespace enc {

// The whole series of three messages, twelve satellites in view, four per message:
//   $--GSV,3,<k>,12,{<prn>,<elevation>,<azimuth>,<signal>} x 4*hh
// The six satellites of GSA are among them; satellite 33 of the third message
// has neither elevation nor azimuth.
void GSV(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.gsvr;
  r.TotNbMess = 3;
  r.OriNb = 3;
  r.SatInView = 12;
  // Constant fields, made once.
  static const SentenceFields kMessages[] = {
      {{"3", "1", "12", "05", "08", "317", "20", "07", "21", "143", "27", "13", "62", "284", "45", "15", "47",
        "061", "43"}},
      {{"3", "2", "12", "18", "11", "201", "24", "20", "38", "126", "41", "21", "29", "228", "38", "23", "09",
        "022", "19"}},
      {{"3", "3", "12", "24", "17", "252", "32", "28", "55", "093", "46", "30", "34", "068", "39", "33", "", "",
        "00"}}};
  out.insert(out.end(), std::begin(kMessages), std::end(kMessages));
}

// $--RMB,A,0.00,L,<origin>,<destination>,<lat>,<N|S>,<lon>,<E|W>,<range nm>,
//        <bearing T>,<closing kn>,,A*hh
// The origin is the second waypoint record (its name is empty).
void RMB(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.rmbr;
  const auto& wp = c.w.Wp;
  const PosField lat = LatField(wp.P.lat);
  const PosField lon = LonField(wp.P.long_, 9, 4);
  r.XTE = kCrossTrackError;
  r.ToWpID = wp.P.nom;
  r.FrWpID = c.w.Wp1.P.nom;
  r.DestLat = dec_dmd(wp.P.lat);
  r.NorS = Letter(lat);
  r.DestLG = dec_dmd(LongGeo(wp.P.long_));
  r.EorW = Letter(lon);
  r.RgToDest = wp.dist;
  r.BearToDest = wp.relev;
  r.DestWCV = c.w.WCV;
  r.ArrStat.clear();
  out.push_back({{Ch(r.Stat), fixedForm(r.XTE, 5, 2), Ch(r.DirTo), SanitizeName(r.FrWpID),
                  SanitizeName(r.ToWpID), lat.value, lat.letter, lon.value, lon.letter,
                  fixedForm(r.RgToDest, 5, 2), AngleField(r.BearToDest, 5, 2),
                  fixedForm(r.DestWCV, 4, 2), r.ArrStat, Ch(r.FAAmd)},
                 4,
                 1U << 3});  // the origin's name
}

// $--APB,A,A,0.00,L,N,V,V,<bearing origin to destination>,T,<name>,
//        <bearing position to destination>,T,<heading to steer M>,M*hh
// The bearing origin to destination is empty while it is not known.
void APB(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.apbr;
  r.XTE = kCrossTrackError;
  r.BearOrToDest = c.w.BearOrToDest;
  r.WpDestID = c.w.Wp.P.nom;
  r.BearPosToDest = c.w.Wp.relev;
  r.HdgToDest = HdGMagToDest(c.w, c.s, c.s.CUR);
  const std::string bearOr = c.w.BearOrKnown() ? AngleField(r.BearOrToDest, 5, 2) : "";
  out.push_back({{Ch(r.Stv), Ch(r.Stv2), fixedForm(r.XTE, 4, 2), Ch(r.DirToSteer), Ch(r.XTU),
                  Ch(r.Starr), Ch(r.StA), bearOr, Ch(r.BearTyp), SanitizeName(r.WpDestID),
                  AngleField(r.BearPosToDest, 5, 2), Ch(r.Bear2Typ), AngleField(r.HdgToDest, 5, 2),
                  Ch(r.HdgTyp)},
                 9});
}

// $--XTE,A,A,0.00,L,N,A*hh
// The cross-track error that RMB and APB send: always 0.
void XTE(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.xter;
  r.XTE = kCrossTrackError;
  out.push_back({{Ch(r.Stat), Ch(r.Stat2), fixedForm(r.XTE, 5, 2), Ch(r.DirToSteer), Ch(r.XTU), Ch(r.FAA)}});
}

// $--MTW,<degrees Celsius>,C*hh
void MTW(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.mtwr;
  r.Deg = c.s.WatrTemp;
  out.push_back({{fixedForm(r.Deg, 4, 2), Ch(r.TempU)}});
}

// $--VTG,<cog T>,T,<cog M>,M,<sog kn>,N,<sog km/h>,K,A*hh
void VTG(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.vtgr;
  r.COGT = c.s.COG;
  r.COGM = c.s.COG - c.s.Declin;
  r.SOG = c.s.SOG;
  r.SOGK = c.s.SOG * 1.852L;
  out.push_back({{AngleField(r.COGT, 5, 2), Ch(r.COG_typT), AngleField(r.COGM, 5, 2),
                  Ch(r.COG_typM), fixedForm(r.SOG, 4, 2), Ch(r.SOGU), fixedForm(r.SOGK, 4, 2),
                  Ch(r.SOGKU), Ch(r.FAAmd)}});
}

// $--ZDA,<utc>,<dd>,<mm>,<yyyy>,<offset hours>,<offset minutes>*hh
// The date is the UTC date of the same instant as the time; the offset is the
// one to add to local time to get UTC (-2 in summer in France).
void ZDA(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.zdar;
  const UtcStamp& u = c.m.utc;
  r.UTC = c.m.timUTC;
  // The year has four digits: a clock run beyond 9999 (or before year 1) leaves
  // the date fields empty rather than write a year of 0 or 10000.
  const bool dated = u.year >= 1 && u.year <= 9999;
  r.Day = dated ? TwoDigits(u.day) : "";
  r.Month = dated ? TwoDigits(u.month) : "";
  r.Year = dated ? std::to_string(u.year) : "";
  const long double dTU = std::isfinite(c.clock.dTU) ? c.clock.dTU : 0.0L;
  r.dTU = std::trunc(dTU);
  const long double dms = dec_dms(dTU);  // h.mm
  r.dTUmn = (dms - std::trunc(dms)) * 100.0L;
  out.push_back({{r.UTC, r.Day, r.Month, r.Year, fixedForm(r.dTU, 2, 0), fixedForm(r.dTUmn, 2, 0)}});
}

// $--ZTG,<utc>,<time to go hhmmss.ss>,<name>*hh
void ZTG(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.ztgr;
  r.UTC = c.m.timUTC;
  r.Trem = c.w.ETE;
  r.WpDestID = c.w.Wp.P.nom;
  out.push_back({{r.UTC, DurationText(r.Trem), SanitizeName(r.WpDestID)}, 2});
}

// $--WCV,<closing speed kn>,N,<name>*hh
void WCV(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.wcvr;
  r.WpWCV = c.w.WCV;
  r.WpID = c.w.Wp.P.nom;
  out.push_back({{fixedForm(r.WpWCV, 4, 2), Ch(r.Vunit), SanitizeName(r.WpID)}, 2});
}

// $--WNC,,N,,K,<to>,<from>*hh
// The distance between the two waypoints is not known: both fields are empty.
void WNC(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.wncr;
  r.Dist = 0.0L;
  r.DistK = 0.0L;
  r.WpToID = c.w.Wp.P.nom;
  r.WpFromID = c.w.Wp1.P.nom;
  out.push_back({{"", Ch(r.Dunit), "", Ch(r.DunitK), SanitizeName(r.WpToID),
                  SanitizeName(r.WpFromID)},
                 4,
                 1U << 5});  // the origin's name
}

// $--WPL,<lat>,<N|S>,<lon>,<E|W>,<name>*hh
void WPL(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.wplr;
  const auto& wp = c.w.Wp;
  const PosField lat = LatField(wp.P.lat);
  const PosField lon = LonField(wp.P.long_, 9, 4);
  r.WpLat = dec_dmd(wp.P.lat);
  r.NorS = Letter(lat);
  r.WpLG = dec_dmd(LongGeo(wp.P.long_));
  r.EorW = Letter(lon);
  r.WpID = wp.P.nom;
  out.push_back({{lat.value, lat.letter, lon.value, lon.letter, SanitizeName(r.WpID)}, 4});
}

}  // namespace enc

}  // namespace ventrel
