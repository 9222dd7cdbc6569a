// The sentence cycle on the virtual clock with a fake port: the phases in order
// and their timing against the tick, failed writes, "Raz" and a new port, pause
// and resume, the quit, the saves, and the time stamps of the lists.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "nmea/local_time.h"
#include "nmea/registry.h"
#include "model/transmission.h"
#include "nmea/scene.h"
#include "nmea/zone_scope.h"
#include "model/panel.h"
#include "sim/timers.h"

namespace ventrel {
namespace {

// One thing that happened at an instant of the virtual clock: "tick", or a
// sentence written ("HDT" for "$HCHDT,...").
struct Event {
  std::int64_t t;
  std::string what;
  friend bool operator==(const Event&, const Event&) = default;
};
std::ostream& operator<<(std::ostream& os, const Event& e) { return os << e.t << ":" << e.what; }

std::string TypeOf(const std::string& sentence) { return sentence.substr(3, 3); }

const std::string kCom1 = R"(\\.\COM1)";
const std::string kCom3 = R"(\\.\COM3)";

// A port with the states of the serial layer: writes go to the port of the last
// open or close and fail unless it is open; `refuse` fails chosen writes.
class FakePort final : public NmeaPort, public NmeaOutput {
 public:
  FakePort(const VirtualClock& vc, std::vector<Event>& log) : vc_(vc), log_(log) {}
  bool OpenPort(const std::string& name, std::uint32_t speed, std::uint8_t parity, std::uint8_t dataBits,
               std::uint8_t stopBits) override {
    opens.push_back(name + "@" + std::to_string(speed) + "/" + std::to_string(parity) + "/" +
                    std::to_string(dataBits) + "/" + std::to_string(stopBits));
    current_ = name;
    std::string& st = state[name];
    st = (absent.count(name) || st == "open") ? "failed" : "open";
    return st == "open";
  }
  void ClosePort(const std::string& name) override {
    current_ = name;
    if (state[name] == "open") state[name] = "closed";
  }
  std::string name() const override { return current_; }
  bool write(std::string_view sent) override {
    const std::string text(sent);
    if (state[current_] != "open" || (refuse && refuse(vc_.now(), text))) return false;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    log_.push_back({vc_.now(), TypeOf(text)});
    bytes[current_] += text;
    return true;
  }

  std::set<std::string> absent;               // ports whose open fails
  std::map<std::string, std::string> state;   // "open", "failed", "closed"
  std::map<std::string, std::string> bytes;   // what each port received
  std::vector<std::string> opens;             // "name@speed/parity/bits/stop"
  std::function<bool(std::int64_t, const std::string&)> refuse;

 private:
  const VirtualClock& vc_;
  std::vector<Event>& log_;
  std::string current_;
};

// A port that opens and takes everything (the sentences are read from the lists).
class TakeAll final : public NmeaPort {
 public:
  bool OpenPort(const std::string&, std::uint32_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return true; }
  void ClosePort(const std::string&) override {}
};

const LocalTime kStart{2026, 12, 6, 12, 15, 30, 0};

// Three sentences in each group.
const std::vector<std::string_view> kSelection = {"DPT", "HDT", "MWV", "VHW", "GLL", "RMC", "MTW", "VTG", "ZDA"};
const std::vector<std::string> kGroup[4] = {{}, {"DPT", "HDT", "MWV"}, {"VHW", "GLL", "RMC"}, {"MTW", "VTG", "ZDA"}};

// `count` seconds from t0 (ms), the first with group g0: the tick (from second
// `firstTick` on), then the sentences of the group.
std::vector<Event> Seconds(std::int64_t t0, int g0, int count, int firstTick = 0) {
  std::vector<Event> r;
  for (int k = 0; k < count; ++k) {
    const std::int64_t t = t0 + 1000 * k;
    if (k >= firstTick) r.push_back({t, "tick"});
    for (const auto& type : kGroup[(g0 - 1 + k) % 3 + 1]) r.push_back({t, type});
  }
  return r;
}

class Cycle : public ::testing::Test {
 protected:
  Cycle() {
    scene.Select(kSelection);
    params.dTU = -2.0L;
    // The tick turns the boat 10 degrees, so that a sentence shows which tick it follows.
    timers.TimerAT.setHandler([this] {
      ++ticks;
      scene.s.BS.argt = 10.0L * ticks;
      log.push_back({vc.now(), "tick"});
    });
    tx.AddOutput(port);
    tx.SetMessageSink([this](const std::string& m) { messages.push_back(m); });
  }
  // The port list entry of a name, picked.
  void Pick(const std::string& name) {
    panel[Field::PortList].setItemIndex(tx.AddPortName(name));
    tx.CBComSelect();
  }
  // Start at the present instant, then pick COM1 and "Activer".
  void StartAndActivate() {
    timers.TimerAT.setEnabled(true);
    Pick(kCom1);
    tx.BtActivNMEAClick();
  }
  std::vector<Event> Between(std::int64_t from, std::int64_t to) const {
    std::vector<Event> r;
    for (const Event& e : log) {
      if (e.t >= from && e.t <= to) r.push_back(e);
    }
    return r;
  }
  LocalClock Clock() {
    return [this] { return AddMilliseconds(kStart, vc.now()); };
  }

