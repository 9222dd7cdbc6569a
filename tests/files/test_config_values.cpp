// The settings of a configuration file: defaults, chained keys, forms, what a save keeps.

#include "files/config_values.h"

#include <gtest/gtest.h>

#include <string>

#include "files/temp_folder.h"

namespace ventrel {
namespace {

// The 31 switches as "1"/"0" characters, APB first.
std::string Switches(const Configuration& c) {
  std::string s;
  for (bool on : c.sentences) s += on ? '1' : '0';
  return s;
}

TEST(ReadConfiguration, AMissingSentenceSwitchRepeatsTheOneBefore) {
  const struct {
    const char* file;
    const char* switches;  // APB ... ZTG: APB BWC BWR DBK DBS DBT DPT GGA GLL GSA GSV HDG HDM HDT MTW MWD
                           //             MWV RMB RMC ROT RSA VHW VLW VTG VWR WCV WNC WPL XTE ZDA ZTG
    std::size_t bad;
  } cases[] = {
      {"[COM]\niVit=4800\n", "0000000000000000000000000000000", 0},  // no section: every sentence off
      {"[NMEA]\n", "0000000000000000000000000000000", 0},
      // No "iBWC" after "iAPB" true: BWC is sent, and so is every sentence after it.
      {"[NMEA]\niAPB=1\n", "1111111011111111111001011111011", 0},
      {"[NMEA]\niAPB=1\niBWR=0\n", "1100000000000000000000000000000", 0},
      {"[nmea]\nIAPB=0\niBWC=1\niDBK=0\niMTW=true\niZTG=1\n", "0110000000000011111001011111011", 0},
      // GGA, ROT, RSA, VLW and XTE are off when missing and never chained: a file
      // written before them sends what it sent; present, they are read.
      {"[NMEA]\niAPB=1\niGGA=1\niROT=1\niRSA=1\niVLW=1\niXTE=1\n", "1111111111111111111111111111111", 0},
      {"[NMEA]\niGGA=1\niXTE=true\n", "0000000100000000000000000000100", 0},
      {"[NMEA]\niDPT=1\niGGA=0\n", "0000001011111111111001011111011", 0},
      {"[NMEA]\niDPT=0\niGGA=1\n", "0000000100000000000000000000000", 0},
      {"[NMEA]\niAPB=1\niROT=oui\n", "1111111011111111111001011111011", 1},
      // A switch that cannot be read takes the chained value (false for the five) and is reported.
      {"[NMEA]\niAPB=1\niBWC=oui\niBWR=0\n", "1100000000000000000000000000000", 1}};
  for (const auto& c : cases) {
    BadKeys bad;
    EXPECT_EQ(Switches(ReadConfiguration(IniFile(c.file), Configuration{}, &bad)), c.switches) << c.file;
    EXPECT_EQ(bad.size(), c.bad) << c.file;
  }
}

// [RESEAU]: missing keys are off with their defaults; bad values are reported and
// leave the output off or the default; a save writes the section only when the file
// has it or a setting is not the default, and reads back the same.
TEST(ReadConfiguration, NetworkSectionMissingKeysAreOff) {
  const struct {
    const char* file;
    bool tcp;
    int port;
    const char* address;
    int behind;
    bool udp;
    const char* destinations;
    int ttl;
    std::size_t bad;
  } rows[] = {
      {"[COM]\niVit=4800\n", false, 10110, "", 64, false, "", 1, 0},
      {"[RESEAU]\n", false, 10110, "", 64, false, "", 1, 0},
      {"[RESEAU]\niTCP=1\n", true, 10110, "", 64, false, "", 1, 0},
      {"[RESEAU]\niTCP=1\niTCPPort=2000\niTCPAdresse=::1\niTCPRetard=8\n", true, 2000, "::1", 8, false, "", 1, 0},
      {"[RESEAU]\niUDP=1\niUDPDest=127.0.0.1:1, [ff02::1]:2\niUDPTTL=4\n", false, 10110, "", 64, true,
       "127.0.0.1:1,[ff02::1]:2", 4, 0},
      // Refused values: reported, the default kept, an output with a bad address off.
      {"[RESEAU]\niTCP=1\niTCPPort=70000\n", true, 10110, "", 64, false, "", 1, 1},
      {"[RESEAU]\niTCP=1\niTCPPort=0\niTCPRetard=0\n", true, 10110, "", 64, false, "", 1, 2},
      {"[RESEAU]\niTCP=1\niTCPAdresse=mon poste\n", false, 10110, "", 64, false, "", 1, 1},
      {"[RESEAU]\niUDP=1\niUDPDest=127.0.0.1\n", false, 10110, "", 64, false, "", 1, 1},
      {"[RESEAU]\niUDP=oui\niUDPTTL=256\n", false, 10110, "", 64, false, "", 1, 2},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.file);
    BadKeys bad;
    const Configuration c = ReadConfiguration(IniFile(r.file), Configuration{}, &bad);
    const NetworkSettings& n = c.network;
    EXPECT_EQ(n.tcp, r.tcp);
    EXPECT_EQ(n.tcpPort, r.port);
    EXPECT_EQ(n.tcpAddress, r.address);
    EXPECT_EQ(n.tcpMaxBehindKiB, r.behind);
    EXPECT_EQ(n.udp, r.udp);
    EXPECT_EQ(DestinationListText(n.udpDestinations), r.destinations);
    EXPECT_EQ(n.udpTtl, r.ttl);
    EXPECT_EQ(bad.size(), r.bad);
    // Written and read again: the same settings.
    IniFile out(r.file);
    WriteConfiguration(out, c);
    EXPECT_EQ(out.HasSection(kSecReseau), IniFile(r.file).HasSection(kSecReseau) || n != NetworkSettings{});
    EXPECT_EQ(ReadConfiguration(out, Configuration{}).network, n);
  }
}

// [NAV]: missing keys are off with their defaults; a bad value is reported and keeps
// the default (a bad source list turns the input off); a save writes the section
// only when the file has it or a setting is not the default, and reads back the same.
TEST(ReadConfiguration, NavSectionMissingKeysAreOff) {
  const struct {
    const char* file;
    bool input;
    const char* sources;
    bool noChecksum;
    double turn, corridor, loss;
    std::size_t bad;
  } rows[] = {
      {"[COM]\niVit=4800\n", false, "", false, 3, 0.5, 10, 0},
      {"[NAV]\n", false, "", false, 3, 0.5, 10, 0},
      {"[NAV]\niEntree=1\nsEntree=udp:10111, tcp\n", true, "udp:10111,tcp", false, 3, 0.5, 10, 0},
      {"[NAV]\niEntree=1\nsEntree=serial\niSansSomme=1\ndVirage=0.5\ndCouloir=0\ndPerte=600\n", true, "serial", true,
       0.5, 0, 600, 0},
      {"[NAV]\ndVirage=20\ndCouloir=10\ndPerte=2\n", false, "", false, 20, 10, 2, 0},
      // Refused values: reported, the default kept.
      {"[NAV]\niEntree=1\nsEntree=udp:0\n", false, "", false, 3, 0.5, 10, 1},
      {"[NAV]\niEntree=1\nsEntree=serial serial\n", false, "", false, 3, 0.5, 10, 1},
      {"[NAV]\niEntree=oui\niSansSomme=vrai\n", false, "", false, 3, 0.5, 10, 2},
      {"[NAV]\ndVirage=0.4\ndCouloir=10.5\ndPerte=1\n", false, "", false, 3, 0.5, 10, 3},
      {"[NAV]\ndVirage=21\ndCouloir=-1\ndPerte=601\n", false, "", false, 3, 0.5, 10, 3},
      {"[NAV]\ndVirage=vite\n", false, "", false, 3, 0.5, 10, 1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.file);
    BadKeys bad;
    const Configuration c = ReadConfiguration(IniFile(r.file), Configuration{}, &bad);
    const NavSettings& n = c.nav;
    EXPECT_EQ(n.input, r.input);
    EXPECT_EQ(NmeaSourceListText(n.sources), r.sources);
    EXPECT_EQ(n.allowMissingChecksum, r.noChecksum);
    EXPECT_EQ(static_cast<double>(n.turnRate), r.turn);
    EXPECT_EQ(static_cast<double>(n.corridorNm), r.corridor);
    EXPECT_EQ(static_cast<double>(n.lossDelay), r.loss);
    EXPECT_EQ(bad.size(), r.bad);
    IniFile out(r.file);
    WriteConfiguration(out, c);
    EXPECT_EQ(out.HasSection(kSecNav), IniFile(r.file).HasSection(kSecNav) || n != NavSettings{});
    EXPECT_EQ(ReadConfiguration(out, Configuration{}).nav, n);
  }
}

// [CONTROLE]: missing keys are off, on this machine only, port 10112; a bad value
// is reported and keeps the default (a bad address turns the port off); a save
// writes the section only when the file has it or a setting is not the default.
TEST(ReadConfiguration, ControlSectionMissingKeysAreOffOnThisMachine) {
  const struct {
    const char* file;
    bool on;
    int port;
    const char* address;
    std::size_t bad;
  } rows[] = {
      {"[COM]\niVit=4800\n", false, 10112, "127.0.0.1", 0},
      {"[CONTROLE]\n", false, 10112, "127.0.0.1", 0},
      {"[CONTROLE]\niControle=1\n", true, 10112, "127.0.0.1", 0},
      {"[CONTROLE]\niControle=1\niControlePort=2000\niControleAdresse=::1\n", true, 2000, "::1", 0},
      {"[CONTROLE]\niControle=0\niControleAdresse=0.0.0.0\n", false, 10112, "0.0.0.0", 0},
      // Refused values: reported, the default kept, the port off with a bad address.
      {"[CONTROLE]\niControle=1\niControlePort=70000\n", true, 10112, "127.0.0.1", 1},
      {"[CONTROLE]\niControle=1\niControlePort=0\n", true, 10112, "127.0.0.1", 1},
      {"[CONTROLE]\niControle=1\niControleAdresse=\n", false, 10112, "127.0.0.1", 1},
      {"[CONTROLE]\niControle=1\niControleAdresse=mon poste\n", false, 10112, "127.0.0.1", 1},
      {"[CONTROLE]\niControle=oui\niControlePort=port\n", false, 10112, "127.0.0.1", 2},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.file);
    BadKeys bad;
    const Configuration c = ReadConfiguration(IniFile(r.file), Configuration{}, &bad);
    EXPECT_EQ(c.control.on, r.on);
    EXPECT_EQ(c.control.port, r.port);
    EXPECT_EQ(c.control.address, r.address);
    EXPECT_EQ(bad.size(), r.bad);
    IniFile out(r.file);
    WriteConfiguration(out, c);
    EXPECT_EQ(out.HasSection(kSecControle),
              IniFile(r.file).HasSection(kSecControle) || c.control != ControlSettings{});
    EXPECT_EQ(ReadConfiguration(out, Configuration{}).control, c.control);
  }
}

