// The settings of a configuration file: defaults, chained keys, forms, save order.

#include "config/config_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/temp_folder.h"

namespace ventrel {
namespace {

// The 26 switches as "1"/"0" characters, APB first.
std::string Switches(const Configuration& c) {
  std::string s;
  for (bool on : c.sentences) s += on ? '1' : '0';
  return s;
}

struct ChainCase {
  const char* name;
  const char* file;
  const char* switches;  // APB ... ZTG
  std::size_t bad;
};

class NmeaChain : public ::testing::TestWithParam<ChainCase> {};

TEST_P(NmeaChain, AMissingSwitchRepeatsTheOneBefore) {
  const ChainCase& c = GetParam();
  BadKeys bad;
  const Configuration cfg = ReadConfiguration(IniFile(c.file), Configuration{}, &bad);
  EXPECT_EQ(Switches(cfg), c.switches);
  EXPECT_EQ(bad.size(), c.bad);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NmeaChain,
    ::testing::Values(
        ChainCase{"NoSection", "[COM]\niVit=4800\n", "00000000000000000000000000", 0},
        ChainCase{"EmptySection", "[NMEA]\n", "00000000000000000000000000", 0},
        // No "iBWC" after "iAPB" true: BWC is sent, and so is every sentence after it.
        ChainCase{"OnlyApbOn", "[NMEA]\niAPB=1\n", "11111111111111111111111111", 0},
        ChainCase{"BwcMissingBwrOff", "[NMEA]\niAPB=1\niBWR=0\n", "11000000000000000000000000", 0},
        ChainCase{"Islands", "[nmea]\nIAPB=0\niBWC=1\niDBK=0\niMTW=true\niZTG=1\n",
                  "01100000000001111111111111", 0},
        // A switch that cannot be read takes the chained value and is reported.
        ChainCase{"UnreadableTakesTheChain", "[NMEA]\niAPB=1\niBWC=oui\niBWR=0\n",
                  "11000000000000000000000000", 1}),
    [](const ::testing::TestParamInfo<ChainCase>& tpi) { return std::string(tpi.param.name); });

struct TalkerCase {
  const char* name;
  const char* file;
  std::array<int, 4> items;  // position device, sounder, speed log, wind
};

class TalkerChain : public ::testing::TestWithParam<TalkerCase> {};

TEST_P(TalkerChain, TwoCharactersChooseTheItem) {
  const TalkerCase& c = GetParam();
  const Configuration cfg = ReadConfiguration(IniFile(c.file), Configuration{});
  EXPECT_EQ(cfg.talkerItems, c.items);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TalkerChain,
    ::testing::Values(
        TalkerCase{"NoSection", "", {1, 1, 1, 1}},
        TalkerCase{"Shipped", "[NMEA]\niDevPOS=GP\niSound=SD\niSpeedo=DM\niWind=WI\n", {1, 0, 0, 0}},
        TalkerCase{"AllFirstItems", "[NMEA]\niDevPOS=EC\niSound=SD\niSpeedo=DM\niWind=WI\n", {0, 0, 0, 0}},
        // Only two characters count: "ECxx" is EC.
        TalkerCase{"ECFollowedByMore", "[NMEA]\niDevPOS=ECxx\n", {0, 1, 1, 1}},
        TalkerCase{"LowerCaseIsNotEC", "[NMEA]\niDevPOS=ec\n", {1, 1, 1, 1}},
        // A missing talker repeats the text before it: "SD" is no speed log, "DM" no wind.
        TalkerCase{"ChainedTexts", "[NMEA]\niDevPOS=GP\niSound=SD\n", {1, 0, 1, 1}},
        TalkerCase{"ChainedDM", "[NMEA]\niSpeedo=DM\n", {1, 1, 0, 1}},
        TalkerCase{"IntegratedInstruments", "[NMEA]\niDevPOS=GP\niSound=II\niSpeedo=II\niWind=II\n",
                   {1, 1, 1, 1}}),
    [](const ::testing::TestParamInfo<TalkerCase>& tpi) { return std::string(tpi.param.name); });

struct ModPilCase {
  const char* file;
  TModPil mode;
};

class ModPil : public ::testing::TestWithParam<ModPilCase> {};

TEST_P(ModPil, OnlyTheExactWordGivesAuto) {
  const ModPilCase& c = GetParam();
  EXPECT_EQ(ReadConfiguration(IniFile(c.file), Configuration{}).iModPil, c.mode);
}

INSTANTIATE_TEST_SUITE_P(Cases, ModPil,
                         ::testing::Values(ModPilCase{"", TModPil::AUTO},  // missing key
                                           ModPilCase{"[Parametres]\niModPil=AUTO\n", TModPil::AUTO},
                                           ModPilCase{"[Parametres]\niModPil=auto\n", TModPil::STDBY},
                                           ModPilCase{"[Parametres]\niModPil=Auto\n", TModPil::STDBY},
                                           ModPilCase{"[Parametres]\niModPil=STDBY\n", TModPil::STDBY},
                                           ModPilCase{"[Parametres]\niModPil=\n", TModPil::STDBY}));

TEST(ModPil, WritesTheWordOfTheMode) {
  EXPECT_EQ(ModPilText(TModPil::AUTO), "AUTO");
  EXPECT_EQ(ModPilText(TModPil::STDBY), "STDBY");
}

struct SplitCase {
  long double packed;
  int item;
  const char* deg;
  const char* min;
};

class CoordSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CoordSplit, ShowsHemisphereDegreesAndMinutes) {
  const SplitCase& c = GetParam();
  const CoordFields f = SplitPackedCoord(c.packed);
  EXPECT_EQ(f.item, c.item);
  EXPECT_EQ(f.deg, c.deg);
  EXPECT_EQ(f.min, c.min);
}

INSTANTIATE_TEST_SUITE_P(Cases, CoordSplit,
                         ::testing::Values(SplitCase{-4706.5L, 1, "47", "6.5"}, SplitCase{5104.14L, 0, "51", "4.14"},
                                           SplitCase{223.08L, 0, "2", "23.08"}, SplitCase{5106.18L, 0, "51", "6.18"},
                                           SplitCase{119.88L, 0, "1", "19.88"}, SplitCase{0.0L, 0, "0", "0"},
                                           SplitCase{-0.5L, 1, "0", "0.5"}, SplitCase{-17959.99L, 1, "179", "59.99"},
                                           SplitCase{4700.0L, 0, "47", "0"}));

struct PackCase {
  long double deg;
  long double min;
  int item;
  const char* written;
};

class CoordPack : public ::testing::TestWithParam<PackCase> {};

TEST_P(CoordPack, SavesDegreesTimesHundredPlusMinutes) {
  const PackCase& c = GetParam();
  EXPECT_EQ(RealText(PackCoord(c.deg, c.min, c.item)), c.written);
}

INSTANTIATE_TEST_SUITE_P(Cases, CoordPack,
                         ::testing::Values(PackCase{51.0L, 4.14L, 0, "5104.14"}, PackCase{47.0L, 6.5L, 1, "-4706.5"},
                                           PackCase{2.0L, 23.08L, 0, "223.08"}, PackCase{1.0L, 19.88L, 1, "-119.88"},
                                           PackCase{0.0L, 0.0L, 1, "0"}));

TEST(TalkerItem, ItemsAndTheirIdentifiers) {
  EXPECT_EQ(TalkerOfItem(kTalkerDevPos, 0), "EC");
  EXPECT_EQ(TalkerOfItem(kTalkerDevPos, 1), "GP");
  EXPECT_EQ(TalkerOfItem(kTalkerSounder, 1), "II");
  EXPECT_EQ(TalkerOfItem(kTalkerWinst, 0), "WI");
  EXPECT_EQ(TalkerItem(kTalkerSpeedo, "DM"), 0);
  EXPECT_EQ(TalkerItem(kTalkerSpeedo, "D"), 1);
}

// Keys of the current settings: what a missing key keeps, and what a value that is
// not a number keeps.
Configuration CurrentSettings() {
  Configuration c;
  c.Polars = "/opt/ventrel/DefPolars/";
  c.PolaireAct = "FIRST31_7.pol";
  c.iOFFS_Keel = 1.6L;
  c.iPolPerc = 77;
  c.iTWS = 5.0L;
  c.iHDG = 335.0L;
  c.iWpID = "Att_Dover";
  c.idTU = -2.0L;
  c.iHDGvar = c.iTWSvar = c.iTWDvar = true;
  c.iVit = 9600;
  c.COM[2] = "/dev/ttyUSB0";
  c.sentences.fill(true);
  c.talkerItems = {0, 0, 0, 0};
  return c;
}

TEST(ReadConfiguration, AnEmptyFileGivesFixedDefaultsAndKeepsTheCurrentOnes) {
  const Configuration cur = CurrentSettings();
  BadKeys bad;
  const Configuration c = ReadConfiguration(IniFile(""), cur, &bad);
  EXPECT_TRUE(bad.empty());
  // Kept from the current settings.
  EXPECT_EQ(c.Polars, cur.Polars);
  EXPECT_EQ(c.PolaireAct, cur.PolaireAct);
  EXPECT_EQ(c.iPolPerc, 77);
  EXPECT_EQ(c.iWpID, "Att_Dover");
  EXPECT_TRUE(c.iHDGvar && c.iTWSvar && c.iTWDvar);
  EXPECT_EQ(c.iVit, 9600);
  EXPECT_EQ(c.COM[2], "/dev/ttyUSB0");
  // Fixed defaults: zero inputs, every sentence off, the talkers of empty texts.
  EXPECT_EQ(c.Version, "2.3");
  EXPECT_EQ(c.iOFFS_Keel, 0.0L);
  EXPECT_EQ(c.iTWS, 0.0L);
  EXPECT_EQ(c.iHDG, 0.0L);
  EXPECT_EQ(c.idTU, 0.0L);
  EXPECT_EQ(c.iModPil, TModPil::AUTO);
  EXPECT_EQ(Switches(c), std::string(26, '0'));
  EXPECT_EQ(c.talkerItems, (std::array<int, 4>{1, 1, 1, 1}));
  EXPECT_EQ(c.iInst, "II");
  EXPECT_EQ(c.iPilot, "AP");
  EXPECT_EQ(c.iCompas, "HC");
}

TEST(ReadConfiguration, AValueThatIsNotANumberKeepsTheCurrentOneAndIsReported) {
  const Configuration cur = CurrentSettings();
  BadKeys bad;
  const Configuration c = ReadConfiguration(IniFile("[COM]\niVit=48OO\n"
                                                    "[NavDATA]\niTWS=dix\niHDG=\niHDGvar=oui\nidTU=-2,30\n"
                                                    "[Parametres]\niPolPerc=cent\n"),
                                            cur, &bad);
  EXPECT_EQ(c.iVit, 9600);
  EXPECT_EQ(c.iTWS, 5.0L);
  EXPECT_EQ(c.iHDG, 0.0L);  // present but empty reads 0
  EXPECT_TRUE(c.iHDGvar);
  EXPECT_EQ(c.idTU, -2.3L);  // a comma is read as the point
  EXPECT_EQ(c.iPolPerc, 77);
  EXPECT_EQ(bad, (BadKeys{"iPolPerc", "iTWS", "iHDGvar", "iVit"}));
}

TEST(ReadConfiguration, KeepsAtMost255CharactersOfTheWaypointName) {
  const std::string name(300, 'W');
  const Configuration c = ReadConfiguration(IniFile("[NavDATA]\niWpID=" + name + "\n"), Configuration{});
  EXPECT_EQ(c.iWpID, std::string(255, 'W'));
}

// The keys of a text, "Section/Key", in file order.
std::vector<std::string> KeysInOrder(const std::string& text) {
  std::vector<std::string> keys;
  std::string section;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    if (!line.empty() && line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
    } else if (line.find('=') != std::string::npos) {
      keys.push_back(section + "/" + line.substr(0, line.find('=')));
    }
    at = end + 1;
  }
  return keys;
}

