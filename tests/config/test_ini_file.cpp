// INI reading and writing: names without regard to case, value forms, lines kept.

#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "config/temp_folder.h"

namespace ventrel {
namespace {

constexpr const char* kSample =
    "; written by hand\n"
    "orphan=1\n"
    "[REPERTOIRES]\n"
    "Polars=DefPolars/\n"
    "\n"
    "[NavDATA]\n"
    "  iHDG  =  335  \n"
    "; iTWS=99\n"
    "iTWS=10\n"
    "iTWS=12\n"
    "iWpID=Att_Dover\n"
    "[Repertoires]\n"
    "Extra=x\n";

struct LookupCase {
  const char* section;
  const char* key;
  std::optional<std::string> expected;
};

class IniLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(IniLookup, FindsKeysWithoutRegardToCase) {
  const IniFile ini(kSample);
  const LookupCase& c = GetParam();
  EXPECT_EQ(ini.Find(c.section, c.key), c.expected);
  EXPECT_EQ(ini.HasKey(c.section, c.key), c.expected.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniLookup,
    ::testing::Values(LookupCase{"REPERTOIRES", "Polars", "DefPolars/"},
                      LookupCase{"repertoires", "POLARS", "DefPolars/"},
                      LookupCase{"Repertoires", "polars", "DefPolars/"},
                      // The section written a second time with another spelling is the same section.
                      LookupCase{"REPERTOIRES", "Extra", "x"},
                      LookupCase{"navdata", "IHDG", "335"},  // spaces around name and value dropped
                      LookupCase{"NavDATA", "iTWS", "10"},   // the first of two wins; comments are skipped
                      LookupCase{"NavDATA", "iwpid", "Att_Dover"},
                      LookupCase{"NavDATA", "Polars", std::nullopt},    // in another section
                      LookupCase{"NMEA", "iAPB", std::nullopt},         // no such section
                      LookupCase{"", "orphan", std::nullopt}));         // before any section

TEST(IniFile, HasSectionIgnoresCase) {
  const IniFile ini(kSample);
  EXPECT_TRUE(ini.HasSection("navdata"));
  EXPECT_TRUE(ini.HasSection("Repertoires"));
  EXPECT_FALSE(ini.HasSection("NMEA"));
}

struct RealCase {
  const char* text;  // nullptr: key missing
  long double expected;
  bool reported;
};

class IniReal : public ::testing::TestWithParam<RealCase> {};

TEST_P(IniReal, ReadsWithTheNumberReader) {
  const RealCase& c = GetParam();
  const IniFile ini(c.text == nullptr ? std::string("[S]\n") : std::string("[S]\nk=") + c.text + "\n");
  BadKeys bad;
  // Missing gives 7, a value that is not a number gives 9 (the previous value).
  EXPECT_EQ(ini.ReadReal("S", "k", 7.0L, 9.0L, &bad), c.expected);
  EXPECT_EQ(bad.size(), c.reported ? 1u : 0u);
  if (c.reported) {
    EXPECT_EQ(bad[0], "k");
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, IniReal,
                         ::testing::Values(RealCase{nullptr, 7.0L, false},
                                           RealCase{"", 0.0L, false},  // present but empty reads 0
                                           RealCase{"12.5", 12.5L, false},
                                           RealCase{"12,5", 12.5L, false},
                                           RealCase{"-4706.5", -4706.5L, false},
                                           RealCase{"abc", 9.0L, true},
                                           RealCase{"1.2.3", 9.0L, true}));

struct IntCase {
  const char* text;
  std::optional<std::int32_t> expected;
};

class IniInteger : public ::testing::TestWithParam<IntCase> {};

TEST_P(IniInteger, ReadsDecimalDigitsOnly) {
  const IntCase& c = GetParam();
  EXPECT_EQ(ParseInteger(c.text), c.expected);
  const IniFile ini(std::string("[COM]\niVit=") + c.text + "\n");
  BadKeys bad;
  EXPECT_EQ(ini.ReadInteger("COM", "iVit", 1, 2, &bad), c.expected.value_or(2));
  EXPECT_EQ(bad.empty(), c.expected.has_value());
}

INSTANTIATE_TEST_SUITE_P(Cases, IniInteger,
                         ::testing::Values(IntCase{"4800", 4800}, IntCase{" 4800 ", 4800}, IntCase{"+5", 5},
                                           IntCase{"-3", -3}, IntCase{"2147483647", 2147483647},
                                           IntCase{"2147483648", std::nullopt}, IntCase{"48.5", std::nullopt},
                                           IntCase{"", std::nullopt}, IntCase{"+-5", std::nullopt},
                                           IntCase{"4800 bauds", std::nullopt}));

struct BoolCase {
  const char* text;
  std::optional<bool> expected;
};

class IniBool : public ::testing::TestWithParam<BoolCase> {};

TEST_P(IniBool, ReadsAnIntegerOrTheWords) {
  const BoolCase& c = GetParam();
  EXPECT_EQ(ParseBool(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniBool,
                         ::testing::Values(BoolCase{"1", true}, BoolCase{"0", false}, BoolCase{"2", true},
                                           BoolCase{"-1", true}, BoolCase{"true", true}, BoolCase{"FALSE", false},
                                           BoolCase{"True", true}, BoolCase{"yes", std::nullopt},
                                           BoolCase{"", std::nullopt}));

TEST(IniFile, MissingOrUnreadableBooleanTakesItsDefaults) {
  const IniFile ini("[S]\nb=oui\n");
  BadKeys bad;
  EXPECT_TRUE(ini.ReadBool("S", "missing", true, false, &bad));
  EXPECT_TRUE(bad.empty());
  EXPECT_FALSE(ini.ReadBool("S", "b", true, false, &bad));
  EXPECT_EQ(bad, BadKeys{"b"});
}

struct RealTextCase {
  long double value;
  const char* text;
};

class IniRealText : public ::testing::TestWithParam<RealTextCase> {};

TEST_P(IniRealText, WritesTheGeneralFormAndReadsBackTheSame) {
  const RealTextCase& c = GetParam();
  EXPECT_EQ(RealText(c.value), c.text);
  // Written, read and written again: the text does not drift.
  IniFile ini;
  ini.WriteReal("S", "k", c.value);
  const long double back = ini.ReadReal("S", "k", -1.0L, -2.0L);
  EXPECT_EQ(RealText(back), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniRealText,
    ::testing::Values(RealTextCase{5104.14L, "5104.14"}, RealTextCase{335.0L, "335"},
                      RealTextCase{-4706.5L, "-4706.5"}, RealTextCase{0.1L, "0.1"},
                      RealTextCase{1.0L / 3.0L, "0.333333333333333"}, RealTextCase{-0.0L, "0"},
                      RealTextCase{51.0L * 100.0L + 4.14L, "5104.14"},
                      RealTextCase{std::numeric_limits<long double>::quiet_NaN(), "0"},
                      RealTextCase{std::numeric_limits<long double>::infinity(), "0"}));

TEST(IniFile, WritingAKeyChangesOnlyItsLine) {
  const std::string before =
      "; comment kept\r\n"
      "[NavDATA]\r\n"
      "ITWS = 10\r\n"
      "unknown=keep me\r\n"
      "\r\n"
      "[COM]\r\n"
      "iVit=4800\r\n";
  IniFile ini(before);
  ini.WriteReal("navdata", "iTWS", 12.5L);
  ini.WriteInteger("com", "IVIT", 9600);
  const std::string after =
      "; comment kept\r\n"
      "[NavDATA]\r\n"
      "ITWS = 12.5\r\n"
      "unknown=keep me\r\n"
      "\r\n"
      "[COM]\r\n"
      "iVit=9600\r\n";
  EXPECT_EQ(ini.Text(), after);
}

TEST(IniFile, AMissingKeyGoesAtTheEndOfItsSectionAndAMissingSectionAtTheEnd) {
  IniFile ini("[A]\na1=1\n\n[B]\nb1=1\n[a]\na2=2");  // no break after the last line
  ini.WriteBool("A", "a3", true);
  ini.WriteString("C", "c1", "x");
  EXPECT_EQ(ini.Text(), "[A]\na1=1\na3=1\n\n[B]\nb1=1\n[a]\na2=2\n[C]\nc1=x\n");
}

TEST(IniFile, KeepsLineBreaksAndTheUtf8Mark) {
  const std::string text = "\xEF\xBB\xBF[S]\r\nk=1\nj=2\r";
  IniFile same(text);
  EXPECT_EQ(same.Text(), text);
  EXPECT_EQ(same.Find("S", "k"), "1");  // the mark is not part of the first section's name
  IniFile ini(text);
  ini.WriteString("T", "t", "3");  // new lines take the file's first break
  EXPECT_EQ(ini.Text(), text + "[T]\r\nt=3\r\n");
}

TEST(IniFile, ALineBreakInAValueCannotSplitTheLine) {
  IniFile ini;
  ini.WriteString("NavDATA", "iWpID", "Att\r\nDover");
  EXPECT_EQ(ini.Find("NavDATA", "iWpID"), "Att  Dover");
  EXPECT_EQ(ini.Text(), "[NavDATA]\niWpID=Att  Dover\n");
}

TEST(IniFile, ADuplicatedKeyIsWrittenWhereItIsRead) {
  IniFile ini("[S]\nk=1\nk=2\n");
  ini.WriteString("S", "k", "3");
  EXPECT_EQ(ini.Text(), "[S]\nk=3\nk=2\n");
  EXPECT_EQ(ini.Find("S", "k"), "3");
}

TEST(IniFile, LoadsAFileAndSavesItBack) {
  testing::TempFolder dir;
  const auto path = dir / "Ventrel.ini";
  IniFile ini;
  IniLoad load = IniFile::Load(path, &ini);
  EXPECT_FALSE(load.found);
  EXPECT_TRUE(load.readable);  // a missing file is not an error
  EXPECT_EQ(ini.Text(), "");

  testing::WriteText(path, kSample);
  load = IniFile::Load(path, &ini);
  EXPECT_TRUE(load.found);
  EXPECT_TRUE(load.readable);
  ini.WriteString("NavDATA", "iHDG", "120");
  ASSERT_TRUE(ini.Save(path).ok);
  std::string expected = kSample;
  expected.replace(expected.find("335  "), 5, "120");
  EXPECT_EQ(testing::ReadText(path), expected);
}

TEST(IniFile, AFolderInPlaceOfTheFileIsUnreadable) {
  testing::TempFolder dir;
  std::filesystem::create_directory(dir / "Ventrel.ini");
  IniFile ini("[S]\nk=1\n");
  const IniLoad load = IniFile::Load(dir / "Ventrel.ini", &ini);
  EXPECT_TRUE(load.found);
  EXPECT_FALSE(load.readable);
  EXPECT_EQ(load.message, "Le fichier « Ventrel.ini » ne peut pas être lu.");
  EXPECT_EQ(ini.Text(), "");
}

TEST(IniFile, BadKeysMessageNamesEveryKey) {
  EXPECT_EQ(BadKeysMessage({}), "");
  EXPECT_EQ(BadKeysMessage({"iTWS"}),
            "La valeur de la clé « iTWS » de la configuration n'est pas un nombre valide : "
            "la valeur précédente est conservée.");
  EXPECT_EQ(BadKeysMessage({"iTWS", "iVit"}),
            "Les valeurs des clés « iTWS », « iVit » de la configuration ne sont pas des nombres valides : "
            "les valeurs précédentes sont conservées.");
}

}  // namespace
}  // namespace ventrel
