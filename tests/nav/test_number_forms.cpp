// The fixed form fixed(x, P, D) and the general form, with "." under any locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <locale>
#include <string>

#include "nav/number_forms.h"

namespace ventrel {
namespace {

struct FixedCase {
  long double x;
  int P;
  int D;
  const char* expected;
};

class FixedForm : public ::testing::TestWithParam<FixedCase> {};
TEST_P(FixedForm, Writes) {
  const FixedCase& c = GetParam();
  EXPECT_EQ(fixedForm(c.x, c.P, c.D), c.expected) << "fixed(" << c.x << ", " << c.P << ", " << c.D << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FixedForm,
    ::testing::Values(FixedCase{123.456L, 5, 2, "123.46"}, FixedCase{123.456L, 4, 2, "123.50"},
                      FixedCase{7.0L, 4, 2, "7.00"}, FixedCase{-0.004L, 5, 2, "0.00"},
                      FixedCase{-2.0L, 5, 2, "-2.00"}, FixedCase{-1.0L, 2, 0, "-1"},
                      FixedCase{99.999L, 4, 2, "100.00"}, FixedCase{0.006L, 5, 2, "0.01"},
                      FixedCase{-0.0004L, 5, 2, "0.00"}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, FixedForm,
    ::testing::Values(
        // Ties are rounded away from zero on the decimal digits.
        FixedCase{0.125L, 5, 2, "0.13"}, FixedCase{-0.125L, 5, 2, "-0.13"}, FixedCase{2.5L, 5, 0, "3"},
        FixedCase{-2.5L, 5, 0, "-3"}, FixedCase{0.5L, 3, 0, "1"}, FixedCase{0.49L, 3, 0, "0"},
        // A long double written with 18 digits: 2.675L prints as 2.67500000000000000.
        FixedCase{2.675L, 5, 2, "2.68"}, FixedCase{1.005L, 5, 2, "1.01"},
        // Zero, negative zero and values that round to zero carry no sign.
        FixedCase{0.0L, 5, 2, "0.00"}, FixedCase{-0.0L, 5, 2, "0.00"}, FixedCase{-0.4L, 3, 0, "0"},
        FixedCase{0.0L, 3, 0, "0"},
        // No leading zeros, small values, padding.
        FixedCase{5.5L, 9, 4, "5.5000"}, FixedCase{530.5L, 9, 4, "530.5000"},
        FixedCase{200.0L, 10, 5, "200.00000"}, FixedCase{0.000123456L, 3, 6, "0.000123"},
        FixedCase{0.05L, 1, 1, "0.1"}, FixedCase{1234.0L, 4, 0, "1234"}, FixedCase{1234.4L, 4, 2, "1234.00"},
        // Carry through nines into a new integer digit.
        FixedCase{9.9999L, 3, 2, "10.00"}, FixedCase{-9.96L, 5, 1, "-10.0"},
        FixedCase{90507.0L, 8, 2, "90507.00"},
        // More integer digits than P: scientific form.
        FixedCase{123456.0L, 3, 2, "1.23E+5"}, FixedCase{-123456.0L, 3, 2, "-1.23E+5"},
        FixedCase{100000.0L, 4, 1, "1E+5"}, FixedCase{9999.6L, 4, 2, "1E+4"}, FixedCase{12345.0L, 4, 0, "1.235E+4"}));

TEST(FixedForm, NonFiniteIsEmpty) {
  EXPECT_EQ(fixedForm(std::numeric_limits<long double>::quiet_NaN(), 5, 2), "");
  EXPECT_EQ(fixedForm(std::numeric_limits<long double>::infinity(), 5, 2), "");
  EXPECT_EQ(fixedForm(-std::numeric_limits<long double>::infinity(), 5, 2), "");
}

struct GeneralCase {
  long double x;
  const char* expected;
};
class GeneralForm : public ::testing::TestWithParam<GeneralCase> {};
TEST_P(GeneralForm, Writes) { EXPECT_EQ(generalForm(GetParam().x), GetParam().expected) << GetParam().x; }
INSTANTIATE_TEST_SUITE_P(
    Table, GeneralForm,
    ::testing::Values(GeneralCase{2.5L, "2.5"}, GeneralCase{0.0L, "0"}, GeneralCase{-0.0L, "0"},
                      GeneralCase{12.0L, "12"}, GeneralCase{-3.75L, "-3.75"}, GeneralCase{0.1L, "0.1"},
                      GeneralCase{1.0L / 3, "0.333333333333333"}, GeneralCase{2.0L / 3, "0.666666666666667"},
                      GeneralCase{123456789012345.0L, "123456789012345"},
                      GeneralCase{1e15L, "1E+15"}, GeneralCase{0.0001L, "0.0001"},
                      GeneralCase{0.00001L, "1E-5"}, GeneralCase{-0.000015L, "-1.5E-5"},
                      GeneralCase{0.1L + 0.2L, "0.3"}, GeneralCase{99.99999999999999L, "100"}));

TEST(GeneralForm, NonFiniteIsEmpty) {
  EXPECT_EQ(generalForm(std::numeric_limits<long double>::quiet_NaN()), "");
}

struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

class FormsUnderCommaLocale : public ::testing::Test {
 protected:
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
  }
};

TEST_F(FormsUnderCommaLocale, CppGlobalLocale) {
  std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  EXPECT_EQ(fixedForm(123.456L, 5, 2), "123.46");
  EXPECT_EQ(fixedForm(123456.0L, 3, 2), "1.23E+5");
  EXPECT_EQ(generalForm(2.5L), "2.5");
}

TEST_F(FormsUnderCommaLocale, CLocale) {
  bool found = false;
  for (const char* n : {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR", "de_DE.UTF-8", "de_DE.utf8", "it_IT.UTF-8"}) {
    if (std::setlocale(LC_ALL, n) != nullptr && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
      found = true;
      break;
    }
  }
  if (!found) GTEST_SKIP() << "no locale with a \",\" decimal point on this machine";
  EXPECT_EQ(fixedForm(123.456L, 5, 2), "123.46");
  EXPECT_EQ(fixedForm(-0.125L, 5, 2), "-0.13");
  EXPECT_EQ(generalForm(2.5L), "2.5");
}

}  // namespace
}  // namespace ventrel
