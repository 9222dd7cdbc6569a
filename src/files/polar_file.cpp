// Reading a polar file into the table. The file is refused as a whole when the model
// could not work on it (too small, too large for the axes, two equal neighbouring
// axis values); the caller then keeps the table it had.

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
  r.message = "Polaire refusée : " + std::move(why);
  return r;
}

// Lines of the text: a line ends with CR LF, LF or CR; a break after the last line
// adds no line, so "" has no line and "a\r\n" one.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    ++i;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
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
  const auto [ptr, ec] = std::from_chars(cell.data(), end, v, std::chars_format::general);
  if (ec != std::errc() || ptr != end || !std::isfinite(v)) return false;
  out = negative ? -v : v;
  return true;
}

// The header: every numeric cell is the wind speed of the next column; other cells
// (the label above the angles, an empty cell after a trailing TAB) are skipped.
std::vector<long double> HeaderSpeeds(std::string_view header) {
  std::vector<long double> speeds;
  std::string_view rest = header;
  do {
    const std::size_t tab = rest.find('\t');
    const std::string_view cell = tab == std::string_view::npos ? rest : rest.substr(0, tab);
    long double v = 0.0L;
    if (StrictReal(cell, v)) speeds.push_back(v);
    rest = tab == std::string_view::npos ? std::string_view{} : rest.substr(tab + 1);
  } while (!rest.empty());
  return speeds;
}

// Reads a data cell; a text that is not a number keeps the cell's previous value, 0,
// and leaves a warning that names the line (counted from 1) and the cell (the angle
// being cell 1).
long double DataCell(std::string_view cell, int line, int cellNo, bool warn,
                     std::vector<std::string>& warnings) {
  const NumberRead r = Val_Str_Flott(cell, DecimalSeparator{});
  if (r.ok) return r.value;
  if (warn) {
    warnings.push_back("Polaire : ligne " + std::to_string(line) + ", cellule " +
                       std::to_string(cellNo) + " : « " + std::string(cell.substr(0, 40)) +
                       " » n'est pas un nombre, lu comme 0. " + kMsgSeparateur);
  }
  return 0.0L;
}

}  // namespace

PolarParse ParsePolar(std::string_view fileText) {
  const std::vector<std::string_view> lines = SplitLines(fileText);
  if (lines.empty()) return Refuse("le fichier est vide.");

  const std::vector<long double> speeds = HeaderSpeeds(lines[0]);
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
  for (int j = 0; j + 1 < ncol; ++j) {
    if (speeds[j] == speeds[j + 1]) {
      return Refuse("deux forces de vent voisines sont égales (colonnes " + std::to_string(j + 1) +
                    " et " + std::to_string(j + 2) + " : " + generalForm(speeds[j]) + ").");
    }
  }

  PolarParse result;
  PolarTable& t = result.table;
  t.NCOL = ncol;
  t.NLIG = nlig;
  for (int j = 0; j < ncol; ++j) t.idx_fv[j] = speeds[j];
  t.TabPol.assign(nlig, std::vector<long double>(ncol, 0.0L));

  for (int i = 0; i < nlig; ++i) {
    const std::string_view line = lines[i + 1];
    const int lineNo = i + 2;
    const std::size_t tab = line.find('\t');
    // A line with no TAB has an empty angle cell and is read whole as every speed.
    const std::string_view angle = tab == std::string_view::npos ? std::string_view{}
                                                                  : line.substr(0, tab);
    t.idx_dv[i] = DataCell(angle, lineNo, 1, true, result.warnings);

    std::string_view rest = tab == std::string_view::npos ? line : line.substr(tab + 1);
    int cellNo = 2;
    bool freshCell = true;  // false while a short row repeats its last cell
    for (int j = 0; j < ncol; ++j) {
      const std::size_t next = rest.find('\t');
      const std::string_view cell = next == std::string_view::npos ? rest : rest.substr(0, next);
      t.TabPol[i][j] = DataCell(cell, lineNo, cellNo, freshCell, result.warnings);
      if (next != std::string_view::npos) {
        rest.remove_prefix(next + 1);
        ++cellNo;
      } else {
        freshCell = false;  // the same text is read again for the columns left
      }
    }
  }

  for (int i = 0; i + 1 < nlig; ++i) {
    if (t.idx_dv[i] == t.idx_dv[i + 1]) {
      return Refuse("deux angles voisins sont égaux (lignes " + std::to_string(i + 2) + " et " +
                    std::to_string(i + 3) + " : " + generalForm(t.idx_dv[i]) + ").");
    }
  }
  result.ok = true;
  return result;
}

PolarParse LoadPolarFile(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path p(path);
  if (!std::filesystem::exists(p, ec)) {
    return Refuse("le fichier « " + path + " » n'existe pas.");
  }
  if (!std::filesystem::is_regular_file(p, ec)) {
    return Refuse("« " + path + " » n'est pas un fichier.");
  }
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
