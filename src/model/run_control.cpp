// Start, pause, the single step and resume, the alternating current, and the best
// upwind angle.

#include <algorithm>
#include <charconv>
#include <cmath>

#include "files/value_ranges.h"
#include "nav/conversions.h"
#include "nav/number_forms.h"
#include "sim/variations.h"
#include "sim/vect.h"
#include "sim/wind.h"
#include "model/window_model.h"

namespace ventrel {

namespace {

// A whole number, blanks around it allowed, "+" or "-" in front.
bool ParseInt(std::string_view text, int& out) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  out = v;
  return true;
}

}  // namespace

bool VentrelModel::TickDrivenElsewhere() const {
  return timers_.TimerC.enabled() || timers_.TimerV.enabled() || timers_.TimerE.enabled() ||
         timers_.TimerPres.enabled();
}

// Exactly one timer runs the tick: while a current rotation or a manoeuvre drives
// it, its own end gives the tick back to TimerAT or TimerB.
void VentrelModel::EnableTickTimer() {
  if (TickDrivenElsewhere()) return;
  if (s_.ModPil == TModPil::AUTO) {
    timers_.TimerAT.setEnabled(true);
    timers_.TimerB.setEnabled(false);
  } else {
    timers_.TimerB.setEnabled(true);
    timers_.TimerAT.setEnabled(false);
  }
}

void VentrelModel::BtCALCClick() {
  SimState& s = s_;
  const bool firstStart = s.PremPasse;
  dial_.RepaintVisu();
  EnablePilotButtons();
  s.PremPasse = false;
  panel_[Field::PauseResumeButton].setEnabled(true);
  s.StPause = false;
  panel_[Field::ParametersMenuItem].setEnabled(false);
  panel_[Field::ConfigurationMenu].setEnabled(false);
  s.offset_surf = params_.CS;
  s.offset_keel = params_.CQ;

  const std::string& perc = panel_[Field::PolarPercentInput].text();
  if (int v = 0; !ParseInt(perc, v)) {
    Report("Champ « " + FieldCaption(Field::PolarPercentInput) + " » : « " + ShownValue(perc) +
           " » n'est pas un nombre entier, la valeur précédente est conservée.");
  } else if (const std::optional<std::string> problem = RangeProblem(*RangeOfField(FieldRange::polarPercent), v)) {
    Report("Champ « " + FieldCaption(Field::PolarPercentInput) + " » : « " + ShownValue(perc) + " » " + *problem +
           ", la valeur précédente est conservée.");
  } else {
    speed_.polPerc = v;
  }

  s.BS.mdl = ReadField(Field::BoatSpeed, s.BS.mdl);
  s.BS.argt = ReadField(Field::HeadingInput, s.BS.argt);
  s.TW.mdl = ReadField(Field::TrueWindSpeedInput, s.TW.mdl);
  s.TW.argt = ReadField(Field::TrueWindDirectionInput, s.TW.argt);
  s.CUR.mdl = ReadField(Field::CurrentSpeedInput, s.CUR.mdl);
  s.CUR.argt = ReadField(Field::CurrentDirectionInput, s.CUR.argt);

  ShowReferenceWindKind();
  s.SW = Sigma_vect(s.TW, s.CUR);
  RefreshApparentWind();  // with the boat speed typed
  EdTWSChange();
  s.H180 = s.BS.argt - 180;
  if (s.H180 < 0) s.H180 += 360;
  const SailingTack side = UpdateTackSide();
  ShowTack(side);
  // The sentences of second 0 go out before the first tick: they read the
  // relative wind and the depth of the start, not an angle of 0 and a depth of 0
  // (sent as a negative depth below the transducer).
  s.RelWA = ApparentWindAngleAround(s.AWA, side);

  // Position: whole degrees and decimal minutes; a wrong field keeps the
  // coordinate of the previous run.
  {
    bool ok = true;
    const long double deg = ReadField(Field::LatitudeDegrees, 0, &ok);
    const long double min = ReadField(Field::LatitudeMinutes, 0, &ok);
    const long double lat = deg + min / 60;
    if (ok && lat > 90) {
      ok = false;
      Report("Position : une latitude de " + generalForm(deg) + "° " + generalForm(min) +
             "' dépasse 90°, la position précédente est conservée.");
    }
    if (ok) {
      s.Pact.lat = panel_[Field::LatitudeHemisphere].itemIndex() == 1 ? -lat : lat;
    }
  }
  {
    bool ok = true;
    const long double deg = ReadField(Field::LongitudeDegrees, 0, &ok);
    const long double min = ReadField(Field::LongitudeMinutes, 0, &ok);
    if (ok) {
      const long double g = deg + min / 60;
      s.Pact.long_ = LongGraph(panel_[Field::LongitudeHemisphere].itemIndex() == 1 ? -g : g);
    }
  }
  s.Memo_Pos = s.Pact;
  if (w_.WpUsed) RefreshWaypointLeg();

  s.t = 0;
  s.dbs = Depth(SlowSinesAt(0));
  s.UpdateDepthBelowTransducer();
  s.HDG = s.BS.argt;
  s.hdm = s.HDG - s.Declin;
  s.HDGt_1 = s.HDG;
  s.RestartTrip();
  s.TWS = s.TW.mdl;
  s.TWD = s.TW.argt;

  // The typed boat speed gives way to the polar's.
  const long double bsp = speed_.BoatSpeed(s.SWA, s.SW.mdl);
  if (std::isfinite(bsp)) {
    s.BS.mdl = bsp;
  } else {
    Report("Vitesse du bateau indéfinie (table polaire) : la vitesse saisie est conservée.");
  }
  s.OG = Sigma_vect(s.CUR, s.BS);
  s.SOG = s.OG.mdl;
  s.COG = s.OG.argt;
  Show(Field::SpeedOverGround, s.SOG, 4, 2);
  Show(Field::CourseOverGround, s.COG, 5, 2);

  dial_.mem.factConv = static_cast<long double>(dial_.Rayon - 12) / Conv1N_20;
  boat_->RotationBat(-s.HDGt_1);
  dial_.GradueCompas();
  panel_[Field::PauseResumeButton].setPicture("Gl_pause.bmp");

  EnableTickTimer();
  if (s.ModPil == TModPil::AUTO) panel_[Field::BestHaulButton].setEnabled(true);
  // "alterné" chosen before the first start: the rotations begin with the run.
  if (firstStart && panel_[Field::CurrentKind].itemIndex() == 1) RadioGTypCClick();
}

