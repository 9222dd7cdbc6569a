// The program's start, the configuration menu (open, save, automatic reload), the
// write-back at close and the parameters dialog.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "program/program_fixture.h"
#include "nmea/registry.h"

namespace ventrel {
namespace {

namespace fs = std::filesystem;
using testing::ProgramRig;
using testing::Shipped;

const std::string kTitle = "SIMULATEUR DE NAVIGATION et TRANSMETTEUR NMEA 0183  V 2.3";

std::string Flags(const VentrelProgram& p) {
  std::string s;
  for (std::string_view type : kSentenceTypes) s += Selected(p.nmea(), *FindSentence(type)) ? '1' : '0';
  return s;
}
std::string Checks(const VentrelProgram& p) {
  std::string s;
  for (bool on : p.selection().checked) s += on ? '1' : '0';
  return s;
}
std::string Talkers(const VentrelProgram& p) {
  return p.nmea().DevPos + p.nmea().Sounder + p.nmea().Speedo + p.nmea().Winst;
}

// ---- Start

TEST_F(Shipped, TheBoatSailsAtOnce) {
  EXPECT_EQ(program.Caption(), kTitle);
  EXPECT_EQ(program.NomPol(), "FIRST31_7");
  EXPECT_EQ(program.RepPol(), (appli / "DefPolars").generic_string() + "/");
  EXPECT_EQ(program.model().polar().NCOL, 9);
  EXPECT_EQ(Text(Field::HeadingInput) + " " + Text(Field::TrueWindSpeedInput) + " " + Text(Field::TrueWindDirectionInput), "335.0 10.0 220.0");
  EXPECT_EQ(Text(Field::LongitudeMinutes) + " " + Text(Field::KeelSensorOffset), "23.08 1.6");
  EXPECT_EQ(Text(Field::UtcOffset), "");  // idTU=auto: the machine's own offset
  EXPECT_TRUE(program.params().dTUAuto);
  EXPECT_EQ(Flags(program), "1111111011111111111001011111011");
  EXPECT_EQ(Checks(program), "1111111011111111111001011111011");
  EXPECT_EQ(Talkers(program), "GPSDDMWI");
  EXPECT_TRUE(program.params().varyHeading && program.params().varyWindSpeed && program.params().varyWindDirection);
  EXPECT_EQ(program.model().state().Declin, 1.0L);
  EXPECT_TRUE(program.model().state().PremPasse);
  EXPECT_TRUE(dialogs.messages.empty() && dialogs.questions.empty());
}

TEST(Start, WithoutADefaultConfigurationEveryInputIsZero) {
  ProgramRig rig(ProgramRig::kBare);
  for (Field f : {Field::HeadingInput, Field::TrueWindSpeedInput, Field::TrueWindDirectionInput, Field::CurrentSpeedInput, Field::CurrentDirectionInput}) EXPECT_EQ(rig.Text(f), "0.0") << IdentifierOf(f);
  for (Field f : {Field::LatitudeDegrees, Field::LatitudeMinutes, Field::LongitudeDegrees, Field::LongitudeMinutes, Field::WaypointLatitudeDegrees, Field::WaypointLatitudeMinutes}) {
    EXPECT_EQ(rig.Text(f), "0") << IdentifierOf(f);
  }
  const SimState& s = rig.program.model().state();
  EXPECT_TRUE(s.TW.mdl == 0 && s.BS.argt == 0 && s.Declin == 0);
  // Every sentence off, although the dialog selected them all first.
  EXPECT_EQ(Flags(rig.program), std::string(31, '0'));
  EXPECT_EQ(Checks(rig.program), std::string(31, '0'));
  // The polar of the program folder is still found and read.
  EXPECT_EQ(rig.program.NomPol(), "FIRST31_7");
  EXPECT_EQ(rig.program.model().polar().NCOL, 9);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(Start, TheUserMayPickAPolarAmongTheSiblingPolars) {
  const struct {
    bool yes;
    const char* picked;  // file picked in the sibling folder; nullptr: cancelled
    const char* NomPol;
    int NCOL;
    std::size_t messages;  // nothing picked, or no polar: the default polar, and why
  } cases[] = {{false, nullptr, "FIRST31_7", 9, 0}, {true, "J80.pol", "J80", 2, 0},
               {true, nullptr, "FIRST31_7", 9, 1},  {true, "Empty.pol", "FIRST31_7", 9, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.picked ? c.picked : c.yes ? "cancelled" : "refused");
    ProgramRig rig(ProgramRig::kNotStarted);
    const fs::path sibling = rig.root / "docs" / "Houlmar" / "Polars";
    testing::WriteText(sibling / "J80.pol", testing::kSmallPolar);
    testing::WriteText(sibling / "Empty.pol", "");
    rig.dialogs.yes = c.yes;
    if (c.picked != nullptr) rig.dialogs.openAnswers.push_back(sibling / c.picked);
    rig.program.Start(rig.appli, (rig.root / "docs").string());
    EXPECT_EQ(rig.dialogs.questions.size(), 1u);
    EXPECT_EQ(rig.program.ModHoulmar(), c.yes);
    EXPECT_EQ(rig.program.NomPol(), c.NomPol);
    EXPECT_EQ(rig.program.model().polar().NCOL, c.NCOL);
    EXPECT_EQ(rig.dialogs.messages.size(), c.messages);
    ASSERT_EQ(rig.dialogs.opened.size(), c.yes ? 1u : 0u);
    if (c.yes) {
      EXPECT_EQ(rig.dialogs.opened[0].folder.generic_string(), sibling.generic_string() + "/");
      EXPECT_EQ(rig.dialogs.opened[0].defaultExt, "pol");
    }
  }
}

TEST(Start, AConfiguredPolarThatCannotBeUsedIsNamedBeforeTheDefaultOneIsRead) {
  const struct {
    const char* name;
    const char* polar;  // text of mine/Boat.pol; nullptr: not there
    const char* why;    // a piece of the message
  } cases[] = {{"missing", nullptr, "le fichier n'existe pas dans ce dossier."},
               {"refused", "L\t6\t8\n90\t4\t5\n40\t6\t7\n", "les angles doivent croître"},
               {"read", testing::kSmallPolar, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramRig rig(ProgramRig::kNotStarted);
    if (c.polar != nullptr) testing::WriteText(rig.root / "mine" / "Boat.pol", c.polar);
    fs::create_directories(rig.root / "mine");
    testing::WriteText(rig.appli / "Ventrel.ini", "[REPERTOIRES]\nPolars=" + (rig.root / "mine").generic_string() +
                                                      "/\n[Parametres]\nPolaireAct=Boat.pol\n[NMEA]\niAPB=1\n");
    rig.program.Start(rig.appli, "");
    const std::string ini = testing::ReadText(rig.appli / "Ventrel.ini");
    if (c.why == nullptr) {
      EXPECT_TRUE(rig.dialogs.messages.empty());
      EXPECT_EQ(rig.program.NomPol(), "BOAT");
      EXPECT_EQ(rig.program.model().polar().NCOL, 2);
      continue;
    }
    // The default polar only stands in: closing keeps the configured name (it was
    // written over with the default polar's before).
    rig.program.FormClose();
    EXPECT_EQ(testing::ReadText(rig.appli / "Ventrel.ini"), ini);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    const std::string& m = rig.dialogs.messages[0];
    EXPECT_NE(m.find("« " + (rig.root / "mine" / "Boat.pol").generic_string() + " » ne peut pas servir"),
              std::string::npos) << m;
    EXPECT_NE(m.find(c.why), std::string::npos) << m;
    EXPECT_EQ(rig.program.NomPol(), "FIRST31_7");
    EXPECT_EQ(rig.program.model().polar().NCOL, 9);
  }
}

// ---- "Ouvrir"

TEST_F(Shipped, EachOpeningAppendsToTheTitleAndNamesThePolarWithoutLoadingIt) {
  testing::WriteText(root / "mine" / "Boat.pol", testing::kSmallPolar);
  const fs::path a = Write("a.ini", "[NavDATA]\niTWS=12\n[REPERTOIRES]\nPolars=" + (root / "mine").generic_string() +
                                        "/\n[Parametres]\nPolaireAct=BOAT.pol\n");
  const fs::path b = Write("b.ini", "[NavDATA]\niTWS=14\n[REPERTOIRES]\nPolars=/elsewhere/\n");
  Open(a);
  EXPECT_EQ(program.Caption(), kTitle + "      Configuration : a.ini");
  EXPECT_EQ(program.NomPol(), "BOAT");
  EXPECT_EQ(program.NomFiPol(), (root / "mine" / "Boat.pol").generic_string());
  EXPECT_EQ(Text(Field::PolarName), "BOAT");  // the window is painted again
  EXPECT_EQ(program.model().polar().NCOL, 9);
  Open(b);  // without "PolaireAct": the polar stays
  EXPECT_EQ(program.Caption(), kTitle + "      Configuration : a.ini      Configuration : b.ini");
  EXPECT_EQ(Text(Field::TrueWindSpeedInput), "14.0");
  EXPECT_EQ(program.NomPol(), "BOAT");
  program.Ouvrir2Click();  // cancelled: nothing changes
  EXPECT_EQ(program.Caption(), kTitle + "      Configuration : a.ini      Configuration : b.ini");
  EXPECT_EQ(program.CFGFile(), b);
  ASSERT_EQ(dialogs.opened.size(), 3u);
  EXPECT_EQ(dialogs.opened[0].filter, "Fichier ini|*.ini");
  EXPECT_EQ(dialogs.opened[0].defaultExt, "ini");
  EXPECT_EQ(dialogs.opened[0].folder, appli);
}

TEST_F(Shipped, OpeningAFileThatCannotBeReadChangesNothing) {
  fs::create_directories(root / "folder.ini");
  Open(root / "folder.ini");
  EXPECT_EQ(program.Caption(), kTitle);
  EXPECT_EQ(Text(Field::HeadingInput), "335.0");
  EXPECT_TRUE(program.CFGFile().empty());
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Le fichier « folder.ini » ne peut pas être lu."});
}

// ---- "Enregistrer"

TEST_F(Shipped, SaveThenOpenRestoresSwitchesAndTalkersAndGivesBackIIAPHC) {
  NmeaSelection& sel = program.selection();
  for (std::size_t i = 0; i < sel.checked.size(); ++i) sel.checked[i] = i % 4 == 1;
  sel.RdGDevPos = 0;
  sel.RdGDevSond = 1;
  sel.RdGInst = 0;
  sel.RdGWI = 1;
  sel.BtParNMEA_OKClick(program.nmea());
  program.nmea().InstID = "XX";  // whatever was read before, the save writes the fixed identifiers
  program.nmea().PilotID = "";
  program.nmea().CompasID = "YY";
  const std::string saved = Flags(program);
  ASSERT_EQ(saved, "0100010001000100010001000100010");
  const IniFile out = SaveAs("bateau.ini");
  EXPECT_EQ(out.Find("NMEA", "iInst").value_or("") + out.Find("NMEA", "iPilot").value_or("") +
                out.Find("NMEA", "iCompas").value_or(""),
            "IIAPHC");
  ASSERT_EQ(dialogs.saved.size(), 1u);
  EXPECT_EQ(dialogs.saved[0].title, "Sauvegarder la configuration");
  EXPECT_EQ(dialogs.saved[0].filter, "Fichier INI|*.ini");

  Load("[NMEA]\niAPB=0\niDevPOS=GP\niInst=ZZ\n");
  Open(root / "bateau.ini");
  EXPECT_EQ(Flags(program), saved);
  EXPECT_EQ((std::array<int, 4>{sel.RdGDevPos, sel.RdGDevSond, sel.RdGInst, sel.RdGWI}),
            (std::array<int, 4>{0, 1, 0, 1}));
  EXPECT_EQ(Talkers(program), "ECIIDMII");
  EXPECT_EQ(program.nmea().InstID + program.nmea().PilotID + program.nmea().CompasID, "IIAPHC");
  EXPECT_TRUE(dialogs.messages.empty());
}

// Opened and saved as a new file, the shipped configuration comes back the same: the
// keys in their order, every value in its form.
TEST_F(Shipped, TheShippedConfigurationComesBackTheSame) {
  Open(appli / "Ventrel.ini");
  SaveAs("copy.ini");
  EXPECT_EQ(testing::ReadText(root / "copy.ini"), testing::ReadText(appli / "Ventrel.ini"));
}

TEST(Enregistrer, ASavedValueComesBackAsItWasRead) {
  const struct {
    const char* ini;
    void (*between)(ProgramRig& r);  // what the user does before saving
    const char* section;
    const char* key;
    const char* saved;
  } cases[] = {
      // The start reads the heading from its field: shown "336", it would be saved 336.
      {"[NavDATA]\niHDG=335.7\n", [](ProgramRig& r) { r.program.model().BtCALCClick(); }, "NavDATA", "iHDG", "335.7"},
      // The UTC field is read again at each paint: shown "5.5", 5 h 45 would become 5 h 50.
      {"[NavDATA]\nidTU=5.45\n", [](ProgramRig& r) { r.program.FormPaint(); }, "NavDATA", "idTU", "5.45"},
      // The machine's offset: "auto" in the file, an empty field in the window.
      {"[NavDATA]\nidTU=auto\n", [](ProgramRig& r) { r.program.FormPaint(); }, "NavDATA", "idTU", "auto"},
      {"[NavDATA]\nidTU=5.45\n",
       [](ProgramRig& r) {
         r.Set(Field::UtcOffset, " ");
         r.program.BtOKClick();
       },
       "NavDATA", "idTU", "auto"},
      {"[NavDATA]\nidTU=auto\n",
       [](ProgramRig& r) {
         r.Set(Field::UtcOffset, "-3");
         r.program.BtOKClick();
       },
       "NavDATA", "idTU", "-3"},
      {"[NavDATA]\nidTU=auto\n",  // a text that is not a number changes nothing
       [](ProgramRig& r) {
         r.Set(Field::UtcOffset, "trois");
         r.program.BtOKClick();
       },
       "NavDATA", "idTU", "auto"},
      {"[NavDATA]\niPOSLat=-4706.5\n",
       [](ProgramRig& r) {
         r.Set(Field::LatitudeDegrees, "51");
         r.Set(Field::LatitudeMinutes, "4.14");
         r.program.panel()[Field::LatitudeHemisphere].setItemIndex(0);
       },
       "NavDATA", "iPOSLat", "5104.14"},
      {"[NavDATA]\niTWSvar=1\n",
       [](ProgramRig& r) {
         r.program.panel()[Field::VariesWindSpeed].setChecked(false);
         r.program.ChkBClick();
       },
       "NavDATA", "iTWSvar", "0"},
      {"[COM]\niVit=4800\n", [](ProgramRig& r) { r.program.transmission().SetSpeedText("19200"); }, "COM", "iVit",
       "19200"},
      {"[COM]\nCOM2=/dev/ttyUSB1\n", [](ProgramRig&) {}, "COM", "COM2", "/dev/ttyUSB1"}};
  for (const auto& c : cases) {
    ProgramRig rig;
    rig.Open(rig.Write("in.ini", c.ini));
    c.between(rig);
    EXPECT_EQ(rig.SaveAs("out.ini").Find(c.section, c.key).value_or("(none)"), c.saved) << c.ini;
  }
}

TEST(Enregistrer, AFieldThatIsNotANumberWritesNothingAndSaysWhy) {
  const struct {
    Field field;
    const char* text;
    const char* told;  // part of the message
  } cases[] = {{Field::SpeedList, "48OO", "« 48OO »"},
               {Field::SpeedList, "4800.5", "« 4800.5 »"},
               {Field::LatitudeMinutes, "4,1,4", "Position - LAT min"},
               {Field::WaypointLongitudeDegrees, "un", "Waypoint - LG deg"}};
  for (const auto& c : cases) {
    ProgramRig rig;
    const std::string before = "; mine\n[COM]\niVit=9600\n";
    rig.Write("old.ini", before);
    rig.Set(c.field, c.text);
    rig.SaveAs("old.ini");
    rig.SaveAs("new.ini");
    EXPECT_EQ(testing::ReadText(rig.root / "old.ini"), before);
    EXPECT_FALSE(fs::exists(rig.root / "new.ini"));
    ASSERT_EQ(rig.dialogs.messages.size(), 2u);
    EXPECT_NE(rig.dialogs.messages[0].find(c.told), std::string::npos) << rig.dialogs.messages[0];
    EXPECT_NE(rig.dialogs.messages[0].find("La configuration n'est pas enregistrée."), std::string::npos);
  }
}

TEST_F(Shipped, ACancelledSaveWritesNothingAndStopsTheWatch) {
  dialogs.openAnswers = {Write("w.ini", "[NavDATA]\niTWS=12\n")};
  program.Automatique1Click();
  ASSERT_TRUE(program.model().timers().TimerLoadCFG.enabled());
  program.Enregistrer2Click();
  EXPECT_FALSE(program.panel()[Field::AutomaticReloadItem].checked());
  EXPECT_FALSE(program.model().timers().TimerLoadCFG.enabled());
  EXPECT_EQ(std::distance(fs::directory_iterator(root.path()), fs::directory_iterator()), 2);  // app, w.ini
}

// ---- "Automatique"

class AutomaticReload : public Shipped {
 protected:
  AutomaticReload() {
    dialogs.openAnswers = {file};
    program.Automatique1Click();
  }
  // Rewrites the watched file with a later modification time.
  void Rewrite(const std::string& text, int later = 5) {
    testing::WriteText(file, text);
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(later));
  }
  fs::path file = Write("watched.ini", "[NavDATA]\niTWS=12\niHDG=335\n[NMEA]\niAPB=1\n");
  VirtualClock clock{program.model().timers()};
};

TEST_F(AutomaticReload, OpensThenChecksEveryTenSeconds) {
  EXPECT_TRUE(program.panel()[Field::AutomaticReloadItem].checked());
  EXPECT_EQ(program.model().timers().TimerLoadCFG.interval(), 10000);
  EXPECT_EQ(Text(Field::TrueWindSpeedInput), "12.0");
  Rewrite("[NavDATA]\niTWS=20\niHDG=335\n");
  clock.advance(9999);
  EXPECT_EQ(Text(Field::TrueWindSpeedInput), "12.0");
  clock.advance(1);
  EXPECT_EQ(Text(Field::TrueWindSpeedInput), "20.0");
  EXPECT_TRUE(program.model().timers().TimerLoadCFG.enabled());
  EXPECT_EQ(program.Caption(), kTitle + "      Configuration : watched.ini");  // the title once
  program.Automatique1Click();  // unchecked: the watch stops
  EXPECT_FALSE(program.panel()[Field::AutomaticReloadItem].checked());
  Rewrite("[NavDATA]\niTWS=7\n", 60);
  clock.advance(30000);
  EXPECT_EQ(Text(Field::TrueWindSpeedInput), "20.0");
}

// The check pauses and resumes the simulation around the reading.
TEST_F(AutomaticReload, ARunningSimulationGoesOnWithTheNewSettings) {
  clock.advance(10000);  // not yet started: started and left paused
  EXPECT_FALSE(program.model().state().PremPasse);
  EXPECT_TRUE(program.model().state().StPause);
  EXPECT_FALSE(program.model().timers().TimerAT.enabled());
  program.model().BtCALCClick();
  Rewrite("[NavDATA]\niTWS=20\niHDG=300\n");
  clock.advance(10000);
  EXPECT_TRUE(program.model().timers().TimerAT.enabled());
  EXPECT_FALSE(program.model().state().StPause);
  EXPECT_EQ(program.model().state().HDG, 300.0L);  // restarted from the fields the reload filled
  EXPECT_EQ(program.model().state().TWS, 20.0L);
}

TEST_F(AutomaticReload, AMissingOrUnreadableFileKeepsTheSettingsAndIsToldOnce) {
  fs::remove(file);
  clock.advance(30000);
  EXPECT_EQ(Text(Field::TrueWindSpeedInput) + " " + Text(Field::HeadingInput), "12.0 335.0");
  EXPECT_EQ(Flags(program), "1111111011111111111001011111011");  // not the defaults of an empty file
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Le fichier de configuration « watched.ini » est introuvable. "
                                                       "Les réglages en cours sont conservés."});
  EXPECT_TRUE(program.model().timers().TimerLoadCFG.enabled());
  Rewrite("[NavDATA]\niTWS=7\n", 60);  // back again: read
  clock.advance(10000);
  EXPECT_EQ(Text(Field::TrueWindSpeedInput), "7.0");
  fs::remove(file);  // gone again: told again
  clock.advance(20000);
  EXPECT_EQ(dialogs.messages.size(), 2u);
  Rewrite("[NavDATA]\niTWS=8\n", 120);
  clock.advance(10000);
  fs::remove(file);
  fs::create_directories(file);  // a folder in its place
  clock.advance(20000);
  EXPECT_EQ(Text(Field::TrueWindSpeedInput), "8.0");
  ASSERT_EQ(dialogs.messages.size(), 3u);
  EXPECT_EQ(dialogs.messages[2],
            "Le fichier « watched.ini » ne peut pas être lu. Les réglages en cours sont conservés.");
}

TEST_F(Shipped, NothingToWatchWhenNoFileIsOpened) {
  program.Automatique1Click();  // the open dialog is cancelled
  EXPECT_FALSE(program.panel()[Field::AutomaticReloadItem].checked());
  EXPECT_FALSE(program.model().timers().TimerLoadCFG.enabled());
}

// ---- Close

TEST_F(Shipped, CloseWritesThePolarChosenAndKeepsEveryOtherLine) {
  const std::string before = testing::ReadText(appli / "Ventrel.ini");
  dialogs.openAnswers = {Write("Boat_2.pol", testing::kSmallPolar)};
  program.SpeedBtModPolClick();
  program.FormClose();
  std::string expected = before;
  expected.replace(expected.find("DefPolars/"), 10, root.path().generic_string() + "/");
  expected.replace(expected.find("FIRST31_7.pol"), 13, "BOAT_2.pol");
  EXPECT_EQ(testing::ReadText(appli / "Ventrel.ini"), expected);
  EXPECT_EQ(program.RepPol(), root.path().generic_string() + "/");
}

// ---- Parameters dialog

TEST(ParametersDialog, CreationTakesTheDesignOffsets) {
  ProgramRig rig(ProgramRig::kNotStarted);
  rig.program.FParamFormCreate();
  EXPECT_NEAR(rig.program.params().Teau, 1.9L, 1e-15L);
  EXPECT_NEAR(rig.program.params().PC, 0.3L, 1e-15L);
  EXPECT_EQ(rig.Text(Field::Draft) + " " + rig.Text(Field::SensorDepth), "1.9 0.3");
  EXPECT_NEAR(rig.program.model().state().offset_surf, 0.3L, 1e-15L);
  EXPECT_NEAR(rig.program.model().state().offset_keel, 1.6L, 1e-15L);
  EXPECT_FALSE(rig.program.panel()[Field::ParametersDialog].visible());
}

TEST(ParametersDialog, ValidCSCQRecomputesTheOffsetsThatTheNextStartApplies) {
  const struct {
    const char *draft, *depth, *keel, *surface;  // typed; shown as the keel and surface offsets
    std::size_t messages;
  } cases[] = {{"2.1", "0.5", "1.6", "0.5", 0},
               {"1,75", "0,25", "1.5", "0.25", 0},
               {"deux", "0.5", "1.6", "0.3", 1},
               // Offsets beyond the water's least depth (7 m) would sound below the sea bed.
               {"6.5", "1", "1.6", "0.3", 1},   // keel offset 5.5 m
               {"7.5", "2", "1.6", "0.3", 1},   // draft over 7 m
               {"4", "2.5", "1.6", "0.3", 1}};  // sensor 2.5 m down
  for (const auto& c : cases) {
    ProgramRig rig;
    rig.Set(Field::Draft, c.draft);
    rig.Set(Field::SensorDepth, c.depth);
    rig.program.BtValidCSCQClick();
    EXPECT_EQ(rig.Text(Field::KeelSensorOffset) + " " + rig.Text(Field::SurfaceSensorOffset), std::string(c.keel) + " " + c.surface) << c.draft;
    EXPECT_EQ(rig.dialogs.messages.size(), c.messages) << c.draft;
    EXPECT_EQ(rig.program.model().state().offset_keel, 1.6L);  // not before the next start
    rig.program.model().BtCALCClick();
    EXPECT_NEAR(rig.program.model().state().offset_keel, std::stold(c.keel), 1e-15L) << c.draft;
    EXPECT_NEAR(rig.program.model().state().offset_surf, std::stold(c.surface), 1e-15L) << c.draft;
  }
}

TEST_F(Shipped, TheUtcOffsetIsReadAsHoursAndMinutes) {
  const struct {
    const char* text;
    long double dTU;  // decimal hours; not a number (yet): the offset in force stays
    bool automatic;   // empty or "auto": the machine's own offset, the number kept aside
  } cases[] = {{"-2", -2.0L, false},  {"5.30", 5.5L, false}, {"5,30", 5.5L, false}, {"5.45", 5.75L, false},
               {"-3.3", -3.5L, false}, {"", -3.5L, true},     {"-", -3.5L, true},    {"5h30", -3.5L, true},
               {"1", 1.0L, false},     {" Auto ", 1.0L, true}, {"  ", 1.0L, true}};
  for (const auto& c : cases) {
    Set(Field::UtcOffset, c.text);
    program.LbEdTUChange();
    EXPECT_NEAR(program.params().dTU, c.dTU, 1e-12L) << '"' << c.text << '"';
    EXPECT_EQ(program.params().dTUAuto, c.automatic) << '"' << c.text << '"';
  }
  EXPECT_TRUE(dialogs.messages.empty());  // typing is never interrupted
}

TEST_F(Shipped, OkAppliesTheOffsetShowsThePolarAndHides) {
  program.Paramtres1Click();
  EXPECT_TRUE(program.panel()[Field::ParametersDialog].visible());
  EXPECT_EQ(Text(Field::PolarFolder), program.RepPol());
  EXPECT_EQ(Text(Field::SelectedPolar), "FIRST31_7");
  Set(Field::UtcOffset, "5h30");  // not a number: told, and the machine's offset kept
  program.BtOKClick();
  EXPECT_TRUE(program.params().dTUAuto);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("Heure TU = heure locale"), std::string::npos);
  Set(Field::UtcOffset, "5.30");
  program.BtOKClick();
  EXPECT_NEAR(program.params().dTU, 5.5L, 1e-12L);
  EXPECT_FALSE(program.params().dTUAuto);
  EXPECT_EQ(Text(Field::PolarName) + " " + Text(Field::PolarNameOnDial), "FIRST31_7 FIRST31_7");
  EXPECT_FALSE(program.panel()[Field::ParametersDialog].visible());
}

