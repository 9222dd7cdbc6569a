// Framing, checksum and the field forms.

#include <gtest/gtest.h>

#include <limits>

#include "nav/conversions.h"
#include "nmea/frame.h"
#include "scene.h"

namespace ventrel::test {
namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

TEST(Checksum, XorBetweenDollarAndStarAsTwoUpperCaseDigits) {
  EXPECT_EQ(hexa(0x00) + hexa(0x0C) + hexa(0xA5) + hexa(0xFF), "000CA5FF");
  const struct {
    const char* text;
    std::uint8_t x;
  } cases[] = {{"$abc*60", 0x60},
               {"$HCHDT,123.40,T,*", 0x31},
               {"$GPGSA,A,3,13,15,20,21,28,30,,,,,,,04.0,03.1,02.4*0C", 0x0C},
               {"noise$abc*de*", 0x60},  // only what lies between the first "$" and the first "*"
               {"$*", 0x00},
               {"abc*", 0x00}};  // no "$"
  for (const auto& c : cases) EXPECT_EQ(Check_XOR(c.text, '$', '*'), c.x) << c.text;
  EXPECT_EQ(Chksum_Add("$HCHDT,123.40,T,*"), "31");
}

TEST(Frame, DollarTalkerTypeFieldsStarChecksumInEightyTwoCharacters) {
  EXPECT_EQ(FrameSentence("HC", "HDT", std::vector<std::string>{"123.40", "T", ""}), "$HCHDT,123.40,T,*31");
  EXPECT_EQ(FrameSentence("SD", "MTW", std::vector<std::string>{"15.50", "C"}), "$SDMTW,15.50,C*35");
  // Body "GPXXX" + ",<field>": 5 + 1 + 70 = 76, the most that fits with CR LF.
  std::vector<std::string> f = {std::string(70, 'a')};
  auto s = FrameSentence("GP", "XXX", f);
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->size() + CRLF.size(), kMaxSentence);
  EXPECT_EQ(s->substr(s->size() - 2), OwnChecksum(*s));
  f[0] += 'a';  // one more: refused without a field to cut, cut by one when it may be shortened
  EXPECT_FALSE(FrameSentence("GP", "XXX", f).has_value());
  EXPECT_EQ(FrameSentence("GP", "XXX", f, 0), *s);
  // A field too short to absorb the excess, or a fit index outside the fields: refused.
  const std::vector<std::string> g = {std::string(75, 'b'), "ab"};
  EXPECT_FALSE(FrameSentence("GP", "XXX", g, 1).has_value());
  EXPECT_FALSE(FrameSentence("GP", "XXX", g, 5).has_value());
}

// No receiver reads "1E+20" as a number: a field that starts like a number must
// be a plain decimal, or the sentence is not framed. Names are free.
TEST(Frame, ANumberInScientificFormIsRefusedButANameMayLookLikeOne) {
  const struct {
    std::vector<std::string> fields;
    int fit;
    std::uint64_t names;
    bool framed;
  } cases[] = {
      {{"12", "-0.40", "070825.00", ".5", "+3", "", "T", "GP", "N"}, -1, 0, true},
      {{"1E+20", "T"}, -1, 0, false},
      {{"-3.28E+20", "f"}, -1, 0, false},
      {{"1e-05"}, -1, 0, false},
      {{"4E+2", "T"}, -1, 0, false},
      {{"1.2.3"}, -1, 0, false},
      {{"-"}, -1, 0, false},
      {{"12", "1E5"}, 1, 0, true},             // the waypoint name, the field that may be cut
      {{"1E5", "2E5", "A"}, 1, 1U << 0, true},  // two names
      {{"1E5", "2E5", "3E5"}, 1, 1U << 0, false},
  };
  for (const auto& c : cases) {
    std::string out = "old";
    std::string fault;
    EXPECT_EQ(FrameSentenceInto(out, "GP", "XXX", c.fields, c.fit, c.names, &fault), c.framed) << c.fields[0];
    EXPECT_EQ(out.empty(), !c.framed);
    EXPECT_EQ(fault.empty(), c.framed) << fault;
    EXPECT_EQ(FrameSentence("GP", "XXX", c.fields, c.fit, c.names).has_value(), c.framed);
  }
  std::string out, fault;
  EXPECT_FALSE(FrameSentenceInto(out, "SD", "DBK", std::vector<std::string>{"-3.28E+20", "f"}, -1, 0, &fault));
  EXPECT_EQ(fault, "DBK : le champ 1 « -3.28E+20 » n'est pas un nombre décimal simple");
}

