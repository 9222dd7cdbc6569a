// Reading polar files: the header, the rows, the odd cells, and the files that are
// refused as a whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <locale>
#include <fstream>
#include <string>
#include <vector>

#include "config/polar_table.h"

namespace ventrel {
namespace {

using Row = std::vector<long double>;

struct ParseCase {
  const char* name;
  std::string text;
  std::vector<long double> fv;  // expected wind speeds of the columns
  std::vector<long double> dv;  // expected angles of the rows
  std::vector<Row> tab;         // expected speeds
};

class ParsePolarTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParsePolarTest, ReadsHeaderAnglesAndSpeeds) {
  const ParseCase& c = GetParam();
  const PolarParse r = ParsePolar(c.text);
  ASSERT_TRUE(r.ok) << r.message;
  const PolarTable& t = r.table;
  ASSERT_EQ(t.NCOL, static_cast<int>(c.fv.size()));
  ASSERT_EQ(t.NLIG, static_cast<int>(c.dv.size()));
  for (int j = 0; j < t.NCOL; ++j) EXPECT_EQ(t.idx_fv[j], c.fv[j]) << "column " << j;
  for (int i = 0; i < t.NLIG; ++i) EXPECT_EQ(t.idx_dv[i], c.dv[i]) << "row " << i;
  ASSERT_EQ(t.TabPol.size(), c.tab.size());
  for (std::size_t i = 0; i < c.tab.size(); ++i) {
    ASSERT_EQ(t.TabPol[i].size(), c.tab[i].size()) << "row " << i;
    for (std::size_t j = 0; j < c.tab[i].size(); ++j) {
      EXPECT_NEAR(static_cast<double>(t.TabPol[i][j]), static_cast<double>(c.tab[i][j]), 1e-15)
          << "row " << i << " column " << j;
    }
  }
  // Entries past NCOL and NLIG hold nothing from elsewhere.
  for (int j = t.NCOL; j < PolarTable::kMaxCol; ++j) EXPECT_EQ(t.idx_fv[j], 0.0L);
  for (int i = t.NLIG; i < PolarTable::kMaxLig; ++i) EXPECT_EQ(t.idx_dv[i], 0.0L);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParsePolarTest,
    ::testing::Values(
        ParseCase{"label_then_speeds", "TWA\t6\t8\t10\r\n40\t4\t5\t6\r\n90\t6\t7\t8\r\n",
                  {6, 8, 10}, {40, 90}, {{4, 5, 6}, {6, 7, 8}}},
        // A header cell that converts to 0 is a column like any other.
        ParseCase{"zero_wind_column", "L\t0\t6\n40\t0\t4\n90\t0\t6\n",
                  {0, 6}, {40, 90}, {{0, 4}, {0, 6}}},
        ParseCase{"header_trailing_tab", "L\t6\t8\t\n40\t4\t5\n90\t6\t7\n",
                  {6, 8}, {40, 90}, {{4, 5}, {6, 7}}},
        // Cells that are not numbers are skipped and do not count; the header is
        // read with "." only, so "6,5" is no column. Blanks around, a sign and an
        // exponent are accepted.
        ParseCase{"header_text_cells", "TWA\\TWS\tnd\t6,5\t 6 \t+8\t1e1\t\tx\n40\t4\t5\t6\n90\t6\t7\t8\n",
                  {6, 8, 10}, {40, 90}, {{4, 5, 6}, {6, 7, 8}}},
        // A short row repeats its last cell; a long row drops the extra cells.
        ParseCase{"short_and_long_rows", "L\t6\t8\t10\n40\t4.5\n90\t6\t7\t8\t9\t10\n",
                  {6, 8, 10}, {40, 90}, {{4.5L, 4.5L, 4.5L}, {6, 7, 8}}},
        // Two TABs in a row: the empty cell reads 0. A trailing TAB on a short row
        // leaves an empty cell, read as 0, for the columns after it.
        ParseCase{"empty_cells", "L\t6\t8\t10\n40\t4\t\t6\n90\t7\t\n",
                  {6, 8, 10}, {40, 90}, {{4, 0, 6}, {7, 0, 0}}},
        // A comma and a point give the same value, in angles and speeds alike.
        ParseCase{"comma_decimals", "L\t6\t8\n40,5\t4,25\t5.25\n90.5\t6.5\t7,5\n",
                  {6, 8}, {40.5L, 90.5L}, {{4.25L, 5.25L}, {6.5L, 7.5L}}},
        // A row with no TAB: empty angle cell (0) and the whole line as every speed.
        ParseCase{"row_without_tab", "L\t6\t8\n4.5\n90\t6\t7\n",
                  {6, 8}, {0, 90}, {{4.5L, 4.5L}, {6, 7}}},
        // LF, CR and CR LF all end a line; the break after the last line adds none.
        ParseCase{"mixed_line_ends", "L\t6\t8\r40\t4\t5\n90\t6\t7\r\n",
                  {6, 8}, {40, 90}, {{4, 5}, {6, 7}}},
        ParseCase{"no_final_break", "L\t6\t8\r\n40\t4\t5\r\n90\t6\t7",
                  {6, 8}, {40, 90}, {{4, 5}, {6, 7}}},
        // A blank line before the end is a row: angle 0, speeds 0.
        ParseCase{"blank_last_line", "L\t6\t8\n40\t4\t5\n90\t6\t7\n\n",
                  {6, 8}, {40, 90, 0}, {{4, 5}, {6, 7}, {0, 0}}}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

// A table of n columns and m rows with distinct ascending axes.
std::string MakePolar(int ncol, int nlig) {
  std::string s = "TWA";
  for (int j = 0; j < ncol; ++j) s += "\t" + std::to_string(2 + j);
  s += "\r\n";
  for (int i = 0; i < nlig; ++i) {
    s += std::to_string(30 + 3 * i);
    for (int j = 0; j < ncol; ++j) s += "\t" + std::to_string(1 + i + j);
    s += "\r\n";
  }
  return s;
}

TEST(ParsePolar, LargestTableFitsTheAxes) {
  const PolarParse r = ParsePolar(MakePolar(41, 51));
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.table.NCOL, 41);
  EXPECT_EQ(r.table.NLIG, 51);
  EXPECT_EQ(r.table.idx_fv[40], 42.0L);
  EXPECT_EQ(r.table.idx_dv[50], 180.0L);
  EXPECT_EQ(r.table.TabPol[50][40], 91.0L);
}

TEST(ParsePolar, SmallestTableIsTwoByTwo) {
  const PolarParse r = ParsePolar(MakePolar(2, 2));
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.table.NCOL, 2);
  EXPECT_EQ(r.table.NLIG, 2);
}

struct RefusedCase {
  const char* name;
  std::string text;
  const char* why;  // a piece of the message
};

class RefusedPolarTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedPolarTest, RefusedWholeWithAFrenchMessage) {
  const RefusedCase& c = GetParam();
  const PolarParse r = ParsePolar(c.text);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message.rfind("Polaire refusée : ", 0), 0u) << r.message;
  EXPECT_NE(r.message.find(c.why), std::string::npos) << r.message;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedPolarTest,
    ::testing::Values(
        RefusedCase{"empty", "", "vide"},
        RefusedCase{"one_blank_line", "\r\n", "au moins 2 forces de vent, elle en donne 0"},
        RefusedCase{"one_wind_speed", "L\t6\n40\t4\n90\t6\n", "elle en donne 1"},
        RefusedCase{"header_without_numbers", "TWA\tTWS\n40\t4\n90\t6\n", "elle en donne 0"},
        RefusedCase{"header_only", "L\t6\t8\r\n", "le fichier en a 0"},
        RefusedCase{"one_row", "L\t6\t8\n40\t4\t5\n", "le fichier en a 1"},
        RefusedCase{"too_many_columns", MakePolar(42, 3), "donne 42 forces de vent"},
        RefusedCase{"too_many_rows", MakePolar(3, 52), "52 lignes de données"},
        // Equal neighbours would divide by zero in the speed model.
        RefusedCase{"equal_wind_speeds", "L\t6\t8\t8\n40\t4\t5\t5\n90\t6\t7\t7\n",
                    "colonnes 2 et 3 : 8"},
        RefusedCase{"equal_angles", "L\t6\t8\n40\t4\t5\n90\t6\t7\n90\t6\t7\n",
                    "lignes 3 et 4 : 90"},
        // "52" and "52,0" are the same angle.
        RefusedCase{"equal_angles_either_separator", "L\t6\t8\n52\t4\t5\n52,0\t6\t7\n",
                    "lignes 2 et 3 : 52"}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

// The header is read with "." whatever the locale of the process: with a decimal
// comma in force, "6.5" is still a column and "6,5" still is not.
class CommaLocaleTest : public ::testing::Test {
 protected:
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
  }
};

struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST_F(CommaLocaleTest, HeaderReadWithPointUnderACommaLocale) {
  // The C locale too when the machine has a French or German one; the C++ one always.
  for (const char* n : {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
    if (std::setlocale(LC_ALL, n) != nullptr && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
      break;
    }
  }
  std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  const PolarParse r = ParsePolar("L\t6,5\t6.5\t8\n40\t4\t5\n90,5\t6\t7,25\n");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.table.NCOL, 2);
  EXPECT_EQ(r.table.idx_fv[0], 6.5L);
  EXPECT_EQ(r.table.idx_dv[1], 90.5L);
  EXPECT_EQ(r.table.TabPol[1][1], 7.25L);
}

TEST(ParsePolar, CellThatIsNoNumberReadsZeroWithOneWarning) {
  // Row 2 is short: its bad last cell is read again for the third column, but
  // warned about once.
  const PolarParse r = ParsePolar("L\t6\t8\t10\n40\t4\tabc\t6\n90\txyz\n");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.table.TabPol[0][1], 0.0L);
  EXPECT_EQ(r.table.TabPol[1][0], 0.0L);
  EXPECT_EQ(r.table.TabPol[1][2], 0.0L);
  ASSERT_EQ(r.warnings.size(), 2u);
  EXPECT_NE(r.warnings[0].find("ligne 2, cellule 3"), std::string::npos) << r.warnings[0];
  EXPECT_NE(r.warnings[1].find("ligne 3, cellule 2"), std::string::npos) << r.warnings[1];
}