TEST(ParametersDialog, AnotherPolarIsLoadedAndItsFolderSaved) {
  const struct {
    const char* file;  // picked in "mine"; nullptr: cancelled
    const char* NomPol;
    int NCOL;
    const char* message;  // start of the message, "" for none
  } cases[] = {{"Boat.pol", "BOAT", 2, ""}, {nullptr, "FIRST31_7", 9, ""},
               {"Bad.pol", "FIRST31_7", 9, "Polaire refusée : "}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "cancelled");
    ProgramRig rig;
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
    EXPECT_EQ(rig.Text(Field::SelectedPolar), c.NomPol);
    EXPECT_EQ(rig.program.model().polar().NCOL, c.NCOL);
    EXPECT_EQ(rig.program.model().speed().AlphaOptWndWrd, 100000.0L);
    EXPECT_EQ(rig.dialogs.messages.size(), *c.message ? 1u : 0u);
    if (*c.message) {
      EXPECT_EQ(rig.dialogs.messages.at(0).rfind(c.message, 0), 0u) << rig.dialogs.messages[0];
    }
    if (c.NCOL != 2) continue;
    // 90° off the bow in 12 knots of wind: 6.5 knots in the small polar.
    EXPECT_NEAR(rig.program.model().speed().BoatSpeed(90.0L, 12.0L), 6.5L, 1e-12L);
    const IniFile out = rig.SaveAs("out.ini");
    EXPECT_EQ(out.Find("REPERTOIRES", "Polars"), mine.generic_string() + "/");
    EXPECT_EQ(out.Find("Parametres", "PolaireAct"), "BOAT.pol");
  }
}

