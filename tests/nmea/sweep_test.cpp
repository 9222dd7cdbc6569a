// Every sentence of every group over a sweep of states: what any receiver
// requires of a sentence holds whatever the state (frame, checksum, at most 82
// characters with CR LF, printable ASCII, the field count of its type, no "nan").

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

#include "scene.h"

namespace ventrel::test {
namespace {

// Fields after the type, per sentence.
const std::map<std::string_view, int> kFieldCount = {
    {"DPT", 2},  {"DBS", 6},  {"DBT", 6},  {"DBK", 6},  {"HDG", 6},  {"HDM", 3},  {"HDT", 3},
    {"MWV", 5},  {"MWD", 8},  {"VHW", 8},  {"GLL", 7},  {"RMC", 12}, {"VWR", 8},  {"BWC", 13},
    {"BWR", 12}, {"GSA", 17}, {"GSV", 19}, {"RMB", 14}, {"APB", 14}, {"MTW", 2},  {"VTG", 9},
    {"ZDA", 6},  {"ZTG", 3},  {"WCV", 3},  {"WNC", 6},  {"WPL", 5},  {"ROT", 2},  {"RSA", 4},
    {"VLW", 4},  {"GGA", 14}, {"XTE", 6}};

void CheckSentence(const std::string& s) {
  SCOPED_TRACE(s);
  ASSERT_GE(s.size(), 10u);
  EXPECT_EQ(s[0], '$');
  const auto star = s.find('*');
  ASSERT_EQ(star, s.size() - 3);
  EXPECT_EQ(s.substr(star + 1), OwnChecksum(s));
  EXPECT_LE(s.size() + 2, 82u);
  for (char ch : s) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << static_cast<int>(ch);
  EXPECT_EQ(s.find("nan"), std::string::npos);
  EXPECT_EQ(s.find("inf"), std::string::npos);
  const auto type = std::string_view(s).substr(3, 3);
  ASSERT_TRUE(kFieldCount.count(type)) << type;
  int commas = 0;
  for (std::size_t i = 0; i < star; ++i) commas += s[i] == ',';
  EXPECT_EQ(commas, kFieldCount.at(type));
}

int BuildAll(Scene& x) {
  int total = 0;
  for (int g = 1; g <= 3; ++g) {
    const int n = x.Build(g);
    for (int i = 1; i <= n; ++i) CheckSentence(x.m.sentenceSlots[i]);
    total += n;
  }
  return total;
}

TEST(SentenceSweep, EverySentenceIsWellFormedOverManyStates) {
  const char* names[] = {"Att_Dover", "", "Pointe de Saint-Mathieu, balise cardinale nord*$!",
                         "\u00cele de Br\u00e9hat \u2013 La Croix"};
  int sentences = 0;
  for (int k = 0; k < 240; ++k) {
    Scene x;
    x.Select({"*"});
    const long double t = k;
    x.s.BS = {std::fmod(t * 0.37L, 30.0L), -40.0L + t * 1.9L};  // -40 .. 416
    x.s.TW = {std::fmod(t * 0.71L, 60.0L), std::fmod(t * 13.0L, 380.0L)};
    x.s.AW = {x.s.TW.mdl + x.s.BS.mdl, 0.0L};
    x.s.AWA = std::fmod(t * 7.0L, 180.5L);
    x.s.RelWA = std::fmod(t * 11.0L, 360.0L);
    x.s.H180 = std::fmod(x.s.BS.argt + 180.0L, 360.0L);
    x.s.Declin = -25.0L + std::fmod(t * 0.9L, 50.0L);
    x.s.DeclinD = x.s.Declin < 0 ? 'W' : 'E';
    x.s.dbs = std::fmod(t * 1.3L, 120.0L);
    x.s.UpdateDepthBelowTransducer();
    x.s.SOG = x.s.BS.mdl + 1.0L;
    x.s.COG = std::fmod(t * 17.0L, 400.0L) - 20.0L;
    x.s.Memo_Pos.lat = -89.99L + std::fmod(t * 3.7L, 179.98L);
    x.s.Memo_Pos.long_ = std::fmod(t * 7.3L, 360.0L);
    x.s.Pact = x.s.Memo_Pos;
    x.w.Wp.P.nom = names[k % 4];
    x.w.Wp.P.lat = -80.0L + std::fmod(t * 2.9L, 160.0L);
    x.w.Wp.P.long_ = std::fmod(t * 5.1L, 360.0L);
    x.w.Wp.dist = std::fmod(t * 47.0L, 10800.0L);
    x.w.Wp.relev = std::fmod(t * 3.0L, 360.0L);
    x.w.WCV = -15.0L + std::fmod(t * 0.3L, 30.0L);
    x.w.ETE = 359.5959L * (k % 7) / 6.0L;
    x.w.BearOrToDest = k % 5 == 0 ? 65535.0L : x.w.Wp.relev;
    x.s.CUR = {k % 3 == 0 ? 0.0L : 1.5L, std::fmod(t * 9.0L, 360.0L)};
    x.s.Deriv = std::fmod(t, 30.0L);
    x.s.turnRate = -30000.0L + t * 250.0L;  // -30000 .. 29750 degrees per minute
    x.s.helm = -15.0L + (k % 31);
    x.s.logTotal = t * t * t * 1.7L;  // up to 23 million miles
    x.s.logTrip = std::fmod(t * 123.456L, 5000.0L);
    x.clock = {2020 + k % 9, 1 + k % 12, 1 + k % 28, k % 24, (k * 7) % 60, std::fmod(t * 1.7L, 60.0L),
               -12.0L + (k % 25)};
    const int n = BuildAll(x);
    EXPECT_EQ(n, 11 + 9 + 13) << "a sentence was dropped, state " << k;
    sentences += n;
  }
  EXPECT_EQ(sentences, 240 * 33);
}

TEST(SentenceSweep, ValuesThatAreNotFiniteGiveEmptyFields) {
  Scene x;
  x.Select({"*"});
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  x.s.BS = {nan, nan};
  x.s.AW.mdl = std::numeric_limits<long double>::infinity();
  x.s.dbs = nan;
  x.s.UpdateDepthBelowTransducer();
  x.s.SOG = nan;
  x.s.Memo_Pos.lat = nan;
  x.w.Wp.dist = nan;
  x.w.ETE = nan;
  x.s.turnRate = x.s.helm = x.s.logTotal = nan;
  x.s.logTrip = -std::numeric_limits<long double>::infinity();
  EXPECT_EQ(BuildAll(x), 33);
  ASSERT_EQ(x.Build(1), 11);
  EXPECT_EQ(x.m.sentenceSlots[1], "$SDDPT,,0.50*" + OwnChecksum("$SDDPT,,0.50*"));
  EXPECT_EQ(x.m.sentenceSlots[7], "$HCHDT,,T,*" + OwnChecksum("$HCHDT,,T,*"));
  EXPECT_EQ(x.m.sentenceSlots[8], "$HCROT,,V*" + OwnChecksum("$HCROT,,V*"));
  EXPECT_EQ(x.m.sentenceSlots[9], "$APRSA,,V,,V*" + OwnChecksum("$APRSA,,V,,V*"));
  ASSERT_EQ(x.Build(2), 9);
  EXPECT_EQ(x.m.sentenceSlots[2], "$DMVLW,,N,,N*" + OwnChecksum("$DMVLW,,N,,N*"));
}

}  // namespace
}  // namespace ventrel::test
