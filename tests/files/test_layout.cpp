// Where the program reads its data and reads and writes the user's files: the portable
// layout of a build folder, the installed one, and the user's files made at first start.

#include "files/layout.h"

#include <gtest/gtest.h>

#include <string>

#include "files/temp_folder.h"

namespace ventrel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kIni = "[REPERTOIRES]\nPolars=DefPolars/\n";

// Data in `dir` under the test folder: the configuration named `iniName` ("" none) and
// DefPolars/ (when `polars`).
void PutData(const testing::TempFolder& t, const std::string& dir, const std::string& iniName, bool polars) {
  if (!iniName.empty()) testing::WriteText(t / (dir + "/" + iniName), kIni);
  if (polars) fs::create_directories(t / (dir + "/DefPolars"));
}

TEST(Layout, ChoosesWhereFilesAreReadAndWritten) {
  struct Case {
    const char* name;
    const char* binIni;   // configuration in prefix/bin ("" none)
    bool binPolars;
    const char* shareIni;  // configuration in prefix/share/ventrel ("" none)
    bool sharePolars;
    bool writable;         // prefix/bin can be written
    const char* configHome;  // under the test folder, "" unknown
    const char* dataHome;
    // Expected, relative to the test folder.
    bool installed;
    const char* dataDir;
    const char* configPath;
    const char* userPolars;
    const char* userDir;
  };
  const Case cases[] = {
      {"build folder", "Ventrel.ini", true, "", false, true, "h/cfg", "h/data", false, "p/bin", "p/bin/Ventrel.ini", "",
       "p/bin"},
      {"configuration spelled in upper case", "VENTREL.INI", true, "", false, true, "h/cfg", "h/data", false, "p/bin",
       "p/bin/VENTREL.INI", "", "p/bin"},
      {"build folder beside shared data", "Ventrel.ini", true, "Ventrel.ini", true, true, "h/cfg", "h/data", false,
       "p/bin", "p/bin/Ventrel.ini", "", "p/bin"},
      {"installed", "", false, "Ventrel.ini", true, false, "h/cfg", "h/data", true, "p/share/ventrel",
       "h/cfg/Ventrel.ini", "h/data/Polars", "h/cfg"},
      {"installed, program folder writable (root)", "", false, "Ventrel.ini", true, true, "h/cfg", "h/data", true,
       "p/share/ventrel", "h/cfg/Ventrel.ini", "h/data/Polars", "h/cfg"},
      {"read-only program folder with its data", "Ventrel.ini", true, "", false, false, "h/cfg", "h/data", true, "p/bin",
       "h/cfg/Ventrel.ini", "h/data/Polars", "h/cfg"},
      {"no data folder known", "", false, "Ventrel.ini", true, false, "h/cfg", "", true, "p/share/ventrel",
       "h/cfg/Ventrel.ini", "", "h/cfg"},
      {"no configuration folder known", "", false, "Ventrel.ini", true, false, "", "h/data", false, "p/bin",
       "p/bin/Ventrel.ini", "", "p/bin"},
      {"shared data without DefPolars", "", false, "Ventrel.ini", false, false, "h/cfg", "h/data", false, "p/bin",
       "p/bin/Ventrel.ini", "", "p/bin"},
      {"program folder without DefPolars", "Ventrel.ini", false, "", false, true, "h/cfg", "h/data", false, "p/bin",
       "p/bin/Ventrel.ini", "", "p/bin"},
      {"no data anywhere", "", false, "", false, false, "h/cfg", "h/data", false, "p/bin", "p/bin/Ventrel.ini", "",
       "p/bin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder t;
    fs::create_directories(t / "p/bin");
    PutData(t, "p/bin", c.binIni, c.binPolars);
    PutData(t, "p/share/ventrel", c.shareIni, c.sharePolars);
    const auto under = [&t](const char* rel) { return *rel ? t / rel : fs::path(); };
    LayoutFacts f;
    f.programDir = t / "p/bin";
    f.programDirWritable = c.writable;
    f.configHome = under(c.configHome);
    f.dataHome = under(c.dataHome);
    const FileLayout l = ChooseLayout(f);
    EXPECT_EQ(l.installed, c.installed);
    EXPECT_EQ(l.dataDir, under(c.dataDir));
    EXPECT_EQ(l.configPath, under(c.configPath));
    EXPECT_EQ(l.userPolars, under(c.userPolars));
    EXPECT_EQ(l.userDir, under(c.userDir));
    // The shipped configuration is the data folder's, spelled as on disk.
    EXPECT_EQ(l.shippedConfig.parent_path(), l.dataDir);
    // The report names the configuration read and written.
    EXPECT_NE(LayoutReport(l).find(l.configPath.string()), std::string::npos);
  }
}

TEST(Layout, MakesTheUserFilesOnce) {
  struct Case {
    const char* name;
    const char* before;       // the user's configuration before the start, nullptr: none
    bool shippedReadOnly;
    bool fileInTheWay;        // a file where the configuration folder goes
    bool shippedMissing;
    // Expected.
    const char* message;      // part of the French message, "" for none
    bool copied;
    const char* after;        // the user's configuration after, nullptr: none (kIni: the shipped one)
  };
  const Case cases[] = {
      {"first start", nullptr, false, false, false, "", true, kIni},
      {"shipped file read only", nullptr, true, false, false, "", true, kIni},
      {"the user's file is kept", "[Parametres]\nPolaireAct=Mine.pol\n", false, false, false, "", false,
       "[Parametres]\nPolaireAct=Mine.pol\n"},
      {"folder cannot be made", nullptr, false, true, false, "ne peut pas être créé", false, nullptr},
      {"shipped configuration missing", nullptr, false, false, true, "ne peut pas être copiée", false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder t;
    FileLayout l;
    l.installed = true;
    l.dataDir = t / "share";
    l.shippedConfig = t / "share/Ventrel.ini";
    l.configPath = t / "home/cfg/ventrel/Ventrel.ini";
    l.userPolars = t / "home/data/ventrel/Polars";
    if (!c.shippedMissing) testing::WriteText(l.shippedConfig, kIni);
    if (c.shippedReadOnly) fs::permissions(l.shippedConfig, fs::perms::owner_read | fs::perms::group_read);
    if (c.before) testing::WriteText(l.configPath, c.before);
    if (c.fileInTheWay) testing::WriteText(t / "home/cfg/ventrel", "not a folder");
    bool copied = !c.copied;
    const std::string m = PrepareUserFiles(l, &copied);
    if (*c.message) {
      EXPECT_NE(m.find(c.message), std::string::npos) << m;
    } else {
      EXPECT_EQ(m, "");
      EXPECT_TRUE(fs::is_directory(l.userPolars));
    }
    EXPECT_EQ(copied, c.copied);
    if (c.after) {
      EXPECT_EQ(testing::ReadText(l.configPath), c.after);
      const fs::perms p = fs::status(l.configPath).permissions();
      EXPECT_NE(p & fs::perms::owner_write, fs::perms::none);
    } else {
      EXPECT_FALSE(fs::is_regular_file(l.configPath));
    }
    // The shipped data is never written.
    if (!c.shippedMissing) {
      EXPECT_EQ(testing::ReadText(l.shippedConfig), kIni);
    }
  }
}

TEST(Layout, PortableLayoutMakesNothing) {
  testing::TempFolder t;
  PutData(t, "bin", "Ventrel.ini", true);
  LayoutFacts f{t / "bin", true, t / "cfg", t / "data"};
  bool copied = true;
  EXPECT_EQ(PrepareUserFiles(ChooseLayout(f), &copied), "");
  EXPECT_FALSE(copied);
  EXPECT_FALSE(fs::exists(t / "cfg"));
  EXPECT_FALSE(fs::exists(t / "data"));
}

}  // namespace
}  // namespace ventrel
