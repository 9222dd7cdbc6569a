// Reading a polar file into the table. The file is refused as a whole when the model
// could not work on it (too small, too large for the axes, axes that do not
// increase, a value out of its range); the caller then keeps the table it had.

#include "files/polar_file.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "nav/number_forms.h"
#include "nav/number_read.h"

namespace ventrel {

namespace {

// A polar holds at most 52 short lines; anything much larger is not a polar.
constexpr std::uintmax_t kMaxFileBytes = 1024 * 1024;

PolarParse Refuse(std::string why) {
  PolarParse r;
  r.ok = false;
  r.reason = std::move(why);
  r.message = "Polaire refusée : " + r.reason;
  return r;
}

// A line of the text and its number in the file, counted from 1.
struct Line {
  std::string_view text;
  int number = 0;
};

// Spaces, TABs and a stray CR only: a line that holds nothing.
bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

// The lines of the text that hold something: a line ends with CR LF, LF or CR; a
// break after the last line adds no line; blank lines are left out wherever they
// are, but still counted in the line numbers.
std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  int number = 0;
  const auto keep = [&](std::string_view line) {
    ++number;
    if (!IsBlank(line)) lines.push_back({line, number});
  };
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      keep(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    ++i;
  }
  if (start < text.size()) keep(text.substr(start));
  return lines;
}

std::string_view Trimmed(std::string_view cell) {
  while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) cell.remove_prefix(1);
  while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t')) cell.remove_suffix(1);
  return cell;
}

// True when the cell is written as a decimal number (sign, digits with one point,
// exponent), whether or not its value fits a long double: "1e4000" is such a number,
// "abc" and "inf" are not. `comma`: "," is a decimal point as well as ".".
bool LooksLikeNumber(std::string_view cell, bool comma) {
  cell = Trimmed(cell);
  std::size_t i = 0;
  if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) ++i;
  bool digits = false;
  bool point = false;
  for (; i < cell.size(); ++i) {
    const char c = cell[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if ((c == '.' || (comma && c == ',')) && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return false;
  if (i == cell.size()) return true;
  if (cell[i] != 'e' && cell[i] != 'E') return false;
  ++i;
  if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) ++i;
  if (i == cell.size()) return false;
  for (; i < cell.size(); ++i) {
    if (cell[i] < '0' || cell[i] > '9') return false;
  }
  return true;
}

// The cell as quoted in a message: its first 40 characters.
std::string Quoted(std::string_view cell) { return "« " + std::string(Trimmed(cell).substr(0, 40)) + " »"; }

std::string Where(int line, int cellNo) {
  return "ligne " + std::to_string(line) + ", cellule " + std::to_string(cellNo) + " : ";
}

// The strict conversion of a header cell: the whole cell (blanks around allowed) is
// one decimal real with "." as its point, an optional sign and exponent. No ",",
// no "inf" or "nan", whatever the process locale.
bool StrictReal(std::string_view cell, long double& out) {
  while (!cell.empty() && cell.front() == ' ') cell.remove_prefix(1);
  while (!cell.empty() && cell.back() == ' ') cell.remove_suffix(1);
  bool negative = false;
  if (!cell.empty() && (cell.front() == '+' || cell.front() == '-')) {
    negative = cell.front() == '-';
    cell.remove_prefix(1);
  }
  if (cell.empty()) return false;
  const char first = cell.front();
  if (!(std::isdigit(static_cast<unsigned char>(first)) || first == '.')) return false;
  long double v = 0.0L;
  const char* end = cell.data() + cell.size();
  const auto [ptr, ec] = ReadLongDouble(cell.data(), end, v);
  if (ec != std::errc() || ptr != end || !std::isfinite(v)) return false;
  out = negative ? -v : v;
  return true;
}

// A wind speed of the header and the cell it comes from (counted from 1).
struct HeaderSpeed {
  long double value = 0.0L;
  int cellNo = 0;
  std::string_view text;
};

// The header: every numeric cell is the wind speed of the next column; other cells
// (the label above the angles, an empty cell after a trailing TAB) are skipped. A
// cell written as a number that no real can hold ("1e4000") is named in `bad`.
std::vector<HeaderSpeed> HeaderSpeeds(std::string_view header, int& bad) {
  std::vector<HeaderSpeed> speeds;
  bad = 0;
  std::string_view rest = header;
  int cellNo = 0;
  do {
    ++cellNo;
    const std::size_t tab = rest.find('\t');
    const std::string_view cell = tab == std::string_view::npos ? rest : rest.substr(0, tab);
    long double v = 0.0L;
    if (StrictReal(cell, v)) {
      speeds.push_back({v, cellNo, cell});
    } else if (bad == 0 && LooksLikeNumber(cell, false)) {
      bad = cellNo;
    }
    rest = tab == std::string_view::npos ? std::string_view{} : rest.substr(tab + 1);
  } while (!rest.empty());
  return speeds;
}

// Reads a data cell into `out`; a text that is not a number keeps the cell's
// previous value, 0, and leaves a warning that names the line and the cell (the
// angle being cell 1). False for a cell written as a number that no real can hold.
bool DataCell(std::string_view cell, int line, int cellNo, bool warn, std::vector<std::string>& warnings,
              long double& out) {
  out = 0.0L;
  const NumberRead r = Val_Str_Flott(cell, DecimalSeparator{});
  if (r.ok) {
    out = r.value;
    return true;
  }
  if (LooksLikeNumber(cell, true)) return false;
  if (warn) {
    warnings.push_back("Polaire : " + Where(line, cellNo) + Quoted(cell) + " n'est pas un nombre, lu comme 0. " +
                       kMsgSeparateur);
  }
  return true;
}

// Why `v` read from `cell` is out of [0, max], or "" when it is within; `unit`
// follows the bound as written (" nd", "°").
std::string OutOfRange(const char* what, long double v, std::string_view cell, long double max, const char* unit) {
  if (v >= 0.0L && v <= max) return {};
  return std::string(what) + " " + Quoted(cell) + " n'est pas entre 0 et " + generalForm(max) + unit + ".";
}

}  // namespace

