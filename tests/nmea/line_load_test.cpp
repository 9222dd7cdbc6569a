// The line-load meter: which sentence is which type, the bytes of the groups sent
// and of the groups built now, the time of each group on the wire at a speed, and
// the warning when a group does not fit in its second, or in its share of a second
// when the run goes faster than real time.

#include <gtest/gtest.h>

#include <vector>

#include "nmea/line_load.h"
#include "nmea/scene.h"

namespace ventrel {
namespace {

constexpr long double kSpeeds[] = {150, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400};

std::size_t IndexOf(std::string_view type) {
  const auto table = SentenceTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].type == type) return i;
  }
  ADD_FAILURE() << type << " is not in the table";
  return 0;
}

const auto kAll = [](const SentenceEntry&) { return true; };

// Every type known with 0 bytes, but for the first type of each group, which holds
// the bytes of the whole group.
TypeBytes GroupsOf(std::size_t g1, std::size_t g2, std::size_t g3) {
  TypeBytes b{};
  const std::size_t bytes[3] = {g1, g2, g3};
  bool first[3] = {true, true, true};
  const auto table = SentenceTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const auto g = static_cast<std::size_t>(table[i].group - 1);
    b[i] = first[g] ? bytes[g] : 0;
    first[g] = false;
  }
  return b;
}

TEST(LineLoad, SentBytesCountEachTypeOfTheLastGroupSent) {
  SentBytes sent;
  sent.BeginGroup(3);
  for (const char* s : {"$GPGSV,3,1,12*00", "$GPGSV,3,2,12*00", "$GPGSV,3,3,12*00", "$GPZDA,1*00"}) sent.Add(s);
  sent.BeginGroup(1);
  for (const char* s : {"$HCHDT,45.0,T*1B", "$GPXYZ,1*00", "$GPDPTX,1*00", "not a sentence"}) sent.Add(s);
  EXPECT_EQ(sent.bytes()[IndexOf("GSV")], 54u);  // three sentences of 16, each with CR LF
  EXPECT_EQ(sent.bytes()[IndexOf("ZDA")], 13u);
  EXPECT_EQ(sent.bytes()[IndexOf("HDT")], 18u);
  EXPECT_FALSE(sent.bytes()[IndexOf("DPT")]);  // "DPTX" is not DPT
  // Group 3 again, without ZDA: ZDA is no longer known, group 1 is kept.
  sent.BeginGroup(3);
  sent.Add("$GPGSV,3,1,12*00");
  EXPECT_EQ(sent.bytes()[IndexOf("GSV")], 18u);
  EXPECT_FALSE(sent.bytes()[IndexOf("ZDA")]);
  EXPECT_EQ(sent.bytes()[IndexOf("HDT")], 18u);
}

TEST(LineLoad, TheGroupsBuiltNowAreTheGroupsWithEverySentence) {
  test::Scene scene;
  scene.Select({"RMC"});
  const NmeaModule before = scene.m;
  const TypeBytes built = BuildAllTypes(scene.m, scene.s, scene.w, scene.clock);
  // The module given is not changed: its selection and slots stay.
  EXPECT_EQ(scene.m.sentenceSlots, before.sentenceSlots);
  EXPECT_EQ(scene.m.gsvr.switch_, t_switch::OFF);
  for (std::size_t i = 0; i < built.size(); ++i) {
    EXPECT_TRUE(built[i] && *built[i] > 10u) << SentenceTable()[i].type;
  }
  // Each group built with every sentence selected takes the bytes of its types.
  scene.Select({"*"});
  for (int g = 1; g <= 3; ++g) {
    const int n = scene.Build(g);
    std::size_t bytes = 0;
    for (int i = 1; i <= n; ++i) bytes += scene.m.sentenceSlots[static_cast<std::size_t>(i)].size() + 2;
    const LineLoad load = MeasureLineLoad(kAll, TypeBytes{}, built, 4800);
    EXPECT_EQ(load.groups[static_cast<std::size_t>(g - 1)].bytes, bytes) << "group " << g;
  }
}

