// The start sequence, the polar keys of an opened configuration and their write-back.

#include "config/startup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/temp_folder.h"

namespace ventrel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPolarText = "TWA\\TWS\t6\t10\n45\t5.1\t6.0\n90\t6.2\t7.1\n";

class Answers : public StartupQuestions {
 public:
  explicit Answers(bool yes) : yes_(yes) {}
  bool AskYesNo(const std::string& question) override {
    questions.push_back(question);
    return yes_;
  }
  std::vector<std::string> questions;

 private:
  bool yes_;
};

// "@" in a case's texts stands for the test folder.
std::string At(const std::string& s, const fs::path& root) {
  std::string out;
  for (char c : s) {
    if (c == '@') {
      out += root.generic_string();
    } else {
      out += c;
    }
  }
  return out;
}

struct StartCase {
  const char* name;
  const char* iniName;  // nullptr: no default configuration
  const char* ini;
  std::vector<const char*> files;  // polar files made under the test folder
  const char* docs;                // the user's documents folder, "" when unknown
  bool answer;
  const char* RepPol;
  const char* NomFiPol;
  const char* NomPol;
  const char* Version;
  bool asked;
  bool ModHoulmar;
};

class StartSequence : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartSequence, FindsTheFoldersAndThePolar) {
  const StartCase& c = GetParam();
  testing::TempFolder root;
  const fs::path appli = root / "app";
  testing::WriteText(appli / "DefPolars" / "First31_7.pol", kPolarText);
  for (const char* f : c.files) testing::WriteText(root / f, kPolarText);
  if (c.iniName != nullptr) testing::WriteText(appli / c.iniName, At(c.ini, root.path()));

  Answers answers(c.answer);
  const StartupResult r = RunStartSequence(appli, At(c.docs, root.path()), answers);
  EXPECT_EQ(r.AppliDir, appli);
  EXPECT_EQ(r.ini.found, c.iniName != nullptr);
  EXPECT_EQ(r.Version, c.Version);
  EXPECT_EQ(r.polar.RepPol, At(c.RepPol, root.path()));
  EXPECT_EQ(r.polar.NomFiPol, At(c.NomFiPol, root.path()));
  EXPECT_EQ(r.polar.NomPol, c.NomPol);
  EXPECT_EQ(r.asked, c.asked);
  EXPECT_EQ(r.RepChoice, c.asked && c.answer);
  EXPECT_EQ(r.ModHoulmar, c.ModHoulmar);
  if (c.asked) {
    ASSERT_EQ(answers.questions.size(), 1u);
    EXPECT_EQ(answers.questions[0],
              "Les polaires de HOULMAR sont disponibles sur votre machine - Voulez-vous les utiliser maintenant ? ");
  } else {
    EXPECT_TRUE(answers.questions.empty());
  }
}

const char* const kDefRep = "@/app/DefPolars/";
const char* const kDefFile = "@/app/DefPolars/First31_7.pol";

