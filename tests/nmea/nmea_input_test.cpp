// Steering sentences read from a plotter: the forms real senders use, and what is dropped.

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <variant>

#include "nmea/nmea_input.h"

namespace ventrel::test {
namespace {

// "$" + body + "*" + checksum.
std::string Framed(const std::string& body) {
  unsigned x = 0;
  for (const char c : body) x ^= static_cast<unsigned char>(c);
  static constexpr char kHex[] = "0123456789ABCDEF";
  return "$" + body + "*" + kHex[x / 16] + kHex[x % 16];
}

// The same with its checksum in lower case.
std::string LowerSum(std::string line) {
  for (std::size_t i = line.size() - 2; i < line.size(); ++i) line[i] = static_cast<char>(std::tolower(line[i]));
  return line;
}

enum class Outcome { apb, rmb, xte, hsc, ignored, tooLong, badChecksum, malformed };

Outcome Kind(const std::optional<SteeringSentence>& s, const InputCounts& c) {
  if (s) return static_cast<Outcome>(s->index());
  if (c.ignored) return Outcome::ignored;
  if (c.tooLong) return Outcome::tooLong;
  if (c.badChecksum) return Outcome::badChecksum;
  return Outcome::malformed;
}

TEST(SteeringInput, EachFormIsReadOrDroppedForItsReason) {
  const struct {
    const char* what;
    std::string line;
    bool allowMissing;
    Outcome outcome;
  } rows[] = {
      {"APB as a Signal K server sends it", "$IIAPB,A,A,0.005,L,N,V,V,272,M,Att_Dover,272,M,272,M*54", false, Outcome::apb},
      {"RMB as a Signal K server sends it",
       "$IIRMB,A,0.005,L,Att_Dover,VP,5106.1800,N,00119.8800,E,39.76,273,3.20,,A*5D", false, Outcome::rmb},
      {"XTE", "$IIXTE,A,A,0.009,L,N*40", false, Outcome::xte},
      {"XTE with a mode field, lower-case checksum", LowerSum(Framed("GPXTE,A,A,1.6,R,N,A")), false, Outcome::xte},
      {"HSC", Framed("ECHSC,120.5,T,118.0,M"), false, Outcome::hsc},
      {"APB with empty fields", Framed("GPAPB,V,V,,,N,V,V,,,,,,,"), false, Outcome::apb},
      {"wrong checksum", "$IIXTE,A,A,0.009,L,N*41", false, Outcome::badChecksum},
      {"one checksum digit", "$IIXTE,A,A,0.009,L,N*4", false, Outcome::badChecksum},
      {"no checksum", "$IIXTE,A,A,0.009,L,N", false, Outcome::badChecksum},
      {"no checksum, allowed", "$IIXTE,A,A,0.009,L,N", true, Outcome::xte},
      {"another type", Framed("GPGGA,120000,5104.14,N,00223.08,E,1,06,3.1,0.0,M,,M,,"), false, Outcome::ignored},
      {"proprietary", Framed("PGRME,15.0,M,45.0,M,25.0,M"), false, Outcome::ignored},
      {"83 characters", Framed("IIAPB,A,A,0.005,L,N,V,V,272,M,Att_Dover_a_very_long_name_xxxxxxxxxx,272,M,272,M"), false,
       Outcome::tooLong},
      {"bearing past 360", Framed("IIAPB,A,A,0.005,L,N,V,V,400,M,WP,272,M,272,M"), false, Outcome::malformed},
      {"bearing without reference", Framed("IIAPB,A,A,0.005,L,N,V,V,272,,WP,272,M,272,M"), false, Outcome::malformed},
      {"exponent in a number", Framed("IIXTE,A,A,1e2,L,N"), false, Outcome::malformed},
      {"latitude minutes of 60", Framed("IIRMB,A,0.1,L,A,B,5160.00,N,00119.88,E,1,2,3,V"), false, Outcome::malformed},
      {"longitude past 180", Framed("IIRMB,A,0.1,L,A,B,5106.18,N,18100.00,E,1,2,3,V"), false, Outcome::malformed},
      {"binary garbage", std::string("\x01\xff$\x80garbage"), false, Outcome::malformed},
      {"address too short", Framed("APB,A,A"), false, Outcome::malformed},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    InputCounts c;
    const std::optional<SteeringSentence> s = ParseSteeringSentence(r.line, r.allowMissing, c);
    EXPECT_EQ(Kind(s, c), r.outcome);
    EXPECT_EQ(c.used + c.ignored + c.dropped(), 1u);
  }
}

TEST(SteeringInput, TheFieldsCarryTheirSignsReferencesAndPositions) {
  InputCounts c;
  const auto apb = ParseSteeringSentence("$IIAPB,A,A,0.005,L,N,V,V,272,M,Att_Dover,272,M,272,M*54", false, c);
  const auto& a = std::get<ApbSentence>(*apb);
  EXPECT_TRUE(a.valid);
  EXPECT_DOUBLE_EQ(static_cast<double>(*a.crossTrackNm), -0.005);  // steer left
  EXPECT_EQ(a.destination, "Att_Dover");
  EXPECT_EQ(a.headingToSteer->ref, NorthRef::Magnetic);
  EXPECT_DOUBLE_EQ(static_cast<double>(a.headingToSteer->degrees), 272);

  // A course cleared: no destination name, bearing 359 °M.
  const auto cleared = ParseSteeringSentence(Framed("IIAPB,A,A,0.000,L,N,V,V,359,M,,359,M,359,M"), false, c);
  EXPECT_TRUE(std::get<ApbSentence>(*cleared).destination.empty());

  const auto rmb =
      ParseSteeringSentence("$IIRMB,A,0.005,R,Att_Dover,VP,5106.1800,S,00119.8800,W,39.76,273,3.20,,A*4C", false, c);
  ASSERT_TRUE(rmb);
  const auto& m = std::get<RmbSentence>(*rmb);
  EXPECT_DOUBLE_EQ(static_cast<double>(*m.crossTrackNm), 0.005);
  EXPECT_NEAR(static_cast<double>(*m.latitude), -(51 + 6.18 / 60), 1e-12);
  EXPECT_NEAR(static_cast<double>(*m.longitude), -(1 + 19.88 / 60), 1e-12);
  EXPECT_DOUBLE_EQ(static_cast<double>(*m.bearingTrue), 273);
  EXPECT_EQ(m.origin, "Att_Dover");
  EXPECT_EQ(m.destination, "VP");
  EXPECT_FALSE(m.arrived);
}

TEST(SteeringInput, TheReaderCutsLinesAnywhereAndDropsOverlongOnesWhole) {
  NmeaLineReader reader;
  const std::string good = "$IIXTE,A,A,0.009,L,N*40";
  std::string stream = "\r\n" + good + "\r\n" + std::string(5000, 'x') + good + "\n\n" + good + "\r";
  std::size_t got = 0;
  for (const char c : stream) got += reader.Feed(std::string_view(&c, 1)).size();  // byte by byte
  EXPECT_EQ(got, 2u);
  EXPECT_EQ(reader.counts().lines, 3u);
  EXPECT_EQ(reader.counts().tooLong, 1u);  // the long line took the sentence glued to it along
  EXPECT_EQ(reader.counts().used, 2u);
  // Whole, the same stream gives the same.
  NmeaLineReader whole;
  EXPECT_EQ(whole.Feed(stream).size(), 2u);
  EXPECT_EQ(whole.counts().dropped(), 1u);
}

}  // namespace
}  // namespace ventrel::test
