// Reading polar files: the header, the rows, the odd cells, and the files that are
// refused as a whole.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <clocale>
#include <locale>
#include <string>
#include <vector>

#include "files/polar_file.h"
#include "files/temp_folder.h"
#include "nav/number_forms.h"

namespace ventrel {
namespace {

// The table as text: "wind speeds | angle: speeds | ...", and "stray" when an entry
// past NCOL or NLIG holds anything.
std::string Dump(const PolarTable& t) {
  std::string s;
  for (int j = 0; j < t.NCOL; ++j) s.append(j ? " " : "").append(generalForm(t.idx_fv[j]));
  for (int i = 0; i < t.NLIG; ++i) {
    s.append(" | ").append(generalForm(t.idx_dv[i])).append(":");
    for (long double v : t.TabPol.at(i)) s.append(" ").append(generalForm(v));
  }
  for (int j = t.NCOL; j < PolarTable::kMaxCol; ++j) s += t.idx_fv[j] != 0 ? " stray" : "";
  for (int i = t.NLIG; i < PolarTable::kMaxLig; ++i) s += t.idx_dv[i] != 0 ? " stray" : "";
  return s + (t.TabPol.size() != static_cast<std::size_t>(t.NLIG) ? " stray rows" : "");
}

TEST(ParsePolar, ReadsHeaderAnglesAndSpeeds) {
  const struct {
    const char* text;
    const char* table;
  } cases[] = {
      {"TWA\t6\t8\t10\r\n40\t4\t5\t6\r\n90\t6\t7\t8\r\n", "6 8 10 | 40: 4 5 6 | 90: 6 7 8"},
      // A header cell that converts to 0 is a column like any other.
      {"L\t0\t6\n40\t0\t4\n90\t0\t6\n", "0 6 | 40: 0 4 | 90: 0 6"},
      {"L\t6\t8\t\n40\t4\t5\n90\t6\t7\n", "6 8 | 40: 4 5 | 90: 6 7"},
      // Header cells that are not numbers are skipped; the header is read with "." only,
      // so "6,5" is no column. Blanks around, a sign and an exponent are accepted.
      {"TWA\\TWS\tnd\t6,5\t 6 \t+8\t1e1\t\tx\n40\t4\t5\t6\n90\t6\t7\t8\n", "6 8 10 | 40: 4 5 6 | 90: 6 7 8"},
      // A short row repeats its last cell; a long row drops the extra cells.
      {"L\t6\t8\t10\n40\t4.5\n90\t6\t7\t8\t9\t10\n", "6 8 10 | 40: 4.5 4.5 4.5 | 90: 6 7 8"},
      // Two TABs in a row: the empty cell reads 0, and so do the columns after a trailing
      // TAB on a short row.
      {"L\t6\t8\t10\n40\t4\t\t6\n90\t7\t\n", "6 8 10 | 40: 4 0 6 | 90: 7 0 0"},
      {"L\t6\t8\n40,5\t4,25\t5.25\n90.5\t6.5\t7,5\n", "6 8 | 40.5: 4.25 5.25 | 90.5: 6.5 7.5"},
      // A row with no TAB: empty angle cell (0) and the whole line as every speed.
      {"L\t6\t8\n4.5\n90\t6\t7\n", "6 8 | 0: 4.5 4.5 | 90: 6 7"},
      // LF, CR and CR LF all end a line; the break after the last line adds none.
      {"L\t6\t8\r40\t4\t5\n90\t6\t7\r\n", "6 8 | 40: 4 5 | 90: 6 7"},
      {"L\t6\t8\r\n40\t4\t5\r\n90\t6\t7", "6 8 | 40: 4 5 | 90: 6 7"},
      // Blank lines hold nothing, wherever they are: one more CR LF at the end (as an
      // editor adds), spaces and TABs, a stray CR, before the header, between rows.
      {"L\t6\t8\r\n40\t4\t5\r\n90\t6\t7\r\n\r\n", "6 8 | 40: 4 5 | 90: 6 7"},
      {"L\t6\t8\n40\t4\t5\n90\t6\t7\n\n \t \n\t\t\n", "6 8 | 40: 4 5 | 90: 6 7"},
      {"L\t6\t8\r\n40\t4\t5\r\r\n90\t6\t7\r\n", "6 8 | 40: 4 5 | 90: 6 7"},
      {"\r\n  \r\nL\t6\t8\r\n40\t4\t5\r\n\r\n\t\r\n90\t6\t7\r\n", "6 8 | 40: 4 5 | 90: 6 7"},
      // The axes at the ends of their ranges.
      {"L\t0\t100\n0\t0\t100\n180\t0\t0\n", "0 100 | 0: 0 100 | 180: 0 0"}};
  for (const auto& c : cases) {
    const PolarParse r = ParsePolar(c.text);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(Dump(r.table), c.table) << c.text;
    EXPECT_TRUE(r.warnings.empty()) << c.text;
  }
}

// A table of n columns and m rows with distinct ascending axes.
std::string MakePolar(int ncol, int nlig) {
  std::string s = "TWA";
  for (int j = 0; j < ncol; ++j) s.append("\t").append(std::to_string(2 + j));
  s += "\r\n";
  for (int i = 0; i < nlig; ++i) {
    s += std::to_string(30 + 3 * i);
    for (int j = 0; j < ncol; ++j) s.append("\t").append(std::to_string(1 + i + j));
    s += "\r\n";
  }
  return s;
}

TEST(ParsePolar, TablesFromTwoByTwoToTheSizeOfTheAxes) {
  PolarParse r = ParsePolar(MakePolar(41, 51));
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.table.NCOL, 41);
  EXPECT_EQ(r.table.NLIG, 51);
  EXPECT_EQ(r.table.idx_fv[40], 42.0L);
  EXPECT_EQ(r.table.idx_dv[50], 180.0L);
  EXPECT_EQ(r.table.TabPol[50][40], 91.0L);
  r = ParsePolar(MakePolar(2, 2));
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.table.NCOL + r.table.NLIG, 4);
}

