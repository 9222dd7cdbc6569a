#pragma once
// Shared pieces of the simulation tests: polar tables, and a model drawing on
// recording surfaces on a virtual clock with helpers to type into its panel.

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "sim/polar_table.h"
#include "model/recording_canvas.h"
#include "sim/timers.h"
#include "model/window_model.h"

namespace ventrel::testing {

inline double D(long double x) { return static_cast<double>(x); }
// h brought into [0, 360).
inline double Compass(double h) {
  const double r = std::fmod(h, 360.0);
  return r < 0 ? r + 360 : r;
}

// Rows of `angles`, columns of `winds`, speeds[row][column].
inline PolarTable MakePolar(const std::vector<long double>& angles, const std::vector<long double>& winds,
                            std::vector<std::vector<long double>> speeds) {
  PolarTable p;
  p.NLIG = static_cast<int>(angles.size());
  p.NCOL = static_cast<int>(winds.size());
  for (int i = 0; i < p.NLIG; ++i) p.idx_dv[i] = angles[i];
  for (int j = 0; j < p.NCOL; ++j) p.idx_fv[j] = winds[j];
  p.TabPol = std::move(speeds);
  return p;
}

// A cruiser's polar: angles 40..180, wind speeds 6..25 kn.
inline PolarTable MakeTestPolar() {
  return MakePolar({40, 52, 60, 75, 90, 110, 120, 135, 150, 165, 180}, {6, 8, 10, 12, 16, 20, 25},
                   {{2.6, 3.6, 4.3, 4.7, 5.0, 5.1, 5.0}, {4.0, 5.0, 5.6, 5.9, 6.2, 6.3, 6.3},
                    {4.4, 5.4, 6.0, 6.3, 6.6, 6.8, 6.9}, {4.8, 5.8, 6.4, 6.7, 7.0, 7.2, 7.4},
                    {4.9, 5.9, 6.5, 6.9, 7.3, 7.5, 7.8}, {4.8, 5.8, 6.5, 6.9, 7.5, 7.9, 8.3},
                    {4.6, 5.6, 6.3, 6.8, 7.5, 8.0, 8.5}, {4.1, 5.1, 5.9, 6.5, 7.3, 7.9, 8.5},
                    {3.5, 4.5, 5.3, 5.9, 6.9, 7.5, 8.2}, {3.0, 4.0, 4.8, 5.4, 6.4, 7.1, 7.8},
                    {2.8, 3.7, 4.5, 5.1, 6.1, 6.8, 7.5}});
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
  VirtualClock clock{model.timers()};

  explicit Rig(bool withPolar = true) {
    if (withPolar) model.SetPolar(MakeTestPolar());
    model.SetDrawing(&canvas, &depth, &boat);
    model.SetMessageSink([this](const std::string& m) { messages.push_back(m); });
    model.SetNmeaListSink([](const std::string&) {});
  }

  SimState& s() { return model.state(); }
  WaypointState& w() { return model.waypoint(); }
  PanelField& f(std::string_view name) { return model.panel()[name]; }
  void type(std::string_view name, const std::string& text) { f(name).setText(text); }
  // Long runs: no surfaces, so the dial's drawing calls are skipped.
  void unrecorded() { model.SetDrawing(nullptr, nullptr, nullptr); }

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
  void seconds(int n) { clock.advance(1000LL * n); }

  // The enabled ones among the timers that can run the tick ("" when none).
  std::string driving() {
    const ModelTimers& t = model.timers();
    std::string out;
    for (const ModelTimer* x : {&t.TimerAT, &t.TimerB, &t.TimerC, &t.TimerV, &t.TimerE, &t.TimerPres}) {
      if (x->enabled()) out += (out.empty() ? "" : " ") + x->name();
    }
    return out;
  }
  // The enabled ones among the fields `names`, in their order.
  std::string enabled(std::initializer_list<const char*> names) {
    std::string out;
    for (const char* n : names) {
      if (f(n).enabled()) out += (out.empty() ? "" : " ") + std::string(n);
    }
    return out;
  }
};

}  // namespace ventrel::testing
