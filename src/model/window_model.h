#pragma once
// The model of the main window: the simulated boat and its surroundings, the
// waypoint, the polar and the boat-speed model, the parameters, the panel, the
// timers and the dial. Its handlers carry the names of the window's events
// (TimerATTimer, BtCALCClick, ...); a window calls them and copies the panel back
// into its widgets, a test calls them directly or through a VirtualClock.
//
// The handlers live in one file per concern: tick.cpp (the one-second tick),
// run_control.cpp (start, pause, alternating current, best upwind angle),
// wind_panel.cpp (apparent wind, tack side, drift), buttons.cpp (the manoeuvre and
// pilot buttons), waypoint.cpp (waypoint and variation), manoeuvres.cpp
// (tack and gybe), autopilot.cpp (AUTO, STDBY, the helm bar), nav_pilot.cpp (NAV:
// the heading follows a chart plotter), best_haul.cpp (best-haul search),
// window_model.cpp (creation, ownership, messages).

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "sim/params.h"
#include "sim/polar_table.h"
#include "nav/geodesy.h"
#include "sim/manoeuvres.h"
#include "nav/number_read.h"
#include "sim/boat_speed.h"
#include "sim/physics_step.h"
#include "model/canvas.h"
#include "model/dial.h"
#include "model/panel.h"
#include "nmea/nmea_input.h"
#include "nmea/steering_order.h"
#include "sim/nav_steering.h"
#include "sim/sim_state.h"
#include "sim/timers.h"

namespace ventrel {

using TextSink = std::function<void(const std::string&)>;

// What the sentence transmission does when the run pauses and resumes.
struct NmeaRunHooks {
  std::function<void()> suspend;
  std::function<void()> resume;
};

// The NAV pilot's state (nav_pilot.cpp).
struct NavPilotState {
  bool engaged = false;              // NAV selected and not fallen back to AUTO
  NavPilotSettings settings;
  SteeringOrders orders;             // the sentences read, with their times
  std::optional<SteeringOrder> order;  // the order in force, as last worked out
  std::int64_t clockMs = 0;          // simulated time of the ticks since creation, ms
  std::int64_t lastUsableMs = 0;     // clockMs of the last order that could steer (or of NAV's selection)
  long double aim = 0;               // the heading the pilot goes for, degrees true
};

// What a steering sentence did.
struct NavTaken {
  bool usable = false;  // it can steer the boat (and restarts the loss delay)
};

class VentrelModel {
 public:
  // Builds the window's model in its creation state (see FormCreate).
  VentrelModel();
  VentrelModel(const VentrelModel&) = delete;
  VentrelModel& operator=(const VentrelModel&) = delete;

  // ---- What the model owns.
  SimState& state() { return s_; }
  const SimState& state() const { return s_; }
  WaypointState& waypoint() { return w_; }
  const WaypointState& waypoint() const { return w_; }
  PolarTable& polar() { return polar_; }
  // Replaces the polar table in force (the boat-speed model reads the new one).
  void SetPolar(PolarTable table);
  BoatSpeedModel& speed() { return speed_; }
  const BoatSpeedModel& speed() const { return speed_; }
  Params& params() { return params_; }
  const Params& params() const { return params_; }
  Mercator& PlanMERC() { return plan_; }
  Panel& panel() { return panel_; }
  const Panel& panel() const { return panel_; }
  ModelTimers& timers() { return timers_; }
  Dial& dial() { return dial_; }
  DecimalSeparator& decSep() { return ds_; }

  // ---- Bindings (none is owned; nullptr gives a surface that draws nothing).
  void SetDrawing(Canvas* window, Canvas* depthBox, BoatPicture* boat);
  // French messages for the user (message boxes of the window).
  void SetMessageSink(TextSink sink) { messages_ = std::move(sink); }
  const TextSink& MessageSink() const { return messages_; }
  // Lines appended to the NMEA list (diagnostics of the boat-speed model).
  void SetNmeaListSink(TextSink sink);
  void SetNmeaHooks(NmeaRunHooks hooks) { nmea_ = std::move(hooks); }
  // The dial and ring shapes of the layout in force (normal or full screen).
  void SetLayout(ShapeRect visu, ShapeRect visuBk);