PolarParse ParsePolar(std::string_view fileText) {
  const std::vector<Line> lines = SplitLines(fileText);
  if (lines.empty()) return Refuse("le fichier est vide ou ne contient que des lignes blanches.");

  const int headerLine = lines[0].number;
  int badHeaderCell = 0;
  const std::vector<HeaderSpeed> speeds = HeaderSpeeds(lines[0].text, badHeaderCell);
  if (badHeaderCell != 0) {
    return Refuse(Where(headerLine, badHeaderCell) + "la force de vent n'est pas un nombre fini entre 0 et " +
                  generalForm(PolarTable::kMaxWindKn) + " nd.");
  }
  const int ncol = static_cast<int>(speeds.size());
  if (ncol < 2) {
    return Refuse("la ligne d'en-tête doit donner au moins 2 forces de vent, elle en donne " +
                  std::to_string(ncol) + ".");
  }
  if (ncol > PolarTable::kMaxCol) {
    return Refuse("la ligne d'en-tête donne " + std::to_string(ncol) +
                  " forces de vent, le maximum est " + std::to_string(PolarTable::kMaxCol) + ".");
  }
  const int nlig = static_cast<int>(lines.size()) - 1;
  if (nlig < 2) {
    return Refuse("il faut au moins 2 lignes de données sous l'en-tête, le fichier en a " +
                  std::to_string(nlig) + ".");
  }
  if (nlig > PolarTable::kMaxLig) {
    return Refuse("le fichier a " + std::to_string(nlig) + " lignes de données, le maximum est " +
                  std::to_string(PolarTable::kMaxLig) + ".");
  }
  for (int j = 0; j < ncol; ++j) {
    const long double v = speeds[j].value;
    if (!(v >= 0.0L && v <= PolarTable::kMaxWindKn)) {
      return Refuse(Where(headerLine, speeds[j].cellNo) + "la force de vent " + Quoted(speeds[j].text) +
                    " n'est pas entre 0 et " + generalForm(PolarTable::kMaxWindKn) + " nd.");
    }
  }
  for (int j = 0; j + 1 < ncol; ++j) {
    const long double a = speeds[j].value;
    const long double b = speeds[j + 1].value;
    if (a == b) {
      return Refuse("deux forces de vent voisines sont égales (colonnes " + std::to_string(j + 1) + " et " +
                    std::to_string(j + 2) + " : " + generalForm(a) + ").");
    }
    if (b < a) {
      return Refuse("les forces de vent doivent croître de gauche à droite, la colonne " + std::to_string(j + 2) +
                    " (" + generalForm(b) + " nd, ligne " + std::to_string(headerLine) + ", cellule " +
                    std::to_string(speeds[j + 1].cellNo) + ") suit la colonne " + std::to_string(j + 1) + " (" +
                    generalForm(a) + " nd).");
    }
  }

  PolarParse result;
  PolarTable& t = result.table;
  t.NCOL = ncol;
  t.NLIG = nlig;
  for (int j = 0; j < ncol; ++j) t.idx_fv[j] = speeds[j].value;
  t.TabPol.assign(nlig, std::vector<long double>(ncol, 0.0L));

  for (int i = 0; i < nlig; ++i) {
    const std::string_view line = lines[i + 1].text;
    const int lineNo = lines[i + 1].number;
    const std::size_t tab = line.find('\t');
    // A line with no TAB has an empty angle cell and is read whole as every speed.
    const std::string_view angle = tab == std::string_view::npos ? std::string_view{}
                                                                  : line.substr(0, tab);
    if (!DataCell(angle, lineNo, 1, true, result.warnings, t.idx_dv[i])) {
      return Refuse(Where(lineNo, 1) + "l'angle " + Quoted(angle) + " n'est pas un nombre fini entre 0 et " +
                    generalForm(PolarTable::kMaxAngleDeg) + "°.");
    }
    if (const std::string why = OutOfRange("l'angle", t.idx_dv[i], angle, PolarTable::kMaxAngleDeg, "°");
        !why.empty()) {
      return Refuse(Where(lineNo, 1) + why);
    }

    std::string_view rest = tab == std::string_view::npos ? line : line.substr(tab + 1);
    int cellNo = 2;
    bool freshCell = true;  // false while a short row repeats its last cell
    for (int j = 0; j < ncol; ++j) {
      const std::size_t next = rest.find('\t');
      const std::string_view cell = next == std::string_view::npos ? rest : rest.substr(0, next);
      long double& v = t.TabPol[i][j];
      if (!DataCell(cell, lineNo, cellNo, freshCell, result.warnings, v)) {
        return Refuse(Where(lineNo, cellNo) + "la vitesse " + Quoted(cell) + " n'est pas un nombre fini entre 0 et " +
                      generalForm(PolarTable::kMaxBoatSpeedKn) + " nd.");
      }
      if (const std::string why = OutOfRange("la vitesse", v, cell, PolarTable::kMaxBoatSpeedKn, " nd");
          !why.empty()) {
        return Refuse(Where(lineNo, cellNo) + why);
      }
      if (next != std::string_view::npos) {
        rest.remove_prefix(next + 1);
        ++cellNo;
      } else {
        freshCell = false;  // the same text is read again for the columns left
      }
    }
  }

  for (int i = 0; i + 1 < nlig; ++i) {
    const long double a = t.idx_dv[i];
    const long double b = t.idx_dv[i + 1];
    const std::string lineNos =
        std::to_string(lines[i + 1].number) + " et " + std::to_string(lines[i + 2].number);
    if (a == b) {
      return Refuse("deux angles voisins sont égaux (lignes " + lineNos + " : " + generalForm(a) + ").");
    }
    if (b < a) {
      return Refuse("les angles doivent croître de haut en bas (lignes " + lineNos + " : " + generalForm(a) +
                    "° puis " + generalForm(b) + "°).");
    }
  }
  result.ok = true;
  return result;
}