  test::Scene scene;
  Params params;
  ModelTimers timers;
  VirtualClock vc{timers};
  Panel panel;
  std::vector<Event> log;
  FakePort port{vc, log};
  NmeaTransmission tx{scene.m, {scene.s, scene.w, params}, timers.TimerNMEA, panel, port, Clock()};
  std::vector<std::string> messages;
  int ticks = 0;
};

TEST_F(Cycle, PhasesFollowTheTicksInOrder) {
  StartAndActivate();
  vc.advance(7000);
  EXPECT_EQ(log, Seconds(0, 1, 8, 1));
  // Phase 1 at second 3 sends the heading of tick 3.
  EXPECT_NE(tx.log().raw.Text().find("$HCHDT,30.00,T"), std::string::npos);
}

// Whatever the order in which the tick timer and the cycle were started, a phase due
// at the same instant as a tick runs after it.
TEST_F(Cycle, TheTickRunsBeforeThePhaseWhateverTheOrderOfStart) {
  Pick(kCom1);
  tx.BtActivNMEAClick();  // "Activer" before the start
  timers.TimerAT.setEnabled(true);
  vc.advance(2000);
  timers.TimerAT.setEnabled(false);  // a manoeuvre-like restart of the tick timer, after the cycle
  timers.TimerAT.setEnabled(true);
  vc.advance(2000);
  EXPECT_EQ(log, Seconds(0, 1, 5, 1));
}

TEST_F(Cycle, ActiverStartsOnlyWithAnOpenPortAndOnlyOnce) {
  tx.BtActivNMEAClick();  // no port yet
  EXPECT_FALSE(tx.Started());
  port.absent.insert(R"(\\.\COM2)");
  Pick(R"(\\.\COM2)");
  EXPECT_FALSE(tx.ComValid());
  EXPECT_EQ(messages, std::vector<std::string>{std::string(kMsgComIndisponible)});
  tx.BtActivNMEAClick();
  EXPECT_FALSE(tx.Started());
  vc.advance(3000);
  EXPECT_TRUE(log.empty());
  Pick(kCom1);
  EXPECT_EQ(port.opens.back(), kCom1 + "@4800/0/8/0");
  tx.BtActivNMEAClick();
  tx.BtActivNMEAClick();  // once running, a click changes nothing
  EXPECT_EQ(Between(3000, 3000), Seconds(3000, 1, 1, 1));
  EXPECT_TRUE(tx.Transmitting());
}

TEST_F(Cycle, ActiverIsEnabledExactlyWithPortSpeedAndAnOpenPortOrANetworkOutput) {
  const struct {
    bool absent;
    std::string speed;
    bool network;
    bool enabled;
  } rows[] = {{false, "4800", false, true}, {false, "230400", false, true}, {true, "4800", false, false},
              {false, "5000", false, false}, {true, "4800", true, true}, {false, "5000", true, true}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.speed + (r.absent ? " refused" : "") + (r.network ? " with a network output" : ""));
    Panel p;
    FakePort fp{vc, log};
    NmeaTransmission t{scene.m, {scene.s, scene.w, params}, timers.TimerNMEA, p, fp, [] { return kStart; }};
    EXPECT_FALSE(p[Field::ActivateButton].enabled());
    EXPECT_EQ(p[Field::SpeedList].text(), "4800");
    if (r.absent) fp.absent.insert(R"(\\.\COM4)");
    p[Field::PortList].setItemIndex(3);
    t.CBComSelect();
    t.SetSpeedText(r.speed);
    t.SetNetworkOn(r.network);
    EXPECT_EQ(p[Field::ActivateButton].enabled(), r.enabled);
    if (r.network) {  // no serial port is needed to start the cycle
      t.BtActivNMEAClick();
      EXPECT_TRUE(t.Started());
    }
  }
}

TEST_F(Cycle, TheSpeedIsReadWhenThePortIsPicked) {
  tx.SetSpeedText("");
  Pick(kCom1);  // without a speed: nothing opened
  EXPECT_TRUE(port.opens.empty());
  EXPECT_FALSE(tx.ComValid());
  EXPECT_EQ(messages, std::vector<std::string>{std::string(kMsgVitesseAbsente)});
  tx.SetSpeedText("4800");
  Pick(kCom1);
  tx.SetSpeedText("9600");  // no effect on the open port
  EXPECT_EQ(port.opens, std::vector<std::string>{kCom1 + "@4800/0/8/0"});
  Pick(kCom3);
  EXPECT_EQ(port.opens.back(), kCom3 + "@9600/0/8/0");
}

// A write refused part way through a group: the rest of the group is not sent; only
// phase 1 adds the error line; the next phase runs normally.
TEST_F(Cycle, AFailedWriteStopsThePhase) {
  const struct {
    int group;
    const char* refused;
    std::vector<std::string> sent;  // of that group, before the failure
  } rows[] = {{1, "DPT", {}}, {1, "MWV", {"DPT", "HDT"}}, {2, "GLL", {"VHW"}}, {3, "MTW", {}},
              {3, "ZDA", {"MTW", "VTG"}}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string("group ") + std::to_string(r.group) + ", " + r.refused);
    log.clear();
    Panel p;
    NmeaTransmission t{scene.m, {scene.s, scene.w, params}, timers.TimerNMEA, p, port, Clock()};
    t.AddOutput(port);
    const std::int64_t at = vc.now() + (r.group - 1) * 1000;
    port.refuse = [&](std::int64_t now, const std::string& text) { return now == at && TypeOf(text) == r.refused; };
    p[Field::PortList].setItemIndex(0);
    t.CBComSelect();
    t.BtActivNMEAClick();
    vc.advance(3000);
    std::vector<Event> expected;
    for (const auto& type : r.sent) expected.push_back({at, type});
    EXPECT_EQ(Between(at, at), expected);
    int errorLines = 0;
    for (std::size_t i = 0; i < t.log().visible.Count(); ++i) errorLines += t.log().visible.Line(i) == kMsgErreurTransmission;
    EXPECT_EQ(errorLines, r.group == 1 ? 1 : 0);
    // The next phase is whole; only the sentences written were recorded (phases 1, 2, 3, 1).
    EXPECT_EQ(Between(at + 1000, at + 1000), Seconds(at + 1000, r.group % 3 + 1, 1, 1));
    EXPECT_EQ(t.log().raw.Count(), 12 - (3 - r.sent.size()));
    EXPECT_EQ(t.log().stamped.Count(), t.log().raw.Count() + 1);
    t.Quit();
    port.state.clear();
  }
}

