// The one-second tick: the physics step (sim/physics_step) advances the boat,
// then its frame is presented: every field of the panel and every arrow of the
// dial, in the order of the step.

#include <cmath>
#include <stdexcept>

#include "nav/conversions.h"
#include "nav/number_forms.h"
#include "sim/physics_step.h"
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
  Show(Field::LatitudeDegrees, lat.deg, 15, 0);
  Show(Field::LatitudeMinutes, lat.min, 11, 8);
  const long double g = LongGeo(s_.Pact.long_);
  const DegMin lg = SplitDegMin(g);
  Show(Field::LongitudeDegrees, lg.deg, 15, 0);
  Show(Field::LongitudeMinutes, lg.min, 11, 8);
  panel_[Field::LatitudeHemisphere].setItemIndex(s_.Pact.lat >= 0 ? 0 : 1);
  panel_[Field::LongitudeHemisphere].setItemIndex(g >= 0 ? 0 : 1);
}

void VentrelModel::ShowTack(SailingTack side) {
  PanelField& am = panel_[Field::TackIndicator];
  if (side == SailingTack::tribord) {
    am.setText("    TRIBORD AMURE");
    am.setBackground(MonVert);
  } else {
    am.setFontColour(colours::kCream);
    am.setText("    BABORD AMURE");
    am.setBackground(MonRouge);
  }
}

void VentrelModel::Tick() {
  // A gybe step moves the boat a fifth of a second.
  nav_.clockMs += s_.EmpEncour ? 200 : 1000;
  const PhysicsFrame frame = AdvancePhysics(s_, w_, PhysicsInputs{speed_, params_, plan_});
  PresentTick(frame);
}