TEST_F(Shipped, TheFolderChosenIsWhereThePolarDialogStarts) {
  const fs::path mine = root / "mine";
  fs::create_directories(mine);
  program.Paramtres1Click();
  dialogs.folderAnswers = {mine};
  program.BtDirSelClick();
  EXPECT_EQ(dialogs.folderTitles, std::vector<std::string>{"Sélectionner le répertoire"});
  EXPECT_EQ(dialogs.folderStarts.at(0).generic_string(), program.RepPol());
  EXPECT_EQ(Text(Field::PolarFolder), mine.generic_string() + "/");
  EXPECT_EQ(program.RepPol(), (appli / "DefPolars").generic_string() + "/");  // not yet
  program.SpeedBtModPolClick();
  ASSERT_EQ(dialogs.opened.size(), 1u);
  EXPECT_EQ(dialogs.opened[0].folder.generic_string(), mine.generic_string() + "/");
}

TEST_F(Shipped, TheCheckBoxesDriveTheVariationsAndShowAFrozenState) {
  program.panel()[Field::VariesHeading].setChecked(false);
  program.ChkBClick();
  EXPECT_FALSE(program.params().varyHeading);
  EXPECT_TRUE(program.params().varyWindSpeed);
  program.params().FigeData();  // a manoeuvre starts
  program.FParamFormPaint();
  EXPECT_FALSE(program.panel()[Field::VariesWindSpeed].checked());
  program.params().RestStData();
  program.FParamFormPaint();
  EXPECT_TRUE(program.panel()[Field::VariesWindSpeed].checked());
  EXPECT_FALSE(program.panel()[Field::VariesHeading].checked());
}

}  // namespace
}  // namespace ventrel