// An output that takes every sentence but the one of a chosen type.
class ListOutput final : public NmeaOutput {
 public:
  bool write(std::string_view bytes) override {
    const std::string text(bytes);
    if (TypeOf(text) == refused) return false;
    got.push_back(TypeOf(text));
    return true;
  }
  std::string name() const override { return "liste"; }
  std::string refused;
  std::vector<std::string> got;
};

// Each output receives every sentence of the group unless it refused one of that
// group itself: a refusal stops the group for that output only. The lists record
// what at least one output took; the error line tells a refusal in group 1.
TEST_F(Cycle, EachOutputGetsTheGroupUnlessItRefusedOneOfIt) {
  using V = std::vector<std::string>;
  const struct {
    int outputs;
    const char* refusedByFirst;
    const char* refusedBySecond;
    V first, second;
    std::size_t recorded;
    bool errorLine;
  } rows[] = {{2, "", "", {"DPT", "HDT", "MWV"}, {"DPT", "HDT", "MWV"}, 3, false},
              {2, "HDT", "", {"DPT"}, {"DPT", "HDT", "MWV"}, 3, true},
              {2, "", "HDT", {"DPT", "HDT", "MWV"}, {"DPT"}, 3, true},
              {2, "", "DPT", {"DPT", "HDT", "MWV"}, {}, 3, true},
              {2, "MWV", "HDT", {"DPT", "HDT"}, {"DPT"}, 2, true},
              {2, "HDT", "HDT", {"DPT"}, {"DPT"}, 1, true},
              {1, "HDT", "", {"DPT"}, {}, 1, true},
              {0, "", "", {}, {}, 3, false}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.outputs) + " outputs, refused " + r.refusedByFirst + "/" + r.refusedBySecond);
    Panel p;
    NmeaTransmission t{scene.m, {scene.s, scene.w, params}, timers.TimerNMEA, p, port, Clock()};
    ListOutput a, b;
    a.refused = r.refusedByFirst;
    b.refused = r.refusedBySecond;
    if (r.outputs >= 1) t.AddOutput(a);
    if (r.outputs >= 2) t.AddOutput(b);
    p[Field::PortList].setItemIndex(0);
    t.CBComSelect();
    t.BtActivNMEAClick();  // group 1 at once
    EXPECT_EQ(a.got, r.first);
    EXPECT_EQ(b.got, r.second);
    EXPECT_EQ(t.log().raw.Count(), r.recorded);
    int errorLines = 0;
    for (std::size_t i = 0; i < t.log().visible.Count(); ++i) errorLines += t.log().visible.Line(i) == kMsgErreurTransmission;
    EXPECT_EQ(errorLines, r.errorLine ? 1 : 0);
    // With one output, the error line closes the group, as it always has.
    if (r.outputs == 1) {
      EXPECT_EQ(t.log().visible.Line(t.log().visible.Count() - 1), kMsgErreurTransmission);
    }
    t.Quit();
    port.state.clear();
  }
}

