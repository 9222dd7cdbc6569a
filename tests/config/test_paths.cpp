// Finding files and folders whatever the case of their names, and the folder forms
// written into a configuration.

#include "config/paths.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "config/temp_folder.h"

namespace ventrel {
namespace {

namespace fs = std::filesystem;

struct LookupCase {
  const char* asked;                 // relative to the test folder
  std::optional<std::string> found;  // relative to the test folder
};

class NoCaseLookup : public ::testing::TestWithParam<LookupCase> {
 protected:
  void SetUp() override {
    testing::WriteText(dir_ / "Ventrel.ini", "a");
    testing::WriteText(dir_ / "DefPolars" / "First31_7.pol", "b");
    testing::WriteText(dir_ / "Twins" / "x.pol", "c");
    testing::WriteText(dir_ / "Twins" / "X.pol", "d");
  }
  testing::TempFolder dir_;
};

TEST_P(NoCaseLookup, FindsTheNameOnDisk) {
  const LookupCase& c = GetParam();
  const std::optional<fs::path> r = FindFileNoCase(dir_ / c.asked);
  if (!c.found) {
    EXPECT_FALSE(r.has_value()) << r->string();
    return;
  }
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(*r, dir_ / *c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoCaseLookup,
    ::testing::Values(LookupCase{"Ventrel.ini", "Ventrel.ini"}, LookupCase{"Ventrel.INI", "Ventrel.ini"},
                      LookupCase{"VENTREL.ini", "Ventrel.ini"},
                      // The polar saved under its display name finds the file.
                      LookupCase{"DefPolars/FIRST31_7.pol", "DefPolars/First31_7.pol"},
                      LookupCase{"defpolars/first31_7.POL", "DefPolars/First31_7.pol"},
                      // The exact spelling wins; otherwise the first in byte order.
                      LookupCase{"Twins/x.pol", "Twins/x.pol"}, LookupCase{"Twins/X.pol", "Twins/X.pol"},
                      LookupCase{"Twins/x.POL", "Twins/X.pol"},
                      LookupCase{"DefPolars/First31_8.pol", std::nullopt},
                      LookupCase{"Absent/First31_7.pol", std::nullopt},
                      LookupCase{"DefPolars", std::nullopt}));  // a folder is not a file

TEST(NoCaseLookup, FindsFoldersAndRefusesFiles) {
  testing::TempFolder dir;
  testing::WriteText(dir / "Houlmar" / "Polars" / "a.pol", "x");
  EXPECT_EQ(FindDirNoCase(dir / "houlmar/POLARS/"), dir / "Houlmar/Polars");
  EXPECT_EQ(FindDirNoCase(dir / "Houlmar/Polars/a.pol"), std::nullopt);
  EXPECT_EQ(ResolveNoCase(""), std::nullopt);
}

TEST(FolderForms, AreAbsoluteInTheProgramAndRelativeInTheFile) {
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
