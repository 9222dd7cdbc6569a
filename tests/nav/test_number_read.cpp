// The number reader: either separator, strict whole-text reading, one message on
// failure. Its independence from the locale is tested with the number forms.
#include <gtest/gtest.h>

#include <string>

#include "nav/number_forms.h"
#include "nav/number_read.h"

namespace ventrel {
namespace {

// Every digit of the extended real, on every system (a library may read a long
// double through a double): the nearest long double, the bounds.
TEST(ReadLongDouble, GivesTheNearestExtendedReal) {
  const struct {
    const char* text;
    std::errc ec;
    long double value;  // when ec is none
    std::size_t taken;  // characters read
  } cases[] = {{"5.3", std::errc(), 5.3L, 3},
               {"0.1", std::errc(), 0.1L, 3},
               {"5104.14", std::errc(), 5104.14L, 7},
               {"123456789.123456789", std::errc(), 123456789.123456789L, 19},
               {"1e-4900", std::errc(), 1e-4900L, 7},
               {"3e-4950", std::errc::result_out_of_range, 0, 7},  // subnormal
               {"1e-5000", std::errc::result_out_of_range, 0, 7},
               {"1e5000", std::errc::result_out_of_range, 0, 6},
               {"2.5x", std::errc(), 2.5L, 3},
               {"x2", std::errc::invalid_argument, 0, 0}};
  for (const auto& c : cases) {
    const std::string text = c.text;
    long double v = -1.0L;
    const auto [ptr, ec] = ReadLongDouble(text.data(), text.data() + text.size(), v);
    EXPECT_EQ(ec, c.ec) << c.text;
    if (c.ec != std::errc::invalid_argument) {
      EXPECT_EQ(static_cast<std::size_t>(ptr - text.data()), c.taken) << c.text;
    }
    EXPECT_EQ(v, c.ec == std::errc() ? c.value : -1.0L) << c.text;  // untouched when refused
  }
}

TEST(ValStrFlott, ReadsEitherSeparatorAndRefusesOnceWhatIsNoNumber) {
  constexpr long double kBad = -65535.0L;
  const struct {
    const char* text;
    char sep;
    long double value;  // kBad: not a number, one message, never a loop
  } cases[] = {{"", '.', 0.0L},       {"12,5", '.', 12.5L},     {"12.5", ',', 12.5L},  {"12.5", '.', 12.5L},
               {"12,5", ',', 12.5L},  {"-3.25", '.', -3.25L},   {"+7", '.', 7.0L},     {"  45.5 ", '.', 45.5L},
               {"1e3", '.', 1000.0L}, {"2,5E-1", '.', 0.25L},   {".5", '.', 0.5L},     {"-0", '.', 0.0L},
               {"abc", '.', kBad},    {"abc", ',', kBad},       {"1.2.3", '.', kBad},  {"1,2,3", ',', kBad},
               {"1.234,5", '.', kBad}, {"12a", '.', kBad},      {"   ", '.', kBad},    {"inf", '.', kBad},
               {"nan", '.', kBad},    {"1e99999", '.', kBad},   {"--5", '.', kBad},    {"+-5", '.', kBad},
               {"0x10", '.', kBad},   {"-", '.', kBad}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << '"' << c.text << "\" sep " << c.sep);
    int messages = 0;
    const NumberRead r = Val_Str_Flott(c.text, DecimalSeparator{c.sep}, [&](const std::string& m) {
      ++messages;
      EXPECT_EQ(m, kMsgSeparateur);
    });
    EXPECT_EQ(r.ok, c.value != kBad);
    EXPECT_NEAR(r.value, c.value, 1e-15L);
    EXPECT_EQ(messages, c.value != kBad ? 0 : 1);
  }
}

TEST(ValStrFlott, ATextLongerThan255CharactersIsRefusedNotCut) {
  const struct {
    std::string text;
    bool ok;
  } cases[] = {{std::string(255, '1'), true},
               {"1" + std::string(254, '0'), true},
               {std::string(255, '1') + "x", false},  // the "x" used to be left out and 1.1E+254 read
               {"1" + std::string(300, '0'), false},  // not 1E+254
               {std::string(256, '1'), false},
               {"  " + std::string(254, '7'), false}};
  for (const auto& c : cases) {
    int messages = 0;
    const NumberRead r = Val_Str_Flott(c.text, DecimalSeparator{}, [&](const std::string&) { ++messages; });
    EXPECT_EQ(r.ok, c.ok) << c.text.size() << " characters";
    EXPECT_EQ(messages, c.ok ? 0 : 1);
  }
}

// The general form writes 15 significant digits: the smallest normal long double,
// 3.3621031431120935e-4932, is written 3.36210314311209E-4932, below it, which
// from_chars refuses. Such magnitudes read as 0, so what is read is written in a form
// that reads back (found by the configuration fuzz target).
TEST(ValStrFlott, AMagnitudeBelowTheTinyBoundReadsAs0AndWhatIsReadReadsBack) {
  const struct {
    const char* text;
    long double value;
  } cases[] = {{"3.3621031431120935063e-4932", 0.0L}, {"3.36210314311209E-4932", 0.0L},
               {"1e-4940", 0.0L},  // too small for a long double
               {"-1e-99999", 0.0L}, {"9,99e-4901", 0.0L},  {"1e-4900", 1e-4900L},
               {"-2.5e-4899", -2.5e-4899L}, {"1.5E+4000", 1.5E+4000L}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const NumberRead r = Val_Str_Flott(c.text);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.value, c.value);
    const NumberRead again = Val_Str_Flott(generalForm(r.value));
    ASSERT_TRUE(again.ok) << generalForm(r.value);
    EXPECT_NEAR(again.value / (c.value == 0.0L ? 1.0L : c.value), c.value == 0.0L ? 0.0L : 1.0L, 1e-14L);
  }
  EXPECT_FALSE(Val_Str_Flott("1e5000").ok);  // too large: not a number
  EXPECT_FALSE(Val_Str_Flott("1e-").ok);
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

}  // namespace
}  // namespace ventrel
