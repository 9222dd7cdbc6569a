#pragma once
// Shared pieces of the simulation tests: a small polar table, a model wired to
// recording surfaces, and helpers to type into the panel and start a run.

#include <string>
#include <vector>

#include "config/polar_table.h"
#include "sim/recording_canvas.h"
#include "sim/timers.h"
#include "sim/window_model.h"

namespace ventrel::testing {

// A cruiser's polar: angles 40..180 (11 rows), wind speeds 6..25 kn (7 columns).
inline PolarTable MakeTestPolar() {
  static const long double kAngles[] = {40, 52, 60, 75, 90, 110, 120, 135, 150, 165, 180};
  static const long double kWinds[] = {6, 8, 10, 12, 16, 20, 25};
  static const long double kSpeeds[11][7] = {
      {2.6, 3.6, 4.3, 4.7, 5.0, 5.1, 5.0},  {4.0, 5.0, 5.6, 5.9, 6.2, 6.3, 6.3},
      {4.4, 5.4, 6.0, 6.3, 6.6, 6.8, 6.9},  {4.8, 5.8, 6.4, 6.7, 7.0, 7.2, 7.4},
      {4.9, 5.9, 6.5, 6.9, 7.3, 7.5, 7.8},  {4.8, 5.8, 6.5, 6.9, 7.5, 7.9, 8.3},
      {4.6, 5.6, 6.3, 6.8, 7.5, 8.0, 8.5},  {4.1, 5.1, 5.9, 6.5, 7.3, 7.9, 8.5},
      {3.5, 4.5, 5.3, 5.9, 6.9, 7.5, 8.2},  {3.0, 4.0, 4.8, 5.4, 6.4, 7.1, 7.8},
      {2.8, 3.7, 4.5, 5.1, 6.1, 6.8, 7.5},
  };
  PolarTable p;
  p.NLIG = 11;
  p.NCOL = 7;
  for (int i = 0; i < p.NLIG; ++i) p.idx_dv[i] = kAngles[i];
  for (int j = 0; j < p.NCOL; ++j) p.idx_fv[j] = kWinds[j];
  p.TabPol.assign(p.NLIG, std::vector<long double>(p.NCOL));
  for (int i = 0; i < p.NLIG; ++i) {
    for (int j = 0; j < p.NCOL; ++j) p.TabPol[i][j] = kSpeeds[i][j];
  }
  return p;
}

class RecordingBoat final : public BoatPicture {
 public:
  std::vector<long double> angles;
  void RotationBat(long double angle) override { angles.push_back(angle); }
};

// A model drawing on recording canvases, its messages captured, on a virtual clock.
struct Rig {
  VentrelModel model;
  RecordingCanvas canvas;
  RecordingCanvas depth;
  RecordingBoat boat;
  std::vector<std::string> messages;
  std::vector<std::string> nmeaLines;
  VirtualClock clock{model.timers()};

  explicit Rig(bool withPolar = true) {
    if (withPolar) model.SetPolar(MakeTestPolar());
    model.SetDrawing(&canvas, &depth, &boat);
    model.SetMessageSink([this](const std::string& m) { messages.push_back(m); });
    model.SetNmeaListSink([this](const std::string& m) { nmeaLines.push_back(m); });
  }

  SimState& s() { return model.state(); }
  WaypointState& w() { return model.waypoint(); }
  PanelField& f(std::string_view name) { return model.panel()[name]; }
  void type(std::string_view name, const std::string& text) { f(name).setText(text); }

  // Types the inputs of a run and starts it.
  void start(const std::string& hdg = "335", const std::string& tws = "10", const std::string& twd = "220",
             const std::string& cur = "0", const std::string& curDir = "70") {
    type("EdHDG", hdg);
    type("EdTWS", tws);
    type("EdTWD", twd);
    type("EdFcourant", cur);
    type("EdDirCourant", curDir);
    model.BtCALCClick();
  }
  // Runs n seconds of simulated time.
  void seconds(int n) { clock.advance(1000LL * n); }
};

}  // namespace ventrel::testing
