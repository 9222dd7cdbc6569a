// Group 2: water speed (VHW), distance through the water (VLW), position (GLL,
// GGA, RMC), apparent wind (VWR), bearing and distance to the waypoint (BWC by
// great circle, BWR by rhumb line), satellites used (GSA). Angles in degrees, speeds in knots, distances in
// nautical miles; positions hold graphic longitudes.

#include <cmath>

#include "nav/conversions.h"
#include "nav/geodesy.h"
#include "nav/number_forms.h"
#include "nmea/frame.h"
#include "nmea/registry.h"
#include "sim/wind.h"

namespace ventrel {
namespace {

std::string Ch(char c) { return std::string(1, c); }
char Letter(const PosField& p) { return p.letter.empty() ? ' ' : p.letter[0]; }

// The waypoint values that BWC and BWR share, into bwcr.
void FillBwc(BuildContext& c) {
  auto& r = c.m.bwcr;
  const auto& wp = c.w.Wp;
  r.UTC = c.m.timUTC;
  r.WpLat = dec_dmd(wp.P.lat);
  r.WpNorS = LatLetter(wp.P.lat);
  r.WpLong = dec_dmd(LongGeo(wp.P.long_));
  r.WpEorW = LonLetter(wp.P.long_);
  r.WpBrgT = wp.relev;
  r.WpBrgM = wp.relev - c.s.Declin;
  r.WpDTW = wp.dist;
  r.WpID = wp.P.nom;
  r.WpFAA = 'A';
}

// $--BWC,<utc>,<lat>,<N|S>,<lon>,<E|W>,<brg T>,T,<brg M>,M,<dist nm>,N,<name>,A*hh
// (BWR without the last field). The distance has 2 decimals so that the
// sentence stays within 82 characters; the name is cut when it does not fit.
SentenceFields BwFields(const BuildContext& c, const t_BWC& r, bool withMode) {
  const PosField lat = LatField(c.w.Wp.P.lat);
  const PosField lon = LonField(c.w.Wp.P.long_, 10, 5);
  SentenceFields s{{r.UTC, lat.value, lat.letter, lon.value, lon.letter, AngleField(r.WpBrgT, 5, 2),
                    Ch(r.WpBrgTypT), AngleField(r.WpBrgM, 5, 2), Ch(r.WpBrgTypM),
                    fixedForm(r.WpDTW, 10, 2), Ch(r.WpDunit), SanitizeName(r.WpID)},
                   11};
  if (withMode) s.f.push_back(Ch(r.WpFAA));
  return s;
}

}  // namespace

namespace enc {

// $--VHW,<heading T>,T,<heading M>,M,<kn>,N,<km/h>,K*hh
void VHW(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.vhwr;
  r.HDGT = c.s.BS.argt;
  r.HDGM = c.s.BS.argt - c.s.Declin;
  r.BSn = c.s.BS.mdl;
  r.BSk = c.s.BS.mdl * 1.852L;
  out.push_back({{AngleField(r.HDGT, 5, 2), Ch(r.typt), AngleField(r.HDGM, 5, 2), Ch(r.typm),
                  fixedForm(r.BSn, 4, 2), Ch(r.SUn), fixedForm(r.BSk, 4, 2), Ch(r.SUk)}});
}

// $--VLW,<total nm>,N,<trip nm>,N*hh
// The total counts from the start of the program, the trip from the last start
// of the run.
void VLW(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.vlwr;
  r.Total = c.s.logTotal;
  r.Trip = c.s.logTrip;
  out.push_back({{fixedForm(r.Total, 8, 2), Ch(r.TotU), fixedForm(r.Trip, 8, 2), Ch(r.TripU)}});
}

// $--GLL,<lat>,<N|S>,<lon>,<E|W>,<utc>,A,A*hh
void GLL(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.gllr;
  const TPos_elem& p = c.s.Memo_Pos;
  const PosField lat = LatField(p.lat);
  const PosField lon = LonField(p.long_, 10, 5);
  r.BLat = dec_dmd(p.lat);
  r.NorS = Letter(lat);
  r.BLong = dec_dmd(LongGeo(p.long_));
  r.EorW = Letter(lon);
  r.UTC = c.m.timUTC;
  out.push_back({{lat.value, lat.letter, lon.value, lon.letter, r.UTC, Ch(r.Stat), Ch(r.FAAm)}});
}

// $--GGA,<utc>,<lat>,<N|S>,<lon>,<E|W>,1,06,3.1,0.0,M,,M,,*hh
// The position of GLL. The fix fields are constants that agree with GSA and GSV:
// quality 1 (a GPS fix), the 6 satellites GSA uses, the HDOP of GSA (3.1), the
// antenna at sea level (0.0 m); the geoid separation is not known (empty, as are
// the differential age and station).
void GGA(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.ggar;
  const TPos_elem& p = c.s.Memo_Pos;
  const PosField lat = LatField(p.lat);
  const PosField lon = LonField(p.long_, 10, 5);
  r.UTC = c.m.timUTC;
  r.Lat = dec_dmd(p.lat);
  r.NorS = Letter(lat);
  r.Long = dec_dmd(LongGeo(p.long_));
  r.EorW = Letter(lon);
  out.push_back({{r.UTC, lat.value, lat.letter, lon.value, lon.letter, std::to_string(r.Quality),
                  (r.SatUsed < 10 ? "0" : "") + std::to_string(r.SatUsed), fixedForm(r.HDOP, 3, 1),
                  fixedForm(r.Alt, 6, 1), "M", "", "M", "", ""}});
}

// $--RMC,<utc>,A,<lat>,<N|S>,<lon>,<E|W>,<sog kn>,<cog T>,<ddmmyy>,<variation>,<E|W>,A*hh
// The date is the UTC date of the same instant as the time.
void RMC(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.rmcr;
  const TPos_elem& p = c.s.Memo_Pos;
  const PosField lat = LatField(p.lat);
  const PosField lon = LonField(p.long_, 10, 5);
  r.UTC = c.m.timUTC;
  r.Lat = dec_dmd(p.lat);
  r.NorS = Letter(lat);
  r.Long = dec_dmd(LongGeo(p.long_));
  r.EorW = Letter(lon);
  r.SOG = c.s.SOG;
  r.COG = c.s.COG;
  r.Date = c.m.datact;
  r.MV = std::fabs(c.s.Declin);
  r.DevEorW = c.s.DeclinD;
  out.push_back({{r.UTC, Ch(r.Stat), lat.value, lat.letter, lon.value, lon.letter,
                  fixedForm(r.SOG, 4, 2), AngleField(r.COG, 5, 2), r.Date, fixedForm(r.MV, 5, 2),
                  Ch(r.DevEorW), Ch(r.FAA)}});
}

// $--VWR,<apparent angle off the bow 0..180>,<R|L>,<kn>,N,<m/s>,M,<km/h>,K*hh
// R on starboard tack (wind over the starboard side), L on port tack.
void VWR(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.vwrr;
  r.AWD = c.s.AWA;
  r.LorR = TackSideOf(c.s) == SailingTack::tribord ? 'R' : 'L';
  r.AWS = c.s.AW.mdl;
  r.AWSms = c.s.AW.mdl * 1852.0L / 3600.0L;
  r.AWSkm = c.s.AW.mdl * 1.852L;
  out.push_back({{AngleField(r.AWD, 5, 2), Ch(r.LorR), fixedForm(r.AWS, 4, 2), Ch(r.UnN),
                  fixedForm(r.AWSms, 4, 2), Ch(r.Unms), fixedForm(r.AWSkm, 4, 2), Ch(r.UnK)}});
}

// Bearing and great-circle distance to the waypoint.
void BWC(BuildContext& c, std::vector<SentenceFields>& out) {
  FillBwc(c);
  out.push_back(BwFields(c, c.m.bwcr, true));
}

// Great-circle bearings and the rhumb-line distance to the waypoint, from the
// present position; BWR keeps its own selection flag.
void BWR(BuildContext& c, std::vector<SentenceFields>& out) {
  FillBwc(c);
  const t_switch flag = c.m.bwrr.switch_;
  c.m.bwrr = c.m.bwcr;
  c.m.bwrr.switch_ = flag;
  c.m.rhumb.calcul_loxodromie(c.s.Pact.lat, c.s.Pact.long_, c.w.Wp.P.lat, c.w.Wp.P.long_);
  c.m.bwrr.WpDTW = c.m.rhumb.dist_loxo;
  out.push_back(BwFields(c, c.m.bwrr, false));
}

// A fixed fix status: automatic, 3D, satellites 13 15 20 21 28 30, PDOP 4.0,
// HDOP 3.1, VDOP 2.4.
void GSA(BuildContext&, std::vector<SentenceFields>& out) {
  out.push_back({{"A", "3", "13", "15", "20", "21", "28", "30", "", "", "", "", "", "", "04.0",
                  "03.1", "02.4"}});
}

}  // namespace enc

}  // namespace ventrel
