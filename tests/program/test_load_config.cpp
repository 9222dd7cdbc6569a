// Reading a configuration into the program: the fields, radio items and check boxes
// it shows, the state it sets, the sentence switches and talkers.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "program/program_fixture.h"
#include "nmea/registry.h"
#include "nmea/selection.h"

namespace ventrel {
namespace {

using testing::Shipped;

// The field of that name in the table ("TrueWindSpeedInput").
Field Named(std::string_view name) {
  for (const FieldDesign& d : kFieldDesigns) {
    if (d.identifier == name) return d.id;
  }
  throw std::out_of_range("no field " + std::string(name));
}

// What a field shows: "name" its text, "name#" its item index, "name?" its check ("1"/"0").
std::string Shown(const Panel& panel, std::string name) {
  const char kind = name.back();
  if (kind != '#' && kind != '?') return panel[Named(name)].text();
  name.pop_back();
  const PanelField& f = panel[Named(name)];
  return kind == '#' ? std::to_string(f.itemIndex()) : std::string(f.checked() ? "1" : "0");
}

// Each case is read over the shipped configuration: a key missing from the case takes its default.
TEST_F(Shipped, LoadConfigShowsTheValuesRead) {
  const struct {
    const char* ini;
    std::vector<std::pair<const char*, const char*>> shown;
  } cases[] = {
      // A saved heading of 335.7 must not come back as 336.
      {"[NavDATA]\niHDG=335.7\n", {{"HeadingInput", "335.7"}, {"TrueWindSpeedInput", "0.0"}, {"TrueWindDirectionInput", "0.0"}}},
      {"[NavDATA]\niTWS=12.34\niTWD=220.56\niCUR=1.25\niCURDir=7\n",
       {{"TrueWindSpeedInput", "12.3"}, {"TrueWindDirectionInput", "220.6"}, {"CurrentSpeedInput", "1.3"}, {"CurrentDirectionInput", "7.0"}}},
      {"[NavDATA]\niPOSLat=-4706.5\niPOSLong=-12.5\n",
       {{"LatitudeHemisphere#", "1"}, {"LatitudeDegrees", "47"}, {"LatitudeMinutes", "6.5"}, {"LongitudeHemisphere#", "1"}, {"LongitudeDegrees", "0"},
        {"LongitudeMinutes", "12.5"}}},
      {"[NavDATA]\niPOSLat=5104.14\niPOSLong=17959.99\n",
       {{"LatitudeHemisphere#", "0"}, {"LatitudeDegrees", "51"}, {"LatitudeMinutes", "4.14"}, {"LongitudeHemisphere#", "0"}, {"LongitudeDegrees", "179"},
        {"LongitudeMinutes", "59.99"}}},
      {"[NavDATA]\niWpID=Dest\niWpLat=1230.5\niWpLong=-6115\n",
       {{"WaypointName", "Dest"}, {"WaypointLatitudeHemisphere#", "0"}, {"WaypointLatitudeDegrees", "12"}, {"WaypointLatitudeMinutes", "30.5"}, {"WaypointLongitudeHemisphere#", "1"},
        {"WaypointLongitudeDegrees", "61"}, {"WaypointLongitudeMinutes", "15"}}},
      {"[NavDATA]\niDeclMag=-3.456\n", {{"VariationInput", "3.46"}, {"VariationSide#", "1"}}},
      {"[NavDATA]\niDeclMag=0\n", {{"VariationInput", "0.00"}, {"VariationSide#", "0"}}},
      // h.mm with two decimals: with one, 5 h 45 would be shown "5.5" and read as 5 h 50.
      {"[NavDATA]\nidTU=5.45\n", {{"UtcOffset", "5.45"}}},
      {"[NavDATA]\nidTU=-2\n", {{"UtcOffset", "-2.00"}}},
      {"[NavDATA]\nidTU=auto\n", {{"UtcOffset", ""}}},  // the machine's offset: an empty field
      {"[Parametres]\niOFFS_Keel=2\niOFFS_Surf=0.5\niPolPerc=85\n",
       {{"KeelSensorOffset", "2"}, {"SurfaceSensorOffset", "0.5"}, {"Draft", "2.5"}, {"SensorDepth", "0.5"}, {"PolarPercentInput", "85"}}},
      {"[NavDATA]\niHDGvar=1\niTWSvar=0\niTWDvar=1\n", {{"VariesHeading?", "1"}, {"VariesWindSpeed?", "0"}, {"VariesWindDirection?", "1"}}},
      {"[COM]\niVit=9600\n", {{"SpeedList", "9600"}, {"SpeedList#", "6"}}},
      {"[COM]\niVit=1000\n", {{"SpeedList", "1000"}, {"SpeedList#", "-1"}}}};
  for (const auto& c : cases) {
    Load(c.ini);
    for (const auto& [field, value] : c.shown) EXPECT_EQ(Shown(program.panel(), field), value) << field << c.ini;
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Shipped, LoadConfigSetsTheState) {
  Load("[NavDATA]\niTWS=12.34\niTWD=220.56\niHDG=335.7\niCUR=1.5\niCURDir=70\niDeclMag=-3.456\nidTU=5.45\n"
       "iHDGvar=1\niTWSvar=0\niWpID=Cherbourg\niWpLat=4939\niWpLong=-137\n"
       "[Parametres]\niOFFS_Keel=2\niOFFS_Surf=0.5\niPolPerc=85\niModPil=auto\n");
  const SimState& s = program.model().state();
  // The values are read back from decimal texts: a few units of the last place.
  EXPECT_NEAR(s.TW.mdl, 12.34L, 1e-12L);
  EXPECT_NEAR(s.TW.argt, 220.56L, 1e-12L);
  EXPECT_NEAR(s.BS.argt, 335.7L, 1e-12L);
  EXPECT_NEAR(s.CUR.argt, 70.0L, 1e-12L);
  EXPECT_NEAR(s.Declin, -3.46L, 1e-12L);  // from its field, two decimals
  EXPECT_NEAR(program.params().dTU, 5.75L, 1e-12L);
  EXPECT_TRUE(program.params().varyHeading && s.HDGvar && !program.params().varyWindSpeed && !s.TWSvar);
  EXPECT_NEAR(s.offset_keel, 2.0L, 1e-12L);
  EXPECT_NEAR(s.offset_surf, 0.5L, 1e-12L);
  EXPECT_NEAR(program.params().CQ, 2.0L, 1e-12L);
  EXPECT_NEAR(program.params().Teau, 2.5L, 1e-12L);
  EXPECT_EQ(program.model().speed().polPerc, 85);
  EXPECT_EQ(s.ModPil, TModPil::STDBY);  // only the exact word "AUTO" gives AUTO
  // The waypoint is rebuilt: 49°39' N, 1°37' W is 360 - 1.6167 in the graphic longitude.
  const t_wpt& wp = program.model().waypoint().Wp;
  EXPECT_EQ(wp.P.nom, "Cherbourg");
  EXPECT_NEAR(wp.P.lat, 49.0L + 39.0L / 60.0L, 1e-12L);
  EXPECT_NEAR(wp.P.long_, 360.0L - (1.0L + 37.0L / 60.0L), 1e-12L);
  EXPECT_TRUE(program.model().waypoint().WpUsed);
}

// The switches and the four talkers are applied at once, as the dialog's OK does:
// otherwise a configuration saved with "II" talkers would keep sending the old ones.
TEST_F(Shipped, LoadConfigAppliesSwitchesAndTalkersAtOnce) {
  const struct {
    const char* ini;
    std::string on;             // APB ... ZTG (GGA, ROT, RSA, VLW and XTE off without their keys)
    std::array<int, 4> radios;  // position device, sounder, speed log, wind
    const char* talkers;        // DevPos, Sounder, Speedo, Winst
  } cases[] = {{"", std::string(31, '0'), {1, 1, 1, 1}, "GPIIIIII"},
               {"[NMEA]\niAPB=1\niBWR=0\niDevPOS=ECDIS\n", "1100000000000000000000000000000", {0, 1, 1, 1}, "ECIIIIII"},
               {"[NMEA]\niAPB=0\niZTG=1\niDevPOS=GP\niSound=SDX\n", "0000000000000000000000000000001", {1, 0, 1, 1},
                "GPSDIIII"},
               // Two characters count, and a missing talker repeats the text before it.
               {"[NMEA]\niDevPOS=ec\niSpeedo=DM\n", std::string(31, '0'), {1, 1, 0, 1}, "GPIIDMII"},
               {"[NMEA]\niAPB=1\niDevPOS=GP\niSound=II\niSpeedo=DM\niWind=WI\n", "1111111011111111111001011111011", {1, 1, 0, 0},
                "GPIIDMWI"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ini);
    Load(c.ini);
    std::string flags, checks;
    for (std::size_t i = 0; i < kSentenceTypes.size(); ++i) {
      flags += Selected(program.nmea(), *FindSentence(kSentenceTypes[i])) ? '1' : '0';
      checks += program.selection().checked[i] ? '1' : '0';
    }
    EXPECT_EQ(flags, c.on);
    EXPECT_EQ(checks, c.on);  // key i sets item i of the dialog's list
    const NmeaSelection& sel = program.selection();
    EXPECT_EQ((std::array<int, 4>{sel.RdGDevPos, sel.RdGDevSond, sel.RdGInst, sel.RdGWI}), c.radios);
    const NmeaModule& m = program.nmea();
    EXPECT_EQ(m.DevPos + m.Sounder + m.Speedo + m.Winst, c.talkers);
  }
  // The depth sentences of the last case carry "II" without the dialog's OK.
  NmeaModule& m = program.nmea();
  const int n = m.BuildSentenceGroup(1, program.model().state(), program.model().waypoint(), NmeaClock{});
  int depth = 0;
  for (int i = 1; i <= n; ++i) {
    const std::string& s = m.sentenceSlots[static_cast<std::size_t>(i)];
    if (s.compare(3, 3, "DPT") == 0 || s.compare(3, 3, "DBT") == 0) {
      EXPECT_EQ(s.substr(0, 3), "$II") << s;
      ++depth;
    }
  }
  EXPECT_EQ(depth, 2);
}

TEST_F(Shipped, LoadConfigReadsTheFixedIdentifiersAndThePortDevices) {
  Load("[NMEA]\niInst=XX\niPilot=YY\n[COM]\nCOM3=/dev/ttyUSB0\nCOM10=/dev/ttyACM1\n");
  EXPECT_EQ(program.nmea().InstID + program.nmea().PilotID + program.nmea().CompasID, "XXYYHC");
  const std::map<std::string, std::string> expected = {{"COM3", "/dev/ttyUSB0"}, {"COM10", "/dev/ttyACM1"}};
  EXPECT_EQ(program.PortOverrides(), expected);
}

TEST_F(Shipped, AValueThatIsNotANumberKeepsTheFieldAndNamesTheKey) {
  Load("[NavDATA]\niTWS=dix\niHDG=300\niPOSLat=5O04\niDeclMag=un\nidTU=x\niHDGvar=oui\niTWD=\n[COM]\niVit=48OO\n"
       "[Parametres]\niPolPerc=cent\n");
  EXPECT_EQ(Text(Field::TrueWindSpeedInput), "10.0");  // shipped values kept
  EXPECT_EQ(program.model().state().TW.mdl, 10.0L);
  EXPECT_EQ(Text(Field::HeadingInput), "300.0");  // the readable keys are taken
  EXPECT_EQ(Text(Field::TrueWindDirectionInput), "0.0");    // present but empty reads 0
  EXPECT_EQ(Text(Field::LatitudeDegrees) + " " + Text(Field::LatitudeMinutes), "51 4.14");
  EXPECT_EQ(Text(Field::VariationInput), "1.00");
  EXPECT_EQ(program.model().state().Declin, 1.0L);
  EXPECT_TRUE(program.params().dTUAuto);  // the shipped offset, the machine's own
  EXPECT_EQ(Text(Field::SpeedList), "4800");
  EXPECT_EQ(Text(Field::PolarPercentInput), "100");
  EXPECT_TRUE(program.panel()[Field::VariesHeading].checked());
  ASSERT_EQ(dialogs.messages.size(), 1u);
  const std::string& msg = dialogs.messages[0];
  for (const char* key : {"[NavDATA] iTWS = « dix »", "[NavDATA] iPOSLat = « 5O04 »", "[NavDATA] iDeclMag = « un »",
                          "[NavDATA] idTU = « x »", "[COM] iVit = « 48OO »", "[NavDATA] iHDGvar = « oui »",
                          "[Parametres] iPolPerc = « cent »"}) {
    EXPECT_NE(msg.find(key), std::string::npos) << key << " in " << msg;
  }
  EXPECT_EQ(msg.find("iHDG ="), std::string::npos);
}

// A number out of its range, or too big for the model, is refused like one that
// is not a number: the field and the state keep what they held, the message names
// the section, the key, the value and the range.
TEST_F(Shipped, AValueOutOfItsRangeKeepsTheFieldAndSaysTheRange) {
  const struct {
    const char* file;
    Field field;  // keeps what it showed
    const char* said;   // in the message
  } cases[] = {
      {"[NavDATA]\niTWS=250\n", Field::TrueWindSpeedInput, "[NavDATA] iTWS = « 250 » hors limites (0 à 100 nœuds)"},
      {"[NavDATA]\niTWS=-1\n", Field::TrueWindSpeedInput, "(0 à 100 nœuds)"},
      {"[NavDATA]\niHDG=1e4000\n", Field::HeadingInput, "[NavDATA] iHDG = « 1e4000 » hors limites (-360 à 360 degrés)"},
      {"[NavDATA]\niCUR=21\n", Field::CurrentSpeedInput, "(0 à 20 nœuds)"},
      {"[NavDATA]\niCURDir=400\n", Field::CurrentDirectionInput, "iCURDir"},
      {"[Parametres]\niPolPerc=1000\n", Field::PolarPercentInput, "[Parametres] iPolPerc = « 1000 » hors limites"},
      {"[Parametres]\niPolPerc=-5\n", Field::PolarPercentInput, "iPolPerc = « -5 »"},
      {"[Parametres]\niOFFS_Keel=1e20\n", Field::KeelSensorOffset, "iOFFS_Keel = « 1e20 » hors limites (0 à 5 mètres)"},
      {"[NavDATA]\niPOSLat=9100\n", Field::LatitudeDegrees, "iPOSLat"},
      {"[NavDATA]\niPOSLat=5160\n", Field::LatitudeMinutes, "minutes < 60"},
      {"[NavDATA]\niPOSLong=18000.5\n", Field::LongitudeDegrees, "iPOSLong"},
      {"[NavDATA]\niWpLong=-1e300\n", Field::WaypointLongitudeDegrees, "iWpLong"},
      {"[NavDATA]\niDeclMag=91\n", Field::VariationInput, "(-90 à 90 degrés)"},
      {"[NavDATA]\nidTU=1e20\n", Field::UtcOffset, "[NavDATA] idTU = « 1e20 » hors limites (-14 à 14"},
      {"[NavDATA]\nidTU=5.75\n", Field::UtcOffset, "idTU"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    dialogs.messages.clear();
    const std::string before = Text(c.field);
    Load(c.file);
    EXPECT_EQ(Text(c.field), before);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find(c.said), std::string::npos) << dialogs.messages[0];
    EXPECT_NE(dialogs.messages[0].find("la valeur précédente est conservée"), std::string::npos);
  }
  // The model keeps its values too.
  Load("[NavDATA]\niHDG=300\nidTU=3\n[Parametres]\niPolPerc=90\niOFFS_Keel=2\n");
  Load("[NavDATA]\niHDG=1e4000\nidTU=1e20\n[Parametres]\niPolPerc=1000\niOFFS_Keel=1e20\n");
  EXPECT_EQ(program.model().state().BS.argt, 300.0L);
  EXPECT_EQ(program.model().speed().polPerc, 90);
  EXPECT_EQ(program.params().dTU, 3.0L);
  EXPECT_EQ(program.params().CQ, 2.0L);
  // The limits themselves are taken.
  dialogs.messages.clear();
  Load("[NavDATA]\niTWS=100\niHDG=-360\niPOSLat=-9000\niPOSLong=18000\nidTU=-14\n[Parametres]\niPolPerc=0\n");
  EXPECT_TRUE(dialogs.messages.empty() || dialogs.messages[0].empty());
  EXPECT_EQ(Text(Field::TrueWindSpeedInput) + " " + Text(Field::HeadingInput) + " " + Text(Field::PolarPercentInput), "100.0 -360.0 0");
}

}  // namespace
}  // namespace ventrel
