// A passage driven through the typed commands only, read through the typed read-out.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>
#include <optional>
#include <string>

#include "nmea/line_load.h"
#include "program/boat_commands.h"
#include "program_fixture.h"
#include "sim/timers.h"

namespace ventrel::testing {
namespace {

// Signed difference b - a of two headings, -180 to 180.
long double Turn(long double a, long double b) {
  long double d = std::fmod(b - a + 540.0L, 360.0L) - 180.0L;
  return d;
}

class Passage : public ::testing::Test, public ProgramRig {
 protected:
  BoatReadout Sail(int seconds) {
    for (int i = 0; i < seconds; ++i) clock.advance(1000);
    return cmd.Readout();
  }
  void Accept(const CommandResult& r) { ASSERT_TRUE(r.accepted) << r.why; }

  BoatCommands cmd{program};
  VirtualClock clock{program.model().timers()};
};

TEST_F(Passage, StartWindTackStandbyBestHaulPauseResume) {
  // Close-hauled on port tack: wind from 220, heading 265.
  Accept(cmd.SetHeading(265));
  Accept(cmd.SetTrueWind(10, 220));
  EXPECT_FALSE(cmd.Readout().started);
  Accept(cmd.Start());
  BoatReadout r = Sail(20);
  EXPECT_TRUE(r.started);
  EXPECT_FALSE(r.paused);
  EXPECT_EQ(r.pilot, PilotMode::automatic);
  EXPECT_EQ(r.tack, TackSide::port);
  EXPECT_NEAR(Turn(265, r.headingTrue), 0, 6);
  EXPECT_GT(r.boatSpeed, 3);

  // The wind freshens while the boat sails: taken at once (the run restarts,
  // so the variation of the speed is the same as 20 s after the start).
  const long double light = r.trueWindSpeed;
  Accept(cmd.SetTrueWind(16, 220));
  r = Sail(20);
  EXPECT_NEAR(r.trueWindSpeed / light, 1.6, 0.01);
  EXPECT_EQ(r.tack, TackSide::port);
  const long double before = r.boatSpeed;

  // Tack: the speed drops through the turn, then the boat is on starboard tack.
  Accept(cmd.Tack());
  EXPECT_TRUE(cmd.Readout().tacking);
  long double slowest = before;
  for (int i = 0; i < 60 && cmd.Readout().tacking; ++i) slowest = std::min(slowest, Sail(1).boatSpeed);
  r = Sail(10);
  EXPECT_FALSE(r.tacking);
  EXPECT_LT(slowest, 0.8L * before);
  EXPECT_EQ(r.tack, TackSide::starboard);
  EXPECT_NEAR(Turn(265, r.headingTrue), -90, 15);

  // STDBY: five degrees a second to port bears away by about fifty degrees.
  Accept(cmd.Standby());
  EXPECT_EQ(cmd.Readout().pilot, PilotMode::standby);
  const long double h0 = cmd.Readout().headingTrue;
  Accept(cmd.Helm(-5));
  EXPECT_EQ(program.model().state().helm, -5);  // the rudder follows the bar at once
  r = Sail(10);
  EXPECT_EQ(r.helmOffset, -5);
  EXPECT_NEAR(Turn(h0, r.headingTrue), -50, 8);
  EXPECT_GT(r.trueWindAngle, 80);
  Accept(cmd.Helm(0));
  EXPECT_EQ(program.model().state().helm, 0);
  const long double h1 = Sail(1).headingTrue;
  // The heading variation still moves the boat a little, far less than the helm.
  const long double drift = Turn(h1, Sail(5).headingTrue);
  EXPECT_GT(drift, -15);
  EXPECT_LT(drift, 15);

  // Back to AUTO; the best-haul search luffs up to close-hauled.
  Accept(cmd.Auto());
  Sail(2);
  Accept(cmd.BestHaul());
  EXPECT_TRUE(cmd.Readout().bestHaulRunning);
  for (int i = 0; i < 900 && cmd.Readout().bestHaulRunning; ++i) Sail(1);
  r = Sail(5);
  EXPECT_FALSE(r.bestHaulRunning);
  EXPECT_LT(r.trueWindAngle, 65);
  EXPECT_GT(r.trueWindAngle, 25);
  EXPECT_EQ(r.tack, TackSide::starboard);

  // Pause: nothing moves; a tack is refused.
  Accept(cmd.Pause());
  const BoatReadout frozen = cmd.Readout();
  EXPECT_TRUE(frozen.paused);
  r = Sail(30);
  EXPECT_EQ(r.latitude, frozen.latitude);
  EXPECT_EQ(r.longitude, frozen.longitude);
  const CommandResult tack = cmd.Tack();
  EXPECT_FALSE(tack.accepted);
  EXPECT_NE(tack.why.find("en pause"), std::string::npos) << tack.why;

  // Resume: the boat sails on from where it stopped, on the same heading.
  Accept(cmd.Resume());
  r = Sail(30);
  EXPECT_FALSE(r.paused);
  EXPECT_NEAR(r.secondsSinceStart, 30, 1);
  EXPECT_NEAR(Turn(frozen.headingTrue, r.headingTrue), 0, 6);
  EXPECT_NE(r.latitude, frozen.latitude);
  EXPECT_NEAR(r.latitude, frozen.latitude, 0.05);
}

// A single step while paused: the tick of one second and the group of sentences of
// that second, then the run stays paused; the resume goes on with the next group.
TEST_F(Passage, AStepWhilePausedIsOneSecondOfTheRun) {
  Accept(cmd.Start());
  NmeaTransmission& tr = program.transmission();
  program.panel()[Field::PortList].setItemIndex(0);
  tr.CBComSelect();
  tr.BtActivNMEAClick();  // group 1 at once
  Sail(4);                // groups 2, 3, 1, 2
  Accept(cmd.Pause());
  const NmeaList& raw = tr.log().raw;
  const auto groupsSince = [&raw](std::size_t from) {
    std::vector<int> groups;
    for (std::size_t i = from; i < raw.Count(); ++i) {
      const std::optional<std::size_t> type = TableIndexOf(raw.Line(i));
      groups.push_back(type ? SentenceTable()[*type].group : 0);
    }
    return groups;
  };
  for (int step = 0; step < 4; ++step) {
    const BoatReadout before = cmd.Readout();
    const int phase = tr.NextPhase();
    const std::size_t lines = raw.Count();
    Accept(cmd.Step());
    const BoatReadout after = cmd.Readout();
    EXPECT_TRUE(after.paused);
    EXPECT_EQ(after.secondsSinceStart, before.secondsSinceStart + 1) << "step " << step;
    EXPECT_NE(after.latitude, before.latitude) << "step " << step;
    const std::vector<int> sent = groupsSince(lines);
    EXPECT_FALSE(sent.empty()) << "step " << step;
    EXPECT_EQ(std::count(sent.begin(), sent.end(), phase), static_cast<long>(sent.size())) << "step " << step;
    EXPECT_EQ(tr.NextPhase(), phase % 3 + 1);
  }
  // Nothing goes on by itself after a step.
  const BoatReadout held = cmd.Readout();
  const std::size_t lines = raw.Count();
  Sail(5);
  EXPECT_EQ(cmd.Readout().latitude, held.latitude);
  EXPECT_EQ(raw.Count(), lines);
  // The resume sends the group after the last step's, one second later.
  const int phase = tr.NextPhase();
  Accept(cmd.Resume());
  Sail(1);
  const std::vector<int> sent = groupsSince(lines);
  EXPECT_FALSE(sent.empty());
  EXPECT_EQ(std::count(sent.begin(), sent.end(), phase), static_cast<long>(sent.size()));
  const CommandResult running = cmd.Step();
  EXPECT_FALSE(running.accepted);
  EXPECT_NE(running.why.find("en pause"), std::string::npos) << running.why;
}

TEST_F(Passage, ValuesAndReadoutAgreeOnPositionVariationAndWaypoint) {
  Accept(cmd.SetPosition(-33.5, -70.25));
  Accept(cmd.SetMagneticVariation(-4));
  Accept(cmd.SetWaypoint("Sud", -34, -70.25));
  Accept(cmd.SetCurrent(1.5, 90, CurrentKind::constant));
  Accept(cmd.Start());
  const BoatReadout r = cmd.Readout();
  EXPECT_NEAR(r.latitude, -33.5, 1e-9);
  EXPECT_NEAR(r.longitude, -70.25, 1e-9);
  EXPECT_NEAR(r.magneticVariation, -4, 1e-9);
  EXPECT_NEAR(Turn(r.headingTrue + 4, r.headingMagnetic), 0, 1e-6);
  EXPECT_TRUE(r.waypointUsed);
  EXPECT_NEAR(r.waypointDistance, 30, 0.5);
  EXPECT_NEAR(Turn(180, r.waypointBearing), 0, 0.5);
  EXPECT_NEAR(r.currentSpeed, 1.5, 1e-9);
  EXPECT_NEAR(r.currentDirection, 90, 1e-9);
  // A smaller polar slows the boat at once.
  const long double fast = Sail(30).boatSpeed;
  Accept(cmd.SetPolar(Write("Petite.pol", kSmallPolar)));
  EXPECT_EQ(program.panel()[Field::PolarName].text(), program.NomPol());
  EXPECT_NE(program.NomPol(), "First31_7");
  const long double slow = Sail(30).boatSpeed;
  EXPECT_LE(slow, 6.8L);
  EXPECT_LT(slow, fast);
  // The sentences follow the selection given.
  Accept(cmd.SelectSentences({"GLL", "RMC"}, Talkers{"EC", "II", "II", "II"}));
  EXPECT_EQ(program.selection().RdGDevPos, 0);
  EXPECT_EQ(program.selection().RdGWI, 1);
}

// A refused command says why in French and leaves the field as it was.
TEST_F(Passage, RefusedCommandsSayWhyAndKeepTheValue) {
  struct Case {
    const char* what;
    std::function<CommandResult(BoatCommands&)> command;
    std::optional<Field> field;  // none when no field is concerned
    const char* why;
  };
  const Case cases[] = {
      {"wind too strong", [](BoatCommands& c) { return c.SetTrueWind(150, 220); }, Field::TrueWindSpeedInput, "Force du vent réel"},
      {"wind direction", [](BoatCommands& c) { return c.SetTrueWind(10, 400); }, Field::TrueWindDirectionInput, "hors limites"},
      {"wind not a number", [](BoatCommands& c) { return c.SetTrueWind(NAN, 220); }, Field::TrueWindSpeedInput, "n'est pas un nombre"},
      {"heading", [](BoatCommands& c) { return c.SetHeading(-361); }, Field::HeadingInput, "hors limites"},
      {"current", [](BoatCommands& c) { return c.SetCurrent(25, 0, CurrentKind::constant); }, Field::CurrentSpeedInput,
       "hors limites"},
      {"longitude", [](BoatCommands& c) { return c.SetPosition(12, 200); }, Field::LongitudeDegrees, "hors limites"},
      {"percentage", [](BoatCommands& c) { return c.SetPolarPercentage(101); }, Field::PolarPercentInput, "hors limites"},
      {"waypoint past the pole", [](BoatCommands& c) { return c.SetWaypoint("P", 90.5, 0); }, Field::WaypointLatitudeDegrees,
       "dépasse 90°"},
      {"variation", [](BoatCommands& c) { return c.SetMagneticVariation(95); }, Field::VariationInput, "hors limites"},
      {"tack before start", [](BoatCommands& c) { return c.Tack(); }, std::nullopt, "n'est pas démarrée"},
      {"gybe before start", [](BoatCommands& c) { return c.Gybe(); }, std::nullopt, "n'est pas démarrée"},
      {"best haul before start", [](BoatCommands& c) { return c.BestHaul(); }, std::nullopt, "n'est pas démarrée"},
      {"pause before start", [](BoatCommands& c) { return c.Pause(); }, std::nullopt, "n'est pas démarrée"},
      {"resume not paused", [](BoatCommands& c) { return c.Resume(); }, std::nullopt, "pas en pause"},
      {"step before start", [](BoatCommands& c) { return c.Step(); }, std::nullopt, "n'est pas démarrée"},
      {"helm in AUTO", [](BoatCommands& c) { return c.Helm(3); }, std::nullopt, "Barre inactive"},
      {"helm too far", [](BoatCommands& c) { return c.Helm(16); }, std::nullopt, "hors limites"},
      {"unknown sentence", [](BoatCommands& c) { return c.SelectSentences({"XYZ"}, {}); }, std::nullopt, "Phrase NMEA inconnue"},
      {"unknown talker", [](BoatCommands& c) { return c.SelectSentences({"GLL"}, Talkers{"GP", "SD", "DM", "ZZ"}); },
       std::nullopt, "Émetteur « ZZ »"},
      {"polar missing", [](BoatCommands& c) { return c.SetPolar("absente.pol"); }, std::nullopt, "absente.pol"},
  };
  const std::string polar = program.NomPol();
  for (const Case& c : cases) {
    const std::string kept = c.field ? Text(*c.field) : "";
    const CommandResult r = c.command(cmd);
    EXPECT_FALSE(r.accepted) << c.what;
    EXPECT_NE(r.why.find(c.why), std::string::npos) << c.what << ": " << r.why;
    if (c.field) {
      EXPECT_EQ(Text(*c.field), kept) << c.what;
    }
  }
  EXPECT_EQ(program.NomPol(), polar);
  // The selection in force did not change.
  EXPECT_TRUE(program.selection().checked[0]);
}

TEST_F(Passage, DuringATackValuesAndPilotWait) {
  Accept(cmd.SetHeading(265));
  Accept(cmd.SetTrueWind(12, 220));
  Accept(cmd.Start());
  Sail(5);
  Accept(cmd.Tack());
  const struct {
    const char* what;
    std::function<CommandResult(BoatCommands&)> command;
    const char* why;
  } cases[] = {
      {"heading", [](BoatCommands& c) { return c.SetHeading(10); }, "manœuvre"},
      {"wind", [](BoatCommands& c) { return c.SetTrueWind(10, 10); }, "manœuvre"},
      {"second tack", [](BoatCommands& c) { return c.Tack(); }, "déjà en cours"},
      {"gybe", [](BoatCommands& c) { return c.Gybe(); }, "déjà en cours"},
      {"STDBY", [](BoatCommands& c) { return c.Standby(); }, "manœuvre est en cours"},
      {"pause", [](BoatCommands& c) { return c.Pause(); }, "Pause indisponible"},
  };
  const std::string windFrom = Text(Field::TrueWindDirectionInput);
  for (const auto& c : cases) {
    const CommandResult r = c.command(cmd);
    EXPECT_FALSE(r.accepted) << c.what;
    EXPECT_NE(r.why.find(c.why), std::string::npos) << c.what << ": " << r.why;
  }
  EXPECT_EQ(Text(Field::TrueWindDirectionInput), windFrom);
  EXPECT_TRUE(cmd.Readout().tacking);
}

// A change as the weather changes: taken at once, the run goes on (its time and
// its trip log), the values derived from it follow at once.
TEST_F(Passage, AdjustedValuesAreTakenWithoutANewStart) {
  program.params().varyHeading = program.params().varyWindSpeed = program.params().varyWindDirection = false;
  Accept(cmd.SetHeading(265));
  Accept(cmd.SetTrueWind(10, 220));
  Accept(cmd.Start());
  Sail(20);
  const SimState& s = program.model().state();
  const struct {
    const char* what;
    std::function<CommandResult(BoatCommands&)> adjust;
    std::function<bool(const SimState&)> taken;
  } cases[] = {
      {"heading", [](BoatCommands& c) { return c.AdjustHeading(250); },
       [](const SimState& st) { return st.HDG == 250 && st.BS.argt == 250 && st.H180 == 70; }},
      {"wind", [](BoatCommands& c) { return c.AdjustTrueWind(16, 200); },
       [](const SimState& st) { return st.TWS == 16 && st.TWD == 200 && st.TW.mdl == 16 && st.TW.argt == 200; }},
      {"current", [](BoatCommands& c) { return c.AdjustCurrent(2, 90); },
       [](const SimState& st) { return st.CUR.mdl == 2 && st.CUR.argt == 90 && st.Deriv > 1 && st.SW.mdl != st.TW.mdl; }},
  };
  for (const auto& c : cases) {
    const long double trip = s.logTrip;
    const long double apparent = s.AWS;
    const std::int32_t ticks = s.t;
    Accept(c.adjust(cmd));
    EXPECT_TRUE(c.taken(s)) << c.what;
    EXPECT_NE(s.AWS, apparent) << c.what;  // worked out again, not left to the next tick
    EXPECT_EQ(s.t, ticks) << c.what;
    EXPECT_EQ(s.logTrip, trip) << c.what;
    const BoatReadout r = Sail(3);
    EXPECT_NEAR(r.secondsSinceStart, ticks + 3, 0.01) << c.what;
    EXPECT_GT(s.logTrip, trip) << c.what;
  }
  EXPECT_NEAR(cmd.Readout().headingTrue, 250, 0.01);
  EXPECT_NEAR(cmd.Readout().trueWindSpeed, 16, 0.01);
  // During a tack the manoeuvre steers, but the weather goes on changing.
  Accept(cmd.Tack());
  const CommandResult heading = cmd.AdjustHeading(10);
  EXPECT_FALSE(heading.accepted);
  EXPECT_NE(heading.why.find("manœuvre tient la barre"), std::string::npos) << heading.why;
  Accept(cmd.AdjustTrueWind(14, 210));
  Accept(cmd.AdjustCurrent(1, 80));
  EXPECT_TRUE(cmd.Readout().tacking);
}

}  // namespace
}  // namespace ventrel::testing