TEST(ReadConfiguration, OnlyTheExactWordGivesAutopilotAuto) {
  const struct {
    const char* file;
    TModPil mode;
  } cases[] = {{"", TModPil::AUTO},
               {"[Parametres]\niModPil=AUTO\n", TModPil::AUTO},
               {"[Parametres]\niModPil=auto\n", TModPil::STDBY},
               {"[Parametres]\niModPil=Auto\n", TModPil::STDBY},
               {"[Parametres]\niModPil=STDBY\n", TModPil::STDBY},
               {"[Parametres]\niModPil=\n", TModPil::STDBY}};
  for (const auto& c : cases) EXPECT_EQ(ReadConfiguration(IniFile(c.file), Configuration{}).iModPil, c.mode) << c.file;
  EXPECT_EQ(ModPilText(TModPil::AUTO), "AUTO");
  EXPECT_EQ(ModPilText(TModPil::STDBY), "STDBY");
}

TEST(PackedCoordinates, SplitIntoHemisphereDegreesAndMinutesAndPackedBack) {
  const struct {
    long double packed;
    int item;
    const char* deg;
    const char* min;
  } splits[] = {{-4706.5L, 1, "47", "6.5"}, {223.08L, 0, "2", "23.08"},         {0.0L, 0, "0", "0"},
                {-0.5L, 1, "0", "0.5"},     {-17959.99L, 1, "179", "59.99"}, {4700.0L, 0, "47", "0"}};
  for (const auto& c : splits) {
    const CoordFields f = SplitPackedCoord(c.packed);
    EXPECT_EQ(std::to_string(f.item) + " " + f.deg + " " + f.min,
              std::to_string(c.item) + " " + c.deg + " " + c.min)
        << c.packed;
  }
  const struct {
    long double deg, min;
    int item;
    const char* written;
  } packs[] = {{51.0L, 4.14L, 0, "5104.14"}, {1.0L, 19.88L, 1, "-119.88"}, {0.0L, 0.0L, 1, "0"}};
  for (const auto& c : packs) EXPECT_EQ(RealText(PackCoord(c.deg, c.min, c.item)), c.written);
}

