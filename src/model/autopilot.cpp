// The autopilot: AUTO holds the heading HDG (the tick does it), STDBY hands the
// boat to the helm bar. The bar has 31 positions, 15 in the middle; every second
// in STDBY the heading turns by the bar's offset from the middle, in degrees: a
// bar left of the middle (below 15) turns the boat to starboard.

#include <algorithm>
#include <cmath>

#include "nav/conversions.h"
#include "model/window_model.h"

namespace ventrel {

namespace {

constexpr std::int32_t kBarCentre = 15;
constexpr std::int32_t kBarMax = 30;

}  // namespace

void VentrelModel::SpBtStdBYClick() {
  // The pilot buttons are disabled while a manoeuvre runs; its step timer drives the tick.
  if (ManoeuvreRunning()) return;
  ReleaseNav();
  SimState& s = s_;
  panel_[Field::HeadingBox].setFontColour(colours::kBlue);
  panel_[Field::PilotMode].setText("STDBY");
  s.ModPil = TModPil::STDBY;
  panel_[Field::StandbyButton].setChecked(true);
  panel_[Field::AutoButton].setChecked(false);
  PanelField& bar = panel_[Field::HelmBar];
  bar.setEnabled(true);
  bar.setSliderVisible(true);
  DisableTack();
  DisableGybe();
  panel_[Field::BestHaulButton].setEnabled(false);
  // The helm timer drives the run from now on; before the first start and while
  // paused there is no run to drive (the start and the resume switch it on).
  if (!s.PremPasse && !s.StPause) EnableTickTimer();
}

void VentrelModel::SpBtAUTOClick() {
  if (ManoeuvreRunning()) return;
  ReleaseNav();
  SimState& s = s_;
  panel_[Field::HeadingBox].setFontColour(colours::kGrey);
  panel_[Field::PilotMode].setText("AUTO");
  s.ModPil = TModPil::AUTO;
  panel_[Field::AutoButton].setChecked(true);
  panel_[Field::StandbyButton].setChecked(false);
  CentreHelmBar();
  PanelField& bar = panel_[Field::HelmBar];
  bar.setEnabled(false);
  bar.setSliderVisible(false);
  if (!s.StPause) {
    // A rotating current keeps the tack and gybe off until it has turned.
    if (!CurrentRotating()) {
      EnableTack();
      EnableGybe();
    }
    panel_[Field::BestHaulButton].setEnabled(true);
  }
  timers_.TimerB.setEnabled(false);
  // A new leg from the present position.
  w_.BearOrToDest = w_.Wp.relev;
  if (s.PremPasse) {
    BtCALCClick();
  } else if (!s.StPause) {
    EnableTickTimer();
  }
}

void VentrelModel::TimerBTimer() {
  SimState& s = s_;
  const std::int32_t rdiv = static_cast<std::int32_t>(std::lround(s.tdiv));
  if (isMultiple(s.t, rdiv)) {
    s.Ptb = std::clamp(panel_[Field::HelmBar].position(), 0, kBarMax);
    s.SetHelmFromBar(s.Ptb);
    s.BS.argt -= s.Ptb - kBarCentre;
    if (s.BS.argt > 360) s.BS.argt -= 360;
    if (s.BS.argt < 0) s.BS.argt += 360;
    s.HDG = s.BS.argt;
  }
  TimerATTimer();
}

namespace {

// One position toward the middle; from the middle itself one position right.
std::int32_t BarStep(std::int32_t ptb) { return ptb > kBarCentre ? ptb - 1 : ptb + 1; }

}  // namespace

// The bar slides back one position every 100 ms on TimerZero, starting from Ptb
// (the position read at the last helm step) and moving at once; the window stays
// responsive. A call while it slides lets the slide go on.
void VentrelModel::CentreHelmBar() {
  timers_.TimerB.setEnabled(false);
  if (timers_.TimerZero.enabled()) return;
  s_.Ptb = BarStep(s_.Ptb);
  panel_[Field::HelmBar].setPosition(s_.Ptb);
  s_.SetHelmFromBar(s_.Ptb);
  timers_.TimerZero.setEnabled(true);
}

// 100 ms after the bar reached the middle the helm timer runs again, in STDBY
// only: in AUTO the tick timer drives the run (the AUTO button recentres the bar
// and stops the helm timer before the slide ends).
void VentrelModel::TimerZeroTimer() {
  SimState& s = s_;
  if (s.Ptb != kBarCentre) {
    s.Ptb = BarStep(s.Ptb);
    panel_[Field::HelmBar].setPosition(s.Ptb);
    s.SetHelmFromBar(s.Ptb);
    return;
  }
  timers_.TimerZero.setEnabled(false);
  if (s.ModPil == TModPil::STDBY && !s.StPause && !s.PremPasse) EnableTickTimer();
}

}  // namespace ventrel
