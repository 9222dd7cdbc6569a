// The program's start, the configuration menu (open, save, automatic reload), the
// write-back at close and the parameters dialog.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "config/program_fixture.h"
#include "nmea/registry.h"

namespace ventrel {
namespace {

namespace fs = std::filesystem;

const std::string kTitle = "SIMULATEUR DE NAVIGATION et TRANSMETTEUR NMEA 0183  V 2.3";

std::string Flags(const VentrelProgram& p) {
  std::string s;
  for (std::string_view type : kSentenceTypes) s += Selected(p.nmea(), *FindSentence(type)) ? '1' : '0';
  return s;
}

// Moves the file's modification time by `seconds` from what it is.
void Touch(const fs::path& file, int seconds) {
  fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(seconds));
}

// ---- Start

TEST(Start, WithTheShippedConfigurationTheBoatSailsAtOnce) {
  testing::ProgramRig rig;
  rig.StartShipped();
  VentrelProgram& p = rig.program;
  EXPECT_EQ(p.Caption(), kTitle);
  EXPECT_EQ(p.NomPol(), "FIRST31_7");
  EXPECT_EQ(p.RepPol(), (rig.appli / "DefPolars").generic_string() + "/");
  EXPECT_EQ(p.model().polar().NCOL, 9);
  EXPECT_EQ(rig.Field("EdHDG"), "335.0");
  EXPECT_EQ(rig.Field("EdTWS"), "10.0");
  EXPECT_EQ(rig.Field("EdTWD"), "220.0");
  EXPECT_EQ(rig.Field("EdLGmin"), "23.08");
  EXPECT_EQ(rig.Field("EdNwpt"), "Att_Dover");
  EXPECT_EQ(rig.Field("LbEdTU"), "-2.00");
  EXPECT_EQ(rig.Field("LEdCQ"), "1.6");
  EXPECT_EQ(Flags(p), std::string(26, '1'));
  EXPECT_TRUE(std::all_of(p.selection().checked.begin(), p.selection().checked.end(), [](bool b) { return b; }));
  EXPECT_EQ(p.nmea().DevPos + p.nmea().Sounder + p.nmea().Speedo + p.nmea().Winst, "GPSDDMWI");
  EXPECT_TRUE(p.params().ChkB_HDG && p.params().ChkB_TWS && p.params().ChkB_TWD);
  EXPECT_EQ(p.model().state().Declin, 1.0L);
  EXPECT_TRUE(p.model().state().PremPasse);
  EXPECT_TRUE(rig.dialogs.messages.empty());
  EXPECT_TRUE(rig.dialogs.questions.empty());
}

TEST(Start, WithoutADefaultConfigurationEveryInputIsZero) {
  testing::ProgramRig rig;
  rig.Start();
  VentrelProgram& p = rig.program;
  for (const char* f : {"EdHDG", "EdTWS", "EdTWD", "EdFcourant", "EdDirCourant"}) EXPECT_EQ(rig.Field(f), "0.0") << f;
  for (const char* f : {"EdLATdeg", "EdLATmin", "EdLGDEG", "EdLGmin", "EdLatWpDeg", "EDLatWpmin"}) {
    EXPECT_EQ(rig.Field(f), "0") << f;
  }
  EXPECT_EQ(p.model().state().TW.mdl, 0.0L);
  EXPECT_EQ(p.model().state().BS.argt, 0.0L);
  EXPECT_EQ(p.model().state().Declin, 0.0L);
  // Every sentence off, although the dialog selected them all first.
  EXPECT_EQ(Flags(p), std::string(26, '0'));
  EXPECT_TRUE(std::none_of(p.selection().checked.begin(), p.selection().checked.end(), [](bool b) { return b; }));
  // The polar of the program folder is still found and read.
  EXPECT_EQ(p.NomPol(), "FIRST31_7");
  EXPECT_EQ(p.model().polar().NCOL, 9);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

struct SiblingCase {
  const char* name;
  bool yes;
  const char* picked;  // file picked in the sibling folder; nullptr: cancelled
  const char* NomPol;
  int NCOL;
  std::size_t messages;
};
void PrintTo(const SiblingCase& c, std::ostream* os) { *os << c.name; }

class StartSibling : public ::testing::TestWithParam<SiblingCase> {};

TEST_P(StartSibling, LetsTheUserPickAPolarThere) {
  const SiblingCase& c = GetParam();
  testing::ProgramRig rig;
  const fs::path sibling = rig.root / "docs" / "Houlmar" / "Polars";
  testing::WriteText(sibling / "J80.pol", testing::kSmallPolar);
  testing::WriteText(sibling / "Empty.pol", "");
  rig.dialogs.yes = c.yes;
  if (c.picked != nullptr) rig.dialogs.openAnswers.push_back(sibling / c.picked);
  rig.program.Start(rig.appli, (rig.root / "docs").string());
  ASSERT_EQ(rig.dialogs.questions.size(), 1u);
  EXPECT_EQ(rig.program.ModHoulmar(), c.yes);
  EXPECT_EQ(rig.program.NomPol(), c.NomPol);
  EXPECT_EQ(rig.program.model().polar().NCOL, c.NCOL);
  EXPECT_EQ(rig.dialogs.messages.size(), c.messages);
  if (c.yes) {
    ASSERT_EQ(rig.dialogs.opened.size(), 1u);
    EXPECT_EQ(rig.dialogs.opened[0].folder.generic_string(), sibling.generic_string() + "/");
    EXPECT_EQ(rig.dialogs.opened[0].defaultExt, "pol");
  } else {
    EXPECT_TRUE(rig.dialogs.opened.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartSibling,
    ::testing::Values(SiblingCase{"Refused", false, nullptr, "FIRST31_7", 9, 0},
                      SiblingCase{"Picked", true, "J80.pol", "J80", 2, 0},
                      // Nothing picked, or a file that is no polar: the default polar, and why.
                      SiblingCase{"Cancelled", true, nullptr, "FIRST31_7", 9, 1},
                      SiblingCase{"NoPolar", true, "Empty.pol", "FIRST31_7", 9, 2}),
    [](const ::testing::TestParamInfo<SiblingCase>& tpi) { return std::string(tpi.param.name); });

// ---- "Ouvrir"

TEST(Ouvrir, EachOpeningAppendsToTheTitle) {
  testing::ProgramRig rig;
  rig.StartShipped();
  testing::WriteText(rig.root / "a.ini", "[NavDATA]\niTWS=12\n");
  testing::WriteText(rig.root / "b.ini", "[NavDATA]\niTWS=14\n");
  rig.dialogs.openAnswers = {rig.root / "a.ini", rig.root / "b.ini", std::nullopt};
  rig.program.Ouvrir2Click();
  EXPECT_EQ(rig.program.Caption(), kTitle + "      Configuration : a.ini");
  rig.program.Ouvrir2Click();
  EXPECT_EQ(rig.program.Caption(), kTitle + "      Configuration : a.ini      Configuration : b.ini");
  EXPECT_EQ(rig.Field("EdTWS"), "14.0");
  rig.program.Ouvrir2Click();  // cancelled: nothing changes
  EXPECT_EQ(rig.program.Caption(), kTitle + "      Configuration : a.ini      Configuration : b.ini");
  EXPECT_EQ(rig.program.CFGFile(), rig.root / "b.ini");
  ASSERT_EQ(rig.dialogs.opened.size(), 3u);
  EXPECT_EQ(rig.dialogs.opened[0].filter, "Fichier ini|*.ini");
  EXPECT_EQ(rig.dialogs.opened[0].defaultExt, "ini");
  EXPECT_EQ(rig.dialogs.opened[0].folder, rig.appli);
}

TEST(Ouvrir, ChangesThePolarNamesButNotTheTable) {
  testing::ProgramRig rig;
  rig.StartShipped();
  testing::WriteText(rig.root / "mine" / "Boat.pol", testing::kSmallPolar);
  testing::WriteText(rig.root / "boat.ini",
                     "[REPERTOIRES]\nPolars=" + (rig.root / "mine").generic_string() +
                         "/\n[Parametres]\nPolaireAct=BOAT.pol\n");
  rig.dialogs.openAnswers = {rig.root / "boat.ini"};
  rig.program.Ouvrir2Click();
  EXPECT_EQ(rig.program.NomPol(), "BOAT");
  EXPECT_EQ(rig.program.NomFiPol(), (rig.root / "mine" / "Boat.pol").generic_string());
  EXPECT_EQ(rig.Field("StxNomPol"), "BOAT");  // the window is painted again
  EXPECT_EQ(rig.program.model().polar().NCOL, 9);
}

TEST(Ouvrir, WithoutThePolarKeyKeepsThePolar) {
  testing::ProgramRig rig;
  rig.StartShipped();
  testing::WriteText(rig.root / "nopolar.ini", "[REPERTOIRES]\nPolars=/elsewhere/\n");
  rig.dialogs.openAnswers = {rig.root / "nopolar.ini"};
  rig.program.Ouvrir2Click();
  EXPECT_EQ(rig.program.NomPol(), "FIRST31_7");
  EXPECT_EQ(rig.program.NomFiPol(), (rig.appli / "DefPolars" / "First31_7.pol").generic_string());
}

TEST(Ouvrir, AFileThatCannotBeReadChangesNothing) {
  testing::ProgramRig rig;
  rig.StartShipped();
  fs::create_directories(rig.root / "folder.ini");
  rig.dialogs.openAnswers = {rig.root / "folder.ini"};
  rig.program.Ouvrir2Click();
  EXPECT_EQ(rig.program.Caption(), kTitle);
  EXPECT_EQ(rig.Field("EdHDG"), "335.0");
  EXPECT_TRUE(rig.program.CFGFile().empty());
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.dialogs.messages[0], "Le fichier « folder.ini » ne peut pas être lu.");
}

// ---- "Enregistrer"

TEST(Enregistrer, SaveThenOpenRestoresSwitchesAndTalkers) {
  testing::ProgramRig rig;
  rig.StartShipped();
  VentrelProgram& p = rig.program;
  NmeaSelection& sel = p.selection();
  for (std::size_t i = 0; i < sel.checked.size(); ++i) sel.checked[i] = i % 4 == 1;
  sel.RdGDevPos = 0;
  sel.RdGDevSond = 1;
  sel.RdGInst = 0;
  sel.RdGWI = 1;
  sel.BtParNMEA_OKClick(p.nmea());
  // Whatever identifiers were read before, the save writes the fixed ones.
  p.nmea().InstID = "XX";
  p.nmea().PilotID = "";
  p.nmea().CompasID = "YY";
  const std::string saved = Flags(p);
  ASSERT_EQ(saved, "01000100010001000100010001");

  rig.dialogs.saveAnswers = {rig.root / "bateau.ini"};
  p.Enregistrer2Click();
  const std::string text = testing::ReadText(rig.root / "bateau.ini");
  EXPECT_NE(text.find("iInst=II\niPilot=AP\niCompas=HC\n"), std::string::npos) << text;
  ASSERT_EQ(rig.dialogs.saved.size(), 1u);
  EXPECT_EQ(rig.dialogs.saved[0].title, "Sauvegarder la configuration");
  EXPECT_EQ(rig.dialogs.saved[0].filter, "Fichier INI|*.ini");

  p.LoadConfig(IniFile("[NMEA]\niAPB=0\niDevPOS=GP\niInst=ZZ\n"));
  rig.dialogs.openAnswers = {rig.root / "bateau.ini"};
  p.Ouvrir2Click();
  EXPECT_EQ(Flags(p), saved);
  EXPECT_EQ((std::array<int, 4>{sel.RdGDevPos, sel.RdGDevSond, sel.RdGInst, sel.RdGWI}),
            (std::array<int, 4>{0, 1, 0, 1}));
  EXPECT_EQ(p.nmea().DevPos + p.nmea().Sounder + p.nmea().Speedo + p.nmea().Winst, "ECIIDMII");
  EXPECT_EQ(p.nmea().InstID + p.nmea().PilotID + p.nmea().CompasID, "IIAPHC");
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(Enregistrer, TheShippedConfigurationComesBackTheSame) {
  testing::ProgramRig rig;
  rig.StartShipped();
  const std::string shipped = testing::ReadText(rig.appli / "Ventrel.ini");
  rig.dialogs.openAnswers = {rig.appli / "Ventrel.ini"};
  rig.program.Ouvrir2Click();
  rig.dialogs.saveAnswers = {rig.root / "copy.ini"};
  rig.program.Enregistrer2Click();
  EXPECT_EQ(testing::ReadText(rig.root / "copy.ini"), shipped);
  IniFile a, b;
  ASSERT_TRUE(IniFile::Load(rig.appli / "Ventrel.ini", &a).readable);
  ASSERT_TRUE(IniFile::Load(rig.root / "copy.ini", &b).readable);
  EXPECT_TRUE(ReadConfiguration(a, Configuration{}) == ReadConfiguration(b, Configuration{}));
}

struct RoundCase {
  const char* name;
  const char* ini;
  void (*between)(VentrelProgram& p);  // what the user does before saving
  const char* section;
  const char* key;
  const char* saved;
};
void PrintTo(const RoundCase& c, std::ostream* os) { *os << c.name; }

class SavedValue : public ::testing::TestWithParam<RoundCase> {};

TEST_P(SavedValue, ComesBackAsItWasRead) {
  const RoundCase& c = GetParam();
  testing::ProgramRig rig;
  rig.StartShipped();
  testing::WriteText(rig.root / "in.ini", c.ini);
  rig.dialogs.openAnswers = {rig.root / "in.ini"};
  rig.program.Ouvrir2Click();
  c.between(rig.program);
  rig.dialogs.saveAnswers = {rig.root / "out.ini"};
  rig.program.Enregistrer2Click();
  IniFile out;
  ASSERT_TRUE(IniFile::Load(rig.root / "out.ini", &out).found);
  EXPECT_EQ(out.Find(c.section, c.key).value_or("(none)"), c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SavedValue,
    ::testing::Values(
        // The start reads the heading from its field: shown "336", it would be saved 336.
        RoundCase{"HeadingThroughAStart", "[NavDATA]\niHDG=335.7\n", [](VentrelProgram& p) { p.model().BtCALCClick(); },
                  "NavDATA", "iHDG", "335.7"},
        // The UTC field is read again at each paint: shown "5.5", 5 h 45 would become 5 h 50.
        RoundCase{"UtcOffsetThroughAPaint", "[NavDATA]\nidTU=5.45\n", [](VentrelProgram& p) { p.FormPaint(); },
                  "NavDATA", "idTU", "5.45"},
        RoundCase{"PositionFromTheFields", "[NavDATA]\niPOSLat=-4706.5\n",
                  [](VentrelProgram& p) {
                    p.panel()["EdLATdeg"].setText("51");
                    p.panel()["EdLATmin"].setText("4.14");
                    p.panel()["RadioGLAT"].setItemIndex(0);
                  },
                  "NavDATA", "iPOSLat", "5104.14"},
        RoundCase{"WaypointWest", "[NavDATA]\niWpLong=-6115\n", [](VentrelProgram&) {}, "NavDATA", "iWpLong",
                  "-6115"},
        RoundCase{"ChecksAsTheUserLeftThem", "[NavDATA]\niTWSvar=1\n",
                  [](VentrelProgram& p) {
                    p.panel()["ChkB_TWS"].setChecked(false);
                    p.ChkBClick();
                  },
                  "NavDATA", "iTWSvar", "0"},
        RoundCase{"SpeedTyped", "[COM]\niVit=4800\n", [](VentrelProgram& p) { p.transmission().SetSpeedText("19200"); },
                  "COM", "iVit", "19200"},
        RoundCase{"PilotStandby", "[Parametres]\niModPil=STDBY\n", [](VentrelProgram&) {}, "Parametres", "iModPil",
                  "STDBY"},
        RoundCase{"PortDeviceKept", "[COM]\nCOM2=/dev/ttyUSB1\n", [](VentrelProgram&) {}, "COM", "COM2",
                  "/dev/ttyUSB1"}),
    [](const ::testing::TestParamInfo<RoundCase>& tpi) { return std::string(tpi.param.name); });

struct RefusedSaveCase {
  const char* name;
  const char* field;
  const char* text;
  const char* told;  // part of the message
};
void PrintTo(const RefusedSaveCase& c, std::ostream* os) { *os << c.name; }

class RefusedSave : public ::testing::TestWithParam<RefusedSaveCase> {};

TEST_P(RefusedSave, WritesNothingAndSaysWhy) {
  const RefusedSaveCase& c = GetParam();
  testing::ProgramRig rig;
  rig.StartShipped();
  const std::string before = "; mine\n[COM]\niVit=9600\n";
  testing::WriteText(rig.root / "old.ini", before);
  rig.program.panel()[c.field].setText(c.text);
  rig.dialogs.saveAnswers = {rig.root / "old.ini", rig.root / "new.ini"};
  rig.program.Enregistrer2Click();
  rig.program.Enregistrer2Click();
  EXPECT_EQ(testing::ReadText(rig.root / "old.ini"), before);
  EXPECT_FALSE(fs::exists(rig.root / "new.ini"));
  ASSERT_EQ(rig.dialogs.messages.size(), 2u);
  EXPECT_NE(rig.dialogs.messages[0].find(c.told), std::string::npos) << rig.dialogs.messages[0];
  EXPECT_NE(rig.dialogs.messages[0].find("La configuration n'est pas enregistrée."), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedSave,
    ::testing::Values(RefusedSaveCase{"SpeedNotAnInteger", "CBbauds", "48OO", "« 48OO »"},
                      RefusedSaveCase{"SpeedWithDecimals", "CBbauds", "4800.5", "« 4800.5 »"},
                      RefusedSaveCase{"LatitudeNotANumber", "EdLATmin", "4,1,4", "Position - LAT min"},
                      RefusedSaveCase{"WaypointNotANumber", "EDLGWpDeg", "un", "Waypoint - LG deg"}),
    [](const ::testing::TestParamInfo<RefusedSaveCase>& tpi) { return std::string(tpi.param.name); });

TEST(Enregistrer, CancelledWritesNothingAndStopsTheWatch) {
  testing::ProgramRig rig;
  rig.StartShipped();
  testing::WriteText(rig.root / "w.ini", "[NavDATA]\niTWS=12\n");
  rig.dialogs.openAnswers = {rig.root / "w.ini"};
  rig.program.Automatique1Click();
  ASSERT_TRUE(rig.program.model().timers().TimerLoadCFG.enabled());
  rig.program.Enregistrer2Click();
  EXPECT_FALSE(rig.program.panel()["Automatique1"].checked());
  EXPECT_FALSE(rig.program.model().timers().TimerLoadCFG.enabled());
  EXPECT_EQ(std::distance(fs::directory_iterator(rig.root.path()), fs::directory_iterator()), 2);  // app, w.ini
}

// ---- "Automatique"

class AutomaticReload : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.StartShipped();
    file = rig.root / "watched.ini";
    testing::WriteText(file, "[NavDATA]\niTWS=12\niHDG=335\n[NMEA]\niAPB=1\n");
    rig.dialogs.openAnswers = {file};
    rig.program.Automatique1Click();
  }
  VentrelProgram& p() { return rig.program; }

  testing::ProgramRig rig;
  fs::path file;
  VirtualClock clock{rig.program.model().timers()};
};

TEST_F(AutomaticReload, OpensChecksAndWatchesEveryTenSeconds) {
  EXPECT_TRUE(p().panel()["Automatique1"].checked());
  EXPECT_EQ(p().model().timers().TimerLoadCFG.interval(), 10000);
  EXPECT_EQ(rig.Field("EdTWS"), "12.0");
  testing::WriteText(file, "[NavDATA]\niTWS=20\niHDG=335\n");
  Touch(file, 5);
  clock.advance(9999);
  EXPECT_EQ(rig.Field("EdTWS"), "12.0");
  clock.advance(1);
  EXPECT_EQ(rig.Field("EdTWS"), "20.0");
  EXPECT_TRUE(p().model().timers().TimerLoadCFG.enabled());
  // The polar keys are not read again by the watch, nor is the title changed.
  EXPECT_EQ(p().Caption(), kTitle + "      Configuration : watched.ini");
}

TEST_F(AutomaticReload, ARunningSimulationGoesOnWithTheNewSettings) {
  p().model().BtCALCClick();
  testing::WriteText(file, "[NavDATA]\niTWS=20\niHDG=300\n");
  Touch(file, 5);
  clock.advance(10000);
  EXPECT_TRUE(p().model().timers().TimerAT.enabled());
  EXPECT_FALSE(p().model().state().StPause);
  // The resume started the run again from the fields the reload filled.
  EXPECT_EQ(p().model().state().HDG, 300.0L);
  EXPECT_EQ(p().model().state().TWS, 20.0L);
}

TEST_F(AutomaticReload, ANotYetStartedSimulationIsStartedAndPausedAroundTheCheck) {
  clock.advance(10000);
  EXPECT_FALSE(p().model().state().PremPasse);
  EXPECT_TRUE(p().model().state().StPause);
  EXPECT_FALSE(p().model().timers().TimerAT.enabled());
}

TEST_F(AutomaticReload, AMissingFileKeepsTheSettingsAndIsToldOnce) {
  fs::remove(file);
  clock.advance(30000);
  EXPECT_EQ(rig.Field("EdTWS"), "12.0");
  EXPECT_EQ(rig.Field("EdHDG"), "335.0");
  EXPECT_EQ(Flags(p()), std::string(26, '1'));  // not the defaults of an empty file
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.dialogs.messages[0],
            "Le fichier de configuration « watched.ini » est introuvable. Les réglages en cours sont conservés.");
  EXPECT_TRUE(p().model().timers().TimerLoadCFG.enabled());

  // Back again: read; gone again: told again.
  testing::WriteText(file, "[NavDATA]\niTWS=7\n");
  Touch(file, 60);
  clock.advance(10000);
  EXPECT_EQ(rig.Field("EdTWS"), "7.0");
  fs::remove(file);
  clock.advance(20000);
  EXPECT_EQ(rig.dialogs.messages.size(), 2u);
}

TEST_F(AutomaticReload, AnUnreadableFileKeepsTheSettings) {
  fs::remove(file);
  fs::create_directories(file);
  clock.advance(20000);
  EXPECT_EQ(rig.Field("EdTWS"), "12.0");
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.dialogs.messages[0],
            "Le fichier « watched.ini » ne peut pas être lu. Les réglages en cours sont conservés.");
}

TEST_F(AutomaticReload, UncheckingStopsTheWatch) {
  p().Automatique1Click();
  EXPECT_FALSE(p().panel()["Automatique1"].checked());
  testing::WriteText(file, "[NavDATA]\niTWS=20\n");
  Touch(file, 5);
  clock.advance(30000);
  EXPECT_EQ(rig.Field("EdTWS"), "12.0");
}

TEST(Automatique, NothingToWatchWhenNoFileWasEverOpened) {
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.Automatique1Click();  // the open dialog is cancelled
  EXPECT_FALSE(rig.program.panel()["Automatique1"].checked());
  EXPECT_FALSE(rig.program.model().timers().TimerLoadCFG.enabled());
}

// ---- Close

TEST(FormClose, WritesThePolarChosenAndKeepsEveryOtherLine) {
  testing::ProgramRig rig;
  rig.StartShipped();
  const std::string before = testing::ReadText(rig.appli / "Ventrel.ini");
  testing::WriteText(rig.root / "mine" / "Boat_2.pol", testing::kSmallPolar);
  rig.dialogs.openAnswers = {rig.root / "mine" / "Boat_2.pol"};
  rig.program.SpeedBtModPolClick();
  rig.program.FormClose();
  std::string expected = before;
  expected.replace(expected.find("DefPolars/"), 10, (rig.root / "mine").generic_string() + "/");
  expected.replace(expected.find("FIRST31_7.pol"), 13, "BOAT_2.pol");
  EXPECT_EQ(testing::ReadText(rig.appli / "Ventrel.ini"), expected);
  EXPECT_EQ(rig.program.RepPol(), (rig.root / "mine").generic_string() + "/");
}

// ---- Parameters dialog

TEST(FParam, CreationTakesTheDesignOffsets) {
  testing::ProgramRig rig;
  rig.program.FParamFormCreate();
  const Params& p = rig.program.params();
  EXPECT_NEAR(p.Teau, 1.9L, 1e-15L);
  EXPECT_NEAR(p.PC, 0.3L, 1e-15L);
  EXPECT_EQ(rig.Field("LbEdTirando"), "1.9");
  EXPECT_EQ(rig.Field("LbEdProfCapt"), "0.3");
  EXPECT_NEAR(rig.program.model().state().offset_surf, 0.3L, 1e-15L);
  EXPECT_NEAR(rig.program.model().state().offset_keel, 1.6L, 1e-15L);
  EXPECT_FALSE(rig.program.panel()["FParam"].visible());
}

struct ValidCase {
  const char* name;
  const char* draft;
  const char* depth;
  const char* keel;     // LEdCQ shown
  const char* surface;  // LEdCS shown
  std::size_t messages;
};
void PrintTo(const ValidCase& c, std::ostream* os) { *os << c.name; }

class BtValidCSCQ : public ::testing::TestWithParam<ValidCase> {};

TEST_P(BtValidCSCQ, RecomputesTheOffsets) {
  const ValidCase& c = GetParam();
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.panel()["LbEdTirando"].setText(c.draft);
  rig.program.panel()["LbEdProfCapt"].setText(c.depth);
  rig.program.BtValidCSCQClick();
  EXPECT_EQ(rig.Field("LEdCQ"), c.keel);
  EXPECT_EQ(rig.Field("LEdCS"), c.surface);
  EXPECT_EQ(rig.dialogs.messages.size(), c.messages);
  // The state's offsets wait for the next start.
  EXPECT_EQ(rig.program.model().state().offset_keel, 1.6L);
}

INSTANTIATE_TEST_SUITE_P(Cases, BtValidCSCQ,
                         ::testing::Values(ValidCase{"Point", "2.1", "0.5", "1.6", "0.5", 0},
                                           ValidCase{"Comma", "1,75", "0,25", "1.5", "0.25", 0},
                                           ValidCase{"DraftNotANumber", "deux", "0.5", "1.6", "0.3", 1}),
                         [](const ::testing::TestParamInfo<ValidCase>& tpi) { return std::string(tpi.param.name); });

TEST(BtValidCSCQ, TheNextStartAppliesTheOffsets) {
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.panel()["LbEdTirando"].setText("2.1");
  rig.program.panel()["LbEdProfCapt"].setText("0.5");
  rig.program.BtValidCSCQClick();
  rig.program.model().BtCALCClick();
  EXPECT_NEAR(rig.program.model().state().offset_keel, 1.6L, 1e-15L);
  EXPECT_NEAR(rig.program.model().state().offset_surf, 0.5L, 1e-15L);
}

struct TuCase {
  const char* text;
  long double dTU;  // decimal hours
};
void PrintTo(const TuCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class LbEdTU : public ::testing::TestWithParam<TuCase> {};

TEST_P(LbEdTU, ReadsHoursAndMinutes) {
  testing::ProgramRig rig;
  rig.StartShipped();  // dTU -2
  rig.program.panel()["LbEdTU"].setText(GetParam().text);
  rig.program.LbEdTUChange();
  EXPECT_NEAR(rig.program.params().dTU, GetParam().dTU, 1e-12L);
  EXPECT_TRUE(rig.dialogs.messages.empty());  // typing is never interrupted
}

INSTANTIATE_TEST_SUITE_P(Cases, LbEdTU,
                         ::testing::Values(TuCase{"-2", -2.0L}, TuCase{"5.30", 5.5L}, TuCase{"5,30", 5.5L},
                                           TuCase{"5.45", 5.75L}, TuCase{"-3.3", -3.5L}, TuCase{"", 0.0L},
                                           // Not a number (yet): the offset in force stays.
                                           TuCase{"-", -2.0L}, TuCase{"5h30", -2.0L}));

TEST(BtOK, AppliesTheOffsetShowsThePolarAndHides) {
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.Paramtres1Click();
  EXPECT_TRUE(rig.program.panel()["FParam"].visible());
  EXPECT_EQ(rig.Field("LabEdRepPol"), rig.program.RepPol());
  EXPECT_EQ(rig.Field("LabEdPolSel"), "FIRST31_7");
  rig.program.panel()["LbEdTU"].setText("5.30");
  rig.program.BtOKClick();
  EXPECT_NEAR(rig.program.params().dTU, 5.5L, 1e-12L);
  EXPECT_EQ(rig.Field("StxNomPol"), "FIRST31_7");
  EXPECT_EQ(rig.Field("LabNOMPOL2"), "FIRST31_7");
  EXPECT_FALSE(rig.program.panel()["FParam"].visible());
}

TEST(BtOK, AnOffsetThatIsNotANumberIsToldAndKept) {
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.panel()["LbEdTU"].setText("5h30");
  rig.program.BtOKClick();
  EXPECT_EQ(rig.program.params().dTU, -2.0L);
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_NE(rig.dialogs.messages[0].find("Heure TU = heure locale"), std::string::npos);
}

struct ModPolCase {
  const char* name;
  const char* file;  // picked in "mine"; nullptr: cancelled
  const char* NomPol;
  int NCOL;
  const char* message;  // start of the message, "" for none
};
void PrintTo(const ModPolCase& c, std::ostream* os) { *os << c.name; }

class SpeedBtModPol : public ::testing::TestWithParam<ModPolCase> {};

TEST_P(SpeedBtModPol, ChoosesAnotherPolar) {
  const ModPolCase& c = GetParam();
  testing::ProgramRig rig;
  rig.StartShipped();
  const fs::path mine = rig.root / "mine";
  testing::WriteText(mine / "Boat.pol", testing::kSmallPolar);
  testing::WriteText(mine / "Bad.pol", "TWA\\TWS\t6\n");
  if (c.file != nullptr) rig.dialogs.openAnswers = {mine / c.file};
  rig.program.model().speed().AlphaOptWndWrd = 42.0L;
  rig.program.Paramtres1Click();
  rig.program.SpeedBtModPolClick();
  ASSERT_EQ(rig.dialogs.opened.size(), 1u);
  EXPECT_EQ(rig.dialogs.opened[0].folder.generic_string(), (rig.appli / "DefPolars").generic_string() + "/");
  EXPECT_EQ(rig.program.NomPol(), c.NomPol);
  EXPECT_EQ(rig.Field("LabEdPolSel"), c.NomPol);
  EXPECT_EQ(rig.program.model().polar().NCOL, c.NCOL);
  EXPECT_EQ(rig.program.model().speed().AlphaOptWndWrd, 100000.0L);
  if (*c.message == '\0') {
    EXPECT_TRUE(rig.dialogs.messages.empty());
  } else {
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].rfind(c.message, 0), 0u) << rig.dialogs.messages[0];
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SpeedBtModPol,
                         ::testing::Values(ModPolCase{"Picked", "Boat.pol", "BOAT", 2, ""},
                                           ModPolCase{"Cancelled", nullptr, "FIRST31_7", 9, ""},
                                           ModPolCase{"Refused", "Bad.pol", "FIRST31_7", 9, "Polaire refusée : "}),
                         [](const ::testing::TestParamInfo<ModPolCase>& tpi) { return std::string(tpi.param.name); });

TEST(SpeedBtModPol, ThePolarPickedIsUsedAndItsFolderSaved) {
  testing::ProgramRig rig;
  rig.StartShipped();
  const fs::path mine = rig.root / "mine";
  testing::WriteText(mine / "Boat.pol", testing::kSmallPolar);
  rig.dialogs.openAnswers = {mine / "Boat.pol"};
  rig.program.SpeedBtModPolClick();
  // 90° off the bow in 12 knots of wind: 6.5 knots in the small polar.
  EXPECT_NEAR(rig.program.model().speed().BoatSpeed(90.0L, 12.0L), 6.5L, 1e-12L);
  rig.dialogs.saveAnswers = {rig.root / "out.ini"};
  rig.program.Enregistrer2Click();
  IniFile out;
  ASSERT_TRUE(IniFile::Load(rig.root / "out.ini", &out).found);
  EXPECT_EQ(out.Find("REPERTOIRES", "Polars"), mine.generic_string() + "/");
  EXPECT_EQ(out.Find("Parametres", "PolaireAct"), "BOAT.pol");
}

TEST(BtDirSel, TheFolderChosenIsWhereThePolarDialogStarts) {
  testing::ProgramRig rig;
  rig.StartShipped();
  const fs::path mine = rig.root / "mine";
  fs::create_directories(mine);
  rig.program.Paramtres1Click();
  rig.dialogs.folderAnswers = {mine};
  rig.program.BtDirSelClick();
  ASSERT_EQ(rig.dialogs.folderTitles.size(), 1u);
  EXPECT_EQ(rig.dialogs.folderTitles[0], "Sélectionner le répertoire");
  EXPECT_EQ(rig.dialogs.folderStarts[0].generic_string(), rig.program.RepPol());
  EXPECT_EQ(rig.Field("LabEdRepPol"), mine.generic_string() + "/");
  EXPECT_EQ(rig.program.RepPol(), (rig.appli / "DefPolars").generic_string() + "/");  // not yet
  rig.program.SpeedBtModPolClick();
  ASSERT_EQ(rig.dialogs.opened.size(), 1u);
  EXPECT_EQ(rig.dialogs.opened[0].folder.generic_string(), mine.generic_string() + "/");
}

TEST(FParam, TheCheckBoxesDriveTheVariationsAndShowAFrozenState) {
  testing::ProgramRig rig;
  rig.StartShipped();
  rig.program.panel()["ChkB_HDG"].setChecked(false);
  rig.program.ChkBClick();
  EXPECT_FALSE(rig.program.params().ChkB_HDG);
  EXPECT_TRUE(rig.program.params().ChkB_TWS);
  rig.program.params().FigeData();  // a manoeuvre starts
  rig.program.FParamFormPaint();
  EXPECT_FALSE(rig.program.panel()["ChkB_TWS"].checked());
  rig.program.params().RestStData();
  rig.program.FParamFormPaint();
  EXPECT_TRUE(rig.program.panel()["ChkB_TWS"].checked());
  EXPECT_FALSE(rig.program.panel()["ChkB_HDG"].checked());
}

}  // namespace
}  // namespace ventrel
