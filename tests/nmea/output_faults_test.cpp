// Faults put into the sentences as they go out: what each kind makes of a
// sentence, how several combine, their end and their clearing, the frozen value,
// and the sentence cycle sending and recording the altered lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/output_faults.h"
#include "nmea/scene.h"
#include "nmea/sentence_cycle.h"
#include "sim/timers.h"

namespace ventrel::test {
namespace {

using Lines = std::vector<std::string>;

// "$" + body + "*" + the checksum of the tests.
std::string Framed(const std::string& body) {
  const std::string s = "$" + body + "*";
  return s + OwnChecksum(s);
}

const std::string kRmc = "GPRMC,101530.00,A,5030.0000,N,00130.0000,W,6.80,48.30,061226,1.00,E,A";
const std::string kRmcOld = "GPRMC,101530.00,A,5030.0000,N,00130.0000,W,6.80,48.30,061226,1.00,E";
const std::string kGll = "GPGLL,5030.0000,N,00130.0000,W,101530.00,A,A";
const std::string kGga = "GPGGA,101530.00,5030.0000,N,00130.0000,W,1,06,3.1,0.0,M,,M,,";
const std::string kMwv = "WIMWV,319.13,R,20.34,N,A";

OutputFaults With(FaultKind k, std::vector<std::string> types = {}, std::optional<std::int64_t> until = {}) {
  OutputFaults f;
  f.Add({k, std::move(types), until});
  return f;
}

// The checksum is two hexadecimal digits, each other than the right one's.
void ExpectWrongChecksum(const std::string& line, const std::string& body) {
  ASSERT_EQ(line.size(), body.size() + 4) << line;
  EXPECT_EQ(line.substr(0, body.size() + 2), "$" + body + "*");
  const std::string right = OwnChecksum(line);
  for (int i : {0, 1}) {
    const char c = line[body.size() + 2 + static_cast<std::size_t>(i)];
    EXPECT_NE(std::string_view("0123456789ABCDEF").find(c), std::string_view::npos) << line;
    EXPECT_NE(c, right[static_cast<std::size_t>(i)]) << line;
  }
}

TEST(OutputFaults, EachKindOnEachType) {
  enum Check { right, wrong, cut };
  const struct {
    FaultKind kind;
    std::string in;     // body of the sentence given
    Lines out;          // bodies of the lines sent (a garbage line as it is)
    Check check;        // of the last line
    std::string note;
  } rows[] = {
      {FaultKind::badChecksum, kRmc, {kRmc}, wrong, "RMC : somme de contrôle fausse"},
      {FaultKind::badChecksum, kGga, {kGga}, wrong, "GGA : somme de contrôle fausse"},
      {FaultKind::badChecksum, kMwv, {kMwv}, wrong, "MWV : somme de contrôle fausse"},
      {FaultKind::truncated, kGll, {kGll}, cut, "GLL : phrase tronquée"},
      {FaultKind::truncated, kMwv, {kMwv}, cut, "MWV : phrase tronquée"},
      {FaultKind::dropped, kRmc, {}, right, "RMC : phrase supprimée"},
      {FaultKind::dropped, kMwv, {}, right, "MWV : phrase supprimée"},
      {FaultKind::invalidFix, kRmc,
       {"GPRMC,101530.00,V,5030.0000,N,00130.0000,W,6.80,48.30,061226,1.00,E,N"}, right, "RMC : position invalide"},
      {FaultKind::invalidFix, kRmcOld,
       {"GPRMC,101530.00,V,5030.0000,N,00130.0000,W,6.80,48.30,061226,1.00,E"}, right, "RMC : position invalide"},
      {FaultKind::invalidFix, kGll, {"GPGLL,5030.0000,N,00130.0000,W,101530.00,V,N"}, right, "GLL : position invalide"},
      {FaultKind::invalidFix, kGga, {"GPGGA,101530.00,5030.0000,N,00130.0000,W,0,00,3.1,0.0,M,,M,,"}, right,
       "GGA : position invalide"},
      {FaultKind::invalidFix, kMwv, {kMwv}, right, ""},
      {FaultKind::garbageLine, kMwv, {"#~garbage 1 ~#", kMwv}, right, "MWV : ligne parasite"},
      {FaultKind::garbageLine, kGga, {"#~garbage 1 ~#", kGga}, right, "GGA : ligne parasite"},
      // Nothing sent before the fault: the sentence as it is.
      {FaultKind::frozen, kGll, {kGll}, right, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(FaultKindName(r.kind)) + " " + r.in);
    OutputFaults f = With(r.kind);
    const FaultedSentence got = f.Apply(Framed(r.in));
    EXPECT_EQ(got.note, r.note);
    ASSERT_EQ(got.lines.size(), r.out.size());
    for (std::size_t i = 0; i + 1 < r.out.size(); ++i) {
      EXPECT_EQ(got.lines[i], r.out[i]);
      EXPECT_EQ(got.lines[i].find('$'), std::string::npos);
    }
    if (r.out.empty()) continue;
    const std::string& last = got.lines.back();
    switch (r.check) {
      case right: EXPECT_EQ(last, Framed(r.out.back())); break;
      case wrong: ExpectWrongChecksum(last, r.out.back()); break;
      case cut:
        EXPECT_EQ(last, Framed(r.in).substr(0, Framed(r.in).size() / 2));
        EXPECT_EQ(last.find('*'), std::string::npos);
        break;
    }
  }
}

TEST(OutputFaults, SeveralFaultsOnATypeCombineInOneOrder) {
  OutputFaults f;
  for (FaultKind k : {FaultKind::badChecksum, FaultKind::invalidFix, FaultKind::garbageLine}) f.Add({k, {"RMC"}, {}});
  FaultedSentence got = f.Apply(Framed(kRmc));
  EXPECT_EQ(got.note, "RMC : ligne parasite, position invalide, somme de contrôle fausse");
  ASSERT_EQ(got.lines.size(), 2u);
  EXPECT_EQ(got.lines[0], "#~garbage 1 ~#");
  ExpectWrongChecksum(got.lines[1], "GPRMC,101530.00,V,5030.0000,N,00130.0000,W,6.80,48.30,061226,1.00,E,N");
  // Garbage, then dropped: the garbage line goes out alone; the count goes on.
  f.Add({FaultKind::dropped, {}, {}});
  got = f.Apply(Framed(kRmc));
  EXPECT_EQ(got.lines, Lines{"#~garbage 2 ~#"});
  EXPECT_EQ(got.note, "RMC : ligne parasite, phrase supprimée");
  // Types not listed are left alone.
  got = f.Apply(Framed(kGll));
  EXPECT_TRUE(got.lines.empty());
  EXPECT_EQ(got.note, "GLL : phrase supprimée");
}

TEST(OutputFaults, FrozenRepeatsTheSentenceSentBeforeTheFault) {
  const auto rmc = [](const char* time) {
    return Framed("GPRMC," + std::string(time) + ",A,5030.0000,N,00130.0000,W,6.80,48.30,061226,1.00,E,A");
  };
  const auto gsv = [](int msg, const std::string& sat) { return Framed("GPGSV,3," + std::to_string(msg) + ",12," + sat); };
  OutputFaults f;
  f.Remember(rmc("101530.00"));
  f.Remember(rmc("101533.00"));
  for (int m = 1; m <= 3; ++m) f.Remember(gsv(m, "0" + std::to_string(m)));
  f.Add({FaultKind::frozen, {"RMC", "GSV"}, {}});
  f.Add({FaultKind::invalidFix, {"GLL"}, {}});
  for (const char* t : {"101536.00", "101539.00"}) {
    const FaultedSentence got = f.Apply(rmc(t));
    EXPECT_EQ(got.lines, Lines{rmc("101533.00")});
    EXPECT_EQ(got.note, "RMC : valeur figée");
  }
  // The series stays whole: each message repeats its own.
  for (int m = 1; m <= 3; ++m) EXPECT_EQ(f.Apply(gsv(m, "99")).lines, Lines{gsv(m, "0" + std::to_string(m))});
  // Frozen and made invalid: the frozen sentence, invalid.
  f.Add({FaultKind::invalidFix, {"RMC"}, {}});
  EXPECT_EQ(f.Apply(rmc("101542.00")).lines,
            Lines{Framed("GPRMC,101533.00,V,5030.0000,N,00130.0000,W,6.80,48.30,061226,1.00,E,N")});
  // Cleared: the sentences flow again, and a sentence altered is never the frozen value.
  EXPECT_EQ(f.Clear(FaultKind::frozen, {}), 1);
  EXPECT_EQ(f.Apply(rmc("101545.00")).note, "RMC : position invalide");
  f.Clear({}, {});
  EXPECT_EQ(f.Apply(rmc("101548.00")).lines, Lines{rmc("101548.00")});
  f.Add({FaultKind::frozen, {"RMC"}, {}});
  EXPECT_EQ(f.Apply(rmc("101551.00")).lines, Lines{rmc("101548.00")});
}

TEST(OutputFaults, ClearByKindAndTypeAddReplacesExpireEnds) {
  // Faults: bad checksum on every type, invalid fix on RMC and GLL, dropped GGA
  // until 5 s. After Clear(kind, types): how many changed, then what RMC, GLL and
  // GGA become (c: bad checksum, i: invalid, d: dropped, -: as built).
  const struct {
    std::optional<FaultKind> kind;
    std::vector<std::string> types;
    int changed;
    std::string rmc, gll, gga;
  } rows[] = {
      {{}, {}, 3, "-", "-", "-"},
      {FaultKind::invalidFix, {}, 1, "c", "c", "d"},
      {{}, {"RMC"}, 2, "-", "ic", "d"},
      {FaultKind::invalidFix, {"RMC", "GLL"}, 1, "c", "c", "d"},
      {FaultKind::dropped, {"RMC"}, 0, "ic", "ic", "d"},
      {FaultKind::badChecksum, {"GGA", "MWV"}, 1, "ic", "ic", "d"},
  };
  const auto what = [](OutputFaults& f, const std::string& body) {
    const FaultedSentence got = f.Apply(Framed(body));
    if (got.lines.empty()) return std::string("d");
    std::string r = got.lines[0].find(",V,") != std::string::npos || got.lines[0].find(",0,00,") != std::string::npos ? "i" : "";
    if (got.lines[0].substr(got.lines[0].size() - 2) != OwnChecksum(got.lines[0])) r += "c";
    return r.empty() ? std::string("-") : r;
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.kind ? FaultKindName(*r.kind) : "every kind") + " on " + std::to_string(r.types.size()));
    OutputFaults f;
    f.Add({FaultKind::badChecksum, {}, {}});
    f.Add({FaultKind::invalidFix, {"RMC", "GLL"}, {}});
    f.Add({FaultKind::dropped, {"GGA"}, 5000});
    EXPECT_EQ(f.Clear(r.kind, r.types), r.changed);
    EXPECT_EQ(what(f, kRmc), r.rmc);
    EXPECT_EQ(what(f, kGll), r.gll);
    EXPECT_EQ(what(f, kGga), r.gga);
    // The dropped GGA ends at 5 s, the others last.
    f.Expire(4999);
    EXPECT_EQ(what(f, kGga), r.gga);
    f.Expire(5000);
    EXPECT_NE(what(f, kGga), "d");
    EXPECT_EQ(what(f, kRmc), r.rmc);
  }
  // A fault of the same kind on overlapping types replaces the old one there.
  OutputFaults f;
  f.Add({FaultKind::badChecksum, {"RMC", "GLL"}, {}});
  f.Add({FaultKind::badChecksum, {"RMC"}, 1000});
  f.Expire(1000);
  EXPECT_EQ(what(f, kRmc), "-");
  EXPECT_EQ(what(f, kGll), "c");
}

