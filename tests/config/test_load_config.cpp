// Reading a configuration into the program: the fields, radio items and check boxes
// it shows, the state it sets, the sentence switches and talkers.

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "config/program_fixture.h"
#include "nmea/registry.h"
#include "nmea/selection.h"

namespace ventrel {
namespace {

enum class Attr { Text, Item, Checked };
struct Shown {
  const char* field;
  Attr attr;
  std::string value;  // the text, or the item index, or "1"/"0" for a check
};
Shown T(const char* f, std::string v) { return {f, Attr::Text, std::move(v)}; }
Shown I(const char* f, int item) { return {f, Attr::Item, std::to_string(item)}; }
Shown C(const char* f, bool on) { return {f, Attr::Checked, on ? "1" : "0"}; }

struct FieldCase {
  const char* name;
  const char* ini;
  std::vector<Shown> shown;
};
void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }

class LoadConfigFields : public ::testing::TestWithParam<FieldCase> {};

// Each case is read over the shipped configuration: every key missing from the case
// takes its default, so the cases also show what a missing key does.
TEST_P(LoadConfigFields, ShowsTheValuesRead) {
  const FieldCase& c = GetParam();
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.LoadConfig(IniFile(c.ini));
  for (const Shown& s : c.shown) {
    const PanelField& f = rig.program.panel()[s.field];
    switch (s.attr) {
      case Attr::Text:
        EXPECT_EQ(f.text(), s.value) << s.field;
        break;
      case Attr::Item:
        EXPECT_EQ(std::to_string(f.itemIndex()), s.value) << s.field;
        break;
      case Attr::Checked:
        EXPECT_EQ(f.checked() ? "1" : "0", s.value) << s.field;
        break;
    }
  }
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadConfigFields,
    ::testing::Values(
        // A saved heading of 335.7 must not come back as 336.
        FieldCase{"HeadingWithFourDigits", "[NavDATA]\niHDG=335.7\n",
                  {T("EdHDG", "335.7"), T("EdTWS", "0.0"), T("EdTWD", "0.0")}},
        FieldCase{"SpeedsThreeDigitsDirectionsFour",
                  "[NavDATA]\niTWS=12.34\niTWD=220.56\niCUR=1.25\niCURDir=7\n",
                  {T("EdTWS", "12.3"), T("EdTWD", "220.6"), T("EdFcourant", "1.3"), T("EdDirCourant", "7.0")}},
        FieldCase{"SouthWestPosition", "[NavDATA]\niPOSLat=-4706.5\niPOSLong=-12.5\n",
                  {I("RadioGLAT", 1), T("EdLATdeg", "47"), T("EdLATmin", "6.5"), I("RadioGrLG", 1),
                   T("EdLGDEG", "0"), T("EdLGmin", "12.5")}},
        FieldCase{"NorthEastPosition", "[NavDATA]\niPOSLat=5104.14\niPOSLong=17959.99\n",
                  {I("RadioGLAT", 0), T("EdLATdeg", "51"), T("EdLATmin", "4.14"), I("RadioGrLG", 0),
                   T("EdLGDEG", "179"), T("EdLGmin", "59.99")}},
        FieldCase{"Waypoint", "[NavDATA]\niWpID=Dest\niWpLat=1230.5\niWpLong=-6115\n",
                  {T("EdNwpt", "Dest"), I("RdGrWpNS", 0), T("EdLatWpDeg", "12"), T("EDLatWpmin", "30.5"),
                   I("RdGrWpEW", 1), T("EDLGWpDeg", "61"), T("EdLGWpmin", "15")}},
        FieldCase{"VariationWest", "[NavDATA]\niDeclMag=-3.456\n", {T("EdiDECL", "3.46"), I("RdgDecl", 1)}},
        FieldCase{"VariationEast", "[NavDATA]\niDeclMag=0\n", {T("EdiDECL", "0.00"), I("RdgDecl", 0)}},
        // h.mm with two decimals: with one, 5 h 45 would be shown "5.5" and read as 5 h 50.
        FieldCase{"UtcOffsetFiveFortyFive", "[NavDATA]\nidTU=5.45\n", {T("LbEdTU", "5.45")}},
        FieldCase{"UtcOffsetWholeHours", "[NavDATA]\nidTU=-2\n", {T("LbEdTU", "-2.00")}},
        FieldCase{"DepthOffsets", "[Parametres]\niOFFS_Keel=2\niOFFS_Surf=0.5\n",
                  {T("LEdCQ", "2"), T("LEdCS", "0.5"), T("LbEdTirando", "2.5"), T("LbEdProfCapt", "0.5")}},
        FieldCase{"PolarPercentage", "[Parametres]\niPolPerc=85\n", {T("EdPolPerc", "85")}},
        FieldCase{"CheckBoxes", "[NavDATA]\niHDGvar=1\niTWSvar=0\niTWDvar=1\n",
                  {C("ChkB_HDG", true), C("ChkB_TWS", false), C("ChkB_TWD", true)}},
        FieldCase{"SpeedOfTheList", "[COM]\niVit=9600\n", {T("CBbauds", "9600"), I("CBbauds", 6)}},
        FieldCase{"SpeedNotInTheList", "[COM]\niVit=1000\n", {T("CBbauds", "1000"), I("CBbauds", -1)}},
        // Keys that keep the current setting when missing; the others read zero.
        FieldCase{"EmptyFile", "",
                  {T("EdHDG", "0.0"), T("EdLATdeg", "0"), T("EdLATmin", "0"), I("RadioGLAT", 0),
                   T("EdiDECL", "0.00"), T("LbEdTU", "0.00"), T("EdPolPerc", "100"), T("EdNwpt", "Att_Dover"),
                   T("CBbauds", "4800"), C("ChkB_HDG", true), T("LEdCQ", "0"), T("LbEdTirando", "0")}}),
    [](const ::testing::TestParamInfo<FieldCase>& tpi) { return std::string(tpi.param.name); });

struct StateCase {
  const char* name;
  const char* ini;
  long double (*value)(VentrelProgram& p);
  long double expected;
};
void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }

class LoadConfigState : public ::testing::TestWithParam<StateCase> {};

TEST_P(LoadConfigState, SetsTheProgramState) {
  const StateCase& c = GetParam();
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.LoadConfig(IniFile(c.ini));
  // The values are read back from decimal texts: a few units of the last place.
  EXPECT_NEAR(c.value(rig.program), c.expected, 1e-12L);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadConfigState,
    ::testing::Values(
        StateCase{"TrueWindSpeed", "[NavDATA]\niTWS=12.34\n",
                  [](VentrelProgram& p) { return p.model().state().TW.mdl; }, 12.34L},
        StateCase{"TrueWindDirection", "[NavDATA]\niTWD=220.56\n",
                  [](VentrelProgram& p) { return p.model().state().TW.argt; }, 220.56L},
        StateCase{"Heading", "[NavDATA]\niHDG=335.7\n", [](VentrelProgram& p) { return p.model().state().BS.argt; },
                  335.7L},
        StateCase{"CurrentDirection", "[NavDATA]\niCUR=1.5\niCURDir=70\n",
                  [](VentrelProgram& p) { return p.model().state().CUR.argt; }, 70.0L},
        StateCase{"KeelOffsetInTheState", "[Parametres]\niOFFS_Keel=2\n",
                  [](VentrelProgram& p) { return p.model().state().offset_keel; }, 2.0L},
        StateCase{"KeelOffsetInTheDialog", "[Parametres]\niOFFS_Keel=2\niOFFS_Surf=0.5\n",
                  [](VentrelProgram& p) { return p.params().CQ; }, 2.0L},
        StateCase{"DraftFollowsTheOffsets", "[Parametres]\niOFFS_Keel=2\niOFFS_Surf=0.5\n",
                  [](VentrelProgram& p) { return p.params().Teau; }, 2.5L},
        StateCase{"SurfaceOffset", "[Parametres]\niOFFS_Surf=0.5\n",
                  [](VentrelProgram& p) { return p.model().state().offset_surf; }, 0.5L},
        StateCase{"PolarPercentage", "[Parametres]\niPolPerc=85\n",
                  [](VentrelProgram& p) { return static_cast<long double>(p.model().speed().polPerc); }, 85.0L},
        // Only the exact word gives AUTO.
        StateCase{"PilotLowerCaseIsStandby", "[Parametres]\niModPil=auto\n",
                  [](VentrelProgram& p) { return static_cast<long double>(p.model().state().ModPil); },
                  static_cast<long double>(TModPil::STDBY)},
        StateCase{"PilotAuto", "[Parametres]\niModPil=AUTO\n",
                  [](VentrelProgram& p) { return static_cast<long double>(p.model().state().ModPil); },
                  static_cast<long double>(TModPil::AUTO)},
        // The variation is applied from its field, two decimals.
        StateCase{"VariationWest", "[NavDATA]\niDeclMag=-3.456\n",
                  [](VentrelProgram& p) { return p.model().state().Declin; }, -3.46L},
        StateCase{"UtcOffsetFiveFortyFive", "[NavDATA]\nidTU=5.45\n", [](VentrelProgram& p) { return p.params().dTU; },
                  5.75L},
        StateCase{"UtcOffsetFiveThirty", "[NavDATA]\nidTU=5.30\n", [](VentrelProgram& p) { return p.params().dTU; },
                  5.5L},
        StateCase{"UtcOffsetWest", "[NavDATA]\nidTU=-3.3\n", [](VentrelProgram& p) { return p.params().dTU; },
                  -3.5L},
        // 12°30.5' N = 12 + 30.5 / 60; 61°15' W is 360 - 61.25 in the graphic longitude.
        StateCase{"WaypointLatitude", "[NavDATA]\niWpLat=1230.5\niWpLong=-6115\n",
                  [](VentrelProgram& p) { return p.model().waypoint().Wp.P.lat; }, 12.0L + 30.5L / 60.0L},
        StateCase{"WaypointLongitude", "[NavDATA]\niWpLat=1230.5\niWpLong=-6115\n",
                  [](VentrelProgram& p) { return p.model().waypoint().Wp.P.long_; }, 298.75L},
        StateCase{"HeadingVariesInTheDialogAndTheState", "[NavDATA]\niHDGvar=1\niTWSvar=0\n",
                  [](VentrelProgram& p) {
                    return static_cast<long double>(p.params().ChkB_HDG && p.model().state().HDGvar &&
                                                    !p.params().ChkB_TWS && !p.model().state().TWSvar);
                  },
                  1.0L}),
    [](const ::testing::TestParamInfo<StateCase>& tpi) { return std::string(tpi.param.name); });