TEST(FieldForms, AnglesAreWrittenInZeroTo360) {
  const struct {
    long double x;
    const char* text;
  } cases[] = {{45.0L, "45.00"},     {-2.0L, "358.00"},    {361.9L, "1.90"}, {359.999L, "0.00"}, {360.0L, "0.00"},
               {720.5L, "0.50"},     {-0.001L, "0.00"},    {-1e-20L, "0.00"}, {359.994L, "359.99"},
               {-360.0L, "0.00"},    {0.0L, "0.00"},       {kNaN, ""},        {kInf, ""},         {-kInf, ""}};
  for (const auto& c : cases) EXPECT_EQ(AngleField(c.x, 5, 2), c.text) << static_cast<double>(c.x);
}

// Minutes are rounded to the field's decimals first, then carried into the degrees.
TEST(FieldForms, LatitudeAndLongitude) {
  const struct {
    long double dmd;
    int P, D;
    const char* text;
  } cases[] = {{5.305L, 9, 4, "530.5000"},         {-2.0L, 10, 5, "200.00000"},  // no sign in the field
               {12.5999999994L, 9, 4, "1300.0000"}, {12.59994L, 9, 4, "1259.9940"},
               {179.5999L, 9, 4, "17959.9900"},     {179.5999L, 10, 5, "17959.99000"},
               {0.0L, 9, 4, "0.0000"},              {89.59999999L, 9, 4, "9000.0000"}, {kNaN, 9, 4, ""}};
  for (const auto& c : cases) EXPECT_EQ(DmdField(c.dmd, c.P, c.D), c.text) << static_cast<double>(c.dmd);
  const auto lat = [](long double x) { return LatField(x).value + "," + LatField(x).letter; };
  const auto lon = [](long double x) { return LonField(x, 9, 4).value + "," + LonField(x, 9, 4).letter; };
  EXPECT_EQ(lat(0.0L), "0.0000,S");
  EXPECT_EQ(lat(1e-9L), "0.0000,N");
  EXPECT_EQ(lat(-33.5L), "3330.0000,S");
  EXPECT_EQ(lon(0.0L), "0.0000,E");
  EXPECT_EQ(lon(-1.5L), "130.0000,W");  // a geographic west longitude
  EXPECT_EQ(lon(kNaN), ",");
}

TEST(FieldForms, TimesDatesAndDurations) {
  EXPECT_EQ(TimeText(9, 5, 7), "090507.00");
  EXPECT_EQ(DateText(1, 1, 2000), "010100");
  EXPECT_EQ(DurationText(3.2540L), "032540.00");
  EXPECT_EQ(DurationText(dec_dms(20.0L / 6.0L)), "032000.00");  // 20 miles at 6 knots
  EXPECT_EQ(DurationText(-1.0L), "");
  EXPECT_EQ(DurationText(kNaN), "");
  // At most three digits of hours: 999 h 59 min 59 s is the longest time to go written.
  EXPECT_EQ(DurationText(99.5959L), "995959.00");
  EXPECT_EQ(DurationText(100.0L), "");  // three hour digits were written before
  EXPECT_EQ(DurationText(99.59595L), "");  // rounds to 100 h
  EXPECT_EQ(DurationText(12345.0L), "");
  EXPECT_EQ(DurationText(1e300L), "");
}

TEST(FieldForms, NamesAreMadeSafe) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"Att_Dover", "Att_Dover"},
      {"A,B*C$D!E\\F^G~H", "A_B_C_D_E_F_G_H"},
      {"tab\there\r\n", "tab_here__"},
      {"\x7f", "_"},
      {"\u00c9cr\u00e9hou", "Ecrehou"},
      {"Gro\u00dfe \u00c6gir \u0152il", "Grosse AEgir OEil"},
      {"\u0141\u00f3d\u017a", "Lodz"},
      {"e\u0301t\u00e9", "ete"},  // a combining accent is dropped with the accent
      {"\xff" "ab", "_ab"},       // a byte that is not UTF-8
      {"\xc3", "_"},              // a character cut short
      {"\xe0\x80\x80", "___"},    // an overlong form
      {"\u20ac5", "_5"},
      {"\u6771\u4eac", "__"},
      {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(SanitizeName(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace ventrel::test