TEST(LineLoad, TheBytesOfTheSelectedTypesAgainstTheLine) {
  TypeBytes built{};
  TypeBytes sent{};
  built[IndexOf("DPT")] = 30;
  built[IndexOf("HDT")] = 18;
  sent[IndexOf("HDT")] = 19;  // the line's count wins over the estimate
  built[IndexOf("RMC")] = 75;
  sent[IndexOf("GSV")] = 200;
  built[IndexOf("ZDA")] = 40;
  const auto only = [](std::initializer_list<std::string_view> list) {
    return [types = std::vector<std::string_view>(list)](const SentenceEntry& e) {
      for (auto t : types) {
        if (t == e.type) return true;
      }
      return false;
    };
  };
  const struct {
    const char* what;
    std::function<bool(const SentenceEntry&)> selected;
    std::int64_t baud;
    std::array<std::size_t, 3> bytes;
    std::array<bool, 3> measured;
    std::array<std::int64_t, 3> hundredths;
    std::int64_t percent;
  } cases[] = {
      {"estimated and measured", only({"DPT", "HDT", "RMC", "GSV"}), 4800, {49, 75, 200}, {false, false, true},
       {11, 16, 42}, 23},
      {"the same at 9600", only({"DPT", "HDT", "RMC", "GSV"}), 9600, {49, 75, 200}, {false, false, true},
       {6, 8, 21}, 12},
      {"a type not selected is not counted", only({"HDT", "ZDA"}), 4800, {19, 0, 40}, {true, true, false},
       {4, 0, 9}, 5},
      {"a type known nowhere counts 0", only({"MWD"}), 4800, {0, 0, 0}, {false, true, true}, {0, 0, 0}, 0},
      {"150 baud: 15 bytes a second", only({"GSV"}), 150, {0, 0, 200}, {true, true, true}, {0, 0, 1334}, 445},
  };
  for (const auto& c : cases) {
    const LineLoad load = MeasureLineLoad(c.selected, sent, built, c.baud);
    EXPECT_EQ(load.bytesPerSecond, c.baud / 10) << c.what;
    for (std::size_t g = 0; g < 3; ++g) {
      EXPECT_EQ(load.groups[g].group, static_cast<int>(g + 1)) << c.what;
      EXPECT_EQ(load.groups[g].bytes, c.bytes[g]) << c.what << ", group " << g + 1;
      EXPECT_EQ(load.groups[g].measured, c.measured[g]) << c.what << ", group " << g + 1;
      EXPECT_EQ(load.groups[g].hundredths, c.hundredths[g]) << c.what << ", group " << g + 1;
    }
    EXPECT_EQ(load.percent, c.percent) << c.what;
  }
}

TEST(LineLoad, TheWarningWhenAGroupSpillsIntoTheNextSecond) {
  const struct {
    std::array<std::size_t, 3> groups;
    std::int64_t baud;
    std::string warning;
  } cases[] = {
      {{350, 340, 590}, 4800, "Le groupe 3 dure 1,23 s à 4800 bauds : choisissez 9600 bauds ou moins de phrases"},
      {{350, 340, 590}, 9600, ""},
      // Exactly a second fits; a byte more does not, and its time is rounded up.
      {{480, 0, 0}, 4800, ""},
      {{481, 0, 0}, 4800, "Le groupe 1 dure 1,01 s à 4800 bauds : choisissez 9600 bauds ou moins de phrases"},
      // The longest group is named, and the speed is the one where all fit.
      {{500, 1000, 700}, 4800, "Le groupe 2 dure 2,09 s à 4800 bauds : choisissez 19200 bauds ou moins de phrases"},
      {{0, 16, 0}, 150, "Le groupe 2 dure 1,07 s à 150 bauds : choisissez 300 bauds ou moins de phrases"},
      {{30000, 0, 0}, 230400, "Le groupe 1 dure 1,31 s à 230400 bauds : choisissez moins de phrases"},
  };
  for (const auto& c : cases) {
    const LineLoad load = MeasureLineLoad(kAll, TypeBytes{}, GroupsOf(c.groups[0], c.groups[1], c.groups[2]), c.baud);
    EXPECT_EQ(LineLoadWarning(load, kSpeeds), c.warning) << c.groups[0] << " " << c.groups[1] << " " << c.groups[2];
  }
}