TEST(WriteConfiguration, WritesTheKeysInTheirOrder) {
  IniFile ini;
  Configuration c = CurrentSettings();
  c.COM[2].clear();
  WriteConfiguration(ini, c);
  const std::vector<std::string> expected = {
      "Version/Name",         "Version/Version",      "REPERTOIRES/Polars",  "Parametres/PolaireAct",
      "Parametres/iOFFS_Keel", "Parametres/iOFFS_Surf", "Parametres/iPolPerc", "Parametres/iModPil",
      "NavDATA/iTWS",         "NavDATA/iTWD",         "NavDATA/iHDG",        "NavDATA/iCUR",
      "NavDATA/iCURDir",      "NavDATA/iPOSLat",      "NavDATA/iPOSLong",    "NavDATA/iWpID",
      "NavDATA/iWpLat",       "NavDATA/iWpLong",      "NavDATA/iDeclMag",    "NavDATA/idTU",
      "NavDATA/iHDGvar",      "NavDATA/iTWSvar",      "NavDATA/iTWDvar",     "COM/iVit",
      "NMEA/iAPB",            "NMEA/iBWC",            "NMEA/iBWR",           "NMEA/iDBK",
      "NMEA/iDBS",            "NMEA/iDBT",            "NMEA/iDPT",           "NMEA/iGLL",
      "NMEA/iGSA",            "NMEA/iGSV",            "NMEA/iHDG",           "NMEA/iHDM",
      "NMEA/iHDT",            "NMEA/iMTW",            "NMEA/iMWD",           "NMEA/iMWV",
      "NMEA/iRMB",            "NMEA/iRMC",            "NMEA/iVHW",           "NMEA/iVTG",
      "NMEA/iVWR",            "NMEA/iWCV",            "NMEA/iWNC",           "NMEA/iWPL",
      "NMEA/iZDA",            "NMEA/iZTG",            "NMEA/iDevPOS",        "NMEA/iSound",
      "NMEA/iSpeedo",         "NMEA/iWind",           "NMEA/iInst",          "NMEA/iPilot",
      "NMEA/iCompas"};
  EXPECT_EQ(KeysInOrder(ini.Text()), expected);
}