INSTANTIATE_TEST_SUITE_P(
    Cases, StartSequence,
    ::testing::Values(
        StartCase{"NoDefaultConfiguration", nullptr, "", {}, "", false, kDefRep, kDefFile, "FIRST31_7", "2.3",
                  false, false},
        // The shipped form: a folder relative to the program folder, the polar saved
        // under its display name.
        StartCase{"RelativeFolderAndUpperCaseName", "Ventrel.ini",
                  "[Version]\nVersion=2.2\n[REPERTOIRES]\nPolars=DefPolars/\n[Parametres]\nPolaireAct=FIRST31_7.pol\n",
                  {}, "", false, kDefRep, kDefFile, "FIRST31_7", "2.2", false, false},
        StartCase{"AbsoluteFolder", "Ventrel.ini",
                  "[REPERTOIRES]\nPolars=@/mine/\n[Parametres]\nPolaireAct=Boat.pol\n", {"mine/Boat.pol"}, "",
                  false, "@/mine/", "@/mine/Boat.pol", "BOAT", "2.3", false, false},
        StartCase{"ConfigurationNamedInCapitals", "VENTREL.INI",
                  "[Repertoires]\nPolars=@/mine\n[PARAMETRES]\npolaireact=Boat.pol\n", {"mine/Boat.pol"}, "", false,
                  "@/mine/", "@/mine/Boat.pol", "BOAT", "2.3", false, false},
        StartCase{"FolderWrittenOnWindows", "Ventrel.ini",
                  "[REPERTOIRES]\nPolars=DefPolars\\\n[Parametres]\nPolaireAct=First31_7.pol\n", {}, "", false,
                  kDefRep, kDefFile, "FIRST31_7", "2.3", false, false},
        StartCase{"ConfiguredPolarMissing", "Ventrel.ini",
                  "[REPERTOIRES]\nPolars=@/mine/\n[Parametres]\nPolaireAct=Gone.pol\n", {"mine/Boat.pol"}, "",
                  false, kDefRep, kDefFile, "FIRST31_7", "2.3", false, false},
        StartCase{"ConfiguredFolderMissing", "Ventrel.ini",
                  "[REPERTOIRES]\nPolars=@/nowhere/\n[Parametres]\nPolaireAct=Boat.pol\n", {}, "", false, kDefRep,
                  kDefFile, "FIRST31_7", "2.3", false, false},
        StartCase{"NoPolarKey", "Ventrel.ini", "[REPERTOIRES]\nPolars=@/mine/\n", {"mine/Boat.pol"}, "", false,
                  kDefRep, kDefFile, "FIRST31_7", "2.3", false, false},
        StartCase{"SiblingPolarsRefused", nullptr, "", {"docs/Houlmar/Polars/First 31.7.pol"}, "@/docs", false,
                  kDefRep, kDefFile, "FIRST31_7", "2.3", true, false},
        StartCase{"SiblingPolarsTaken", nullptr, "", {"docs/Houlmar/Polars/First 31.7.pol"}, "@/docs", true,
                  "@/docs/Houlmar/Polars/", "@/docs/Houlmar/Polars/First 31.7.pol", "FIRST 31.7", "2.3", true,
                  true},
        StartCase{"SiblingFolderInOtherCase", nullptr, "", {"docs/houlmar/POLARS/a.pol"}, "@/docs/", true,
                  "@/docs/houlmar/POLARS/", "@/docs/houlmar/POLARS/First 31.7.pol", "FIRST 31.7", "2.3", true,
                  true},
        StartCase{"SiblingPolarsAlreadyInUse", "Ventrel.ini",
                  "[REPERTOIRES]\nPolars=@/docs/Houlmar/Polars/\n[Parametres]\nPolaireAct=J80.pol\n",
                  {"docs/Houlmar/Polars/J80.pol"}, "@/docs", true, "@/docs/Houlmar/Polars/",
                  "@/docs/Houlmar/Polars/J80.pol", "J80", "2.3", false, false},
        StartCase{"DocumentsUnknown", nullptr, "", {"docs/Houlmar/Polars/First 31.7.pol"}, "", true, kDefRep,
                  kDefFile, "FIRST31_7", "2.3", false, false},
        StartCase{"NoSiblingFolder", nullptr, "", {"docs/Other/Polars/a.pol"}, "@/docs", true, kDefRep, kDefFile,
                  "FIRST31_7", "2.3", false, false}),
    [](const ::testing::TestParamInfo<StartCase>& tpi) { return std::string(tpi.param.name); });

struct OpenCase {
  const char* name;
  const char* ini;
  const char* RepPol;
  const char* NomFiPol;
  const char* NomPol;
};

class OpenPolarKeys : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenPolarKeys, ChangeNamesOnly) {
  const OpenCase& c = GetParam();
  testing::TempFolder root;
  const fs::path appli = root / "app";
  testing::WriteText(appli / "DefPolars" / "First31_7.pol", kPolarText);
  testing::WriteText(root / "mine" / "Boat.pol", kPolarText);
  const PolarPaths current{At("@/mine/", root.path()), At("@/mine/Boat.pol", root.path()), "BOAT"};
  const PolarPaths p = LoadPOlaire(IniFile(At(c.ini, root.path())), current, appli);
  EXPECT_EQ(p.RepPol, At(c.RepPol, root.path()));
  EXPECT_EQ(p.NomFiPol, At(c.NomFiPol, root.path()));
  EXPECT_EQ(p.NomPol, c.NomPol);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenPolarKeys,
    ::testing::Values(
        OpenCase{"BothKeys", "[REPERTOIRES]\nPolars=DefPolars/\n[Parametres]\nPolaireAct=FIRST31_7.pol\n",
                 "@/app/DefPolars/", "@/app/DefPolars/First31_7.pol", "FIRST31_7"},
        // Without "PolaireAct" the current polar stays.
        OpenCase{"NoPolarFile", "[REPERTOIRES]\nPolars=DefPolars/\n", "@/app/DefPolars/", "@/mine/Boat.pol",
                 "BOAT"},
        OpenCase{"EmptyPolarFile", "[Parametres]\nPolaireAct=\n", "@/mine/", "@/mine/Boat.pol", "BOAT"},
        OpenCase{"NoKeys", "", "@/mine/", "@/mine/Boat.pol", "BOAT"},
        OpenCase{"FileInTheCurrentFolder", "[Parametres]\nPolaireAct=boat.POL\n", "@/mine/", "@/mine/Boat.pol",
                 "BOAT"},
        // A file that is not there keeps the name it was given.
        OpenCase{"MissingFile", "[Parametres]\nPolaireAct=Ghost.pol\n", "@/mine/", "@/mine/Ghost.pol", "GHOST"},
        OpenCase{"EmptyFolderIsTheProgramFolder", "[REPERTOIRES]\nPolars=\n[Parametres]\nPolaireAct=x.pol\n",
                 "@/app/", "@/app/x.pol", "X"}),
    [](const ::testing::TestParamInfo<OpenCase>& tpi) { return std::string(tpi.param.name); });