// The current settings: what a missing key keeps, and what a value that is not a number keeps.
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
  // Fixed defaults: zero inputs, every sentence off, the talkers of empty texts, "II", "AP", "HC".
  Configuration expected;
  expected.Polars = cur.Polars;
  expected.PolaireAct = cur.PolaireAct;
  expected.iPolPerc = 77;
  expected.iWpID = "Att_Dover";
  expected.iHDGvar = expected.iTWSvar = expected.iTWDvar = true;
  expected.iVit = 9600;
  expected.COM = cur.COM;
  EXPECT_TRUE(c == expected);
  EXPECT_EQ(Switches(c), std::string(31, '0'));
  EXPECT_EQ(c.iInst + c.iPilot + c.iCompas + c.Version, "IIAPHC2.3");
  const std::string name(300, 'W');  // at most 255 characters of the waypoint name
  EXPECT_EQ(ReadConfiguration(IniFile("[NavDATA]\niWpID=" + name + "\n"), cur).iWpID, name.substr(0, 255));
}

// idTU=auto: the machine's offset, kept as a word through a save; a number keeps its
// meaning; "auto" keeps the number in force for a later choice.
TEST(ReadConfiguration, TheMachineOffsetIsReadAndWrittenAsAuto) {
  const struct {
    const char* value;
    bool automatic;
    long double idTU;
    const char* written;
    bool refused;
  } cases[] = {
      {"auto", true, -2.0L, "auto", false},
      {"AUTO", true, -2.0L, "auto", false},
      {" Auto\t", true, -2.0L, "auto", false},
      {"5.30", false, 5.3L, "5.3", false},
      {"-2", false, -2.0L, "-2", false},
      {"automatique", false, -2.0L, "-2", true},  // not a number: the current one stays
      {"", false, 0.0L, "0", false},  // empty: as if missing, 0 as before
  };
  for (const auto& c : cases) {
    BadKeys bad;
    const Configuration read =
        ReadConfiguration(IniFile(std::string("[NavDATA]\nidTU=") + c.value + "\n"), CurrentSettings(), &bad);
    EXPECT_EQ(read.idTUAuto, c.automatic) << c.value;
    EXPECT_EQ(read.idTU, c.idTU) << c.value;
    EXPECT_EQ(!bad.empty(), c.refused) << c.value;
    IniFile saved;
    WriteConfiguration(saved, read);
    EXPECT_EQ(saved.Find("NavDATA", "idTU").value_or("?"), c.written) << c.value;
    EXPECT_TRUE(ReadConfiguration(saved, CurrentSettings()) == read) << c.value;
  }
}

