// The model of the selection dialog: items, checks, talkers, OK.

#include <gtest/gtest.h>

#include <set>

#include "nmea/selection.h"
#include "scene.h"

namespace ventrel::test {
namespace {

TEST(NmeaSelection, ItemsAreThe26SentencesWithTheirRecordsAndMarks) {
  ASSERT_EQ(kNmeaItemTable.size(), 26u);
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
    const bool tab = item.name.back() == '\t';
    EXPECT_EQ(tab, item.type != "MTW" && item.type != "ZTG");
    EXPECT_FALSE(item.description.empty());
  }
  // Alphabetical, as the list shows them.
  EXPECT_EQ(kNmeaItemTable.front().type, "APB");
  EXPECT_EQ(kNmeaItemTable.back().type, "ZTG");
  EXPECT_EQ(kNmeaItemTable[18].name, "VHW \t");
}

TEST(NmeaSelection, DescriptionLinesBeginWithTwoSpacesOnePerItem) {
  const std::string text = NmeaSelection::DescriptionText();
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    const auto nl = text.find('\n', start);
    lines.push_back(text.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  ASSERT_EQ(lines.size(), 26u);
  EXPECT_EQ(lines[0], "  Pilote automatique phrase B");
  EXPECT_EQ(lines[6], "  Profondeur d'eau  (sous le capteur)");
  EXPECT_EQ(lines[25], "  TU et temps restant pour atteindre le waypoint");
}

TEST(NmeaSelection, FlagsChangeOnlyAtOk) {
  Scene x;
  NmeaSelection sel;
  sel.BtDeselALLClick();
  for (const auto& e : SentenceTable()) EXPECT_TRUE(Selected(x.m, e)) << "before OK: " << e.type;
  sel.BtParNMEA_OKClick(x.m);
  for (const auto& e : SentenceTable()) EXPECT_FALSE(Selected(x.m, e)) << e.type;
  // Nothing selected: every group build writes nothing.
  EXPECT_EQ(x.Build(1), 0);
  EXPECT_EQ(x.Build(2), 0);
  EXPECT_EQ(x.Build(3), 0);
  EXPECT_EQ(x.m.datact, "061226");  // the date is still computed
  sel.BtSelAllClick();
  for (const auto& e : SentenceTable()) EXPECT_FALSE(Selected(x.m, e)) << "no OK yet: " << e.type;
  sel.BtParNMEA_OKClick(x.m);
  for (const auto& e : SentenceTable()) EXPECT_TRUE(Selected(x.m, e)) << e.type;
}

TEST(NmeaSelection, EachItemSetsItsOwnRecord) {
  for (int i = 0; i < kNmeaItems; ++i) {
    Scene x;
    NmeaSelection sel;
    sel.BtDeselALLClick();
    sel.checked[i] = true;
    sel.BtParNMEA_OKClick(x.m);
    for (const auto& e : SentenceTable()) {
      EXPECT_EQ(Selected(x.m, e), e.type == kNmeaItemTable[i].type) << i << " " << e.type;
    }
  }
}

TEST(NmeaSelection, TalkersFromTheRadioGroupsAtOk) {
  Scene x;
  NmeaSelection sel;
  sel.BtSelAllClick();
  sel.RdGDevPos = 0;
  sel.RdGDevSond = 1;
  sel.RdGInst = 1;
  sel.RdGWI = 1;
  EXPECT_EQ(x.m.DevPos, "GP");  // not before OK
  sel.BtParNMEA_OKClick(x.m);
  EXPECT_EQ(x.m.DevPos, "EC");
  EXPECT_EQ(x.m.Sounder, "II");
  EXPECT_EQ(x.m.Speedo, "II");
  EXPECT_EQ(x.m.Winst, "II");
  // A group with no item selected leaves its talker.
  sel.RdGDevPos = -1;
  sel.RdGDevSond = 0;
  sel.BtParNMEA_OKClick(x.m);
  EXPECT_EQ(x.m.DevPos, "EC");
  EXPECT_EQ(x.m.Sounder, "SD");
  // The new talkers are used by the next build; the heading keeps HC.
  x.Select({"DPT", "HDT"});
  ASSERT_EQ(x.Build(1), 2);
  EXPECT_EQ(x.m.tab_PhNMEA[1].substr(0, 6), "$SDDPT");
  EXPECT_EQ(x.m.tab_PhNMEA[2].substr(0, 6), "$HCHDT");
}

TEST(NmeaSelection, RefreshShowsTheFlagsAndConfigurationSetsTheRadios) {
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
  EXPECT_EQ(sel.RdGDevPos, 0);
  EXPECT_EQ(sel.RdGDevSond, 1);
  EXPECT_EQ(sel.RdGInst, 0);
  EXPECT_EQ(sel.RdGWI, 1);
  // The talkers of the sentences wait for OK.
  EXPECT_EQ(x.m.DevPos, "GP");
  EXPECT_EQ(x.m.Sounder, "SD");
}

TEST(NmeaSelection, RadioCaptionsAndIdentifiers) {
  ASSERT_EQ(kTalkerRadios.size(), 4u);
  EXPECT_EQ(kTalkerRadios[0].ids[0], "EC");
  EXPECT_EQ(kTalkerRadios[0].ids[1], "GP");
  EXPECT_EQ(kTalkerRadios[1].ids[1], "II");
  EXPECT_EQ(kTalkerRadios[2].ids[0], "DM");
  EXPECT_EQ(kTalkerRadios[3].ids[0], "WI");
  for (const auto& r : kTalkerRadios) {
    for (int i = 0; i < 2; ++i) EXPECT_EQ(r.items[i].substr(0, 2), r.ids[i]);
  }
}

}  // namespace
}  // namespace ventrel::test
