// The outputs of a group, each on its own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/fan_out.h"

namespace ventrel::test {
namespace {

// Writes what it is asked into a shared log: "A[" at a group's start, "A:s2" for a
// sentence taken, "A!s2" for a sentence refused, "A]" at the end.
class LogOutput final : public NmeaOutput {
 public:
  LogOutput(std::string id, std::string refuses, std::vector<std::string>& log)
      : id_(std::move(id)), refuses_(std::move(refuses)), log_(log) {}
  bool write(std::string_view bytes) override {
    const bool ok = bytes != refuses_;
    log_.push_back(id_ + (ok ? ":" : "!") + std::string(bytes));
    return ok;
  }
  std::string name() const override { return id_; }
  void beginGroup() override { log_.push_back(id_ + "["); }
  void endGroup() override { log_.push_back(id_ + "]"); }
  bool active() const override { return inUse; }
  bool inUse = true;

 private:
  std::string id_, refuses_;
  std::vector<std::string>& log_;
};

TEST(FanOut, EachOutputTakesTheGroupUntilItRefusesOneOfIt) {
  using V = std::vector<std::string>;
  const struct {
    const char* refusedByA;
    const char* refusedByB;
    V log;            // for the sentences s1, s2, s3, then a second group of s1
    V taken, refused;  // outcome of s1, s2, s3: "1" / "0"
  } rows[] = {
      {"", "", {"A[", "B[", "A:s1", "B:s1", "A:s2", "B:s2", "A:s3", "B:s3", "A]", "B]"}, {"1", "1", "1"}, {"0", "0", "0"}},
      // A refuses s2: B goes on, A hears nothing more of the group.
      {"s2", "", {"A[", "B[", "A:s1", "B:s1", "A!s2", "B:s2", "B:s3", "A]", "B]"}, {"1", "1", "1"}, {"0", "1", "0"}},
      // Both refuse: nothing is taken after.
      {"s2", "s1", {"A[", "B[", "A:s1", "B!s1", "A!s2", "A]", "B]"}, {"1", "0", "0"}, {"1", "1", "0"}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string("A refuses ") + r.refusedByA + ", B refuses " + r.refusedByB);
    V log;
    LogOutput a("A", r.refusedByA, log), b("B", r.refusedByB, log);
    OutputFanOut f;
    f.Add(a);
    f.Add(b);
    f.BeginGroup();
    V taken, refused;
    for (const char* s : {"s1", "s2", "s3"}) {
      if (f.AllRefused()) {
        taken.push_back("0");
        refused.push_back("0");
        continue;
      }
      const OutputFanOut::Outcome o = f.Write(s);
      taken.push_back(o.taken ? "1" : "0");
      refused.push_back(o.refused ? "1" : "0");
    }
    f.EndGroup();
    EXPECT_EQ(log, r.log);
    EXPECT_EQ(taken, r.taken);
    EXPECT_EQ(refused, r.refused);
    // The next group starts afresh for every output.
    log.clear();
    f.BeginGroup();
    EXPECT_FALSE(f.AllRefused());
    f.Write("s3");
    EXPECT_EQ(log, (V{"A[", "B[", "A:s3", "B:s3"}));
  }
}

// An output not in use (a network output switched off, a serial port set aside)
// sits the group out: it neither takes nor refuses, and the others alone decide.
TEST(FanOut, AnOutputNotInUseSitsTheGroupOut) {
  using V = std::vector<std::string>;
  const struct {
    bool aInUse, bInUse;
    const char* refusedByB;
    V log;
    bool taken, refused, allRefused;  // after s1
  } rows[] = {
      {false, true, "", {"B[", "B:s1", "B]"}, true, false, false},
      // The only output in use refuses: not taken, although A would have taken it.
      {false, true, "s1", {"B[", "B!s1", "B]"}, false, true, true},
      // None in use: as with no output at all.
      {false, false, "s1", {}, true, false, false},
  };
  for (const auto& r : rows) {
    V log;
    LogOutput a("A", "", log), b("B", r.refusedByB, log);
    a.inUse = r.aInUse;
    b.inUse = r.bInUse;
    OutputFanOut f;
    f.Add(a);
    f.Add(b);
    f.BeginGroup();
    const OutputFanOut::Outcome o = f.Write("s1");
    const bool allRefused = f.AllRefused();
    f.EndGroup();
    EXPECT_EQ(log, r.log);
    EXPECT_EQ(o.taken, r.taken);
    EXPECT_EQ(o.refused, r.refused);
    EXPECT_EQ(allRefused, r.allRefused);
  }
}

TEST(FanOut, WithNoOutputEverySentenceCountsAsTaken) {
  OutputFanOut f;
  f.BeginGroup();
  const OutputFanOut::Outcome o = f.Write("s1");
  EXPECT_TRUE(o.taken);
  EXPECT_FALSE(o.refused);
  EXPECT_FALSE(f.AllRefused());
}

}  // namespace
}  // namespace ventrel::test