TEST(WriteConfiguration, WritesTheValueForms) {
  IniFile ini;
  Configuration c;
  c.iOFFS_Surf = 0.3L;
  c.iPolPerc = 100;
  c.iModPil = TModPil::STDBY;
  c.iPOSLat = PackCoord(51.0L, 4.14L, 0);
  c.iPOSLong = PackCoord(2.0L, 23.08L, 1);
  c.idTU = -2.3L;
  c.iTWSvar = true;
  c.COM[0] = "/dev/ttyUSB0";
  c.talkerItems = {0, 1, 0, 1};
  WriteConfiguration(ini, c);
  EXPECT_EQ(ini.Find("Parametres", "iOFFS_Surf"), "0.3");
  EXPECT_EQ(ini.Find("Parametres", "iPolPerc"), "100");
  EXPECT_EQ(ini.Find("Parametres", "iModPil"), "STDBY");
  EXPECT_EQ(ini.Find("NavDATA", "iPOSLat"), "5104.14");
  EXPECT_EQ(ini.Find("NavDATA", "iPOSLong"), "-223.08");
  EXPECT_EQ(ini.Find("NavDATA", "idTU"), "-2.3");
  EXPECT_EQ(ini.Find("NavDATA", "iHDGvar"), "0");
  EXPECT_EQ(ini.Find("NavDATA", "iTWSvar"), "1");
  EXPECT_EQ(ini.Find("COM", "COM1"), "/dev/ttyUSB0");
  EXPECT_FALSE(ini.HasKey("COM", "COM2"));  // written only when it names a device
  EXPECT_EQ(ini.Find("NMEA", "iDevPOS"), "EC");
  EXPECT_EQ(ini.Find("NMEA", "iSound"), "II");
  EXPECT_EQ(ini.Find("NMEA", "iSpeedo"), "DM");
  EXPECT_EQ(ini.Find("NMEA", "iWind"), "II");
}

