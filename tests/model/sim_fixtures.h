#pragma once
// Shared pieces of the window model's tests: a model drawing on recording
// surfaces on a virtual clock with helpers to type into its panel (the polar
// tables come from sim/polar_fixtures.h).

#include <ostream>
#include <string>
#include <vector>

#include "model/recording_canvas.h"
#include "sim/timers.h"
#include "model/window_model.h"
#include "sim/polar_fixtures.h"

namespace ventrel {
// A field in test messages: its name in the table ("TrueWindSpeedInput").
inline std::ostream& operator<<(std::ostream& os, Field f) { return os << IdentifierOf(f); }
}  // namespace ventrel

namespace ventrel::testing {

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
  PanelField& f(Field name) { return model.panel()[name]; }
  void type(Field name, const std::string& text) { f(name).setText(text); }
  // Long runs: no surfaces, so the dial's drawing calls are skipped.
  void unrecorded() { model.SetDrawing(nullptr, nullptr, nullptr); }

  // Types the inputs of a run and starts it.
  void start(const std::string& hdg = "335", const std::string& tws = "10", const std::string& twd = "220",
             const std::string& cur = "0", const std::string& curDir = "70") {
    type(Field::HeadingInput, hdg);
    type(Field::TrueWindSpeedInput, tws);
    type(Field::TrueWindDirectionInput, twd);
    type(Field::CurrentSpeedInput, cur);
    type(Field::CurrentDirectionInput, curDir);
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
  std::string enabled(std::initializer_list<Field> names) {
    std::string out;
    for (Field n : names) {
      if (f(n).enabled()) out.append(out.empty() ? "" : " ").append(IdentifierOf(n));
    }
    return out;
  }
};

}  // namespace ventrel::testing
