// Framing, checksum and the field forms.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "nav/conversions.h"
#include "nav/number_forms.h"
#include "nmea/frame.h"
#include "scene.h"

namespace ventrel::test {
namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

TEST(Checksum, HexaWritesTwoUpperCaseDigitsHighNibbleFirst) {
  EXPECT_EQ(hexa(0x00), "00");
  EXPECT_EQ(hexa(0x0C), "0C");
  EXPECT_EQ(hexa(0xA5), "A5");
  EXPECT_EQ(hexa(0xFF), "FF");
}

TEST(Checksum, XorBetweenDollarAndStar) {
  struct Case {
    const char* text;
    std::uint8_t x;
  };
  const Case cases[] = {
      {"$abc*60", 0x60},
      {"$HCHDT,123.40,T,*", 0x31},
      {"$SDMTW,15.50,C*35", 0x35},
      {"$GPGSA,A,3,13,15,20,21,28,30,,,,,,,04.0,03.1,02.4*0C", 0x0C},
      {"noise$abc*de*", 0x60},  // only what lies between the first "$" and the first "*"
      {"$*", 0x00},
      {"abc*", 0x00},  // no "$"
  };
  for (const auto& c : cases) EXPECT_EQ(Check_XOR(c.text, '$', '*'), c.x) << c.text;
  EXPECT_EQ(Chksum_Add("$abc*"), "60");
  EXPECT_EQ(Chksum_Add("$HCHDT,123.40,T,*"), "31");
}

TEST(Frame, DollarTalkerTypeFieldsStarChecksum) {
  const std::vector<std::string> hdt = {"123.40", "T", ""};
  EXPECT_EQ(FrameSentence("HC", "HDT", hdt), "$HCHDT,123.40,T,*31");
  const std::vector<std::string> mtw = {"15.50", "C"};
  EXPECT_EQ(FrameSentence("SD", "MTW", mtw), "$SDMTW,15.50,C*35");
}

TEST(Frame, EightyTwoCharactersWithCrLfAndNoMore) {
  // Body "GPXXX" + ",<field>": 5 + 1 + 70 = 76, the most that fits.
  std::vector<std::string> f = {std::string(70, 'a')};
  auto s = FrameSentence("GP", "XXX", f);
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->size() + CRLF.size(), kMaxSentence);
  EXPECT_EQ(s->substr(s->size() - 2), OwnChecksum(*s));
  // One more character: refused without a field to cut...
  f[0] += 'a';
  EXPECT_FALSE(FrameSentence("GP", "XXX", f).has_value());
  // ...cut by one when the field may be shortened.
  s = FrameSentence("GP", "XXX", f, 0);
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->size() + 2, kMaxSentence);
  EXPECT_EQ(*s, "$GPXXX," + std::string(70, 'a') + "*" + OwnChecksum(*s));
  // A field too short to absorb the excess: refused.
  const std::vector<std::string> g = {std::string(75, 'b'), "ab"};
  EXPECT_FALSE(FrameSentence("GP", "XXX", g, 1).has_value());
  // A fit index outside the fields: refused, not read.
  EXPECT_FALSE(FrameSentence("GP", "XXX", g, 5).has_value());
}

