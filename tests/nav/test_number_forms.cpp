// The fixed form fixed(x, P, D) and the general form; numbers written and read
// with "." under any locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <limits>
#include <locale>
#include <string>

#include "nav/number_forms.h"
#include "nav/number_read.h"

namespace ventrel {
namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

TEST(FixedForm, Table) {
  const struct {
    long double x;
    int P, D;
    const char* expected;
  } cases[] = {
      // The worked examples.
      {123.456L, 5, 2, "123.46"}, {123.456L, 4, 2, "123.50"}, {7.0L, 4, 2, "7.00"}, {-0.004L, 5, 2, "0.00"},
      {-2.0L, 5, 2, "-2.00"}, {-1.0L, 2, 0, "-1"}, {99.999L, 4, 2, "100.00"}, {0.006L, 5, 2, "0.01"},
      {-0.0004L, 5, 2, "0.00"},
      // Ties are rounded away from zero on the decimal digits.
      {0.125L, 5, 2, "0.13"}, {-0.125L, 5, 2, "-0.13"}, {2.5L, 5, 0, "3"}, {-2.5L, 5, 0, "-3"}, {0.5L, 3, 0, "1"},
      {0.49L, 3, 0, "0"},
      // A long double written with 18 digits: 2.675L prints as 2.67500000000000000.
      {2.675L, 5, 2, "2.68"}, {1.005L, 5, 2, "1.01"},
      // Zero, negative zero and values that round to zero carry no sign.
      {0.0L, 5, 2, "0.00"}, {-0.0L, 5, 2, "0.00"}, {-0.4L, 3, 0, "0"}, {0.0L, 3, 0, "0"},
      // No leading zeros, small values, padding.
      {5.5L, 9, 4, "5.5000"}, {530.5L, 9, 4, "530.5000"}, {200.0L, 10, 5, "200.00000"}, {0.05L, 1, 1, "0.1"},
      {0.000123456L, 3, 6, "0.000123"}, {1234.0L, 4, 0, "1234"}, {1234.4L, 4, 2, "1234.00"},
      // Carry through nines into a new integer digit.
      {9.9999L, 3, 2, "10.00"}, {-9.96L, 5, 1, "-10.0"}, {90507.0L, 8, 2, "90507.00"},
      // More integer digits than P: scientific form.
      {123456.0L, 3, 2, "1.23E+5"}, {-123456.0L, 3, 2, "-1.23E+5"}, {100000.0L, 4, 1, "1E+5"},
      {9999.6L, 4, 2, "1E+4"}, {12345.0L, 4, 0, "1.235E+4"},
      // Not finite: an empty text, never "nan" or "inf".
      {kNaN, 5, 2, ""}, {kInf, 5, 2, ""}, {-kInf, 5, 2, ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(fixedForm(c.x, c.P, c.D), c.expected) << "fixed(" << c.x << ", " << c.P << ", " << c.D << ")";
  }
}

TEST(GeneralForm, Table) {
  const struct {
    long double x;
    const char* expected;
  } cases[] = {{2.5L, "2.5"}, {0.0L, "0"}, {-0.0L, "0"}, {12.0L, "12"}, {-3.75L, "-3.75"}, {0.1L, "0.1"},
               {1.0L / 3, "0.333333333333333"}, {2.0L / 3, "0.666666666666667"}, {1e15L, "1E+15"},
               {123456789012345.0L, "123456789012345"}, {0.0001L, "0.0001"}, {0.00001L, "1E-5"},
               {-0.000015L, "-1.5E-5"}, {0.1L + 0.2L, "0.3"}, {99.99999999999999L, "100"}, {kNaN, ""}};
  for (const auto& c : cases) EXPECT_EQ(generalForm(c.x), c.expected) << c.x;
}

// The machine's decimal comma, in the C++ global locale (always available) and in
// the C locale when the machine has one, never reaches a number written or read.
struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(CommaLocale, DoesNotMatter) {
  std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  for (const char* c : {"C", "fr_FR.UTF-8", "fr_FR.utf8", "fr_FR", "de_DE.UTF-8", "de_DE.utf8", "it_IT.UTF-8"}) {
    if (std::setlocale(LC_ALL, c) == nullptr) continue;
    if (std::string(c) != "C" && std::strcmp(std::localeconv()->decimal_point, ",") != 0) continue;
    SCOPED_TRACE(c);
    EXPECT_EQ(fixedForm(123.456L, 5, 2), "123.46");
    EXPECT_EQ(fixedForm(-0.125L, 5, 2), "-0.13");
    EXPECT_EQ(fixedForm(123456.0L, 3, 2), "1.23E+5");
    EXPECT_EQ(generalForm(2.5L), "2.5");
    EXPECT_EQ(Val_Str_Flott("12.5").value, 12.5L);
    EXPECT_EQ(Val_Str_Flott("12,5").value, 12.5L);
    EXPECT_EQ(Val_Str_Flott("12,5", DecimalSeparator{','}).value, 12.5L);
    EXPECT_FALSE(Val_Str_Flott("1.2.3").ok);
    EXPECT_FALSE(Val_Str_Flott("1,2,3").ok);
  }
  std::setlocale(LC_ALL, "C");
  std::locale::global(std::locale::classic());
}

}  // namespace
}  // namespace ventrel