TEST(WriteConfiguration, SaveThenOpenRestoresSwitchesAndTalkers) {
  testing::TempFolder dir;
  Configuration c = CurrentSettings();
  for (std::size_t i = 0; i < c.sentences.size(); ++i) c.sentences[i] = (i % 3 == 0) || i == 25;
  c.talkerItems = {0, 1, 0, 1};
  c.iInst = "XX";  // whatever was read before, the save writes the fixed identifiers
  c.iPilot = "GP";
  c.iCompas = "";
  IniFile out;
  WriteConfiguration(out, c);
  ASSERT_TRUE(out.Save(dir / "bateau.ini").ok);

  IniFile in;
  ASSERT_TRUE(IniFile::Load(dir / "bateau.ini", &in).readable);
  const Configuration back = ReadConfiguration(in, Configuration{});
  EXPECT_EQ(Switches(back), "10010010010010010010010011");
  EXPECT_EQ(back.talkerItems, (std::array<int, 4>{0, 1, 0, 1}));
  EXPECT_EQ(back.iInst, "II");
  EXPECT_EQ(back.iPilot, "AP");
  EXPECT_EQ(back.iCompas, "HC");
  Configuration expected = c;
  expected.iInst = "II";
  expected.iPilot = "AP";
  expected.iCompas = "HC";
  EXPECT_TRUE(back == expected);
}

