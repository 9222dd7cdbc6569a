// Faults put into the sentences as they go out: what each kind makes of a
// sentence, how several combine, their clearing and end, the frozen value, and the
// sentence cycle sending and recording the altered lines.

#include <gtest/gtest.h>

#include <cctype>
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
std::string Framed(const std::string& body) { return "$" + body + "*" + OwnChecksum("$" + body + "*"); }

const std::string kRmc = "GPRMC,101530.00,A,5030.0000,N,00130.0000,W,6.80,48.30,061226,1.00,E,A";
const std::string kGll = "GPGLL,5030.0000,N,00130.0000,W,101530.00,A,A";
const std::string kGga = "GPGGA,101530.00,5030.0000,N,00130.0000,W,1,06,3.1,0.0,M,,M,,";
const std::string kMwv = "WIMWV,319.13,R,20.34,N,A";

// "-" as built, "d" dropped, "t" cut without "*", else "i" when the fix is made
// invalid and "c" when the checksum is wrong (two hexadecimal digits, both changed).
std::string What(const std::string& line) {
  if (line.find('*') == std::string::npos) return "t";
  std::string r = line.find(",V,") != std::string::npos || line.find(",0,00,") != std::string::npos ? "i" : "";
  const std::string right = OwnChecksum(line), sent = line.substr(line.size() - 2);
  if (sent != right) {
    r += sent[0] != right[0] && sent[1] != right[1] && std::isxdigit(static_cast<unsigned char>(sent[0])) != 0 &&
             std::isxdigit(static_cast<unsigned char>(sent[1])) != 0
             ? "c"
             : "?";
  }
  return r.empty() ? "-" : r;
}
std::string What(const FaultedSentence& s) { return s.lines.empty() ? "d" : What(s.lines.back()); }

TEST(OutputFaults, EachKindOnEachType) {
  const struct {
    FaultKind kind;
    std::string in;    // body of the sentence given
    std::string last;  // body of the last line sent, framed right ("" when What says it all)
    std::string what, note;
  } rows[] = {
      {FaultKind::badChecksum, kRmc, "", "c", "RMC : somme de contrôle fausse"},
      {FaultKind::badChecksum, kMwv, "", "c", "MWV : somme de contrôle fausse"},
      {FaultKind::truncated, kGll, "", "t", "GLL : phrase tronquée"},
      {FaultKind::dropped, kGga, "", "d", "GGA : phrase supprimée"},
      {FaultKind::invalidFix, kRmc, "GPRMC,101530.00,V,5030.0000,N,00130.0000,W,6.80,48.30,061226,1.00,E,N", "i",
       "RMC : position invalide"},
      // The older form of RMC, without the mode.
      {FaultKind::invalidFix, kRmc.substr(0, kRmc.size() - 2),
       "GPRMC,101530.00,V,5030.0000,N,00130.0000,W,6.80,48.30,061226,1.00,E", "i", "RMC : position invalide"},
      {FaultKind::invalidFix, kGll, "GPGLL,5030.0000,N,00130.0000,W,101530.00,V,N", "i", "GLL : position invalide"},
      {FaultKind::invalidFix, kGga, "GPGGA,101530.00,5030.0000,N,00130.0000,W,0,00,3.1,0.0,M,,M,,", "i",
       "GGA : position invalide"},
      {FaultKind::invalidFix, kMwv, kMwv, "-", ""},
      {FaultKind::garbageLine, kMwv, kMwv, "-", "MWV : ligne parasite"},
      // Nothing sent before the fault: the sentence as it is.
      {FaultKind::frozen, kGll, kGll, "-", ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(FaultKindName(r.kind)) + " " + r.in);
    EXPECT_EQ(FaultKindFromName(FaultKindName(r.kind)), r.kind);
    OutputFaults f;
    f.Add({r.kind, {}, {}});
    const FaultedSentence got = f.Apply(Framed(r.in));
    EXPECT_EQ(got.note, r.note);
    EXPECT_EQ(What(got), r.what);
    const std::size_t garbage = r.kind == FaultKind::garbageLine ? 1 : 0;
    ASSERT_EQ(got.lines.size(), (r.what == "d" ? 0 : 1) + garbage);
    const std::string expected = r.what == "t" ? Framed(r.in).substr(0, Framed(r.in).size() / 2) : Framed(r.last);
    if (!r.last.empty() || r.what == "t") {
      EXPECT_EQ(got.lines.back(), expected);
    }
    if (garbage != 0) {
      EXPECT_EQ(got.lines[0], "#~garbage 1 ~#");
    }
  }
}

TEST(OutputFaults, SeveralFaultsOnATypeCombineInOneOrder) {
  OutputFaults f;
  for (FaultKind k : {FaultKind::badChecksum, FaultKind::invalidFix, FaultKind::garbageLine}) f.Add({k, {"RMC"}, {}});
  FaultedSentence got = f.Apply(Framed(kRmc));
  EXPECT_EQ(got.note, "RMC : ligne parasite, position invalide, somme de contrôle fausse");
  EXPECT_EQ(got.lines.size(), 2u);
  EXPECT_EQ(What(got), "ic");
  // Garbage, then dropped: the garbage line goes out alone; the count goes on.
  f.Add({FaultKind::dropped, {}, {}});
  got = f.Apply(Framed(kRmc));
  EXPECT_EQ(got.lines, Lines{"#~garbage 2 ~#"});
  EXPECT_EQ(got.note, "RMC : ligne parasite, phrase supprimée");
  EXPECT_EQ(f.Apply(Framed(kGll)).note, "GLL : phrase supprimée");
}