  // ---- Window.
  // The creation steps the model owns: display memory and depth history, the
  // variation and the waypoint read from their fields, the best-haul picture,
  // no manoeuvre, AUTO, AlphaOptWndWrd 10000, water at 13 degrees, timer intervals.
  void FormCreate();
  // Dial geometry and compass card, and the pilot mode shown.
  void FormPaint();

  // ---- The tick (tick.cpp). An error inside it abandons that tick only; it is
  // reported once (again only after a tick has gone through or the error changes).
  void TimerATTimer();

  // ---- Start, pause, alternating current (run_control.cpp).
  void BtCALCClick();
  void SpBtPauseResClick();
  // While paused, one second of the run: the tick the timer of the pilot mode
  // (TimerAT, or TimerB in STDBY) would run, through its handler; the run stays
  // paused. Nothing before the start or while running.
  void StepWhilePaused();
  void RadioGTypCClick();
  void TimerCTimer();
  void Timer60Timer();
  // Leaving the wind speed field, and any change of the polar percentage field.
  void EdTWSChange();
  void EdPolPercChange();
  // Best upwind angle and its VMG for the surface wind speed, shown.
  void ShowBestUpwind();
  // The up-down control beside the polar percentage.
  void UpDownPolClick(bool up);
  // A rotation of the current is in progress.
  bool CurrentRotating() const { return timers_.TimerC.enabled(); }

  // ---- Wind and drift (wind_panel.cpp).
  // Apparent wind and surface wind angle worked out (sim/physics_step) and shown.
  void RefreshApparentWind();
  // Change of the current fields (and at start): names the reference wind.
  void ShowReferenceWindKind();
  // Drift worked out from the course over ground as it stands, and shown.
  void RefreshDrift();
  SailingTack UpdateTackSide();
  t_pCan CoordORIgW(long double lgr, long double angl) const { return dial_.CoordORIgW(lgr, angl); }

  // ---- Waypoint and variation (waypoint.cpp).
  void ReadWaypoint();
  void ReadMagneticVariation();
  // The waypoint leg worked out from the position as it stands, and shown.
  void RefreshWaypointLeg();
  void BtModWpClick() { ReadWaypoint(); }
  void EdiDECLChange() { ReadMagneticVariation(); }
  void RdgDeclClick() { ReadMagneticVariation(); }
  long double HdGMagToDest() const;

  // ---- Buttons shared with the manoeuvres and the autopilot (buttons.cpp).
  void DisableTack();
  void EnableTack();
  void DisableGybe();
  void EnableGybe();
  void DisablePilotButtons();
  void EnablePilotButtons();
  // Brings the helm bar back to its middle position (15), one position per
  // 100 ms from Ptb on TimerZero, the helm timer off meanwhile; at the centre the
  // helm timer runs again in STDBY unless the run is paused (autopilot.cpp).
  void CentreHelmBar();

  // ---- Tack and gybe (manoeuvres.cpp). A click while another manoeuvre,
  // a current rotation or a pause holds the tick, in STDBY or before the first
  // start, is ignored; so is a second click on the manoeuvre that runs.
  void SBtVireClick();
  void TimerVTimer();
  void SBtEmpClick();
  void TimerETimer();
  // One heading step of Da in the direction cvir.
  void TurnOneStep();
  // A tack, a gybe or a best-haul search is in progress.
  bool ManoeuvreRunning() const { return s_.VireEncour || s_.EmpEncour || s_.RecENCour; }
  const ManoeuvreState& manoeuvre() const { return man_; }

  // ---- Autopilot (autopilot.cpp).
  void SpBtStdBYClick();
  void SpBtAUTOClick();
  void TimerBTimer();
  // One step of the helm bar back to the centre.
  void TimerZeroTimer();