void VentrelModel::SpBtPauseResClick() {
  SimState& s = s_;
  const bool stdby = s.ModPil == TModPil::STDBY;
  ModelTimer& T = stdby ? timers_.TimerB : timers_.TimerAT;
  if (T.enabled()) {
    T.setEnabled(false);
    DisablePilotButtons();
    if (nmea_.suspend) nmea_.suspend();
    panel_[Field::PauseResumeButton].setPicture("Gl_res.bmp");
    panel_[Field::ParametersMenuItem].setEnabled(true);
    panel_[Field::ConfigurationMenu].setEnabled(true);
    panel_[Field::BestHaulButton].setEnabled(false);
    if (stdby) {
      panel_[Field::HelmBar].setEnabled(false);
      panel_[Field::HelmBar].setSliderVisible(false);
    }
    s.StPause = true;
    CentreHelmBar();
  } else {
    // The resume takes up the typed values as "Démarrer" does, but the trip
    // log goes on: only "Démarrer" itself starts a new trip.
    const long double trip = s.logTrip;
    BtCALCClick();
    s.logTrip = trip;
    EnablePilotButtons();
    if (nmea_.resume) nmea_.resume();
    panel_[Field::PauseResumeButton].setPicture("Gl_pause.bmp");
    s.StPause = false;
    if (stdby) {
      panel_[Field::HelmBar].setEnabled(true);
      panel_[Field::HelmBar].setSliderVisible(true);
    }
    RadioGTypCClick();
  }
}

void VentrelModel::StepWhilePaused() {
  if (s_.PremPasse || !s_.StPause) return;
  // A pause is refused during a manoeuvre or a current rotation: the tick is
  // the pilot mode's own (in NAV the pilot itself waits for the resume).
  ModelTimer& T = s_.ModPil == TModPil::STDBY ? timers_.TimerB : timers_.TimerAT;
  T.fire();
}

void VentrelModel::RadioGTypCClick() {
  SimState& s = s_;
  // Nothing while paused, nor before the first start (the start takes the choice up).
  if (s.StPause || s.PremPasse) return;
  if (panel_[Field::CurrentKind].itemIndex() == 1) {
    if (s.VireEncour || s.EmpEncour || s.RecENCour) {
      // A manoeuvre drives the tick: this rotation is skipped, the next minute brings one.
      timers_.Timer60.setEnabled(true);
      return;
    }
    s.tc = 0;
    s.COUR = s.CUR.mdl;
    timers_.TimerC.setEnabled(true);
    timers_.TimerAT.setEnabled(false);
    timers_.TimerB.setEnabled(false);
    DisableTack();
    DisableGybe();
    panel_[Field::PauseResumeButton].setEnabled(false);
  } else {
    timers_.Timer60.setEnabled(false);
    timers_.TimerC.setEnabled(false);
    EnableTickTimer();
    EnableTack();
    EnableGybe();
    panel_[Field::PauseResumeButton].setEnabled(true);
  }
}

void VentrelModel::TimerCTimer() {
  SimState& s = s_;
  ++s.tc;
  if (s.tc >= 14) {
    timers_.TimerC.setEnabled(false);
    timers_.Timer60.setEnabled(true);
    EnableTickTimer();
    panel_[Field::PauseResumeButton].setEnabled(true);
    return;
  }
  s.CUR.argt += 180.0L / 13;
  if (s.CUR.argt > 360) s.CUR.argt -= 360;
  const long double tc = s.tc;
  s.CUR.mdl = (0.0223L * tc * tc - 0.3124L * tc + 1.2996L) * s.COUR;
  TimerATTimer();
}

void VentrelModel::Timer60Timer() { RadioGTypCClick(); }

void VentrelModel::EdTWSChange() { ShowBestUpwind(); }

void VentrelModel::EdPolPercChange() { ShowBestUpwind(); }

void VentrelModel::ShowBestUpwind() {
  const t_vect best = speed_.SpMaxWndWrd(s_.SW.mdl);
  s_.SpMax = best.mdl;
  s_.VMGauPres = s_.SpMax * CosL(DEC_RAD(speed_.AlphaOptWndWrd));
  Show(Field::BestUpwindAngle, speed_.AlphaOptWndWrd, 4, 1);
  Show(Field::BestUpwindVmg, s_.VMGauPres, 4, 2);
}

void VentrelModel::UpDownPolClick(bool up) {
  PanelField& ud = panel_[Field::PolarPercentUpDown];
  const int pos = std::clamp(ud.position() + (up ? 1 : -1), 0, 100);
  ud.setPosition(pos);
  panel_[Field::PolarPercentInput].setText(std::to_string(pos));
  speed_.UpDownPolClick(up);
  EdPolPercChange();
}

}  // namespace ventrel