TEST(ParsePolar, RefusedWholeWithAFrenchMessage) {
  const struct {
    const char* name;
    std::string text;
    const char* why;  // a piece of the message
  } cases[] = {{"empty", "", "vide"},
               {"blank lines only", "\r\n \t\r\n\r\n", "vide ou ne contient que des lignes blanches"},
               {"blank lines do not make rows", "L\t6\t8\n40\t4\t5\n\n\n", "le fichier en a 1"},
               {"one wind speed", "L\t6\n40\t4\n90\t6\n", "elle en donne 1"},
               {"header without numbers", "TWA\tTWS\n40\t4\n90\t6\n", "elle en donne 0"},
               {"header only", "L\t6\t8\r\n", "le fichier en a 0"},
               {"one row", "L\t6\t8\n40\t4\t5\n", "le fichier en a 1"},
               {"too many columns", MakePolar(42, 3), "donne 42 forces de vent"},
               {"too many rows", MakePolar(3, 52), "52 lignes de données"},
               // Equal neighbours would divide by zero in the speed model; "52" and "52,0" are equal.
               {"equal wind speeds", "L\t6\t8\t8\n40\t4\t5\t5\n90\t6\t7\t7\n", "colonnes 2 et 3 : 8"},
               {"equal angles", "L\t6\t8\n40\t4\t5\n90\t6\t7\n90\t6\t7\n", "lignes 3 et 4 : 90"},
               {"equal angles, either separator", "L\t6\t8\n52\t4\t5\n52,0\t6\t7\n", "lignes 2 et 3 : 52"},
               // Line numbers count the blank lines left out.
               {"equal angles after a blank line", "L\t6\t8\n\n40\t4\t5\n40\t6\t7\n", "lignes 3 et 4 : 40"},
               // Axes that go down would bracket nothing in the speed model.
               {"decreasing wind speeds", "L\t6\t10\t8\n40\t4\t5\t6\n90\t6\t7\t8\n",
                "la colonne 3 (8 nd, ligne 1, cellule 4) suit la colonne 2 (10 nd)"},
               {"decreasing angles", "L\t6\t8\n90\t4\t5\n40\t6\t7\n", "haut en bas (lignes 2 et 3 : 90° puis 40°)"},
               {"wind speed below 0", "L\t-2\t8\n40\t4\t5\n90\t6\t7\n", "ligne 1, cellule 2 : la force de vent « -2 »"},
               {"wind speed over 100 kn", "L\t6\t100.5\n40\t4\t5\n90\t6\t7\n",
                "cellule 3 : la force de vent « 100.5 » n'est pas entre 0 et 100 nd."},
               // 1e4000 fits an 80-bit long double, not a 64-bit one; 1e5000 fits neither.
               {"huge wind speed", "L\t6\t1e4000\n40\t4\t5\n90\t6\t7\n", "ligne 1, cellule 3 : la force de vent"},
               {"wind speed too large for a real", "L\t6\t1e5000\n40\t4\t5\n90\t6\t7\n",
                "ligne 1, cellule 3 : la force de vent n'est pas un nombre fini"},
               {"angle over 180", "L\t6\t8\n40\t4\t5\n180.5\t6\t7\n", "ligne 3, cellule 1 : l'angle « 180.5 »"},
               {"angle below 0", "L\t6\t8\n-40\t4\t5\n90\t6\t7\n", "ligne 2, cellule 1 : l'angle « -40 »"},
               {"angle too large for a real", "L\t6\t8\n40\t4\t5\n1e5000\t6\t7\n",
                "ligne 3, cellule 1 : l'angle « 1e5000 » n'est pas un nombre fini"},
               {"negative boat speed", "L\t6\t8\n40\t4\t-0.5\n90\t6\t7\n", "ligne 2, cellule 3 : la vitesse « -0.5 »"},
               {"boat speed over 100 kn", "L\t6\t8\n40\t4\t5\n90\t6\t1e3\n", "ligne 3, cellule 3 : la vitesse « 1e3 »"},
               {"huge boat speed", "L\t6\t8\n40\t4\t5\n90\t1e4000\n", "ligne 3, cellule 2 : la vitesse « 1e4000 »"},
               {"boat speed too large for a real", "L\t6\t8\n40\t4\t5\n90\t1e5000\n",
                "ligne 3, cellule 2 : la vitesse « 1e5000 » n'est pas un nombre fini"},
               {"boat speed too large, decimal comma", "L\t6\t8\n40\t4\t5\n90\t6\t-1,5E+9999\n",
                "ligne 3, cellule 3 : la vitesse « -1,5E+9999 »"}};
  for (const auto& c : cases) {
    const PolarParse r = ParsePolar(c.text);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_EQ(r.message.rfind("Polaire refusée : ", 0), 0u) << r.message;
    EXPECT_NE(r.message.find(c.why), std::string::npos) << c.name << ": " << r.message;
  }
}

struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(ParsePolar, HeaderReadWithPointUnderACommaLocale) {
  if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) std::setlocale(LC_ALL, "fr_FR.utf8");
  std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  const PolarParse r = ParsePolar("L\t6,5\t6.5\t8\n40\t4\t5\n90,5\t6\t7,25\n");
  std::setlocale(LC_ALL, "C");
  std::locale::global(std::locale::classic());
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.table.NCOL, 2);  // "6,5" is still no column
  EXPECT_EQ(r.table.idx_fv[0], 6.5L);
  EXPECT_EQ(r.table.idx_dv[1], 90.5L);
  EXPECT_EQ(r.table.TabPol[1][1], 7.25L);
}

TEST(ParsePolar, CellThatIsNoNumberReadsZeroWithOneWarning) {
  // Row 3 is short: its bad last cell is read again for the third column, but warned about once.
  const PolarParse r = ParsePolar("L\t6\t8\t10\n40\t4\tabc\t6\n90\txyz\n");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.table.TabPol[0][1], 0.0L);
  EXPECT_EQ(r.table.TabPol[1][0], 0.0L);
  EXPECT_EQ(r.table.TabPol[1][2], 0.0L);
  ASSERT_EQ(r.warnings.size(), 2u);
  EXPECT_NE(r.warnings[0].find("ligne 2, cellule 3"), std::string::npos) << r.warnings[0];
  EXPECT_NE(r.warnings[1].find("ligne 3, cellule 2"), std::string::npos) << r.warnings[1];
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
  EXPECT_TRUE(std::is_sorted(t.idx_fv.begin(), t.idx_fv.begin() + t.NCOL, std::less_equal<>()));
  EXPECT_TRUE(std::is_sorted(t.idx_dv.begin(), t.idx_dv.begin() + t.NLIG, std::less_equal<>()));
  long double lo = 100.0L, hi = 0.0L;
  for (int i = 0; i < t.NLIG; ++i) {
    for (int j = 0; j < t.NCOL; ++j) {
      lo = std::min(lo, t.TabPol[i][j]);
      hi = std::max(hi, t.TabPol[i][j]);
      // More wind never makes the boat much slower on the same angle.
      EXPECT_GE(t.TabPol[i][j], t.TabPol[i][std::max(j - 1, 0)] - 0.1L) << i << "," << j;
    }
  }
  EXPECT_LT(lo, 1.0L);
  EXPECT_GT(hi, 8.0L);
  EXPECT_LT(hi, 9.0L);
}