TEST(WriteConfiguration, SavingOverAFileKeepsItsOtherLines) {
  IniFile ini("; my boat\n[COM]\nCOM3=/dev/ttyUSB0\niVit=4800\n[Perso]\nnote=x\n");
  Configuration c;
  c.iVit = 38400;
  WriteConfiguration(ini, c);
  EXPECT_EQ(ini.Text().rfind("; my boat\n[COM]\nCOM3=/dev/ttyUSB0\niVit=38400\n[Perso]\nnote=x\n[Version]\n", 0), 0u)
      << ini.Text();
  EXPECT_EQ(ReadConfiguration(ini, Configuration{}).COM[2], "/dev/ttyUSB0");
}

TEST(ShippedConfiguration, HoldsTheDesignValues) {
  IniFile ini;
  ASSERT_TRUE(IniFile::Load(std::string(VENTREL_DATA_DIR) + "/Ventrel.ini", &ini).found);
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
  EXPECT_EQ(RealText(c.iPOSLat) + " " + RealText(c.iPOSLong), "5104.14 223.08");  // 51°04.14' N 2°23.08' E
  EXPECT_EQ(c.iWpID, "Att_Dover");
  EXPECT_EQ(RealText(c.iWpLat) + " " + RealText(c.iWpLong), "5106.18 119.88");  // 51°06.18' N 1°19.88' E
  EXPECT_EQ(c.iDeclMag, 1.0L);
  EXPECT_TRUE(c.idTUAuto);  // the machine's own offset
  EXPECT_EQ(c.iPolPerc, 100);
  EXPECT_EQ(c.iModPil, TModPil::AUTO);
  EXPECT_EQ(c.iVit, 4800);
  EXPECT_EQ(Switches(c), "1111111011111111111001011111011");  // GGA, ROT, RSA, VLW, XTE: no key, off
  EXPECT_EQ(c.talkerItems, (std::array<int, 4>{1, 0, 0, 0}));  // GP, SD, DM, WI
}

}  // namespace
}  // namespace ventrel
