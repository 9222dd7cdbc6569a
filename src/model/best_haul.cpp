// The best-haul search: from a wind angle wider than the best upwind angle, the
// boat luffs by 1/26 of the starting angle per second until it points as high
// as the optimum or higher, then bears away by 1/676 of it per second at 80 % of
// the best upwind speed until the wind angle is above the optimum by less than
// 0.3 degree: close-hauled. The autopilot then holds that heading.
//
// The search always ends. A search that starts pinching far inside the optimum
// (below about half of it) would need more than 676 fine steps of 1/676 of its
// starting angle, and from head to wind it would have no step at all: the fine
// step is at least 1/676 of the way from the wind angle at the reversal to the
// middle of the window, so that a steady wind brings the boat there within 676
// steps. After the reversal, a wind angle 0.3 degree or more above the optimum
// (the wind or the current moved it past the window in one step) stops the
// search at once; so do more than kBestHaulMaxApproach luffing steps or
// kBestHaulMaxFine fine steps (the wind angle does not answer the helm). A search
// stopped so leaves the boat on the heading whose wind angle came nearest the
// optimum when it was sailed, and gives the variations back like a search that
// ends close-hauled.

#include <algorithm>
#include <cmath>

#include "nav/conversions.h"
#include "sim/manoeuvres.h"
#include "model/window_model.h"

namespace ventrel {

namespace {

constexpr long double kFineSpeedFactor = 0.8L;
// Within this many degrees of the optimum the button shows the approach.
constexpr long double kApproachShown = 3.0L;

}  // namespace

void VentrelModel::BtBestHaulClick() {
  if (!ManoeuvreAllowed()) return;
  SimState& s = s_;
  s.RecENCour = true;
  PanelField& button = panel_[Field::BestHaulButton];
  button.setText("");
  button.setPicture("jecherchevert.bmp");
  s.Da = s.SWA / kBestHaulCoarse;
  s.Dapp = s.SWA / kBestHaulFine;
  s.switched_dir = false;
  s.SpMax = speed_.SpMaxWndWrd(s.SW.mdl).mdl;
  s.VMGauPres = s.SpMax * CosL(DEC_RAD(speed_.AlphaOptWndWrd));
  man_.approachSteps = 0;
  man_.fineSteps = 0;
  man_.bestHeading = s.BS.argt;
  man_.bestGap = std::fabs(s.SWA - speed_.AlphaOptWndWrd);
  BeginManoeuvre(timers_.TimerPres);
  // Toward the wind, as for a tack.
  s.cvir = UpdateTackSide() == SailingTack::tribord ? TurnSide::atribord : TurnSide::ababord;
}

void VentrelModel::TimerPresTimer() {
  SimState& s = s_;
  const long double opt = speed_.AlphaOptWndWrd;

  // One heading step, the wind angle it gives, the speed, one tick; the heading
  // nearest the optimum so far is remembered.
  const auto step = [&](bool fine) {
    TurnOneStep();
    RefreshApparentWind();
    const long double v = fine ? kFineSpeedFactor * s.SpMax : speed_.BoatSpeed(s.SWA, s.SW.mdl);
    if (std::isfinite(v)) s.BS.mdl = v;
    TimerATTimer();
    const long double gap = std::fabs(s.SWA - opt);
    if (gap <= man_.bestGap) {
      man_.bestGap = gap;
      man_.bestHeading = s.BS.argt;
    }
  };
  // Close-hauled: the boat sails just wider than the optimum.
  const auto inWindow = [&] { return opt < s.SWA && s.SWA - opt < kBestHaulWindow; };
  const auto end = [&](bool closeHauled) {
    if (!closeHauled) s.BS.argt = man_.bestHeading;
    s.HDG = s.BS.argt;
    s.RecENCour = false;
    EndManoeuvre(timers_.TimerPres);
    if (closeHauled) {
      panel_[Field::BestHaulButton].setPicture("jesuisaupres.bmp");
      s.AuPres = true;
    } else {
      // The wind angles of the heading it is left on.
      RefreshApparentWind();
      panel_[Field::BestHaulButton].setPicture("vamp.bmp");
      s.AuPres = false;
    }
  };

  if (!s.switched_dir && opt < s.SWA) {
    // Approach: wider than the optimum, luff.
    if (man_.approachSteps >= kBestHaulMaxApproach) {
      end(false);
      return;
    }
    ++man_.approachSteps;
    step(false);
    if (std::fabs(s.SWA - opt) < kApproachShown) panel_[Field::BestHaulButton].setPicture("japproche.bmp");
    return;
  }
  if (s.switched_dir && opt < s.SWA) {
    // Moved above the optimum between two steps.
    end(inWindow());
    return;
  }
  if (!s.switched_dir) {
    // As high as the optimum or higher: bear away in fine steps.
    s.Dapp = std::max(s.Dapp, (opt - s.SWA + kBestHaulWindow / 2) / kBestHaulFine);
    s.Da = s.Dapp;
    s.cvir = Reversed(s.cvir);
    s.switched_dir = true;
  }
  if (man_.fineSteps >= kBestHaulMaxFine) {
    end(false);
    return;
  }
  ++man_.fineSteps;
  step(true);
  if (inWindow()) {
    end(true);
  } else if (s.SWA - opt >= kBestHaulWindow) {
    end(false);
  }
}

}  // namespace ventrel
