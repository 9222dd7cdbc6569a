// The model of the selection dialog: items, checks, talkers, OK.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "nmea/selection.h"
#include "scene.h"

namespace ventrel::test {
namespace {

std::string Flags(const NmeaModule& m) {
  std::string s;
  for (const auto& e : SentenceTable()) s += Selected(m, e) ? '1' : '0';
  return s;
}

TEST(NmeaSelection, ItemsAreThe31SentencesWithTheirRecordsMarksAndDescriptions) {
  ASSERT_EQ(kNmeaItemTable.size(), 31u);
  const std::set<std::string_view> obsolete = {"DBK", "DBS", "HDM", "HDT", "VWR"};
  std::set<std::string_view> types;
  for (const auto& item : kNmeaItemTable) {
    SCOPED_TRACE(std::string(item.name));
    const SentenceEntry* e = FindSentence(item.type);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(item.record, e->record);
    EXPECT_TRUE(types.insert(item.type).second);
    EXPECT_EQ(item.name.substr(0, 3), item.type);
    EXPECT_EQ(item.name.find(" *") != std::string_view::npos, obsolete.count(item.type) == 1);
    EXPECT_EQ(item.name.back() == '\t', item.type != "MTW" && item.type != "ZTG");
  }
  // Alphabetical, as the list shows them.
  EXPECT_TRUE(std::is_sorted(kNmeaItemTable.begin(), kNmeaItemTable.end(),
                             [](const auto& a, const auto& b) { return a.type < b.type; }));
  EXPECT_EQ(kNmeaItemTable[21].name, "VHW \t");
  EXPECT_EQ(kNmeaItemTable[7].name, "GGA\t");
  // One description line per item, each beginning with two spaces.
  const std::string text = NmeaSelection::DescriptionText();
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_NE(text.back(), '\n');
  for (const auto& l : lines) EXPECT_EQ(l.substr(0, 2), "  ") << l;
  EXPECT_EQ(lines[0], "  Pilote automatique phrase B");
  EXPECT_EQ(lines[6], "  Profondeur d'eau  (sous le capteur)");
  EXPECT_EQ(lines[28], "  Écart latéral à la route du waypoint");
  EXPECT_EQ(lines[30], "  TU et temps restant pour atteindre le waypoint");
}

TEST(NmeaSelection, FlagsChangeOnlyAtOkEachItemItsOwnRecord) {
  Scene x;
  NmeaSelection sel;
  sel.BtDeselALLClick();
  // Not before OK: a new module's flags, every type on but ROT, RSA, VLW, GGA and
  // XTE (in the table's order).
  EXPECT_EQ(Flags(x.m), "1111111001110101111111101111111");
  sel.BtParNMEA_OKClick(x.m);
  EXPECT_EQ(Flags(x.m), std::string(31, '0'));
  // Nothing selected: every group build writes nothing, and the date is still computed.
  EXPECT_EQ(x.Build(1) + x.Build(2) + x.Build(3), 0);
  EXPECT_EQ(x.m.datact, "061226");
  sel.BtSelAllClick();
  EXPECT_EQ(Flags(x.m), std::string(31, '0'));
  sel.BtParNMEA_OKClick(x.m);
  EXPECT_EQ(Flags(x.m), std::string(31, '1'));
  for (int i = 0; i < kNmeaItems; ++i) {
    sel.BtDeselALLClick();
    sel.checked[i] = true;
    sel.BtParNMEA_OKClick(x.m);
    for (const auto& e : SentenceTable()) {
      EXPECT_EQ(Selected(x.m, e), e.type == kNmeaItemTable[i].type) << i << " " << e.type;
    }
  }
}

TEST(NmeaSelection, TalkersFromTheRadioGroupsAtOk) {
  ASSERT_EQ(kTalkerRadios.size(), 4u);
  EXPECT_EQ(std::string(kTalkerRadios[0].ids[0]) + std::string(kTalkerRadios[0].ids[1]) +
                std::string(kTalkerRadios[1].ids[1]) + std::string(kTalkerRadios[2].ids[0]) +
                std::string(kTalkerRadios[3].ids[0]),
            "ECGPIIDMWI");
  for (const auto& r : kTalkerRadios) {
    for (int i = 0; i < 2; ++i) EXPECT_EQ(r.items[i].substr(0, 2), r.ids[i]);
  }
  Scene x;
  NmeaSelection sel;
  sel.BtSelAllClick();
  sel.RdGDevPos = 0;
  sel.RdGDevSond = sel.RdGInst = sel.RdGWI = 1;
  EXPECT_EQ(x.m.DevPos, "GP");  // not before OK
  sel.BtParNMEA_OKClick(x.m);
  EXPECT_EQ(x.m.DevPos + x.m.Sounder + x.m.Speedo + x.m.Winst, "ECIIIIII");
  // A group with no item selected leaves its talker.
  sel.RdGDevPos = -1;
  sel.RdGDevSond = 0;
  sel.BtParNMEA_OKClick(x.m);
  EXPECT_EQ(x.m.DevPos + x.m.Sounder, "ECSD");
  // The new talkers are used by the next build; the heading keeps HC.
  x.Select({"DPT", "HDT"});
  ASSERT_EQ(x.Build(1), 2);
  EXPECT_EQ(x.m.sentenceSlots[1].substr(0, 6) + x.m.sentenceSlots[2].substr(0, 6), "$SDDPT$HCHDT");
}

TEST(NmeaSelection, RefreshShowsTheFlagsAndTheRadiosWaitForOk) {
  Scene x;
  x.Select({"RMC", "ZTG", "APB"});
  NmeaSelection sel;
  sel.BtSelAllClick();
  sel.RefreshNMEAParam(x.m);
  for (int i = 0; i < kNmeaItems; ++i) {
    const auto t = kNmeaItemTable[i].type;
    EXPECT_EQ(sel.checked[i], t == "RMC" || t == "ZTG" || t == "APB") << t;
  }
  sel.SetTalkerRadios("EC", "II", "DMxx", "");
  EXPECT_EQ((std::array<int, 4>{sel.RdGDevPos, sel.RdGDevSond, sel.RdGInst, sel.RdGWI}),
            (std::array<int, 4>{0, 1, 0, 1}));
  EXPECT_EQ(x.m.DevPos + x.m.Sounder, "GPSD");
}

}  // namespace
}  // namespace ventrel::test