std::string PolarFileProblem(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(std::filesystem::path(path), ec);
  switch (st.type()) {
    case std::filesystem::file_type::regular:
      return {};
    case std::filesystem::file_type::not_found:
      return "le fichier « " + path + " » n'existe pas.";
    case std::filesystem::file_type::directory:
      return "« " + path + " » n'est pas un fichier ordinaire : c'est un dossier.";
    case std::filesystem::file_type::fifo:
      return "« " + path + " » n'est pas un fichier ordinaire : c'est un tube nommé (FIFO).";
    default:
      if (ec) return "le fichier « " + path + " » est inaccessible (droits ou chemin).";
      return "« " + path + " » n'est pas un fichier ordinaire.";
  }
}

PolarParse LoadPolarFile(const std::string& path) {
  // Never opened when it is not a regular file: reading a FIFO would wait for a writer.
  if (std::string why = PolarFileProblem(path); !why.empty()) return Refuse(std::move(why));
  std::error_code ec;
  const std::filesystem::path p(path);
  const std::uintmax_t size = std::filesystem::file_size(p, ec);
  if (!ec && size > kMaxFileBytes) {
    return Refuse("le fichier « " + path + " » est trop grand pour une polaire.");
  }
  std::ifstream in(p, std::ios::binary);
  if (!in) return Refuse("impossible de lire le fichier « " + path + " ».");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return Refuse("impossible de lire le fichier « " + path + " ».");
  return ParsePolar(text.str());
}

std::string NomPolaire(const std::string& path) {
  // Both separators: a configuration written on another system may hold either.
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  name.resize(name.size() > 4 ? name.size() - 4 : 0);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

}  // namespace ventrel
