// The one-second tick: variations, wind triangle, boat speed, dead reckoning,
// waypoint, scale, depth, and every field and arrow of the panel, in that order.

#include <cmath>
#include <stdexcept>

#include "nav/conversions.h"
#include "nav/number_forms.h"
#include "sim/variations.h"
#include "sim/vect.h"
#include "sim/wind.h"
#include "model/window_model.h"

namespace ventrel {

namespace {

// Whole degrees and decimal minutes of |x| for the position fields: the minutes
// are rounded to the 8 decimals shown first, then a rounding up to 60 minutes is
// carried into the degrees (never "44" and "60.00000000").
struct DegMin {
  long double deg;
  long double min;
};

DegMin SplitDegMin(long double x) {
  const long double a = std::fabs(x);
  DegMin r{std::trunc(a), 0.0L};
  r.min = std::round((a - r.deg) * 60 * 1e8L) / 1e8L;
  if (r.min >= 60) {
    r.min -= 60;
    r.deg += 1;
  }
  return r;
}

}  // namespace

void VentrelModel::TimerATTimer() {
  try {
    Tick();
    lastTickError_.clear();
  } catch (const std::exception& e) {
    const std::string message = std::string("Erreur pendant le pas de simulation : ") + e.what();
    if (message != lastTickError_) Report(message);
    lastTickError_ = message;
  }
}

void VentrelModel::ShowPosition() {
  // Whole degrees: without decimals the fixed form writes them as the general form does.
  const DegMin lat = SplitDegMin(s_.Pact.lat);
  Show("EdLATdeg", lat.deg, 15, 0);
  Show("EdLATmin", lat.min, 11, 8);
  const long double g = LongGeo(s_.Pact.long_);
  const DegMin lg = SplitDegMin(g);
  Show("EdLGDEG", lg.deg, 15, 0);
  Show("EdLGmin", lg.min, 11, 8);
  panel_["RadioGLAT"].setItemIndex(s_.Pact.lat >= 0 ? 0 : 1);
  panel_["RadioGrLG"].setItemIndex(g >= 0 ? 0 : 1);
}

void VentrelModel::ShowTack(TAmure side) {
  PanelField& am = panel_["Edam"];
  if (side == TAmure::tribord) {
    am.setText("    TRIBORD AMURE");
    am.setBackground(MonVert);
  } else {
    am.setFontColour(colours::kCream);
    am.setText("    BABORD AMURE");
    am.setBackground(MonRouge);
  }
}

void VentrelModel::Tick() {
  SimState& s = s_;
  DisplayMemory& m = dial_.mem;
  Canvas& cv = dial_.canvas();
  const std::int32_t rdiv = static_cast<std::int32_t>(std::lround(s.tdiv));

  // 1-2. Every ten seconds the dial is wiped; the compass card every tick.
  if (isMultiple(s.t, 10 * rdiv)) dial_.RepaintVisu();
  dial_.GradueCompas();

  // 3. Without current the surface wind is the true wind.
  if (s.CUR.mdl == 0) {
    s.Deriv = 0;
    panel_["LDeriv"].setText("°");
    panel_["EdDeriv"].setText("0");
    s.SWA = s.TWA;
    s.SW = s.TW;
  }

  // 5-6. Close-hauled at the optimum, and the picture of the best-haul button.
  const long double alphaOpt = speed_.AlphaOptWndWrd;
  s.AuPres = std::fabs(s.SWA - alphaOpt) < 0.3L && s.SWA > alphaOpt;
  PanelField& bestHaul = panel_["BtBestHaul"];
  if (s.AuPres) {
    bestHaul.setPicture("jesuisaupres.bmp");
  } else if (s.ModNorm()) {
    bestHaul.setPicture("Vamp.bmp");
  } else if (s.VireEncour) {
    bestHaul.setPicture("JEVIRE.bmp");
  } else if (s.EmpEncour) {
    bestHaul.setPicture("JEMPANNE.bmp");
  }

  // 7. Dead reckoning over the last second on the motion over ground (a fifth of
  // a second per step while gybing: the gybe timer runs every 200 ms).
  if (isMultiple(s.t, rdiv)) {
    const long double distparc = s.EmpEncour ? s.OG.mdl / 18000 : s.OG.mdl / 3600;
    plan_.Calcul_Pos_DIST_RELEVE(s.Memo_Pos, s.Pact, s.OG.argt, distparc);
    s.Memo_Pos = s.Pact;
    if (w_.WpUsed) WpMajDistRel();
    ShowPosition();
  }

  // 8. The clock of the variations.
  ++s.t;
  const long double sec = s.t / s.tdiv;
  const SlowSines slow = SlowSinesAt(sec);

  // 9-10. True wind.
  s.TWSvar = params_.ChkB_TWS;
  s.TW.mdl = s.TWS;
  if (s.TWSvar) s.TW.mdl = s.TWS * (1 + WindSpeedTerms(sec));
  Show("EdTWS", s.TW.mdl, 3, 1);
  s.TWDvar = params_.ChkB_TWD;
  s.TW.argt = s.TWD;
  if (s.TWDvar) s.TW.argt = s.TWD + WindDirTerms(slow);
  if (s.TW.argt < 0) s.TW.argt += 360;
  if (s.TW.argt > 360) s.TW.argt -= 360;
  Show("EdTWD", s.TW.argt, 4, 1);

  // 11. True wind arrow, from the wind's side of the dial to the centre.
  if (m.MemTWlgr != 0) {
    cv.SetPenColour(colours::kCream);
    dial_.DessFlechVent(m.MemTWlgr, m.MemTWAlpha);
  }
  cv.SetPenColour(colours::kGrey);
  m.MemTWlgr = m.factConv * s.TW.mdl;
  m.MemTWAlpha = 450 - s.TW.argt;
  m.MemOrigTW = dial_.DessFlechVent(m.MemTWlgr, m.MemTWAlpha);

  // 12-13. Current from the tail of the true wind, and the surface wind from its tip.
  if (s.CUR.mdl != 0) {
    s.SW = Sigma_vect(s.TW, s.CUR);
    Show("EdFcourant", s.CUR.mdl, 3, 1);
    Show("EdDirCourant", s.CUR.argt, 4, 1);
    cv.SetPenMode(PenMode::Copy);
    if (m.MemCURlgr != 0) {
      cv.SetPenColour(colours::kCream);
      dial_.DessFlech(m.MemPrecOrigTW, m.MemCURlgr, m.MemCURAlpha);
    }
    cv.SetPenColour(colours::kGreen);
    const long double L = m.factConv * s.CUR.mdl;
    const long double A = 450 - s.CUR.argt;
    dial_.DessFlech(m.MemOrigTW, L, A);
    m.MemPrecOrigSW = m.MemOrigSW;
    m.MemOrigSW = Dial::PointAt(m.MemOrigTW, L, A);
    m.MemCURlgr = L;
    m.MemCURAlpha = A;

    const long double Lsw = m.factConv * s.SW.mdl;
    const long double Asw = 450 - s.SW.argt;
    if (m.MemSWlgr != 0) {
      cv.SetPenColour(colours::kCream);
      dial_.DessFlech(m.MemPrecOrigSW, m.MemSWlgr, m.MemSWAlpha - 180);
    }
    cv.SetPenColour(colours::kBlack);
    dial_.DessFlech(m.MemOrigSW, Lsw, Asw - 180);
    m.MemSWlgr = Lsw;
    m.MemSWAlpha = Asw;
  } else {
    s.SW = s.TW;
    m.MemOrigSW = m.MemOrigTW;
  }

  // 14-16. Heading: held by the autopilot in the normal mode, varied in every mode.
  s.HDGvar = params_.ChkB_HDG;
  if (s.ModNorm()) s.BS.argt = s.HDG;
  if (s.HDGvar) s.BS.argt = s.HDG + HeadingTerms(sec);
  if (s.BS.argt < 0) s.BS.argt += 360;
  Show("EdHDG", s.BS.argt, 4, 1);
  {
    const std::string c = fixedForm(RoundEven(s.BS.argt), 3, 0);
    const char* pad = c.size() == 1 ? " 00" : c.size() == 2 ? " 0" : " ";
    panel_["EdCAP"].setText(pad + c);
  }
  s.hdm = s.BS.argt - s.Declin;
  Show("Ed2HDGT", s.BS.argt, 4, 1);  // the heading of EdHDG
  Show("EdHDM", s.hdm, 4, 1);

  // 17-18. The boat picture and the boat speed arrow.
  boat_->RotationBat(-s.BS.argt);
  if (m.MemBSlgr != 0) {
    cv.SetPenColour(colours::kCream);
    dial_.DessFlech(dial_.Centre, m.MemBSlgr, m.MemBSAlpha);
  }
  cv.SetPenColour(colours::kBlue);
  dial_.DessFlech(dial_.Centre, m.factConv * s.BS.mdl, 450 - s.BS.argt);
  m.MemBSlgr = m.factConv * s.BS.mdl;
  m.MemBSAlpha = 450 - s.BS.argt;

  // 19-21. Apparent wind, reciprocal heading, tack side.
  MajAW_SWA();
  s.H180 = s.BS.argt - 180;
  if (s.H180 < 0) s.H180 += 360;
  ShowTack(F_amure());

  // 22. Apparent wind arrow.
  if (m.MemAWlgr != 0) {
    cv.SetPenColour(colours::kCream);
    dial_.DessFlech(m.MemPrecOrigAW, m.MemAWlgr, m.MemAWAlpha - 180);
  }
  cv.SetPenColour(colours::kRed);
  m.MemAWlgr = m.factConv * s.AW.mdl;
  m.MemAWAlpha = 450 - s.AW.argt;
  m.MemOrigAW = dial_.DessFlechVent(m.MemAWlgr, m.MemAWAlpha);

  // 23-24. The boat-velocity side of the wind triangle.
  if (s.CUR.mdl == 0) {
    m.MemOrigSW = m.MemOrigTW;
    m.MemPrecOrigSW = m.MemPrecOrigTW;
  }
  if (m.MemBSlgr != 0) {
    cv.SetPenColour(colours::kCream);
    dial_.DessFlechODDash(m.MemPrecOrigAW, m.MemPrecOrigSW);
  }
  cv.SetPenColour(colours::kBlue);
  dial_.DessFlechODDash(m.MemOrigAW, m.MemOrigSW);

  // 25. Motion over ground with the boat speed as it stands.
  s.OG = Sigma_vect(s.CUR, s.BS);
  s.SOG = s.OG.mdl;
  s.COG = s.OG.argt;
  Show("EdSOG", s.SOG, 4, 2);
  Show("EdCOG", s.COG, 5, 2);

  // 26. With a current: the line to the true wind and the ground arrow.
  if (s.CUR.mdl != 0) {
    if (m.MemBSlgr != 0) {
      cv.SetPenColour(colours::kCream);
      dial_.DessFlechODDash(m.MemPrecOrigAW, m.MemPrecOrigTW);
    }
    cv.SetPenColour(colours::kFuchsia);
    dial_.DessFlechODDash(m.MemOrigAW, m.MemOrigTW);
    cv.SetPenColour(colours::kCream);
    dial_.DessFlech(dial_.Centre, m.MemSOGlgr, m.MemCOGalpha);
    cv.SetPenColour(colours::kFuchsia);
    dial_.DessFlech(dial_.Centre, m.factConv * s.SOG, 450 - s.COG);
    m.MemSOGlgr = m.factConv * s.SOG;
    m.MemCOGalpha = 450 - s.COG;
  }

  // 27-28.
  m.MemPrecOrigAW = m.MemOrigAW;
  m.MemPrecOrigTW = m.MemOrigTW;
  if (s.CUR.mdl != 0) Affiche_derive();

  // 29-31. Boat speed from the polar (a manoeuvre sets it itself), then the
  // motion over ground again.
  if (s.ModNorm() || s.ModPil == TModPil::STDBY) {
    const long double bsp = speed_.BoatSpeed(s.SWA, s.SW.mdl);
    if (!std::isfinite(bsp)) throw std::runtime_error("vitesse du bateau indéfinie (table polaire)");
    s.BS.mdl = bsp;
  }
  Show("EdBSP", s.BS.mdl, 4, 2);
  if (s.CUR.mdl == 0) Show("EdSOG", s.BS.mdl, 4, 2);
  s.OG = Sigma_vect(s.CUR, s.BS);
  s.SOG = s.OG.mdl;
  s.COG = s.OG.argt;

  // 32-33. Speed made good to windward, relative wind clockwise from the bow.
  // Shown only: its cosine is worked out when the window reads it.
  panel_["EdVMGVent"].setTextFrom(
      [swa = s.SWA, bsp = s.BS.mdl] { return fixedForm(CosL(DEC_RAD(swa)) * bsp, 4, 2); });
  s.RelWA = RelWAOf(s.AWA, F_amure());

  // 34-35. Scale and rings (redrawn on a change of scale, otherwise every third second).
  m.etalon = std::max(s.AW.mdl, s.TW.mdl);
  m.factConv = static_cast<long double>(dial_.Rayon - 12) / ScaleFor(m.etalon);
  if (m.MemFactConv != 0) {
    if (m.factConv != m.MemFactConv || isMultiple(s.t, 3 * rdiv)) {
      dial_.trace_ech(false, m.MemFactConv);
      dial_.trace_ech(true, m.factConv);
    }
  } else {
    dial_.trace_ech(true, m.factConv);
  }
  m.MemFactConv = m.factConv;

  // 36-37. Depth.
  s.dbs = Depth(slow);
  if (isMultiple(s.t, rdiv)) dial_.MajProf(s.t, s.dbs, s.WatrTemp);
}

}  // namespace ventrel