TEST(WriteBack, KeepsEveryOtherLine) {
  testing::TempFolder root;
  const fs::path appli = root / "app";
  const std::string before =
      "; Ventrel\r\n"
      "[Version]\r\n"
      "Name=Ventrel\r\n"
      "[REPERTOIRES]\r\n"
      "Polars=/old/place/\r\n"
      "[Parametres]\r\n"
      "PolaireAct=OLD.pol\r\n"
      "iOFFS_Keel=1.6\r\n"
      "[NMEA]\r\n"
      "iAPB=1\r\n"
      "unknown = kept\r\n";
  testing::WriteText(appli / "Ventrel.ini", before);
  const PolarPaths polar{"", At("@/app/DefPolars/First31_7.pol", root.path()), "FIRST31_7"};
  std::string RepPol;
  const WriteOutcome out = WriteBackPolarKeys(appli / "Ventrel.ini", polar, appli, &RepPol);
  ASSERT_TRUE(out.ok) << out.message;
  std::string after = before;
  after.replace(after.find("/old/place/"), 11, "DefPolars/");
  after.replace(after.find("OLD.pol"), 7, "FIRST31_7.pol");
  EXPECT_EQ(testing::ReadText(appli / "Ventrel.ini"), after);
  EXPECT_EQ(RepPol, At("@/app/DefPolars/", root.path()));
}

TEST(WriteBack, CreatesAMissingFileAndWritesAFolderOutsideTheProgramFolderWhole) {
  testing::TempFolder root;
  const fs::path appli = root / "app";
  fs::create_directories(appli);
  const PolarPaths polar{"", At("@/docs/Houlmar/Polars/First 31.7.pol", root.path()), "FIRST 31.7"};
  ASSERT_TRUE(WriteBackPolarKeys(appli / "Ventrel.ini", polar, appli).ok);
  EXPECT_EQ(testing::ReadText(appli / "Ventrel.ini"),
            At("[Parametres]\nPolaireAct=FIRST 31.7.pol\n[Repertoires]\nPolars=@/docs/Houlmar/Polars/\n",
               root.path()));
}

TEST(WriteBack, TheNextStartFindsThePolarWrittenBack) {
  testing::TempFolder root;
  const fs::path appli = root / "app";
  testing::WriteText(appli / "DefPolars" / "First31_7.pol", kPolarText);
  testing::WriteText(root / "mine" / "Boat_2.pol", kPolarText);
  const PolarPaths polar{"", At("@/mine/Boat_2.pol", root.path()), "BOAT_2"};
  ASSERT_TRUE(WriteBackPolarKeys(appli / "Ventrel.ini", polar, appli).ok);
  Answers answers(false);
  const StartupResult r = RunStartSequence(appli, "", answers);
  EXPECT_EQ(r.polar.NomFiPol, At("@/mine/Boat_2.pol", root.path()));  // "BOAT_2.pol" finds "Boat_2.pol"
  EXPECT_EQ(r.polar.NomPol, "BOAT_2");
}

TEST(WriteBack, ACrashMidWriteLeavesTheFileIntact) {
  testing::TempFolder root;
  const fs::path appli = root / "app";
  const std::string before = "[Parametres]\nPolaireAct=OLD.pol\n" + std::string(6000, ';') + "\n";
  testing::WriteText(appli / "Ventrel.ini", before);
  const PolarPaths polar{"", At("@/app/DefPolars/First31_7.pol", root.path()), "FIRST31_7"};
  std::size_t written = 0;
  const ChunkWriter dies = [&](std::FILE* f, std::string_view chunk) -> bool {
    if (written + chunk.size() > 5000) throw std::runtime_error("killed");
    written += std::fwrite(chunk.data(), 1, chunk.size(), f);
    return true;
  };
  std::string RepPol = "unchanged";
  EXPECT_THROW(WriteBackPolarKeys(appli / "Ventrel.ini", polar, appli, &RepPol, dies), std::runtime_error);
  EXPECT_EQ(testing::ReadText(appli / "Ventrel.ini"), before);
  EXPECT_EQ(RepPol, "unchanged");
}

TEST(WriteBack, AnUnreadableFileIsNotReplaced) {
  testing::TempFolder root;
  const fs::path appli = root / "app";
  fs::create_directories(appli / "Ventrel.ini");
  const PolarPaths polar{"", "/p/First31_7.pol", "FIRST31_7"};
  const WriteOutcome out = WriteBackPolarKeys(appli / "Ventrel.ini", polar, appli);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.message,
            "Le fichier « Ventrel.ini » ne peut pas être lu. La polaire en cours n'y est pas enregistrée.");
  EXPECT_TRUE(fs::is_directory(appli / "Ventrel.ini"));
}

TEST(DefaultConfigPath, FindsTheFileWhateverItsCase) {
  testing::TempFolder root;
  EXPECT_EQ(DefaultConfigPath(root.path()), root / "Ventrel.ini");  // the usual name when there is none
  testing::WriteText(root / "VENTREL.INI", "");
  EXPECT_EQ(DefaultConfigPath(root.path()), root / "VENTREL.INI");
}

}  // namespace
}  // namespace ventrel
