// The line-load meter of the program: the figures of the shipped selection at 4800
// and 9600 baud, measured from the groups sent; the dialog's selection before it is
// applied; no speed chosen (the speed is the entry chosen in the list); a run faster
// than real time on that line.

#include <gtest/gtest.h>

#include "program/boat_commands.h"
#include "program_fixture.h"
#include "sim/timers.h"

namespace ventrel::testing {
namespace {

class Meter : public ::testing::Test, public ProgramRig {
 protected:
  Meter() {
    // The offset as a number: the sentences' lengths do not depend on the machine's zone.
    Set(Field::UtcOffset, "-2");
    program.FormPaint();
  }
  // The start, the first port of the list, "Activer", then `seconds` of the run.
  void Run(int seconds) {
    BoatCommands(program).Start();
    program.panel()[Field::PortList].setItemIndex(0);
    program.transmission().CBComSelect();
    program.transmission().BtActivNMEAClick();
    clock.advance(1000LL * seconds);
  }
  VirtualClock clock{program.model().timers()};
};

TEST_F(Meter, TheShippedSelectionAt4800And9600Baud) {
  Run(2);  // groups 1, 2, 3 sent
  const struct {
    const char* speed;
    std::array<std::size_t, 3> bytes;
    std::array<std::int64_t, 3> hundredths;
    std::int64_t percent;
    const char* line;  // the port panel's
  } cases[] = {
      {"4800", {261, 427, 588}, {55, 89, 123}, 89,
       "Le groupe 3 dure 1,23 s à 4800 bauds : choisissez 9600 bauds ou moins de phrases"},
      {"9600", {261, 427, 588}, {28, 45, 62}, 45, "Charge à 9600 bauds : groupe 1 28 %, groupe 2 45 %, groupe 3 62 %"},
  };
  for (const auto& c : cases) {
    program.transmission().SetSpeedText(c.speed);
    const LineLoad load = program.transmission().MeasureLoad(program.transmission().ChosenSpeed());
    for (std::size_t g = 0; g < 3; ++g) {
      EXPECT_TRUE(load.groups[g].measured) << c.speed;
      EXPECT_EQ(load.groups[g].bytes, c.bytes[g]) << c.speed << " group " << g + 1;
      EXPECT_EQ(load.groups[g].hundredths, c.hundredths[g]) << c.speed << " group " << g + 1;
    }
    EXPECT_EQ(load.percent, c.percent) << c.speed;
    EXPECT_EQ(program.LineLoadLine(), c.line) << c.speed;
  }
}

// The check of a faster run on the serial line: the selection in force at the
// speed chosen in the list.
TEST_F(Meter, AFasterRunIsCheckedAgainstTheSpeedChosen) {
  Run(2);
  const struct {
    const char* speed;
    int times;
    const char* refusal;  // its beginning; "" when accepted
  } cases[] = {
      {"4800", 1, ""},
      {"4800", 2, "À ×2, le groupe 3 (588 octets) dure 1,23 s à 4800 bauds pour 0,50 s"},
      {"38400", 5, ""},
      {"38400", 10, "À ×10, le groupe 3 (588 octets) dure 0,16 s à 38400 bauds pour 0,10 s"},
      {"4800 bauds", 10, ""},  // no speed chosen: nothing to check
  };
  for (const auto& c : cases) {
    program.transmission().SetSpeedText(c.speed);
    const std::string refusal = program.RunSpeedRefusal(c.times);
    EXPECT_EQ(refusal.substr(0, std::string(c.refusal).size()), c.refusal) << c.speed << " x" << c.times;
    EXPECT_EQ(refusal.empty(), std::string(c.refusal).empty()) << refusal;
  }
}

TEST_F(Meter, TheDialogMeasuresTheSelectionItHolds) {
  Run(2);
  NmeaSelection pending = program.selection();
  const std::string all = program.LineLoadReport(pending);
  EXPECT_NE(all.find("\nLe groupe 3 dure "), std::string::npos) << all;
  // Without the three GSV sentences, group 3 fits at 4800 baud.
  for (std::size_t i = 0; i < kNmeaItemTable.size(); ++i) {
    if (kNmeaItemTable[i].type == "GSV") pending.checked[i] = false;
  }
  const std::string without = program.LineLoadReport(pending);
  EXPECT_EQ(without.find("Le groupe"), std::string::npos) << without;
  EXPECT_NE(without.find("Ligne à 4800 bauds (480 octets/s) : chargée à "), std::string::npos) << without;
  // Nothing is applied: the panel still warns.
  bool warning = false;
  program.LineLoadLine(&warning);
  EXPECT_TRUE(warning);
  // No speed chosen: the dialog says so, the panel says nothing.
  program.transmission().SetSpeedText("4800 bauds");
  EXPECT_EQ(program.LineLoadReport(pending), kMsgVitesseAbsente);
  EXPECT_EQ(program.LineLoadLine(&warning), "");
  EXPECT_FALSE(warning);
  EXPECT_EQ(program.LineLoadWarningNow(), "");
}

}  // namespace
}  // namespace ventrel::testing