// The fields and the dial in the order of the step: each arrow is drawn with the
// values of its moment (the boat arrow and the first ground arrow with the speed
// before the polar), erasing the one of the previous tick, and a field shown twice
// in a tick (the speed over ground) is set twice, as its change mark depends on it.
void VentrelModel::PresentTick(const PhysicsFrame& f) {
  const SimState& s = s_;
  DisplayMemory& m = dial_.mem;
  Canvas& cv = dial_.canvas();
  const std::int32_t rdiv = f.ticksPerSecond;
  const bool withCurrent = f.current.mdl != 0;

  // Every ten seconds the dial is wiped; the compass card every tick.
  if (isMultiple(f.tickBefore, 10 * rdiv)) dial_.RepaintVisu();
  dial_.GradueCompas();

  if (!withCurrent) {
    panel_[Field::DriftSide].setText("°");
    panel_[Field::DriftAngle].setText("0");
  }

  // The picture of the best-haul button.
  PanelField& bestHaul = panel_[Field::BestHaulButton];
  if (f.closeHauled) {
    bestHaul.setPicture("jesuisaupres.bmp");
  } else if (s.ModNorm()) {
    bestHaul.setPicture("Vamp.bmp");
  } else if (s.VireEncour) {
    bestHaul.setPicture("JEVIRE.bmp");
  } else if (s.EmpEncour) {
    bestHaul.setPicture("JEMPANNE.bmp");
  }

  if (f.positionStepped) {
    if (f.waypointUpdated) ShowWaypointLeg();
    ShowPosition();
  }

  // True wind and its arrow, from the wind's side of the dial to the centre.
  Show(Field::TrueWindSpeedInput, f.trueWind.mdl, 3, 1);
  Show(Field::TrueWindDirectionInput, f.trueWind.argt, 4, 1);
  if (m.MemTWlgr != 0) {
    cv.SetPenColour(colours::kCream);
    dial_.DessFlechVent(m.MemTWlgr, m.MemTWAlpha);
  }
  cv.SetPenColour(colours::kGrey);
  m.MemTWlgr = m.factConv * f.trueWind.mdl;
  m.MemTWAlpha = 450 - f.trueWind.argt;
  m.MemOrigTW = dial_.DessFlechVent(m.MemTWlgr, m.MemTWAlpha);

  // Current from the tail of the true wind, and the surface wind from its tip.
  if (withCurrent) {
    Show(Field::CurrentSpeedInput, f.current.mdl, 3, 1);
    Show(Field::CurrentDirectionInput, f.current.argt, 4, 1);
    cv.SetPenMode(PenMode::Copy);
    if (m.MemCURlgr != 0) {
      cv.SetPenColour(colours::kCream);
      dial_.DessFlech(m.MemPrecOrigTW, m.MemCURlgr, m.MemCURAlpha);
    }
    cv.SetPenColour(colours::kGreen);
    const long double L = m.factConv * f.current.mdl;
    const long double A = 450 - f.current.argt;
    dial_.DessFlech(m.MemOrigTW, L, A);
    m.MemPrecOrigSW = m.MemOrigSW;
    m.MemOrigSW = Dial::PointAt(m.MemOrigTW, L, A);
    m.MemCURlgr = L;
    m.MemCURAlpha = A;

    const long double Lsw = m.factConv * f.surfaceWind.mdl;
    const long double Asw = 450 - f.surfaceWind.argt;
    if (m.MemSWlgr != 0) {
      cv.SetPenColour(colours::kCream);
      dial_.DessFlech(m.MemPrecOrigSW, m.MemSWlgr, m.MemSWAlpha - 180);
    }
    cv.SetPenColour(colours::kBlack);
    dial_.DessFlech(m.MemOrigSW, Lsw, Asw - 180);
    m.MemSWlgr = Lsw;
    m.MemSWAlpha = Asw;
  } else {
    m.MemOrigSW = m.MemOrigTW;
  }

  // Heading.
  const long double heading = f.boatBeforePolar.argt;
  Show(Field::HeadingInput, heading, 4, 1);
  {
    const std::string c = fixedForm(RoundEven(heading), 3, 0);
    const char* pad = c.size() == 1 ? " 00" : c.size() == 2 ? " 0" : " ";
    panel_[Field::HeadingBox].setText(pad + c);
  }
  Show(Field::TrueHeading, heading, 4, 1);  // the heading typed
  Show(Field::MagneticHeading, s.hdm, 4, 1);

  // The boat picture and the boat speed arrow (the speed of the previous tick).
  boat_->RotationBat(-heading);
  if (m.MemBSlgr != 0) {
    cv.SetPenColour(colours::kCream);
    dial_.DessFlech(dial_.Centre, m.MemBSlgr, m.MemBSAlpha);
  }
  cv.SetPenColour(colours::kBlue);
  dial_.DessFlech(dial_.Centre, m.factConv * f.boatBeforePolar.mdl, 450 - heading);
  m.MemBSlgr = m.factConv * f.boatBeforePolar.mdl;
  m.MemBSAlpha = 450 - heading;

  // Apparent wind, tack side, and the apparent wind arrow.
  ShowApparentWind();
  ShowTack(f.tackSide);
  if (m.MemAWlgr != 0) {
    cv.SetPenColour(colours::kCream);
    dial_.DessFlech(m.MemPrecOrigAW, m.MemAWlgr, m.MemAWAlpha - 180);
  }
  cv.SetPenColour(colours::kRed);
  m.MemAWlgr = m.factConv * f.apparentWind.mdl;
  m.MemAWAlpha = 450 - f.apparentWind.argt;
  m.MemOrigAW = dial_.DessFlechVent(m.MemAWlgr, m.MemAWAlpha);

  // The boat-velocity side of the wind triangle.
  if (!withCurrent) {
    m.MemOrigSW = m.MemOrigTW;
    m.MemPrecOrigSW = m.MemPrecOrigTW;
  }
  if (m.MemBSlgr != 0) {
    cv.SetPenColour(colours::kCream);
    dial_.DessFlechODDash(m.MemPrecOrigAW, m.MemPrecOrigSW);
  }
  cv.SetPenColour(colours::kBlue);
  dial_.DessFlechODDash(m.MemOrigAW, m.MemOrigSW);

  // Motion over ground with the boat speed before the polar.
  Show(Field::SpeedOverGround, f.groundBeforePolar.mdl, 4, 2);
  Show(Field::CourseOverGround, f.groundBeforePolar.argt, 5, 2);

  // With a current: the line to the true wind and the ground arrow.
  if (withCurrent) {
    if (m.MemBSlgr != 0) {
      cv.SetPenColour(colours::kCream);
      dial_.DessFlechODDash(m.MemPrecOrigAW, m.MemPrecOrigTW);
    }
    cv.SetPenColour(colours::kFuchsia);
    dial_.DessFlechODDash(m.MemOrigAW, m.MemOrigTW);
    cv.SetPenColour(colours::kCream);
    dial_.DessFlech(dial_.Centre, m.MemSOGlgr, m.MemCOGalpha);
    cv.SetPenColour(colours::kFuchsia);
    dial_.DessFlech(dial_.Centre, m.factConv * f.groundBeforePolar.mdl, 450 - f.groundBeforePolar.argt);
    m.MemSOGlgr = m.factConv * f.groundBeforePolar.mdl;
    m.MemCOGalpha = 450 - f.groundBeforePolar.argt;
  }

  m.MemPrecOrigAW = m.MemOrigAW;
  m.MemPrecOrigTW = m.MemOrigTW;
  if (withCurrent) ShowDrift();

  // The step stopped here: what was reached is shown, the tick is abandoned.
  if (f.boatSpeedUndefined) throw std::runtime_error("vitesse du bateau indéfinie (table polaire)");

  // Boat speed from the polar; without current it is the speed over ground.
  Show(Field::BoatSpeed, f.boatAfterPolar.mdl, 4, 2);
  if (!withCurrent) Show(Field::SpeedOverGround, f.boatAfterPolar.mdl, 4, 2);

  // Speed made good to windward. Shown only: its cosine is worked out when the
  // window reads it.
  panel_[Field::VmgToWind].setTextFrom(
      [swa = s.SWA, bsp = f.boatAfterPolar.mdl] { return fixedForm(CosL(DEC_RAD(swa)) * bsp, 4, 2); });

  // Scale and rings (redrawn on a change of scale, otherwise every third second).
  m.etalon = f.scaleReference;
  m.factConv = static_cast<long double>(dial_.Rayon - 12) / ScaleFor(m.etalon);
  if (m.MemFactConv != 0) {
    if (m.factConv != m.MemFactConv || isMultiple(f.tickAfter, 3 * rdiv)) {
      dial_.trace_ech(false, m.MemFactConv);
      dial_.trace_ech(true, m.factConv);
    }
  } else {
    dial_.trace_ech(true, m.factConv);
  }
  m.MemFactConv = m.factConv;

  // Depth history and box, once a second.
  if (isMultiple(f.tickAfter, rdiv)) dial_.MajProf(f.tickAfter, f.depthBelowSurface, s.WatrTemp);
}

}  // namespace ventrel