  // ---- NAV pilot (nav_pilot.cpp). The NAV button: from STDBY through AUTO;
  // ignored during a manoeuvre.
  void SpBtNAVClick();
  // A steering sentence read from outside: kept as an order; it steers the boat
  // only in NAV. Nothing else of the model changes.
  NavTaken NavTake(const SteeringSentence& sentence);
  const NavPilotState& nav() const { return nav_; }
  // Tacks and gybes begun since the program started (by a click, a command or the NAV pilot).
  int tacksBegun() const { return tacksBegun_; }
  int gybesBegun() const { return gybesBegun_; }
  void SetNavSettings(const NavPilotSettings& settings) { nav_.settings = settings; }

  // ---- Best-haul search (best_haul.cpp).
  void BtBestHaulClick();
  void TimerPresTimer();

  // Shows a French message to the user.
  void Report(const std::string& message) const;
  // The number typed in `field` as the start reads it; nothing when the start
  // would refuse it (the user is then told why, with the start's own message).
  std::optional<long double> FieldNumber(Field field) const;

 private:
  // Handlers of the manoeuvre, helm and recentring timers (manoeuvres.cpp).
  void WireManoeuvres();
  // Whether a manoeuvre may start now (manoeuvres.cpp).
  bool ManoeuvreAllowed() const;
  // The common start and end of the tack, the gybe and the best-haul search: the
  // variations frozen or given back, the other commands disabled or enabled, the
  // step timer on or off and the tick timer off or on.
  void BeginManoeuvre(ModelTimer& stepTimer);
  void EndManoeuvre(ModelTimer& stepTimer);
  // The manoeuvre buttons as the normal mode offers them (manoeuvres.cpp).
  void OfferManoeuvres();
  // The NAV pilot's second, before the tick of the tick timer: the heading moved
  // toward the order, or a tack or a gybe begun, or the fall back to AUTO.
  void NavStep();
  // NAV off (AUTO or STDBY selected, or the orders lost); the helm bar centred.
  void ReleaseNav();
  void ShowNavPilot();
  std::int64_t NavLossMs() const;
  // One tick: the physics step advances the state, then PresentTick shows its
  // frame (tick.cpp).
  void Tick();
  void PresentTick(const PhysicsFrame& frame);
  // The panel (and for the waypoint, the dial) from the state as it stands.
  void ShowApparentWind();
  void ShowDrift();
  void ShowWaypointLeg();
  void ShowPosition();
  // The timer that runs the tick in the pilot mode in force, when no other
  // activity (current rotation, manoeuvre) drives the tick.
  void EnableTickTimer();
  bool TickDrivenElsewhere() const;
  void ShowTack(SailingTack side);
  // Shows x in the fixed form (p, d) in `field`.
  void Show(Field field, long double x, int p, int d);
  // The number typed in `field`, or `previous` when it is not a number; the user
  // is then told which field is wrong. `ok` (when given) is cleared on failure.
  long double ReadField(Field field, long double previous, bool* ok = nullptr) const;

  SimState s_;
  ManoeuvreState man_;
  NavPilotState nav_;
  int tacksBegun_ = 0;
  int gybesBegun_ = 0;
  WaypointState w_;
  PolarTable polar_;
  BoatSpeedModel speed_{polar_};
  Params params_;
  Mercator plan_;
  Panel panel_;
  ModelTimers timers_;
  Dial dial_;
  DecimalSeparator ds_;
  NullBoatPicture nullBoat_;
  BoatPicture* boat_ = &nullBoat_;
  TextSink messages_;
  NmeaRunHooks nmea_;
  ShapeRect visuBk_ = kVisuBkNormal;
  std::string lastTickError_;
};

// The caption of a field in the messages ("Cap vrai" for the heading typed).
std::string FieldCaption(Field field);

}  // namespace ventrel
