// Finding files and folders whatever the case of their names, and the folder forms
// written into a configuration.

#include "files/paths.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "files/temp_folder.h"

namespace ventrel {
namespace {

namespace fs = std::filesystem;

TEST(NoCaseLookup, FindsTheNameOnDisk) {
  testing::TempFolder dir;
  testing::WriteText(dir / "Ventrel.ini", "a");
  testing::WriteText(dir / "DefPolars" / "First31_7.pol", "b");
  // Two names that differ by case only: not in a folder of Windows, where one
  // would overwrite the other (the twin rows are left out there).
#ifdef _WIN32
  constexpr bool kTwins = false;
#else
  constexpr bool kTwins = true;
  testing::WriteText(dir / "Twins" / "x.pol", "c");
  testing::WriteText(dir / "Twins" / "X.pol", "d");
#endif
  const struct {
    const char* asked;                 // relative to the test folder
    std::optional<std::string> found;  // relative to the test folder
  } cases[] = {{"Ventrel.ini", "Ventrel.ini"}, {"Ventrel.INI", "Ventrel.ini"}, {"VENTREL.ini", "Ventrel.ini"},
               // The polar saved under its display name finds the file.
               {"DefPolars/FIRST31_7.pol", "DefPolars/First31_7.pol"},
               {"defpolars/first31_7.POL", "DefPolars/First31_7.pol"},
               // The exact spelling wins; otherwise the first in byte order.
               {"Twins/x.pol", "Twins/x.pol"}, {"Twins/X.pol", "Twins/X.pol"}, {"Twins/x.POL", "Twins/X.pol"},
               {"DefPolars/First31_8.pol", std::nullopt}, {"Absent/First31_7.pol", std::nullopt},
               {"DefPolars", std::nullopt}};  // a folder is not a file
  for (const auto& c : cases) {
    if (!kTwins && std::string_view(c.asked).starts_with("Twins/")) continue;
    const std::optional<fs::path> r = FindFileNoCase(dir / c.asked);
    EXPECT_EQ(r, c.found ? std::optional<fs::path>(dir / *c.found) : std::nullopt) << c.asked;
  }
}

TEST(NoCaseLookup, FindsFoldersAndRefusesFiles) {
  testing::TempFolder dir;
  testing::WriteText(dir / "Houlmar" / "Polars" / "a.pol", "x");
  EXPECT_EQ(FindDirNoCase(dir / "houlmar/POLARS/"), dir / "Houlmar/Polars");
  EXPECT_EQ(FindDirNoCase(dir / "Houlmar/Polars/a.pol"), std::nullopt);
  EXPECT_EQ(ResolveNoCase(""), std::nullopt);
}

TEST(FolderForms, AreAbsoluteInTheProgramAndRelativeInTheFile) {
#ifdef _WIN32
  GTEST_SKIP() << "the folders of this table are Unix ones: on Windows a path without a drive is not absolute";
#endif
  const fs::path appli = "/opt/ventrel";
  EXPECT_EQ(AbsoluteFolder("DefPolars/", appli), "/opt/ventrel/DefPolars/");
  EXPECT_EQ(AbsoluteFolder("DefPolars", appli), "/opt/ventrel/DefPolars/");
  EXPECT_EQ(AbsoluteFolder("/home/u/Polars", appli), "/home/u/Polars/");
  EXPECT_EQ(AbsoluteFolder("", appli), "");
  EXPECT_EQ(PortableFolder("/opt/ventrel/DefPolars/", appli), "DefPolars/");
  EXPECT_EQ(PortableFolder("/opt/ventrel/a/../DefPolars", appli), "DefPolars/");
  EXPECT_EQ(PortableFolder("/opt/ventrel/", appli), "./");
  EXPECT_EQ(PortableFolder("/opt/ventrel2/DefPolars/", appli), "/opt/ventrel2/DefPolars/");
  EXPECT_EQ(PortableFolder("/home/u/Documents/Houlmar/Polars/", appli), "/home/u/Documents/Houlmar/Polars/");
}

TEST(FolderForms, AFolderWrittenOnWindowsIsRead) {
#ifndef _WIN32
  EXPECT_EQ(NormaliseSeparators("DefPolars\\"), "DefPolars/");
  EXPECT_EQ(AbsoluteFolder("DefPolars\\", "/opt/ventrel"), "/opt/ventrel/DefPolars/");
#endif
  EXPECT_EQ(FolderOf("/opt/ventrel/DefPolars/First31_7.pol"), "/opt/ventrel/DefPolars/");
  EXPECT_EQ(FolderOf("C:\\Polars\\a.pol"), "C:\\Polars\\");
  EXPECT_EQ(FolderOf("a.pol"), "");
}

TEST(EqualsNoCase, FoldsAsciiLettersOnly) {
  EXPECT_TRUE(EqualsNoCase("REPERTOIRES", "Repertoires"));
  EXPECT_FALSE(EqualsNoCase("Parametres", "Paramètres"));
  EXPECT_FALSE(EqualsNoCase("iTWS", "iTWSvar"));
}

}  // namespace
}  // namespace ventrel