TEST(FieldForms, AnglesAreWrittenInZeroTo360) {
  struct Case {
    long double x;
    const char* text;
  };
  const Case cases[] = {
      {45.0L, "45.00"},   {-2.0L, "358.00"},    {361.9L, "1.90"},    {359.999L, "0.00"},
      {360.0L, "0.00"},   {720.5L, "0.50"},     {-0.001L, "0.00"},   {-1e-20L, "0.00"},
      {359.994L, "359.99"}, {-360.0L, "0.00"},  {0.0L, "0.00"},      {kNaN, ""},
      {kInf, ""},         {-kInf, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(AngleField(c.x, 5, 2), c.text) << static_cast<double>(c.x);
}

TEST(FieldForms, FixedFormOfTheSentenceFields) {
  EXPECT_EQ(fixedForm(99.999L, 4, 2), "100.00");
  EXPECT_EQ(fixedForm(123.456L, 4, 2), "123.50");
  EXPECT_EQ(fixedForm(-2.0L, 5, 2), "-2.00");
  EXPECT_EQ(fixedForm(-0.004L, 5, 2), "0.00");
  EXPECT_EQ(fixedForm(kNaN, 5, 2), "");
}

TEST(FieldForms, LatitudeAndLongitudeRoundThenCarry) {
  struct Case {
    long double dmd;
    int P, D;
    const char* text;
  };
  const Case cases[] = {
      {5.305L, 9, 4, "530.5000"},        // 5°30.5'
      {-2.0L, 10, 5, "200.00000"},       // 2°00.0' W: no sign in the field
      {12.5999999994L, 9, 4, "1300.0000"},
      {12.59994L, 9, 4, "1259.9940"},
      {179.5999L, 9, 4, "17959.9900"},
      {179.5999L, 10, 5, "17959.99000"},
      {0.0L, 9, 4, "0.0000"},
      {89.59999999L, 9, 4, "9000.0000"},
      {kNaN, 9, 4, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DmdField(c.dmd, c.P, c.D), c.text) << static_cast<double>(c.dmd);
  }
  EXPECT_EQ(LatField(12.999999999L).value, "1300.0000");
  EXPECT_EQ(LatField(0.0L).letter, "S");
  EXPECT_EQ(LatField(1e-9L).letter, "N");
  EXPECT_EQ(LatField(-33.5L).value, "3330.0000");
  EXPECT_EQ(LatField(-33.5L).letter, "S");
  EXPECT_EQ(LonField(190.0L, 10, 5).value, "17000.00000");
  EXPECT_EQ(LonField(190.0L, 10, 5).letter, "W");
  EXPECT_EQ(LonField(360.0L, 10, 5).value, "0.00000");
  EXPECT_EQ(LonField(360.0L, 10, 5).letter, "E");
  EXPECT_EQ(LonField(0.0L, 9, 4).letter, "E");
  EXPECT_EQ(LonField(-1.5L, 9, 4).value, "130.0000");  // a geographic west longitude
  EXPECT_EQ(LonField(-1.5L, 9, 4).letter, "W");
  EXPECT_EQ(LonField(kNaN, 9, 4).letter, "");
}

TEST(FieldForms, TimesDatesAndDurations) {
  EXPECT_EQ(TimeText(9, 5, 7), "090507.00");
  EXPECT_EQ(TimeText(0, 0, 0), "000000.00");
  EXPECT_EQ(DateText(6, 12, 2026), "061226");
  EXPECT_EQ(DateText(1, 1, 2000), "010100");
  EXPECT_EQ(DurationText(7.0825L), "070825.00");
  EXPECT_EQ(DurationText(3.2540L), "032540.00");
  EXPECT_EQ(DurationText(0.0059L), "000059.00");
  EXPECT_EQ(DurationText(0.0L), "000000.00");
  EXPECT_EQ(DurationText(dec_dms(20.0L / 6.0L)), "032000.00");  // 20 miles at 6 knots
  EXPECT_EQ(DurationText(-1.0L), "");
  EXPECT_EQ(DurationText(kNaN), "");
}

TEST(FieldForms, NamesAreMadeSafe) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"Att_Dover", "Att_Dover"},
      {"A,B*C$D!E\\F^G~H", "A_B_C_D_E_F_G_H"},
      {"tab\there\r\n", "tab_here__"},
      {"\x7f", "_"},
      {"\u00c9cr\u00e9hou", "Ecrehou"},
      {"Gro\u00dfe \u00c6gir \u0152il", "Grosse AEgir OEil"},
      {"\u0141\u00f3d\u017a", "Lodz"},
      {"e\u0301t\u00e9", "ete"},   // a combining accent is dropped with the accent
      {"\xff" "ab", "_ab"},        // a byte that is not UTF-8
      {"\xc3", "_"},               // a character cut short
      {"\xe0\x80\x80", "___"},     // an overlong form
      {"\u20ac5", "_5"},
      {"\u6771\u4eac", "__"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizeName(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace ventrel::test
