// ventrel --polar-info FILE.pol [--percent P]: the table as read from the file, then,
// for each tabulated wind speed, the best upwind angle of the boat-speed model, the
// boat speed there and the speed made good to windward. Numbers always with ".".

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "app/cli.h"
#include "files/polar_file.h"
#include "nav/conversions.h"
#include "nav/number_forms.h"
#include "sim/boat_speed.h"

namespace ventrel::app {

namespace {

// Width on screen of UTF-8 text: one column per character, not per byte ("°").
std::size_t Columns(const std::string& s) {
  return static_cast<std::size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PadLeft(const std::string& s, std::size_t width) {
  const std::size_t w = Columns(s);
  return w >= width ? s : std::string(width - w, ' ') + s;
}

// Prints rows of cells right-aligned in columns two spaces apart.
void PrintAligned(const std::vector<std::vector<std::string>>& rows, std::ostream& out) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t j = 0; j < row.size(); ++j) widths[j] = std::max(widths[j], Columns(row[j]));
  }
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t j = 0; j < row.size(); ++j) {
      if (j > 0) line += "  ";
      line += PadLeft(row[j], widths[j]);
    }
    out << line << '\n';
  }
}

// Decimals needed to show every value as read (general form), at most 3.
int DecimalsOf(const std::vector<long double>& values) {
  int d = 0;
  for (long double v : values) {
    const std::string s = generalForm(v);
    const std::size_t dot = s.find('.');
    if (dot != std::string::npos && s.find('E') == std::string::npos) {
      d = std::max(d, static_cast<int>(s.size() - dot - 1));
    }
  }
  return std::min(d, 3);
}

std::string Fixed(long double v, int decimals) { return fixedForm(v, 15, decimals); }

// The texts of an axis (its values all differ): the decimals of DecimalsOf while they
// tell every value apart, more for values closer than that (0.0001 and 0.0002), the
// general form when even 18 decimals do not (1E-30 and 2E-30).
std::vector<std::string> AxisTexts(const std::vector<long double>& values) {
  std::vector<std::string> texts(values.size());
  for (int d = DecimalsOf(values); d <= 18; ++d) {
    std::transform(values.begin(), values.end(), texts.begin(), [d](long double v) { return Fixed(v, d); });
    std::vector<std::string> sorted = texts;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end()) return texts;
  }
  std::transform(values.begin(), values.end(), texts.begin(), [](long double v) { return generalForm(v); });
  return texts;
}

// A whole number from 0 to 100, nothing else.
bool ReadPercent(const std::string& text, int& percent) {
  int v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || ec != std::errc() || ptr != end || v < 0 || v > 100) return false;
  percent = v;
  return true;
}

void PrintTable(const PolarTable& t, std::ostream& out) {
  std::vector<long double> speeds;
  for (const auto& row : t.TabPol) speeds.insert(speeds.end(), row.begin(), row.end());
  const std::vector<long double> fv(t.idx_fv.begin(), t.idx_fv.begin() + t.NCOL);
  const std::vector<long double> dv(t.idx_dv.begin(), t.idx_dv.begin() + t.NLIG);
  const std::vector<std::string> fvTexts = AxisTexts(fv);
  const std::vector<std::string> dvTexts = AxisTexts(dv);
  const int dSp = DecimalsOf(speeds);

  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> head{"TWA\\TWS"};
  head.insert(head.end(), fvTexts.begin(), fvTexts.end());
  rows.push_back(std::move(head));
  for (int i = 0; i < t.NLIG; ++i) {
    std::vector<std::string> row{dvTexts[i]};
    for (int j = 0; j < t.NCOL; ++j) row.push_back(Fixed(t.TabPol[i][j], dSp));
    rows.push_back(std::move(row));
  }
  PrintAligned(rows, out);
}

void PrintBestUpwind(BoatSpeedModel& model, std::ostream& out) {
  const PolarTable& t = model.polar();
  const std::vector<std::string> fvTexts =
      AxisTexts(std::vector<long double>(t.idx_fv.begin(), t.idx_fv.begin() + t.NCOL));
  std::vector<std::vector<std::string>> rows{{"TWS (nd)", "Angle (°)", "Vitesse (nd)", "VMG (nd)"}};
  for (int j = 0; j < t.NCOL; ++j) {
    const long double ws = t.idx_fv[j];
    const t_vect best = model.SpMaxWndWrd(ws);
    const long double vmg = CosL(DEC_RAD(best.argt)) * best.mdl;
    rows.push_back({fvTexts[j], Fixed(best.argt, 2), Fixed(best.mdl, 3), Fixed(vmg, 3)});
  }
  PrintAligned(rows, out);
}

}  // namespace

int RunPolarInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string path;
  int percent = 100;
  // args[0] is "--polar-info".
  for (std::size_t k = 1; k < args.size(); ++k) {
    const std::string& a = args[k];
    if (a == "--percent") {
      if (k + 1 >= args.size()) {
        err << "--percent : il manque le pourcentage de polaire (entier de 0 à 100).\n";
        return 1;
      }
      if (!ReadPercent(args[++k], percent)) {
        err << "--percent : pourcentage de polaire invalide « " << args[k]
            << " » (entier de 0 à 100 attendu).\n";
        return 1;
      }
    } else if (a.rfind("--", 0) == 0 || !path.empty()) {
      err << "--polar-info : argument inattendu « " << a << " ».\n" << UsageText();
      return 1;
    } else {
      path = a;
    }
  }
  if (path.empty()) {
    err << "--polar-info : indiquez le fichier de polaire (.pol).\n" << UsageText();
    return 1;
  }

  const PolarParse parsed = LoadPolarFile(path);
  if (!parsed.ok) {
    err << parsed.message << '\n';
    return 1;
  }
  for (const std::string& w : parsed.warnings) err << w << '\n';

  const PolarTable& t = parsed.table;
  out << "Polaire " << NomPolaire(path) << " (" << path << ")\n"
      << t.NLIG << " angles du vent x " << t.NCOL << " forces du vent, pourcentage de polaire "
      << percent << " %\n\n"
      << "Vitesse du bateau (nd) selon l'angle du vent (°, lignes) et sa force (nd, colonnes) :\n";
  PrintTable(t, out);

  BoatSpeedModel model(t);
  model.polPerc = percent;
  out << "\nMeilleur angle au près pour chaque force du vent (pas de 1/3 de degré) :\n";
  PrintBestUpwind(model, out);
  return out ? 0 : 1;
}

}  // namespace ventrel::app