TEST(ParsePolar, CleanFileHasNoWarning) {
  EXPECT_TRUE(ParsePolar(MakePolar(3, 3)).warnings.empty());
}

TEST(LoadPolarFile, DefaultPolarIsPlausible) {
  const PolarParse r = LoadPolarFile(std::string(VENTREL_DATA_DIR) + "/DefPolars/First31_7.pol");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_TRUE(r.warnings.empty());
  const PolarTable& t = r.table;
  EXPECT_GE(t.NCOL, 8);
  EXPECT_GE(t.NLIG, 12);
  EXPECT_LE(t.idx_fv[0], 5.0L);
  EXPECT_GE(t.idx_fv[t.NCOL - 1], 24.0L);
  EXPECT_LE(t.idx_dv[0], 42.0L);
  EXPECT_EQ(t.idx_dv[t.NLIG - 1], 180.0L);
  for (int j = 0; j + 1 < t.NCOL; ++j) EXPECT_LT(t.idx_fv[j], t.idx_fv[j + 1]);
  for (int i = 0; i + 1 < t.NLIG; ++i) EXPECT_LT(t.idx_dv[i], t.idx_dv[i + 1]);
  long double lo = 100.0L;
  long double hi = 0.0L;
  for (int i = 0; i < t.NLIG; ++i) {
    for (int j = 0; j < t.NCOL; ++j) {
      lo = std::min(lo, t.TabPol[i][j]);
      hi = std::max(hi, t.TabPol[i][j]);
      // More wind never makes the boat much slower on the same angle.
      if (j > 0) {
        EXPECT_GE(t.TabPol[i][j], t.TabPol[i][j - 1] - 0.1L) << i << "," << j;
      }
    }
  }
  EXPECT_LT(lo, 1.0L);
  EXPECT_GT(hi, 8.0L);
  EXPECT_LT(hi, 9.0L);
}

class LoadPolarFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("ventrel_polar_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& text) {
    const std::filesystem::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
  }
  std::filesystem::path dir_;
};

TEST_F(LoadPolarFileTest, ReadsAFileAsItsText) {
  const std::string text = "L\t6\t8\r\n40\t4\t5\r\n90\t6\t7\r\n";
  const PolarParse fromFile = LoadPolarFile(Write("a.pol", text));
  ASSERT_TRUE(fromFile.ok) << fromFile.message;
  EXPECT_EQ(fromFile.table.TabPol, ParsePolar(text).table.TabPol);
}

TEST_F(LoadPolarFileTest, MissingDirectoryAndRefusedFiles) {
  const PolarParse missing = LoadPolarFile((dir_ / "absent.pol").string());
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.message.find("n'existe pas"), std::string::npos) << missing.message;

  const PolarParse directory = LoadPolarFile(dir_.string());
  EXPECT_FALSE(directory.ok);
  EXPECT_NE(directory.message.find("n'est pas un fichier"), std::string::npos);

  const PolarParse empty = LoadPolarFile(Write("empty.pol", ""));
  EXPECT_FALSE(empty.ok);
  EXPECT_NE(empty.message.find("vide"), std::string::npos) << empty.message;
}

struct NameCase {
  const char* path;
  const char* name;
};

class NomPolaireTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(NomPolaireTest, FileNameWithoutExtensionInCapitals) {
  EXPECT_EQ(NomPolaire(GetParam().path), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NomPolaireTest,
    ::testing::Values(NameCase{"/opt/ventrel/DefPolars/First31_7.pol", "FIRST31_7"},
                      NameCase{"First 31.7.pol", "FIRST 31.7"},  // spaces and dots stay
                      NameCase{"C:\\Polars\\sun_odyssey.pol", "SUN_ODYSSEY"},
                      NameCase{"rel/dir/x.pol", "X"},
                      NameCase{"ab", ""},
                      NameCase{"", ""}));

}  // namespace
}  // namespace ventrel
