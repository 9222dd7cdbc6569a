// The panel model: design state of the window and the change marks.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "sim/panel.h"

namespace ventrel {
namespace {

TEST(Panel, DesignTextsOfTheInputs) {
  const Panel p;
  const std::pair<const char*, const char*> rows[] = {
      {"EdHDG", "335"},        {"EdTWS", "10"},           {"EdTWD", "220"},        {"EdFcourant", "0"},
      {"EdDirCourant", "70"},  {"EdBSP", "6.2"},          {"EdLATdeg", "51"},      {"EdLATmin", "4.14"},
      {"EdLGDEG", "2"},        {"EdLGmin", "23.08"},      {"EdPolPerc", "100"},    {"EdNwpt", "Att_Dover"},
      {"EdLatWpDeg", "51"},    {"EDLatWpmin", "06.18"},   {"EDLGWpDeg", "1"},      {"EdLGWpmin", "19.88"},
      {"EdiDECL", "1"},        {"EdCAP", " 335"},         {"SBtVire", "VIRER !"},  {"SBtEmp", "EMPANNER"},
      {"LbModPil", " AUTO"},   {"LabTypVent", "Vent réel TW"}, {"StxNomPol", "NOM DE LA POLAIRE"},
  };
  for (const auto& [name, text] : rows) EXPECT_EQ(p[name].text(), text) << name;
}

TEST(Panel, RadioGroupsStartOnTheirFirstItem) {
  const Panel p;
  const std::pair<const char*, std::vector<std::string>> rows[] = {
      {"RadioGLAT", {"N", "S"}}, {"RadioGrLG", {"E", "W"}}, {"RdGrWpNS", {"N", "S"}},
      {"RdGrWpEW", {"E", "W"}},  {"RdgDecl", {"E", "W"}},   {"RadioGTypC", {"constant", "alterné"}},
  };
  for (const auto& [name, items] : rows) {
    EXPECT_EQ(p[name].items(), items) << name;
    EXPECT_EQ(p[name].itemIndex(), 0) << name;
  }
}

TEST(Panel, CommandsDisabledUntilTheFirstStart) {
  const Panel p;
  for (const char* n : {"SpBtPauseRes", "BtBestHaul", "SBtVire", "SBtEmp", "TrackBarre"}) {
    EXPECT_FALSE(p[n].enabled()) << n;
  }
  for (const char* n : {"BtCalC", "Paramtres1", "Ouvrir1", "SpBtAUTO", "SpBtStdBY"}) EXPECT_TRUE(p[n].enabled()) << n;
  EXPECT_EQ(p["BtBestHaul"].picture(), "vamp.bmp");
  EXPECT_EQ(p["TrackBarre"].position(), 15);
  EXPECT_FALSE(p["TrackBarre"].sliderVisible());
  EXPECT_EQ(p["UpDownPol"].position(), 100);
  EXPECT_TRUE(p["SpBtAUTO"].checked());
  EXPECT_EQ(p["LbEdBestHaul"].label(), "Meilleur SWA");
  EXPECT_EQ(p["SpBtPauseRes"].hint(), "Pause / Reprendre est inhibé pendant la rotation du courant ");
}

TEST(Panel, AnUnknownNameIsRefused) {
  Panel p;
  EXPECT_THROW(p["EdHdg"], std::out_of_range);
  EXPECT_FALSE(p.has("EdHdg"));
  p.add("CBcom").setText("COM1");
  EXPECT_EQ(p["CBcom"].text(), "COM1");
  EXPECT_EQ(&p.add("CBcom"), &p["CBcom"]);
}

TEST(Panel, OnlyRealChangesAreMarked) {
  Panel p;
  p.clearAllChanged();
  p["EdHDG"].setText("335");         // same text
  p["EdTWS"].setText("12.0");        // changed
  p["SBtVire"].setEnabled(false);    // already disabled
  p["Edam"].setBackground(MonVert);  // changed
  std::vector<std::string> seen;
  p.takeChanged([&](const PanelField& f) { seen.push_back(f.name()); });
  EXPECT_EQ(seen, (std::vector<std::string>{"EdTWS", "Edam"}));
  seen.clear();
  p.takeChanged([&](const PanelField& f) { seen.push_back(f.name()); });
  EXPECT_TRUE(seen.empty());
}

}  // namespace
}  // namespace ventrel
