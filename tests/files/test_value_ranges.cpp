// The table of ranges: its limits and forms, the shipped configurations within it,
// and every numeric key of a saved configuration in it.

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "files/config_values.h"
#include "files/value_ranges.h"
#include "model/transmission.h"

namespace ventrel {
namespace {

TEST(ValueRanges, LimitsFormsAndValuesThatAreNotFinite) {
  constexpr long double kInf = std::numeric_limits<long double>::infinity();
  const struct {
    const char* section;
    const char* key;
    long double value;
    bool ok;
  } cases[] = {
      {"NavDATA", "iTWS", 0, true},          {"NavDATA", "iTWS", 100, true},
      {"NavDATA", "iTWS", 100.01L, false},   {"NavDATA", "iTWS", -0.01L, false},
      {"navdata", "ITWS", 50, true},         {"NavDATA", "iTWS", std::numeric_limits<long double>::quiet_NaN(), false},
      {"NavDATA", "iHDG", -360, true},       {"NavDATA", "iHDG", 360, true},
      {"NavDATA", "iHDG", 1e4000L, false},   {"NavDATA", "iCUR", 20.5L, false},
      {"Parametres", "iPolPerc", 100, true}, {"Parametres", "iPolPerc", 101, false},
      {"Parametres", "iPolPerc", -5, false}, {"Parametres", "iOFFS_Keel", 1e20L, false},
      // Packed coordinates: degrees x 100 + minutes, the minutes below 60.
      {"NavDATA", "iPOSLat", -9000, true},   {"NavDATA", "iPOSLat", 9000.01L, false},
      {"NavDATA", "iPOSLat", 5159.99L, true}, {"NavDATA", "iPOSLat", 5160, false},
      {"NavDATA", "iPOSLat", -4760, false},  {"NavDATA", "iWpLong", -17959.99L, true},
      {"NavDATA", "iWpLong", 18000, true},   {"NavDATA", "iWpLong", 18001, false},
      {"NavDATA", "iDeclMag", 90.5L, false}, {"", "--duration", 0.5L, false},
      // Packed hours h.mm.
      {"NavDATA", "idTU", 5.45L, true},      {"NavDATA", "idTU", -14, true},
      {"NavDATA", "idTU", 14.01L, false},    {"NavDATA", "idTU", 5.75L, false},
      {"NavDATA", "idTU", 1e20L, false},
      // Speeds and the command line.
      {"COM", "iVit", 4800, true},           {"COM", "iVit", 1000, false},
      {"", "--baud", 230400, true},          {"", "--duration", 1e9L, true},
      {"", "--duration", 1e9L + 1, false},   {"", "--duration", 9223372036854775807.0L, false},
      {"", "--percent", -1, false},
  };
  for (const auto& c : cases) {
    const ValueRange* r = RangeOfKey(c.section, c.key);
    ASSERT_NE(r, nullptr) << c.key;
    EXPECT_EQ(!RangeProblem(*r, c.value).has_value(), c.ok)
        << "[" << c.section << "] " << c.key << " = " << static_cast<double>(c.value);
  }
  EXPECT_EQ(RangeOfKey("NMEA", "iHDG"), nullptr);  // the sentence switch, not the heading
  EXPECT_EQ(*RangeProblem(*RangeOfKey("NavDATA", "iTWS"), 250), "hors limites (0 à 100 nœuds)");
  EXPECT_EQ(*RangeProblem(*RangeOfKey("NavDATA", "iTWS"), kInf), "n'est pas un nombre fini");
  EXPECT_EQ(RangeText(*RangeOfKey("NavDATA", "iPOSLat")), "-9000 à 9000 DDMM.mm, minutes < 60");
  EXPECT_EQ(RangeText(*RangeOfKey("NavDATA", "idTU")), "-14 à 14 heures (h.mm), minutes < 60, ou « auto »");
}

TEST(ValueRanges, TheWordOfTheMachineOffset) {
  for (const auto& [text, automatic] : {std::pair{"auto", true}, std::pair{"AuTo", true}, std::pair{"  auto \t", true},
                                        std::pair{"", false}, std::pair{" ", false}, std::pair{"aut", false},
                                        std::pair{"autos", false}, std::pair{"-2", false}, std::pair{"au to", false}}) {
    EXPECT_EQ(IsAutoOffset(text), automatic) << "« " << text << " »";
  }
}

TEST(ValueRanges, TheSpeedsAreThoseOfTheSpeedList) {
  ASSERT_EQ(std::size(kBaudSpeeds), kBauds.size());
  for (std::size_t i = 0; i < kBauds.size(); ++i) {
    EXPECT_EQ(std::to_string(static_cast<long long>(kBaudSpeeds[i])), kBauds[i]);
  }
}

// A saved configuration writes every numeric key of the table, and each key of
// the table with a section is one that a save writes.
TEST(ValueRanges, EveryNumericKeyOfASavedConfigurationHasItsRange) {
  IniFile ini;
  Configuration c;
  c.network.tcp = true;  // [RESEAU] is written only when something is on
  c.nav.input = true;    // [NAV] too
  c.control.on = true;   // and [CONTROLE]
  WriteConfiguration(ini, c);
  for (const ValueRange& r : ValueRanges()) {
    if (!r.section.empty()) {
      EXPECT_TRUE(ini.HasKey(r.section, r.key)) << r.key;
    }
  }
  for (const char* key : {"iOFFS_Keel", "iOFFS_Surf", "iPolPerc"}) EXPECT_NE(RangeOfKey("Parametres", key), nullptr);
  for (const char* key : {"iTWS", "iTWD", "iHDG", "iCUR", "iCURDir", "iPOSLat", "iPOSLong", "iWpLat", "iWpLong",
                          "iDeclMag", "idTU"}) {
    EXPECT_NE(RangeOfKey("NavDATA", key), nullptr) << key;
  }
}

// The shipped configuration and the recorded run's stay within the ranges.
TEST(ValueRanges, TheShippedConfigurationsAreWithinTheRanges) {
  for (const std::string& file : {std::string(VENTREL_DATA_DIR) + "/Ventrel.ini",
                                 std::string(VENTREL_DATA_DIR) + "/../tests/app/runs/headless.ini"}) {
    IniFile ini;
    ASSERT_TRUE(IniFile::Load(file, &ini).found) << file;
    BadKeys bad;
    ReadConfiguration(ini, Configuration{}, &bad);
    EXPECT_EQ(BadKeysMessage(bad), "") << file;
  }
}

TEST(ShownValue, EscapesControlBytesAndCutsLongValues) {
  const struct {
    std::string raw;
    const char* shown;
  } cases[] = {{"250", "250"},
               {std::string("a\0b", 3), "a\\x00b"},
               {"\t\r\n", "\\x09\\x0D\\x0A"},
               {"\x7F", "\\x7F"},
               {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
               {"\xC3(", "\\xC3("},
               {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},  // beyond Unicode
               {std::string(41, 'x'), nullptr}};
  for (const auto& c : cases) {
    EXPECT_EQ(ShownValue(c.raw), c.shown ? std::string(c.shown) : std::string(40, 'x') + "…") << c.raw;
  }
}

}  // namespace
}  // namespace ventrel