TEST(OutputFaults, KindNames) {
  for (FaultKind k : {FaultKind::badChecksum, FaultKind::truncated, FaultKind::dropped, FaultKind::frozen,
                      FaultKind::invalidFix, FaultKind::garbageLine}) {
    EXPECT_EQ(FaultKindFromName(FaultKindName(k)), k);
    EXPECT_FALSE(FaultKindText(k).empty());
  }
  EXPECT_EQ(FaultKindFromName("garbage"), FaultKind::garbageLine);
  EXPECT_FALSE(FaultKindFromName("Garbage"));
  EXPECT_FALSE(FaultKindFromName(""));
}

// Takes every line, keeping the bytes.
class Capture final : public NmeaOutput {
 public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string name() const override { return "capture"; }
  std::string text;
};

// The lines of a text, without CR LF.
Lines Split(std::string_view text) {
  Lines r;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    r.emplace_back(text.substr(at, end - at));
    at = end + 2;
  }
  return r;
}

TEST(OutputFaults, TheCycleSendsAndRecordsTheAlteredLines) {
  Scene scene;
  scene.Select({"VHW", "GLL", "RMC"});
  Params params;
  params.dTU = -2.0L;
  ModelTimers timers;
  SentenceLog log([] { return LocalTime{2026, 12, 6, 12, 15, 30, 0}; });
  SentenceCycle cycle(scene.m, {scene.s, scene.w, params}, timers.TimerNMEA, log, [] {
    return LocalTime{2026, 12, 6, 12, 15, 30, 0};
  });
  Capture out;
  cycle.AddOutput(out);
  GroupOutcome outcome;
  cycle.SetGroupListener([&](const GroupOutcome& o) { outcome = o; });
  // Without a fault: the sentences as built, and the first RMC becomes the frozen value.
  cycle.RunPhase(2);
  const Lines clean = Split(out.text);
  ASSERT_EQ(clean.size(), 3u);
  EXPECT_EQ(Split(log.raw.Text()), clean);
  scene.s.SOG = 7.9L;
  cycle.faults().Add({FaultKind::dropped, {"VHW"}, {}});
  cycle.faults().Add({FaultKind::garbageLine, {"GLL"}, {}});
  cycle.faults().Add({FaultKind::invalidFix, {}, {}});
  cycle.faults().Add({FaultKind::frozen, {"RMC"}, {}});
  out.text.clear();
  cycle.RunPhase(2);
  const Lines sent = Split(out.text);
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0], "#~garbage 1 ~#");
  EXPECT_NE(sent[1].find(",V,N*"), std::string::npos) << sent[1];
  EXPECT_EQ(sent[2].substr(0, 17), clean[2].substr(0, 17));
  EXPECT_NE(sent[2].find(",V,"), std::string::npos);
  EXPECT_NE(sent[2].find(",6.80,"), std::string::npos) << "frozen before the speed changed: " << sent[2];
  EXPECT_EQ(outcome.built, (Lines{"VHW", "GLL", "RMC"}));
  EXPECT_EQ(outcome.sent, (Lines{"GLL", "RMC"}));
  // What went out, in the raw list; the notes in the visible and time-stamped lists.
  Lines raw = clean;
  raw.insert(raw.end(), sent.begin(), sent.end());
  EXPECT_EQ(Split(log.raw.Text()), raw);
  EXPECT_EQ(Split(log.visible.Text()),
            (Lines{clean[0], clean[1], clean[2], " *** défaut injecté, VHW : phrase supprimée ***",
                   " *** défaut injecté, GLL : ligne parasite, position invalide ***", sent[1],
                   " *** défaut injecté, RMC : valeur figée, position invalide ***", sent[2]}));
  const Lines stamped = Split(log.stamped.Text());
  ASSERT_EQ(stamped.size(), 1u + 3u + 5u);
  EXPECT_EQ(stamped[5], "DEFAUT:2026-12-06Z12:15:30.000:GLL : ligne parasite, position invalide");
  EXPECT_EQ(stamped[6], "NMEA183:2026-12-06Z12:15:30.000:" + sent[1]);
  // The line-load meter counts the bytes that went out, the dropped VHW as none.
  EXPECT_EQ(cycle.MeasureLoad(4800).groups[1].bytes, out.text.size());
}

}  // namespace
}  // namespace ventrel::test