// At ×N each group has 1/N of a second on the line.
TEST(LineLoad, ARunFasterThanRealTimeIsRefusedWhenAGroupNoLongerFits) {
  const struct {
    std::array<std::size_t, 3> groups;
    std::int64_t baud;
    int times;
    std::string refusal;
  } cases[] = {
      // Real time is never refused here, even when a group spills (the warning says so).
      {{350, 340, 590}, 4800, 1, ""},
      // Exactly a tenth of a second fits at ×10; a byte more does not.
      {{40, 40, 48}, 4800, 10, ""},
      {{40, 40, 49}, 4800, 10,
       "À ×10, le groupe 3 (49 octets) dure 0,11 s à 4800 bauds pour 0,10 s : la ligne série ne suit pas ; "
       "choisissez ×9 au plus, 9600 bauds ou moins de phrases"},
      // The shipped selection: not even ×1 fits at 4800, so ×1 is the advice.
      {{261, 427, 588}, 4800, 10,
       "À ×10, le groupe 3 (588 octets) dure 1,23 s à 4800 bauds pour 0,10 s : la ligne série ne suit pas ; "
       "choisissez ×1 au plus, 115200 bauds ou moins de phrases"},
      {{261, 427, 588}, 38400, 5, ""},
      // The longest group is named; a third of a second is written in hundredths.
      {{500, 1000, 700}, 38400, 5,
       "À ×5, le groupe 2 (1000 octets) dure 0,27 s à 38400 bauds pour 0,20 s : la ligne série ne suit pas ; "
       "choisissez ×3 au plus, 57600 bauds ou moins de phrases"},
      {{0, 100, 0}, 2400, 3,
       "À ×3, le groupe 2 (100 octets) dure 0,42 s à 2400 bauds pour 0,33 s : la ligne série ne suit pas ; "
       "choisissez ×2 au plus, 4800 bauds ou moins de phrases"},
      // No speed of the list carries it: only a slower run or fewer sentences.
      {{30000, 0, 0}, 230400, 100,
       "À ×100, le groupe 1 (30000 octets) dure 1,31 s à 230400 bauds pour 0,01 s : la ligne série ne suit pas ; "
       "choisissez ×1 au plus ou moins de phrases"},
  };
  for (const auto& c : cases) {
    const LineLoad load = MeasureLineLoad(kAll, TypeBytes{}, GroupsOf(c.groups[0], c.groups[1], c.groups[2]), c.baud);
    EXPECT_EQ(SpeedLoadRefusal(load, c.times, kSpeeds), c.refusal)
        << "x" << c.times << " at " << c.baud << ": " << c.groups[0] << " " << c.groups[1] << " " << c.groups[2];
  }
}

TEST(LineLoad, TheFiguresForTheUser) {
  TypeBytes sent = GroupsOf(327, 0, 590);
  sent[IndexOf("VHW")].reset();
  sent[IndexOf("GLL")].reset();
  TypeBytes built = GroupsOf(0, 280, 0);
  const LineLoad load = MeasureLineLoad(kAll, sent, built, 4800);
  EXPECT_EQ(LineLoadText(load),
            "Groupe 1 : 327 octets, 0,69 s (69 %)\n"
            "Groupe 2 : 280 octets, 0,59 s (59 %) (estimé)\n"
            "Groupe 3 : 590 octets, 1,23 s (123 %)\n"
            "Ligne à 4800 bauds (480 octets/s) : chargée à 84 %");
  const LineLoad none = MeasureLineLoad([](const SentenceEntry& e) { return e.group != 2; }, sent, built, 9600);
  EXPECT_NE(LineLoadText(none).find("Groupe 2 : 0 octets, 0,00 s (0 %) (vide)\n"), std::string::npos)
      << LineLoadText(none);
}

}  // namespace
}  // namespace ventrel
