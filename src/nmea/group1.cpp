// Group 1: depth (DPT, DBS, DBT, DBK), heading (HDG, HDM, HDT), rate of turn
// (ROT), rudder angle (RSA), wind (MWV, MWD).
// Depths in metres, angles in degrees, speeds in knots.

#include <cmath>

#include "nav/number_forms.h"
#include "nmea/frame.h"
#include "nmea/registry.h"

namespace ventrel {
namespace {

std::string Ch(char c) { return std::string(1, c); }

// DBS, DBT and DBK share one layout:
//   $--DBx,<feet x.x>,f,<metres x.xx>,M,<fathoms x.xx>,F*hh
// with 3.28 feet and 1.8288 metres to the fathom, as the instruments write them.
template <class Record>
SentenceFields DepthFields(Record& r, long double metres) {
  r.Depth_meters = metres;
  r.Depth_feet = metres * 3.28L;
  r.Depth_Fathoms = metres / 1.8288L;
  return {{fixedForm(r.Depth_feet, 5, 1), "f", fixedForm(r.Depth_meters, 5, 2), "M",
           fixedForm(r.Depth_Fathoms, 5, 2), "F"}};
}

}  // namespace

namespace enc {

// $--DPT,<depth below transducer m>,<transducer offset m>*hh
// The depth itself is computed by the group build, whether DPT is sent or not.
void DPT(BuildContext& c, std::vector<SentenceFields>& out) {
  out.push_back({{fixedForm(c.m.dptr.depth, 5, 2), fixedForm(c.s.offset_surf, 4, 2)}});
}

// Depth below the surface.
void DBS(BuildContext& c, std::vector<SentenceFields>& out) {
  out.push_back(DepthFields(c.m.dbsr, c.s.dbs));
}

// Depth below the transducer.
void DBT(BuildContext& c, std::vector<SentenceFields>& out) {
  out.push_back(DepthFields(c.m.dbtr, c.m.dptr.depth));
}

// Depth below the keel.
void DBK(BuildContext& c, std::vector<SentenceFields>& out) {
  out.push_back(DepthFields(c.m.dbkr, c.m.dptr.depth - c.s.offset_keel));
}

// $HCHDG,<magnetic heading>,,,<variation>,<E|W>,*hh
// Deviation and its side are empty; the sentence ends with an empty field.
void HDG(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.hdgr;
  r.MSHDG = c.s.BS.argt - c.s.Declin;
  r.MDG = 0.0L;
  r.MDD = ' ';
  r.MVDG = std::fabs(c.s.Declin);
  r.MVD = c.s.DeclinD;
  out.push_back({{AngleField(r.MSHDG, 5, 2), "", "", generalForm(r.MVDG), Ch(r.MVD), ""}});
}

// $HCHDM,<magnetic heading>,M,*hh
void HDM(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.hdmr;
  r.HDGM = c.s.BS.argt - c.s.Declin;
  r.typ = 'M';
  out.push_back({{AngleField(r.HDGM, 5, 2), Ch(r.typ), ""}});
}

// $HCHDT,<true heading>,T,*hh
void HDT(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.hdtr;
  r.HDGT = c.s.BS.argt;
  r.typ = 'T';
  out.push_back({{AngleField(r.HDGT, 5, 2), Ch(r.typ), ""}});
}

// $HCROT,<degrees per minute, - to port>,A*hh
// The rate over the last tick, as the tick worked it out (V: not known).
void ROT(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.rotr;
  r.Rate = c.s.turnRate;
  r.Stat = std::isfinite(r.Rate) ? 'A' : 'V';
  out.push_back({{fixedForm(r.Rate, 6, 1), Ch(r.Stat)}});
}

// $APRSA,<starboard (single) rudder, degrees, - to port>,A,,V*hh
// The angle of the helm bar (V: not known); there is no second rudder: its
// fields say so.
void RSA(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.rsar;
  r.Stbd = c.s.helm;
  r.StbdStat = std::isfinite(r.Stbd) ? 'A' : 'V';
  out.push_back({{fixedForm(r.Stbd, 4, 1), Ch(r.StbdStat), "", Ch(r.PortStat)}});
}

// $--MWV,<apparent angle clockwise from the bow>,R,<apparent speed kn>,N,A*hh
void MWV(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.mwvr;
  r.WANGL = c.s.RelWA;
  r.WARF = 'R';
  r.WSP = c.s.AW.mdl;
  r.WSU = 'N';
  r.WST = 'A';
  out.push_back({{AngleField(r.WANGL, 5, 2), Ch(r.WARF), fixedForm(r.WSP, 4, 2), Ch(r.WSU),
                  Ch(r.WST)}});
}

// $--MWD,<true wind from, true>,T,<the same, magnetic>,M,<kn>,N,<m/s>,M*hh
void MWD(BuildContext& c, std::vector<SentenceFields>& out) {
  auto& r = c.m.mwdr;
  r.WDIRT = c.s.TW.argt;
  r.WDIRM = c.s.TW.argt - c.s.Declin;
  r.WSpN = c.s.TW.mdl;
  r.WSpMS = c.s.TW.mdl * 1852.0L / 3600.0L;
  out.push_back({{AngleField(r.WDIRT, 5, 2), Ch(r.DIRTtyp), AngleField(r.WDIRM, 5, 2),
                  Ch(r.DIRMtyp), fixedForm(r.WSpN, 4, 2), Ch(r.WSUN), fixedForm(r.WSpMS, 4, 2),
                  Ch(r.WSUMS)}});
}

}  // namespace enc

}  // namespace ventrel