TEST(LoadConfig, TakesTheWaypointNameAndRebuildsTheWaypoint) {
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.LoadConfig(IniFile("[NavDATA]\niWpID=Cherbourg\niWpLat=4939\niWpLong=-137\n"));
  const t_wpt& wp = rig.program.model().waypoint().Wp;
  EXPECT_EQ(wp.P.nom, "Cherbourg");
  EXPECT_NEAR(wp.P.lat, 49.0L + 39.0L / 60.0L, 1e-12L);
  EXPECT_NEAR(wp.P.long_, 360.0L - (1.0L + 37.0L / 60.0L), 1e-12L);
  EXPECT_TRUE(rig.program.model().waypoint().WpUsed);
}

// ---- Sentence switches

// The sentence keys are read in the order of the dialog's list: key i sets item i.
TEST(LoadConfig, SentenceKeysAndTheDialogListAreInTheSameOrder) {
  for (std::size_t i = 0; i < kSentenceTypes.size(); ++i) {
    EXPECT_EQ(kSentenceTypes[i], kNmeaItemTable[i].type) << i;
    EXPECT_EQ(kSentenceKeys[i], "i" + std::string(kSentenceTypes[i])) << i;
    ASSERT_NE(FindSentence(kSentenceTypes[i]), nullptr) << kSentenceTypes[i];
  }
}

struct SwitchCase {
  const char* name;
  const char* ini;
  const char* on;  // "1"/"0" per sentence, APB ... ZTG
};
void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }

class LoadConfigSwitches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(LoadConfigSwitches, SetTheFlagsAndTheDialogList) {
  const SwitchCase& c = GetParam();
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.LoadConfig(IniFile(c.ini));
  std::string flags;
  std::string checks;
  for (std::size_t i = 0; i < kSentenceTypes.size(); ++i) {
    flags += Selected(rig.program.nmea(), *FindSentence(kSentenceTypes[i])) ? '1' : '0';
    checks += rig.program.selection().checked[i] ? '1' : '0';
  }
  EXPECT_EQ(flags, c.on);
  EXPECT_EQ(checks, c.on);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadConfigSwitches,
    ::testing::Values(SwitchCase{"NoSection", "", "00000000000000000000000000"},
                      // "iBWC" missing after "iAPB" true: BWC is sent.
                      SwitchCase{"ChainedFromApb", "[NMEA]\niAPB=1\niBWR=0\n", "11000000000000000000000000"},
                      SwitchCase{"DepthOnly", "[NMEA]\niAPB=0\niDBK=1\niGLL=0\n", "00011110000000000000000000"},
                      SwitchCase{"LastOnly", "[NMEA]\niAPB=0\niZTG=1\n", "00000000000000000000000001"}),
    [](const ::testing::TestParamInfo<SwitchCase>& tpi) { return std::string(tpi.param.name); });

// ---- Talkers

struct TalkerCase {
  const char* name;
  const char* ini;
  std::array<int, 4> radios;          // position device, sounder, speed log, wind
  std::array<const char*, 4> talkers;  // DevPos, Sounder, Speedo, Winst
};
void PrintTo(const TalkerCase& c, std::ostream* os) { *os << c.name; }

class LoadConfigTalkers : public ::testing::TestWithParam<TalkerCase> {};