TEST(OutputFaults, FrozenRepeatsTheSentenceSentBeforeTheFault) {
  const auto rmc = [](const char* time) { return Framed("GPRMC," + std::string(time) + kRmc.substr(15)); };
  const auto gsv = [](int msg, const std::string& sat) { return Framed("GPGSV,3," + std::to_string(msg) + ",12," + sat); };
  OutputFaults f;
  f.Remember(rmc("101530.00"));
  f.Remember(rmc("101533.00"));
  for (int m = 1; m <= 3; ++m) f.Remember(gsv(m, std::to_string(m)));
  f.Add({FaultKind::frozen, {"RMC", "GSV"}, {}});
  for (const char* t : {"101536.00", "101539.00"}) {
    const FaultedSentence got = f.Apply(rmc(t));
    EXPECT_EQ(got.lines, Lines{rmc("101533.00")});
    EXPECT_EQ(got.note, "RMC : valeur figée");
  }
  // The series stays whole: each message repeats its own.
  for (int m = 1; m <= 3; ++m) EXPECT_EQ(f.Apply(gsv(m, "99")).lines, Lines{gsv(m, std::to_string(m))});
  // A sentence altered is never the frozen value.
  f.Add({FaultKind::invalidFix, {"RMC"}, {}});
  EXPECT_EQ(f.Clear(FaultKind::frozen, {}), 1);
  EXPECT_EQ(What(f.Apply(rmc("101542.00"))), "i");
  f.Clear({}, {});
  f.Add({FaultKind::frozen, {"RMC"}, {}});
  EXPECT_EQ(f.Apply(rmc("101548.00")).lines, Lines{rmc("101533.00")});
}

TEST(OutputFaults, ClearByKindAndTypeAddReplacesExpireEnds) {
  // Faults: bad checksum on every type, invalid fix on RMC and GLL, GGA dropped
  // until 5 s. After Clear(kind, types): how many changed, then what becomes of
  // RMC, GLL and GGA.
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
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(&r - rows));
    OutputFaults f;
    f.Add({FaultKind::badChecksum, {}, {}});
    f.Add({FaultKind::invalidFix, {"RMC", "GLL"}, {}});
    f.Add({FaultKind::dropped, {"GGA"}, 5000});
    EXPECT_EQ(f.Clear(r.kind, r.types), r.changed);
    EXPECT_EQ(What(f.Apply(Framed(kRmc))) + What(f.Apply(Framed(kGll))) + What(f.Apply(Framed(kGga))),
              r.rmc + r.gll + r.gga);
    f.Expire(4999);
    EXPECT_EQ(What(f.Apply(Framed(kGga))), r.gga);
    f.Expire(5000);
    EXPECT_NE(What(f.Apply(Framed(kGga))), "d");
    EXPECT_EQ(What(f.Apply(Framed(kRmc))), r.rmc);
  }
  // A fault of the same kind on overlapping types replaces the old one there.
  OutputFaults f;
  f.Add({FaultKind::badChecksum, {"RMC", "GLL"}, {}});
  f.Add({FaultKind::badChecksum, {"RMC"}, 1000});
  f.Expire(1000);
  EXPECT_EQ(What(f.Apply(Framed(kRmc))) + What(f.Apply(Framed(kGll))), "-c");
}

class Capture final : public NmeaOutput {
 public:
  bool write(std::string_view bytes) override { return text.append(bytes), true; }
  std::string name() const override { return "capture"; }
  std::string text;
};

Lines Split(std::string_view text) {
  Lines r;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string_view::npos; at = end + 2) {
    r.emplace_back(text.substr(at, end - at));
  }
  return r;
}

TEST(OutputFaults, TheCycleSendsAndRecordsTheAlteredLines) {
  Scene scene;
  scene.Select({"VHW", "GLL", "RMC"});
  Params params;
  params.dTU = -2.0L;
  ModelTimers timers;
  const LocalClock clock = [] { return LocalTime{2026, 12, 6, 12, 15, 30, 0}; };
  SentenceLog log(clock);
  SentenceCycle cycle(scene.m, {scene.s, scene.w, params}, timers.TimerNMEA, log, clock);
  Capture out;
  cycle.AddOutput(out);
  GroupOutcome outcome;
  cycle.SetGroupListener([&](const GroupOutcome& o) { outcome = o; });
  // Without a fault: the sentences as built; the RMC becomes the frozen value.
  cycle.RunPhase(2);
  const Lines clean = Split(out.text);
  ASSERT_EQ(clean.size(), 3u);
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
  EXPECT_EQ(What(sent[1]) + What(sent[2]), "ii");
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
  ASSERT_EQ(stamped.size(), 9u);
  EXPECT_EQ(stamped[5], "DEFAUT:2026-12-06Z12:15:30.000:GLL : ligne parasite, position invalide");
  EXPECT_EQ(stamped[6], "NMEA183:2026-12-06Z12:15:30.000:" + sent[1]);
  // The line-load meter counts the bytes that went out, the dropped VHW as none.
  EXPECT_EQ(cycle.MeasureLoad(4800).groups[1].bytes, out.text.size());
}

}  // namespace
}  // namespace ventrel::test
