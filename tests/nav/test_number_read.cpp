// The number reader: either separator, strict whole-text reading, one message on
// failure, independence from the process locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale>
#include <string>
#include <vector>

#include "nav/number_read.h"

namespace ventrel {
namespace {

struct ReadCase {
  const char* text;
  char sep;
  bool ok;
  long double value;
};

class ValStrFlott : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ValStrFlott, Reads) {
  const ReadCase& c = GetParam();
  int messages = 0;
  std::string last;
  const NumberRead r = Val_Str_Flott(c.text, DecimalSeparator{c.sep}, [&](const std::string& m) {
    ++messages;
    last = m;
  });
  EXPECT_EQ(r.ok, c.ok) << '"' << c.text << "\" sep " << c.sep;
  EXPECT_NEAR(r.value, c.value, 1e-15L) << '"' << c.text << '"';
  if (c.ok) {
    EXPECT_EQ(messages, 0);
  } else {
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(last, kMsgSeparateur);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValStrFlott,
    ::testing::Values(ReadCase{"", '.', true, 0.0L}, ReadCase{"12,5", '.', true, 12.5L},
                      ReadCase{"12.5", ',', true, 12.5L}, ReadCase{"12.5", '.', true, 12.5L},
                      ReadCase{"12,5", ',', true, 12.5L}, ReadCase{"-3.25", '.', true, -3.25L},
                      ReadCase{"+7", '.', true, 7.0L}, ReadCase{"  45.5 ", '.', true, 45.5L},
                      ReadCase{"1e3", '.', true, 1000.0L}, ReadCase{"2,5E-1", '.', true, 0.25L},
                      ReadCase{".5", '.', true, 0.5L}, ReadCase{"-0", '.', true, 0.0L},
                      // Not numbers: one message each, never a loop.
                      ReadCase{"abc", '.', false, -65535.0L}, ReadCase{"abc", ',', false, -65535.0L},
                      ReadCase{"1.2.3", '.', false, -65535.0L}, ReadCase{"1,2,3", ',', false, -65535.0L},
                      ReadCase{"1.234,5", '.', false, -65535.0L}, ReadCase{"12a", '.', false, -65535.0L},
                      ReadCase{"   ", '.', false, -65535.0L}, ReadCase{"inf", '.', false, -65535.0L},
                      ReadCase{"nan", '.', false, -65535.0L}, ReadCase{"1e99999", '.', false, -65535.0L},
                      ReadCase{"--5", '.', false, -65535.0L}, ReadCase{"+-5", '.', false, -65535.0L},
                      ReadCase{"0x10", '.', false, -65535.0L}, ReadCase{"-", '.', false, -65535.0L}));

TEST(ValStrFlott, OnlyFirst255CharactersCount) {
  std::string text(255, '1');
  text += "x";  // beyond the 255 characters read
  const NumberRead r = Val_Str_Flott(text);
  EXPECT_TRUE(r.ok);
  EXPECT_GT(r.value, 1e254L);
}

TEST(ValStrFlott, NoReportGivenStillFails) {
  const NumberRead r = Val_Str_Flott("abc");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.value, -65535.0L);
}

TEST(ValOr, KeepsPreviousValueOnFailure) {
  int messages = 0;
  auto count = [&](const std::string&) { ++messages; };
  EXPECT_EQ(ValOr("abc", 12.0L, count), 12.0L);
  EXPECT_EQ(messages, 1);
  EXPECT_EQ(ValOr("3,5", 12.0L, count), 3.5L);
  EXPECT_EQ(ValOr("", 12.0L, count), 0.0L);
  EXPECT_EQ(messages, 1);
}

TEST(ResetDefDecSep, ForcesPoint) {
  DecimalSeparator ds{','};
  ResetDefDecSep(ds);
  EXPECT_EQ(ds.sep, '.');
}

// A C++ locale whose decimal point is ",", always available.
struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

// Sets the C locale to one with a "," decimal point when the machine has one.
// Returns false when none exists.
bool setCommaCLocale() {
  const char* names[] = {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR", "de_DE.UTF-8", "de_DE.utf8",
                         "fr_BE.UTF-8", "it_IT.UTF-8", "es_ES.UTF-8", "ru_RU.UTF-8"};
  for (const char* n : names) {
    if (std::setlocale(LC_ALL, n) != nullptr && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
      return true;
    }
  }
  std::setlocale(LC_ALL, "C");
  return false;
}

class CommaLocale : public ::testing::Test {
 protected:
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
  }
};

TEST_F(CommaLocale, GlobalCppLocaleDoesNotMatter) {
  std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  EXPECT_EQ(Val_Str_Flott("12.5").value, 12.5L);
  EXPECT_EQ(Val_Str_Flott("12,5").value, 12.5L);
  EXPECT_FALSE(Val_Str_Flott("1.2.3").ok);
}

TEST_F(CommaLocale, CLocaleDoesNotMatter) {
  if (!setCommaCLocale()) GTEST_SKIP() << "no locale with a \",\" decimal point on this machine";
  EXPECT_EQ(Val_Str_Flott("12.5").value, 12.5L);
  EXPECT_EQ(Val_Str_Flott("12,5").value, 12.5L);
  EXPECT_EQ(Val_Str_Flott("12,5", DecimalSeparator{','}).value, 12.5L);
  EXPECT_FALSE(Val_Str_Flott("1,2,3").ok);
}

}  // namespace
}  // namespace ventrel
