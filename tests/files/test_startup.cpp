// The start sequence, the polar keys of an opened configuration and their write-back.

#include "files/startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/temp_folder.h"

namespace ventrel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPolarText = "TWA\\TWS\t6\t10\n45\t5.1\t6.0\n90\t6.2\t7.1\n";
constexpr const char* kQuestion =
    "Les polaires de HOULMAR sont disponibles sur votre machine - Voulez-vous les utiliser maintenant ? ";

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
std::string At(std::string s, const fs::path& root) {
  for (std::size_t at = s.find('@'); at != std::string::npos; at = s.find('@', at + 1)) {
    s.replace(at, 1, root.generic_string());
  }
  return s;
}

// A program folder with the default polar.
struct Root {
  testing::TempFolder root;
  fs::path appli = root / "app";
  Root() { testing::WriteText(appli / "DefPolars" / "First31_7.pol", kPolarText); }
  std::string At(const char* s) const { return ventrel::At(s, root.path()); }
};

TEST(StartSequence, FindsTheFoldersAndThePolar) {
  struct Case {
    const char* name;
    const char* iniName = "Ventrel.ini";  // nullptr: no default configuration
    const char* ini = "";
    std::vector<const char*> files = {};  // polar files made under the test folder
    const char* docs = "";                // the user's documents folder, "" when unknown
    bool answer = false;
    bool asked = false;
    const char* RepPol = "@/app/DefPolars/";
    const char* NomFiPol = "@/app/DefPolars/First31_7.pol";
    const char* NomPol = "FIRST31_7";
    const char* Version = "2.3";
    const char* warning = "";      // a piece of the warning about the configured polar; "": none
    const char* folderAt = nullptr;  // a folder made under the test folder
    const char* fifoAt = nullptr;    // a FIFO made under the test folder
  };
  const Case cases[] = {
      {.name = "no default configuration", .iniName = nullptr},
      // The shipped form: a folder relative to the program folder, the polar saved under its display name.
      {.name = "relative folder, upper-case name",
       .ini = "[Version]\nVersion=2.2\n[REPERTOIRES]\nPolars=DefPolars/\n[Parametres]\nPolaireAct=FIRST31_7.pol\n",
       .Version = "2.2"},
      {.name = "absolute folder", .ini = "[REPERTOIRES]\nPolars=@/mine/\n[Parametres]\nPolaireAct=Boat.pol\n",
       .files = {"mine/Boat.pol"}, .RepPol = "@/mine/", .NomFiPol = "@/mine/Boat.pol", .NomPol = "BOAT"},
      {.name = "configuration named in capitals", .iniName = "VENTREL.INI",
       .ini = "[Repertoires]\nPolars=@/mine\n[PARAMETRES]\npolaireact=Boat.pol\n", .files = {"mine/Boat.pol"},
       .RepPol = "@/mine/", .NomFiPol = "@/mine/Boat.pol", .NomPol = "BOAT"},
      {.name = "folder written on Windows",
       .ini = "[REPERTOIRES]\nPolars=DefPolars\\\n[Parametres]\nPolaireAct=First31_7.pol\n"},
      // A configured polar that cannot be used is named in the warning, with the default one taken instead.
      {.name = "configured polar missing",
       .ini = "[REPERTOIRES]\nPolars=@/mine/\n[Parametres]\nPolaireAct=Gone.pol\n", .files = {"mine/Boat.pol"},
       .warning = "« @/mine/Gone.pol » ne peut pas servir, la polaire par défaut « @/app/DefPolars/First31_7.pol » est "
                  "prise à sa place. Raison : le fichier n'existe pas dans ce dossier."},
      {.name = "configured folder missing",
       .ini = "[REPERTOIRES]\nPolars=@/nowhere/\n[Parametres]\nPolaireAct=Boat.pol\n",
       .warning = "« @/nowhere/Boat.pol » ne peut pas servir, la polaire par défaut « @/app/DefPolars/First31_7.pol » "
                  "est prise à sa place. Raison : le dossier « @/nowhere/ » n'existe pas."},
      {.name = "configured polar is a folder", .ini = "[REPERTOIRES]\nPolars=@/mine/\n[Parametres]\nPolaireAct=boat.pol\n",
       .warning = "Raison : « @/mine/Boat.pol » n'est pas un fichier ordinaire : c'est un dossier.",
       .folderAt = "mine/Boat.pol"},
      {.name = "configured polar is a FIFO", .ini = "[REPERTOIRES]\nPolars=@/mine/\n[Parametres]\nPolaireAct=Boat.pol\n",
       .warning = "« @/mine/Boat.pol » n'est pas un fichier ordinaire : c'est un tube nommé", .fifoAt = "mine/Boat.pol"},
      {.name = "configured polar without its folder", .ini = "[Parametres]\nPolaireAct=Boat.pol\n",
       .files = {"app/Boat.pol"}, .warning = "« Boat.pol » ne peut pas servir, la polaire par défaut"},
      // Taken instead of the missing one, the sibling polars are the user's choice: no warning.
      {.name = "configured polar missing, sibling polars taken",
       .ini = "[REPERTOIRES]\nPolars=@/mine/\n[Parametres]\nPolaireAct=Gone.pol\n",
       .files = {"docs/Houlmar/Polars/First 31.7.pol"}, .docs = "@/docs", .answer = true, .asked = true,
       .RepPol = "@/docs/Houlmar/Polars/", .NomFiPol = "@/docs/Houlmar/Polars/First 31.7.pol", .NomPol = "FIRST 31.7"},
      {.name = "no polar key", .ini = "[REPERTOIRES]\nPolars=@/mine/\n", .files = {"mine/Boat.pol"}},
      {.name = "sibling polars refused", .iniName = nullptr, .files = {"docs/Houlmar/Polars/First 31.7.pol"},
       .docs = "@/docs", .asked = true},
      {.name = "sibling polars taken", .iniName = nullptr, .files = {"docs/Houlmar/Polars/First 31.7.pol"},
       .docs = "@/docs", .answer = true, .asked = true, .RepPol = "@/docs/Houlmar/Polars/",
       .NomFiPol = "@/docs/Houlmar/Polars/First 31.7.pol", .NomPol = "FIRST 31.7"},
      {.name = "sibling folder in another case", .iniName = nullptr, .files = {"docs/houlmar/POLARS/a.pol"},
       .docs = "@/docs/", .answer = true, .asked = true, .RepPol = "@/docs/houlmar/POLARS/",
       .NomFiPol = "@/docs/houlmar/POLARS/First 31.7.pol", .NomPol = "FIRST 31.7"},
      {.name = "sibling polars already in use",
       .ini = "[REPERTOIRES]\nPolars=@/docs/Houlmar/Polars/\n[Parametres]\nPolaireAct=J80.pol\n",
       .files = {"docs/Houlmar/Polars/J80.pol"}, .docs = "@/docs", .answer = true,
       .RepPol = "@/docs/Houlmar/Polars/", .NomFiPol = "@/docs/Houlmar/Polars/J80.pol", .NomPol = "J80"},
      {.name = "documents unknown", .iniName = nullptr, .files = {"docs/Houlmar/Polars/First 31.7.pol"},
       .answer = true},
      {.name = "no sibling folder", .iniName = nullptr, .files = {"docs/Other/Polars/a.pol"}, .docs = "@/docs",
       .answer = true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Root r;
    for (const char* f : c.files) testing::WriteText(r.root / f, kPolarText);
    if (c.folderAt != nullptr) fs::create_directories(r.root / c.folderAt);
    if (c.fifoAt != nullptr) {
#ifdef _WIN32
      // Windows has no named pipe in its file system: the case cannot be made there.
      continue;
#else
      fs::create_directories((r.root / c.fifoAt).parent_path());
      ASSERT_EQ(::mkfifo((r.root / c.fifoAt).c_str(), 0600), 0);
#endif
    }
    if (c.iniName != nullptr) testing::WriteText(r.appli / c.iniName, r.At(c.ini));
    Answers answers(c.answer);
    const StartupResult s = RunStartSequence(r.appli, r.At(c.docs), answers);
    EXPECT_EQ(s.AppliDir, r.appli);
    EXPECT_EQ(s.ini.found, c.iniName != nullptr);
    EXPECT_EQ(s.Version, c.Version);
    EXPECT_EQ(s.polar.RepPol, r.At(c.RepPol));
    EXPECT_EQ(s.polar.NomFiPol, r.At(c.NomFiPol));
    EXPECT_EQ(s.polar.NomPol, c.NomPol);
    EXPECT_EQ(s.asked, c.asked);
    EXPECT_EQ(s.RepChoice, c.asked && c.answer);
    EXPECT_EQ(s.ModHoulmar, c.asked && c.answer);
    EXPECT_EQ(answers.questions, c.asked ? std::vector<std::string>{kQuestion} : std::vector<std::string>{});
    if (*c.warning == '\0') {
      EXPECT_EQ(s.polarWarning, "");
    } else {
      EXPECT_NE(s.polarWarning.find(r.At(c.warning)), std::string::npos) << s.polarWarning;
    }
  }
}

TEST(LoadStartPolar, ARefusedPolarGivesWayToTheDefaultOneWithAWarning) {
  const struct {
    const char* name;
    const char* configured;  // the polar at start, "@" the test folder
    const char* text;        // written there; nullptr: nothing written
    bool defaultPolar;       // the default polar is in the program folder
    bool ok;
    const char* NomFiPol;    // the polar read in the end
    const char* warning;     // a piece of the warning; "": none
  } cases[] = {
      {"configured polar read", "@/mine/Boat.pol", kPolarText, true, true, "@/mine/Boat.pol", ""},
      {"configured polar refused", "@/mine/Boat.pol", "L\t6\t8\n40\t4\t-1\n90\t5\t6\n", true, true,
       "@/app/DefPolars/First31_7.pol",
       "La polaire configurée « @/mine/Boat.pol » ne peut pas servir, la polaire par défaut "
       "« @/app/DefPolars/First31_7.pol » est prise à sa place. Raison : ligne 2, cellule 3 : la vitesse « -1 »"},
      {"configured polar refused, no default polar", "@/mine/Boat.pol", "", false, false,
       "@/app/DefPolars/First31_7.pol", "Raison : le fichier est vide"},
      {"default polar refused", "@/app/DefPolars/First31_7.pol", "L\t6\n", true, false,
       "@/app/DefPolars/First31_7.pol", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Root r;
    if (!c.defaultPolar) fs::remove(r.appli / "DefPolars" / "First31_7.pol");
    if (c.text != nullptr) testing::WriteText(r.At(c.configured), c.text);
    PolarPaths p{r.At("@/mine/"), r.At(c.configured), "X"};
    std::string warning;
    const PolarParse parse = LoadStartPolar(p, r.appli, warning);
    EXPECT_EQ(parse.ok, c.ok) << parse.message;
    EXPECT_EQ(p.NomFiPol, r.At(c.NomFiPol));
    if (*c.warning == '\0') {
      EXPECT_EQ(warning, "");
    } else {
      EXPECT_NE(warning.find(r.At(c.warning)), std::string::npos) << warning;
      EXPECT_EQ(p.NomPol, "FIRST31_7");
    }
  }
}

TEST(LoadPOlaire, ThePolarKeysOfAnOpenedConfigurationChangeNamesOnly) {
  const struct {
    const char* ini;
    const char* RepPol;
    const char* NomFiPol;
    const char* NomPol;
  } cases[] = {
      {"[REPERTOIRES]\nPolars=DefPolars/\n[Parametres]\nPolaireAct=FIRST31_7.pol\n", "@/app/DefPolars/",
       "@/app/DefPolars/First31_7.pol", "FIRST31_7"},
      // Without "PolaireAct" the current polar stays.
      {"[REPERTOIRES]\nPolars=DefPolars/\n", "@/app/DefPolars/", "@/mine/Boat.pol", "BOAT"},
      {"[Parametres]\nPolaireAct=\n", "@/mine/", "@/mine/Boat.pol", "BOAT"},
      {"", "@/mine/", "@/mine/Boat.pol", "BOAT"},
      {"[Parametres]\nPolaireAct=boat.POL\n", "@/mine/", "@/mine/Boat.pol", "BOAT"},
      // A file that is not there keeps the name it was given.
      {"[Parametres]\nPolaireAct=Ghost.pol\n", "@/mine/", "@/mine/Ghost.pol", "GHOST"},
      // An empty folder is the program folder.
      {"[REPERTOIRES]\nPolars=\n[Parametres]\nPolaireAct=x.pol\n", "@/app/", "@/app/x.pol", "X"}};
  Root r;
  testing::WriteText(r.root / "mine" / "Boat.pol", kPolarText);
  for (const auto& c : cases) {
    const PolarPaths p = LoadPOlaire(IniFile(r.At(c.ini)), {r.At("@/mine/"), r.At("@/mine/Boat.pol"), "BOAT"}, r.appli);
    EXPECT_EQ(p.RepPol, r.At(c.RepPol)) << c.ini;
    EXPECT_EQ(p.NomFiPol, r.At(c.NomFiPol)) << c.ini;
    EXPECT_EQ(p.NomPol, c.NomPol) << c.ini;
  }
}

TEST(WriteBack, KeepsEveryOtherLine) {
  Root r;
  const std::string before =
      "; Ventrel\r\n[Version]\r\nName=Ventrel\r\n[REPERTOIRES]\r\nPolars=/old/place/\r\n[Parametres]\r\n"
      "PolaireAct=OLD.pol\r\niOFFS_Keel=1.6\r\n[NMEA]\r\niAPB=1\r\nunknown = kept\r\n";
  testing::WriteText(r.appli / "Ventrel.ini", before);
  std::string RepPol;
  const WriteOutcome out = WriteBackPolarKeys(
      r.appli / "Ventrel.ini", {"", r.At("@/app/DefPolars/First31_7.pol"), "FIRST31_7"}, r.appli, &RepPol);
  ASSERT_TRUE(out.ok) << out.message;
  std::string after = before;
  after.replace(after.find("/old/place/"), 11, "DefPolars/");
  after.replace(after.find("OLD.pol"), 7, "FIRST31_7.pol");
  EXPECT_EQ(testing::ReadText(r.appli / "Ventrel.ini"), after);
  EXPECT_EQ(RepPol, r.At("@/app/DefPolars/"));
}

TEST(WriteBack, CreatesAMissingFileThatTheNextStartReads) {
  Root r;
  testing::WriteText(r.root / "docs" / "Boat_2.pol", kPolarText);
  ASSERT_TRUE(WriteBackPolarKeys(r.appli / "Ventrel.ini", {"", r.At("@/docs/Boat_2.pol"), "BOAT_2"}, r.appli).ok);
  // A folder outside the program folder is written whole.
  EXPECT_EQ(testing::ReadText(r.appli / "Ventrel.ini"),
            r.At("[Parametres]\nPolaireAct=BOAT_2.pol\n[Repertoires]\nPolars=@/docs/\n"));
  Answers answers(false);
  const StartupResult s = RunStartSequence(r.appli, "", answers);
  EXPECT_EQ(s.polar.NomFiPol, r.At("@/docs/Boat_2.pol"));  // "BOAT_2.pol" finds "Boat_2.pol"
  EXPECT_EQ(s.polar.NomPol, "BOAT_2");
}

TEST(WriteBack, ACrashMidWriteOrAnUnreadableFileLeavesTheFileIntact) {
  Root r;
  const std::string before = "[Parametres]\nPolaireAct=OLD.pol\n" + std::string(6000, ';') + "\n";
  testing::WriteText(r.appli / "Ventrel.ini", before);
  const PolarPaths polar{"", r.At("@/app/DefPolars/First31_7.pol"), "FIRST31_7"};
  std::size_t written = 0;
  const ChunkWriter dies = [&](std::FILE* f, std::string_view chunk) -> bool {
    if (written + chunk.size() > 5000) throw std::runtime_error("killed");
    written += std::fwrite(chunk.data(), 1, chunk.size(), f);
    return true;
  };
  std::string RepPol = "unchanged";
  EXPECT_THROW(WriteBackPolarKeys(r.appli / "Ventrel.ini", polar, r.appli, &RepPol, dies), std::runtime_error);
  EXPECT_EQ(testing::ReadText(r.appli / "Ventrel.ini"), before);
  EXPECT_EQ(RepPol, "unchanged");

  fs::remove(r.appli / "Ventrel.ini");
  fs::create_directories(r.appli / "Ventrel.ini");
  const WriteOutcome out = WriteBackPolarKeys(r.appli / "Ventrel.ini", polar, r.appli);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.message,
            "Le fichier « Ventrel.ini » ne peut pas être lu. La polaire en cours n'y est pas enregistrée.");
  EXPECT_TRUE(fs::is_directory(r.appli / "Ventrel.ini"));
}

TEST(DefaultConfigPath, FindsTheFileWhateverItsCase) {
  testing::TempFolder root;
  EXPECT_EQ(DefaultConfigPath(root.path()), root / "Ventrel.ini");  // the usual name when there is none
  testing::WriteText(root / "VENTREL.INI", "");
  EXPECT_EQ(DefaultConfigPath(root.path()), root / "VENTREL.INI");
}

}  // namespace
}  // namespace ventrel