TEST_F(Cycle, RazThenANewPortResumesWithTheNextPhase) {
  StartAndActivate();
  vc.advance(1500);
  tx.RazComClick();
  EXPECT_FALSE(tx.ComValid());
  EXPECT_EQ(port.state[kCom1], "closed");
  EXPECT_EQ(tx.log().visible.Count() + tx.log().raw.Count(), 0u);
  EXPECT_EQ(tx.log().stamped.Count(), 1u + 6u);  // kept: the empty line and two groups
  vc.advance(2000);  // phase 3 at 2 fails silently, phase 1 at 3 with the error line
  EXPECT_EQ(Between(1501, 3500), (std::vector<Event>{{2000, "tick"}, {3000, "tick"}}));
  ASSERT_EQ(tx.log().visible.Count(), 1u);
  EXPECT_EQ(tx.log().visible.Line(0), kMsgErreurTransmission);
  Pick(kCom3);
  vc.advance(500);
  // Group 2 from its first sentence, on COM3; COM1 received nothing more.
  EXPECT_EQ(Between(4000, 4000), Seconds(4000, 2, 1));
  EXPECT_EQ(port.bytes[kCom3].substr(0, 6), "$DMVHW");
  EXPECT_EQ(tx.SelectedComIDX(), 2);
}

TEST_F(Cycle, RazOnAPortNeverOpenedClosesNothing) {
  tx.RazComClick();
  EXPECT_EQ(panel[Field::PortList].itemIndex(), 0);
  EXPECT_EQ(port.state[kCom1], "");
  EXPECT_TRUE(messages.empty());
}

TEST_F(Cycle, PauseSuspendsAndResumeStartsANewPeriod) {
  StartAndActivate();
  vc.advance(1000);  // phase 2 at 1
  timers.TimerAT.setEnabled(false);
  tx.Suspend();
  vc.advance(5500);  // nothing while paused
  EXPECT_TRUE(Between(1001, 6500).empty());
  timers.TimerAT.setEnabled(true);
  tx.Resume();
  vc.advance(2000);
  EXPECT_EQ(Between(6501, 8500), Seconds(7500, 3, 2));
}

TEST_F(Cycle, ActiverWhilePausedStartsAtTheResume) {
  Pick(kCom1);
  tx.Suspend();
  tx.BtActivNMEAClick();
  vc.advance(2000);
  EXPECT_TRUE(log.empty());
  tx.Resume();
  vc.advance(1000);
  EXPECT_EQ(log, Seconds(2000, 1, 2, 2));
}

TEST_F(Cycle, QuitEndsTheCycleClosesThePortAndEmptiesTheVisibleList) {
  StartAndActivate();
  vc.advance(1000);
  tx.Quit();
  EXPECT_FALSE(timers.TimerNMEA.enabled());
  EXPECT_EQ(port.state[kCom1], "closed");
  EXPECT_EQ(tx.log().visible.Count(), 0u);
  EXPECT_EQ(tx.log().raw.Count(), 6u);
  tx.Resume();
  tx.BtActivNMEAClick();
  timers.TimerAT.setEnabled(false);
  vc.advance(3000);
  EXPECT_TRUE(Between(1001, 4000).empty());
}