TEST(LoadPolarFile, ReadsAFileAsItsTextAndRefusesWhatIsNoPolarFile) {
  testing::TempFolder dir;
  const std::string text = "L\t6\t8\r\n40\t4\t5\r\n90\t6\t7\r\n";
  testing::WriteText(dir / "a.pol", text);
  testing::WriteText(dir / "empty.pol", "");
  const PolarParse fromFile = LoadPolarFile((dir / "a.pol").string());
  ASSERT_TRUE(fromFile.ok) << fromFile.message;
  EXPECT_EQ(fromFile.table.TabPol, ParsePolar(text).table.TabPol);
  std::vector<std::pair<std::string, const char*>> refused = {
      {(dir / "absent.pol").string(), "n'existe pas"},
      {dir.path().string(), "n'est pas un fichier ordinaire : c'est un dossier"},
      {(dir / "empty.pol").string(), "vide"}};
#ifndef _WIN32
  // A FIFO is never opened: reading it would wait for a writer that never comes.
  // (Windows has no named pipe in its file system.)
  ASSERT_EQ(::mkfifo((dir / "fifo.pol").c_str(), 0600), 0);
  refused.push_back({(dir / "fifo.pol").string(), "c'est un tube nommé"});
#endif
  for (const auto& [file, why] : refused) {
    const PolarParse r = LoadPolarFile(file);
    EXPECT_FALSE(r.ok) << file;
    EXPECT_NE(r.message.find(why), std::string::npos) << r.message;
    EXPECT_EQ(PolarFileProblem(file).empty(), file == (dir / "empty.pol").string()) << file;
  }
}

TEST(LoadPolarFile, TheDefaultPolarWithBlankLinesAddedReadsTheSame) {
  const std::string path = std::string(VENTREL_DATA_DIR) + "/DefPolars/First31_7.pol";
  const PolarParse shipped = LoadPolarFile(path);
  ASSERT_TRUE(shipped.ok) << shipped.message;
  const std::string text = testing::ReadText(path);
  for (const std::string& edited : {text + "\r\n", text + "\r\n\r\n", text + "\t\t\r\n", "\r\n" + text,
                                    text.substr(0, text.find('\n') + 1) + "\r\n" + text.substr(text.find('\n') + 1)}) {
    const PolarParse r = ParsePolar(edited);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(Dump(r.table), Dump(shipped.table));
  }
}

TEST(NomPolaire, FileNameWithoutExtensionInCapitals) {
  EXPECT_EQ(NomPolaire("/opt/ventrel/DefPolars/First31_7.pol"), "FIRST31_7");
  EXPECT_EQ(NomPolaire("First 31.7.pol"), "FIRST 31.7");  // spaces and dots stay
  EXPECT_EQ(NomPolaire("C:\\Polars\\sun_odyssey.pol"), "SUN_ODYSSEY");
  EXPECT_EQ(NomPolaire("rel/dir/x.pol"), "X");
  EXPECT_EQ(NomPolaire("ab"), "");
  EXPECT_EQ(NomPolaire(""), "");
}

}  // namespace
}  // namespace ventrel