TEST(WriteConfiguration, SavingOverAFileKeepsItsOtherLines) {
  IniFile ini("; my boat\n[COM]\nCOM3=/dev/ttyUSB0\niVit=4800\n[Perso]\nnote=x\n");
  Configuration c;
  c.iVit = 38400;
  WriteConfiguration(ini, c);
  const std::string text = ini.Text();
  EXPECT_EQ(text.rfind("; my boat\n[COM]\nCOM3=/dev/ttyUSB0\niVit=38400\n[Perso]\nnote=x\n[Version]\n", 0), 0u)
      << text;
  EXPECT_EQ(ReadConfiguration(ini, Configuration{}).COM[2], "/dev/ttyUSB0");
}

TEST(ShippedConfiguration, HoldsTheDesignValues) {
  IniFile ini;
  const IniLoad load = IniFile::Load(std::string(VENTREL_DATA_DIR) + "/Ventrel.ini", &ini);
  ASSERT_TRUE(load.found);
  BadKeys bad;
  const Configuration c = ReadConfiguration(ini, Configuration{}, &bad);
  EXPECT_TRUE(bad.empty());
  EXPECT_EQ(c.Version, "2.3");
  EXPECT_EQ(c.Polars, "DefPolars/");
  EXPECT_EQ(c.iHDG, 335.0L);
  EXPECT_EQ(c.iTWS, 10.0L);
  EXPECT_EQ(c.iTWD, 220.0L);
  EXPECT_EQ(c.iCUR, 0.0L);
  EXPECT_EQ(c.iCURDir, 70.0L);
  const CoordFields lat = SplitPackedCoord(c.iPOSLat);
  const CoordFields lon = SplitPackedCoord(c.iPOSLong);
  EXPECT_EQ(lat.item, 0);
  EXPECT_EQ(lat.deg + " " + lat.min, "51 4.14");
  EXPECT_EQ(lon.item, 0);
  EXPECT_EQ(lon.deg + " " + lon.min, "2 23.08");
  EXPECT_EQ(c.iWpID, "Att_Dover");
  EXPECT_EQ(SplitPackedCoord(c.iWpLat).min, "6.18");
  EXPECT_EQ(SplitPackedCoord(c.iWpLong).deg, "1");
  EXPECT_EQ(SplitPackedCoord(c.iWpLong).min, "19.88");
  EXPECT_EQ(c.iDeclMag, 1.0L);
  EXPECT_EQ(c.iPolPerc, 100);
  EXPECT_EQ(c.iModPil, TModPil::AUTO);
  EXPECT_EQ(c.iVit, 4800);
  EXPECT_EQ(Switches(c), std::string(26, '1'));
  EXPECT_EQ(c.talkerItems, (std::array<int, 4>{1, 0, 0, 0}));  // GP, SD, DM, WI
}

TEST(ShippedConfiguration, ReadAndWrittenGivesTheSameFileAndSettings) {
  const std::string path = std::string(VENTREL_DATA_DIR) + "/Ventrel.ini";
  const std::string text = testing::ReadText(path);
  IniFile ini;
  ASSERT_TRUE(IniFile::Load(path, &ini).readable);
  const Configuration c = ReadConfiguration(ini, Configuration{});

  IniFile inPlace(text);  // saved over itself
  WriteConfiguration(inPlace, c);
  EXPECT_EQ(inPlace.Text(), text);
  IniFile fresh;  // saved as a new file
  WriteConfiguration(fresh, c);
  EXPECT_EQ(fresh.Text(), text);
  EXPECT_TRUE(ReadConfiguration(fresh, CurrentSettings()) == ReadConfiguration(ini, CurrentSettings()));
}

}  // namespace
}  // namespace ventrel