TEST_F(Cycle, TheListsHoldTheSentencesAndTheirStampsAndAreSavedWithCrLf) {
  StartAndActivate();
  vc.advance(1000);
  ASSERT_EQ(tx.log().stamped.Count(), 7u);
  EXPECT_EQ(tx.log().stamped.Line(0), "");
  std::string brut, hms = "\r\n";
  for (std::size_t i = 0; i < 6; ++i) {
    const std::string stamp = i < 3 ? "NMEA183:2026-12-06Z12:15:30.000:" : "NMEA183:2026-12-06Z12:15:31.000:";
    EXPECT_EQ(tx.log().stamped.Line(i + 1), stamp + std::string(tx.log().raw.Line(i)));
    EXPECT_EQ(tx.log().visible.Line(i), tx.log().raw.Line(i));
    brut += std::string(tx.log().raw.Line(i)) + "\r\n";
    hms += std::string(tx.log().stamped.Line(i + 1)) + "\r\n";
  }
  // The sentences carry the same instant: 12:15:31 local is 10:15:31 UTC.
  EXPECT_TRUE(tx.log().raw.Line(5).starts_with("$GPRMC,101531.00,A,")) << tx.log().raw.Line(5);
  EXPECT_EQ(tx.log().formattedDate + " " + tx.log().formattedTime, "2026-12-06 12:15:31.000");

  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("ventrel_tx_" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const auto read = [](const fs::path& p) {
    std::ostringstream ss;
    ss << std::ifstream(p, std::ios::binary).rdbuf();
    return ss.str();
  };
  ASSERT_TRUE(tx.SaveNMEAbrut(dir / "brut.txt").ok);
  ASSERT_TRUE(tx.SaveNMEAHMS(dir / "hms.txt").ok);
  EXPECT_EQ(read(dir / "brut.txt"), brut);
  EXPECT_EQ(read(dir / "hms.txt"), hms);
  // A write that fails part way leaves the old file whole and says so.
  vc.advance(5000);
  const WriteOutcome r = tx.SaveNMEAbrut(dir / "brut.txt", [](std::FILE*, std::string_view) { return false; });
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(messages, std::vector<std::string>{r.message});
  EXPECT_EQ(read(dir / "brut.txt"), brut);
  EXPECT_FALSE(fs::exists(TemporaryPathFor(dir / "brut.txt")));
  fs::remove_all(dir);
}

TEST(NmeaList, ANotKeptListTellsItsListenerOnly) {
  NmeaList l;
  std::vector<std::string> seen;
  int cleared = 0;
  l.SetListener([&](std::string_view s) { seen.emplace_back(s); }, [&] { ++cleared; });
  l.Add("a");
  l.SetKept(false);
  l.Add("b");
  EXPECT_EQ(l.Count(), 1u);
  EXPECT_EQ(l.Text(), "a\r\n");
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
  l.Clear();
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(l.Text(), "");
}

// The line-load meter of the cycle: a group sent is counted from the bytes the port
// took; a group not sent yet, or whose types the port refused, from a group built now.
TEST_F(Cycle, TheLineLoadCountsTheBytesSentThenEstimates) {
  const LineLoad before = tx.MeasureLoad(4800);
  for (const GroupLoad& g : before.groups) {
    EXPECT_EQ(g.types, 3) << "group " << g.group;
    EXPECT_FALSE(g.measured) << "group " << g.group;
    EXPECT_GT(g.bytes, 30u) << "group " << g.group;
  }
  StartAndActivate();
  vc.advance(2000);  // groups 1, 2, 3
  const LineLoad after = tx.MeasureLoad(4800);
  std::size_t total = 0;
  for (const GroupLoad& g : after.groups) {
    EXPECT_TRUE(g.measured) << "group " << g.group;
    total += g.bytes;
  }
  EXPECT_EQ(total, port.bytes[kCom1].size());
  // A type the dialog would add is estimated; the others keep their bytes.
  const LineLoad more = tx.MeasureLoad(
      9600, [](const SentenceEntry& e) { return e.type == "GSV" || e.type == "MTW" || e.type == "VTG" || e.type == "ZDA"; });
  EXPECT_FALSE(more.groups[2].measured);
  EXPECT_GT(more.groups[2].bytes, after.groups[2].bytes + 3 * 30);
  EXPECT_EQ(more.groups[0].bytes, 0u);
  // Group 1 refused from its second sentence on: only DPT is known from the line.
  port.refuse = [](std::int64_t, const std::string& text) { return TypeOf(text) != "DPT"; };
  vc.advance(1000);
  const LineLoad refused = tx.MeasureLoad(4800);
  EXPECT_FALSE(refused.groups[0].measured);
  EXPECT_TRUE(refused.groups[1].measured);
}

#ifndef _WIN32
// With the machine's offset, each group takes the offset of its own instant: a run
// across a change of summer time follows it; a number given keeps its meaning.
TEST(MachineOffset, EachGroupTakesTheOffsetOfItsInstant) {
  const test::ZoneScope zone(test::kCentralEurope);
  test::Scene scene;
  scene.Select({"RMC"});
  Params params;
  ModelTimers timers;
  Panel panel;
  TakeAll port;
  LocalTime now;
  NmeaTransmission tx{scene.m, {scene.s, scene.w, params}, timers.TimerNMEA, panel, port, [&now] { return now; }};
  const struct {
    LocalTime local;
    bool automatic;
    const char* utc;  // RMC's time and date
  } rows[] = {
      {{2026, 3, 29, 1, 59, 59, 0}, true, "005959.00 290326"},  // winter time, UTC + 1
      {{2026, 3, 29, 3, 0, 0, 0}, true, "010000.00 290326"},    // summer time, UTC + 2
      {{2026, 10, 25, 1, 30, 0, 0}, true, "233000.00 241026"},
      {{2026, 12, 31, 23, 30, 0, 0}, true, "223000.00 311226"},
      {{2026, 7, 1, 12, 0, 0, 0}, false, "140000.00 010726"},   // a number given: UTC = local + 2 h
  };
  params.dTU = 2.0L;
  for (const auto& r : rows) {
    now = r.local;
    params.dTUAuto = r.automatic;
    tx.ProcSentence2();
    const std::string rmc(tx.log().raw.Line(tx.log().raw.Count() - 1));
    std::vector<std::string> f;
    std::stringstream in(rmc);
    for (std::string field; std::getline(in, field, ',');) f.push_back(field);
    ASSERT_GE(f.size(), 10u) << rmc;
    EXPECT_EQ(f[1] + " " + f[9], r.utc) << DateStamp(r.local) << " " << TimeStamp(r.local);
  }
}
#endif

TEST(LocalTime, StampsCarriesAndTheStartTime) {
  const struct {
    LocalTime t;
    std::int64_t ms;
    const char* stamp;
  } rows[] = {{{2026, 12, 6, 9, 5, 7, 40}, 0, "2026-12-06 09:05:07.040"},
              {{2026, 12, 31, 23, 59, 59, 999}, 1, "2027-01-01 00:00:00.000"},
              {{2028, 2, 28, 23, 0, 0, 0}, 3'600'000, "2028-02-29 00:00:00.000"},
              {{2027, 2, 28, 23, 0, 0, 0}, 3'600'000, "2027-03-01 00:00:00.000"},
              {{2026, 1, 1, 0, 0, 0, 0}, -1, "2025-12-31 23:59:59.999"},
              {{2026, 12, 6, 12, 15, 30, 0}, 86'400'000LL * 365, "2027-12-06 12:15:30.000"},
              {{999, 1, 2, 3, 4, 5, 6}, 0, "0999-01-02 03:04:05.006"}};
  for (const auto& r : rows) {
    const LocalTime t = AddMilliseconds(r.t, r.ms);
    EXPECT_EQ(DateStamp(t) + " " + TimeStamp(t), r.stamp);
  }
  EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(DaysFromCivil(2000, 3, 1), 11017);  // 30 years, 7 of them leap, plus Jan and Feb 2000
  EXPECT_EQ(ParseLocalTime("2026-02-28 23:59:58"), (LocalTime{2026, 2, 28, 23, 59, 58, 0}));
  EXPECT_TRUE(ParseLocalTime("2028-02-29 00:00:00"));
  for (const char* bad : {"2027-02-29 00:00:00", "2026-13-01 00:00:00", "2026-12-06 24:00:00", "2026-12-06 12:60:00",
                          "2026-12-06T12:00:00", "2026-12-6 12:00:00", "", "0000-01-01 00:00:00",
                          "2026-12-06 12:00:0x"}) {
    EXPECT_FALSE(ParseLocalTime(bad)) << bad;
  }
}

}  // namespace
}  // namespace ventrel
