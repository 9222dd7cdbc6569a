// INI reading and writing: names without regard to case, value forms, lines kept.

#include "files/ini_file.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "files/temp_folder.h"

namespace ventrel {
namespace {

constexpr const char* kSample =
    "; written by hand\norphan=1\n[REPERTOIRES]\nPolars=DefPolars/\n\n[NavDATA]\n  iHDG  =  335  \n"
    "; iTWS=99\niTWS=10\niTWS=12\niWpID=Att_Dover\n[Repertoires]\nExtra=x\n";

TEST(IniFile, FindsSectionsAndKeysWithoutRegardToCase) {
  const IniFile ini(kSample);
  const struct {
    const char* section;
    const char* key;
    std::optional<std::string> expected;
  } cases[] = {{"REPERTOIRES", "Polars", "DefPolars/"}, {"repertoires", "POLARS", "DefPolars/"},
               {"REPERTOIRES", "Extra", "x"},  // the section written again in another case is the same
               {"navdata", "IHDG", "335"},     // spaces around name and value dropped
               {"NavDATA", "iTWS", "10"},      // the first of two wins; comments are skipped
               {"NavDATA", "iwpid", "Att_Dover"},
               {"NavDATA", "Polars", std::nullopt},  // in another section
               {"NMEA", "iAPB", std::nullopt},       // no such section
               {"", "orphan", std::nullopt}};        // before any section
  for (const auto& c : cases) {
    EXPECT_EQ(ini.Find(c.section, c.key), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(ini.HasKey(c.section, c.key), c.expected.has_value()) << c.section << "/" << c.key;
  }
  EXPECT_TRUE(ini.HasSection("navdata"));
  EXPECT_FALSE(ini.HasSection("NMEA"));
}

TEST(IniFile, ReadsRealsIntegersAndBooleans) {
  // Reals: missing gives 7; a value that is not a number gives 9 (the previous value) and is reported.
  const struct {
    const char* text;  // nullptr: key missing
    long double expected;
  } reals[] = {{nullptr, 7},        {"", 0},    {"12.5", 12.5L},   {"12,5", 12.5L},
               {"-4706.5", -4706.5L}, {"abc", 9}, {"1.2.3", 9}};
  for (const auto& c : reals) {
    SCOPED_TRACE(c.text ? c.text : "missing");
    BadKeys bad;
    const IniFile ini(std::string("[S]\n") + (c.text ? std::string("k=") + c.text + "\n" : ""));
    EXPECT_EQ(ini.ReadReal("S", "k", 7, 9, &bad), c.expected);
    EXPECT_EQ(bad, (c.expected == 9 ? BadKeys{{"S", "k", c.text, "n'est pas un nombre"}} : BadKeys{}));
  }
  // Integers: decimal digits only, within 32 bits.
  const struct {
    const char* text;
    std::optional<std::int32_t> expected;
  } ints[] = {{"4800", 4800},         {" 4800 ", 4800},    {"+5", 5},        {"-3", -3},
              {"2147483647", 2147483647}, {"2147483648", std::nullopt}, {"48.5", std::nullopt},
              {"", std::nullopt},     {"+-5", std::nullopt}, {"4800 bauds", std::nullopt}};
  for (const auto& c : ints) {
    EXPECT_EQ(ParseInteger(c.text), c.expected) << c.text;
    BadKeys bad;
    EXPECT_EQ(IniFile(std::string("[COM]\niVit=") + c.text + "\n").ReadInteger("COM", "iVit", 1, 2, &bad),
              c.expected.value_or(2))
        << c.text;
    EXPECT_EQ(bad.empty(), c.expected.has_value()) << c.text;
  }
  // Booleans: an integer or the words.
  const struct {
    const char* text;
    std::optional<bool> expected;
  } bools[] = {{"1", true},     {"0", false},       {"2", true}, {"-1", true}, {"true", true},
               {"FALSE", false}, {"True", true},    {"yes", std::nullopt}, {"", std::nullopt}};
  for (const auto& c : bools) EXPECT_EQ(ParseBool(c.text), c.expected) << c.text;
  const IniFile ini("[S]\nb=oui\n");
  BadKeys bad;
  EXPECT_TRUE(ini.ReadBool("S", "missing", true, false, &bad));
  EXPECT_FALSE(ini.ReadBool("S", "b", true, false, &bad));
  EXPECT_EQ(bad, (BadKeys{{"S", "b", "oui", "n'est ni 0, ni 1, ni true, ni false"}}));
}

TEST(IniFile, WritesRealsInTheGeneralFormThatReadBackTheSame) {
  const struct {
    long double value;
    const char* text;
  } cases[] = {{5104.14L, "5104.14"}, {335.0L, "335"}, {-4706.5L, "-4706.5"}, {0.1L, "0.1"},
               {1.0L / 3.0L, "0.333333333333333"}, {-0.0L, "0"}, {51.0L * 100.0L + 4.14L, "5104.14"},
               {std::numeric_limits<long double>::quiet_NaN(), "0"},
               {std::numeric_limits<long double>::infinity(), "0"}};
  for (const auto& c : cases) {
    EXPECT_EQ(RealText(c.value), c.text);
    IniFile ini;  // written, read and written again: the text does not drift
    ini.WriteReal("S", "k", c.value);
    EXPECT_EQ(RealText(ini.ReadReal("S", "k", -1.0L, -2.0L)), c.text);
  }
}

TEST(IniFile, WritingKeysChangesOnlyTheirLines) {
  IniFile ini("; comment kept\r\n[NavDATA]\r\nITWS = 10\r\nunknown=keep me\r\n\r\n[COM]\r\niVit=4800\r\n");
  ini.WriteReal("navdata", "iTWS", 12.5L);
  ini.WriteInteger("com", "IVIT", 9600);
  EXPECT_EQ(ini.Text(), "; comment kept\r\n[NavDATA]\r\nITWS = 12.5\r\nunknown=keep me\r\n\r\n[COM]\r\niVit=9600\r\n");
  // A missing key goes at the end of its section, a missing section at the end.
  IniFile more("[A]\na1=1\n\n[B]\nb1=1\n[a]\na2=2");  // no break after the last line
  more.WriteBool("A", "a3", true);
  more.WriteString("C", "c1", "x");
  EXPECT_EQ(more.Text(), "[A]\na1=1\na3=1\n\n[B]\nb1=1\n[a]\na2=2\n[C]\nc1=x\n");
  // A duplicated key is written where it is read.
  IniFile dup("[S]\nk=1\nk=2\n");
  dup.WriteString("S", "k", "3");
  EXPECT_EQ(dup.Text(), "[S]\nk=3\nk=2\n");
  // A line break in a value cannot split the line.
  IniFile name;
  name.WriteString("NavDATA", "iWpID", "Att\r\nDover");
  EXPECT_EQ(name.Text(), "[NavDATA]\niWpID=Att  Dover\n");
}

TEST(IniFile, KeepsLineBreaksAndTheUtf8Mark) {
  const std::string text = "\xEF\xBB\xBF[S]\r\nk=1\nj=2\r";
  IniFile ini(text);
  EXPECT_EQ(ini.Text(), text);
  EXPECT_EQ(ini.Find("S", "k"), "1");  // the mark is not part of the first section's name
  ini.WriteString("T", "t", "3");      // new lines take the file's first break
  EXPECT_EQ(ini.Text(), text + "[T]\r\nt=3\r\n");
}

TEST(IniFile, LoadsAndSavesAFile) {
  testing::TempFolder dir;
  const auto path = dir / "Ventrel.ini";
  IniFile ini;
  IniLoad load = IniFile::Load(path, &ini);
  EXPECT_FALSE(load.found);
  EXPECT_TRUE(load.readable);  // a missing file is not an error
  testing::WriteText(path, kSample);
  load = IniFile::Load(path, &ini);
  EXPECT_TRUE(load.found && load.readable);
  ini.WriteString("NavDATA", "iHDG", "120");
  ASSERT_TRUE(ini.Save(path).ok);
  std::string expected = kSample;
  expected.replace(expected.find("335  "), 5, "120");
  EXPECT_EQ(testing::ReadText(path), expected);
  // A folder in place of the file cannot be read.
  std::filesystem::create_directory(dir / "folder.ini");
  load = IniFile::Load(dir / "folder.ini", &ini);
  EXPECT_TRUE(load.found);
  EXPECT_FALSE(load.readable);
  EXPECT_EQ(load.message, "Le fichier « folder.ini » ne peut pas être lu.");
  EXPECT_EQ(ini.Text(), "");
}

TEST(IniFile, BadKeysMessageNamesSectionKeyAndValueOnceAndEscapesRawBytes) {
  EXPECT_EQ(BadKeysMessage({}), "");
  // The heading and the sentence switch share a key name: each line says its section.
  EXPECT_EQ(BadKeysMessage({{"NavDATA", "iHDG", "x", "n'est pas un nombre"},
                            {"NMEA", "iHDG", "oui", "n'est ni 0, ni 1, ni true, ni false"}}),
            "Configuration : [NavDATA] iHDG = « x » n'est pas un nombre, la valeur précédente est conservée.\n"
            "Configuration : [NMEA] iHDG = « oui » n'est ni 0, ni 1, ni true, ni false, "
            "la valeur précédente est conservée.");
  // Bytes of a bad file are never echoed raw (ShownValue has the details).
  EXPECT_EQ(BadKeysMessage({{"NavDATA", "iTWS", std::string("1\0\x1B", 3), "n'est pas un nombre"}}),
            "Configuration : [NavDATA] iTWS = « 1\\x00\\x1B » n'est pas un nombre, la valeur précédente est conservée.");
}

}  // namespace
}  // namespace ventrel
