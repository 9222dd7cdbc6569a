#pragma once
// The simulation model sailing second by second with the sentence groups built
// after each tick, as the transmission cycle does (group 1, 2, 3, 1 ...).
//
// The run: the default polar, the three variations (heading, wind speed, wind
// direction) and the alternating current on, heading 280 with a true wind of 14
// knots from 220 and a current of 1.5 knots towards 70, a westerly variation of
// 3°, the waypoint at its default position renamed "Écrehou, Sud*" (a name that
// needs making safe); at `tackChangeAt` the run is paused, the heading set to 170
// (the other tack) and resumed, which restarts it from the fields.

#include <string>
#include <vector>

#include "files/polar_file.h"
#include "nmea/records.h"
#include "sim/timers.h"
#include "model/window_model.h"

namespace ventrel::test {

struct RunPlan {
  NmeaClock start;   // local clock of the first second
  int seconds;       // seconds sailed, one group build each
  int tackChangeAt;  // second at which the tack is changed (-1: never)
};

class ModelRun {
 public:
  ModelRun() {
    const PolarParse polar = LoadPolarFile(VENTREL_DATA_DIR "/DefPolars/First31_7.pol");
    if (!polar.ok) messages.push_back(polar.message);
    model.SetPolar(polar.table);
    model.SetMessageSink([this](const std::string& text) { messages.push_back(text); });
    Panel& p = model.panel();
    p[Field::VariationInput].setText("3");
    p[Field::VariationSide].setItemIndex(1);  // W
    model.ReadMagneticVariation();
    p[Field::WaypointName].setText("\u00c9crehou, Sud*");
    model.BtModWpClick();
    model.params().varyHeading = model.params().varyWindSpeed = model.params().varyWindDirection = true;
    p[Field::CurrentKind].setItemIndex(1);  // alternating current
    p[Field::HeadingInput].setText("280");
    p[Field::TrueWindSpeedInput].setText("14");
    p[Field::TrueWindDirectionInput].setText("220");
    p[Field::CurrentSpeedInput].setText("1.5");
    p[Field::CurrentDirectionInput].setText("70");
    model.BtCALCClick();
  }

  // Sails the plan; after each second's group build, calls
  // each(sentence, group, second, clock of the build) for every sentence built.
  template <class Each>
  void Sail(const RunPlan& plan, Each each) {
    for (int sec = 0; sec < plan.seconds; ++sec) {
      if (sec == plan.tackChangeAt) {
        model.SpBtPauseResClick();
        model.panel()[Field::HeadingInput].setText("170");
        model.SpBtPauseResClick();
      }
      clock.advance(1000);
      NmeaClock c = plan.start;
      c.seconds += sec;  // carried by the UTC computation
      const int group = sec % 3 + 1;
      const int n = m.BuildSentenceGroup(group, model.state(), model.waypoint(), c);
      for (int i = 1; i <= n; ++i) each(m.sentenceSlots[i], group, sec, c);
    }
  }

  VentrelModel model;
  VirtualClock clock{model.timers()};
  NmeaModule m;  // every sentence selected, the talkers at start
  std::vector<std::string> messages;  // what the model told the user
};

}  // namespace ventrel::test