TEST_P(LoadConfigTalkers, SetTheRadioGroupsAndTheSentencesAtOnce) {
  const TalkerCase& c = GetParam();
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.LoadConfig(IniFile(c.ini));
  const NmeaSelection& sel = rig.program.selection();
  EXPECT_EQ((std::array<int, 4>{sel.RdGDevPos, sel.RdGDevSond, sel.RdGInst, sel.RdGWI}), c.radios);
  const NmeaModule& m = rig.program.nmea();
  EXPECT_EQ(m.DevPos, c.talkers[0]);
  EXPECT_EQ(m.Sounder, c.talkers[1]);
  EXPECT_EQ(m.Speedo, c.talkers[2]);
  EXPECT_EQ(m.Winst, c.talkers[3]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadConfigTalkers,
    ::testing::Values(
        TalkerCase{"Shipped", "[NMEA]\niDevPOS=GP\niSound=SD\niSpeedo=DM\niWind=WI\n", {1, 0, 0, 0},
                   {"GP", "SD", "DM", "WI"}},
        TalkerCase{"Integrated", "[NMEA]\niDevPOS=EC\niSound=II\niSpeedo=II\niWind=II\n", {0, 1, 1, 1},
                   {"EC", "II", "II", "II"}},
        // Two characters count; the missing keys repeat the text before them.
        TalkerCase{"EcFollowedByMore", "[NMEA]\niDevPOS=ECDIS\n", {0, 1, 1, 1}, {"EC", "II", "II", "II"}},
        TalkerCase{"SounderRepeated", "[NMEA]\niDevPOS=GP\niSound=SDX\n", {1, 0, 1, 1}, {"GP", "SD", "II", "II"}},
        TalkerCase{"NoSection", "", {1, 1, 1, 1}, {"GP", "II", "II", "II"}}),
    [](const ::testing::TestParamInfo<TalkerCase>& tpi) { return std::string(tpi.param.name); });

// A configuration with "II" talkers sends "II" sentences without the dialog's OK.
TEST(LoadConfig, TheDepthSentencesCarryTheTalkerReadAtOnce) {
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.LoadConfig(IniFile("[NMEA]\niAPB=1\niDevPOS=GP\niSound=II\niSpeedo=DM\niWind=WI\n"));
  NmeaModule& m = rig.program.nmea();
  const NmeaClock clock;
  const int n = m.NPhEnvoi1(rig.program.model().state(), rig.program.model().waypoint(), clock);
  int depth = 0;
  for (int i = 1; i <= n; ++i) {
    const std::string& s = m.tab_PhNMEA[static_cast<std::size_t>(i)];
    if (s.compare(3, 3, "DPT") == 0 || s.compare(3, 3, "DBT") == 0) {
      EXPECT_EQ(s.substr(0, 3), "$II") << s;
      ++depth;
    }
  }
  EXPECT_EQ(depth, 2);
}

TEST(LoadConfig, ReadsTheFixedIdentifiers) {
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.LoadConfig(IniFile("[NMEA]\niInst=XX\niPilot=YY\n"));
  EXPECT_EQ(rig.program.nmea().InstID, "XX");
  EXPECT_EQ(rig.program.nmea().PilotID, "YY");
  EXPECT_EQ(rig.program.nmea().CompasID, "HC");
}

TEST(LoadConfig, PortDevicesBecomeTheOverridesOfTheirPorts) {
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.LoadConfig(IniFile("[COM]\nCOM3=/dev/ttyUSB0\nCOM10=/dev/ttyACM1\n"));
  const std::map<std::string, std::string> expected = {{"COM3", "/dev/ttyUSB0"}, {"COM10", "/dev/ttyACM1"}};
  EXPECT_EQ(rig.program.PortOverrides(), expected);
}

// ---- Values that are not numbers

TEST(LoadConfig, AValueThatIsNotANumberKeepsTheFieldAndNamesTheKey) {
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.LoadConfig(
      IniFile("[NavDATA]\niTWS=dix\niHDG=300\niPOSLat=5O04\niDeclMag=un\nidTU=x\n[COM]\niVit=48OO\n"));
  EXPECT_EQ(rig.Field("EdTWS"), "10.0");  // shipped value kept
  EXPECT_EQ(rig.program.model().state().TW.mdl, 10.0L);
  EXPECT_EQ(rig.Field("EdHDG"), "300.0");  // the readable keys are taken
  EXPECT_EQ(rig.Field("EdLATdeg"), "51");
  EXPECT_EQ(rig.Field("EdLATmin"), "4.14");
  EXPECT_EQ(rig.Field("EdiDECL"), "1.00");
  EXPECT_EQ(rig.program.model().state().Declin, 1.0L);
  EXPECT_EQ(rig.program.params().dTU, -2.0L);
  EXPECT_EQ(rig.Field("CBbauds"), "4800");
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  const std::string& msg = rig.dialogs.messages[0];
  for (const char* key : {"« iTWS »", "« iPOSLat »", "« iDeclMag »", "« idTU »", "« iVit »"}) {
    EXPECT_NE(msg.find(key), std::string::npos) << key << " in " << msg;
  }
  EXPECT_EQ(msg.find("iHDG"), std::string::npos);
}

}  // namespace
}  // namespace ventrel
