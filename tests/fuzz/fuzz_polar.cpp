// Fuzz target: the polar parser and the boat-speed model on what it accepts.
//
// Any text given to ParsePolar is either refused with a message or gives a table
// that the model can sail on: both axes strictly increasing, every speed finite and
// not negative. On such a table the model's speed, at every angle and wind speed
// swept below, is finite, not negative and never above the table's largest speed,
// and the best upwind angle lies in the 50 degrees searched from the first angle.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "files/polar_file.h"
#include "fuzz_check.h"
#include "sim/boat_speed.h"

namespace {

using ventrel::PolarTable;

std::string Num(long double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.21Lg", x);
  return buf;
}

std::string At(const char* what, long double wa, long double ws, long double v) {
  return std::string(what) + " à l'angle " + Num(wa) + ", vent " + Num(ws) + " nd : " + Num(v);
}

void CheckTable(const PolarTable& t) {
  FUZZ_CHECK(t.NCOL >= 2 && t.NCOL <= PolarTable::kMaxCol, "NCOL = " + std::to_string(t.NCOL));
  FUZZ_CHECK(t.NLIG >= 2 && t.NLIG <= PolarTable::kMaxLig, "NLIG = " + std::to_string(t.NLIG));
  FUZZ_CHECK(t.TabPol.size() == static_cast<std::size_t>(t.NLIG),
             "lignes de TabPol : " + std::to_string(t.TabPol.size()));
  for (int j = 0; j < t.NCOL; ++j) {
    FUZZ_CHECK(std::isfinite(t.idx_fv[j]), "force de vent " + std::to_string(j) + " : " + Num(t.idx_fv[j]));
    FUZZ_CHECK(j == 0 || t.idx_fv[j - 1] < t.idx_fv[j],
               "forces de vent non croissantes : " + Num(t.idx_fv[j - 1]) + " puis " + Num(t.idx_fv[j]));
  }
  for (int i = 0; i < t.NLIG; ++i) {
    FUZZ_CHECK(std::isfinite(t.idx_dv[i]), "angle " + std::to_string(i) + " : " + Num(t.idx_dv[i]));
    FUZZ_CHECK(i == 0 || t.idx_dv[i - 1] < t.idx_dv[i],
               "angles non croissants : " + Num(t.idx_dv[i - 1]) + " puis " + Num(t.idx_dv[i]));
    FUZZ_CHECK(t.TabPol[i].size() == static_cast<std::size_t>(t.NCOL),
               "colonnes de la ligne " + std::to_string(i) + " : " + std::to_string(t.TabPol[i].size()));
    for (int j = 0; j < t.NCOL; ++j) {
      const long double v = t.TabPol[i][j];
      FUZZ_CHECK(std::isfinite(v) && v >= 0.0L, At("vitesse de la table", t.idx_dv[i], t.idx_fv[j], v));
    }
  }
}

// Every axis value, the middle of each interval, and the ends given.
std::vector<long double> Sweep(const long double* axis, int n, std::vector<long double> ends) {
  std::vector<long double> xs = std::move(ends);
  for (int k = 0; k < n; ++k) {
    xs.push_back(axis[k]);
    if (k + 1 < n) xs.push_back(axis[k] + (axis[k + 1] - axis[k]) / 2.0L);
  }
  return xs;
}

void CheckModel(const PolarTable& t) {
  long double top = 0.0L;
  for (const auto& row : t.TabPol) top = std::max(top, *std::max_element(row.begin(), row.end()));
  // Interpolation and scaling only ever shrink a speed; a few ulps of rounding aside.
  const long double bound = top * (1.0L + 1e-15L) + 1e-15L;

  const std::vector<long double> angles = Sweep(t.idx_dv.data(), t.NLIG, {0.0L, 30.0L, 90.0L, 180.0L});
  const long double lastWs = t.idx_fv[t.NCOL - 1];
  const std::vector<long double> winds =
      Sweep(t.idx_fv.data(), t.NCOL, {0.0L, 3.0L, t.idx_fv[0] * 0.8L, lastWs * 1.5L + 1.0L});

  ventrel::BoatSpeedModel model(t);
  for (const int perc : {100, 37, 0}) {
    model.polPerc = perc;
    for (const long double ws : winds) {
      for (const long double wa : angles) {
        const long double v = model.BoatSpeed(wa, ws);
        FUZZ_CHECK(std::isfinite(v) && v >= 0.0L && v <= bound, At("vitesse du modèle", wa, ws, v));
      }
    }
  }

  model.polPerc = 100;
  const long double a0 = t.idx_dv[0];
  for (const long double ws : {t.idx_fv[0] * 0.8L, t.idx_fv[0], t.idx_fv[t.NCOL / 2], lastWs}) {
    const ventrel::t_vect best = model.SpMaxWndWrd(ws);
    FUZZ_CHECK(std::isfinite(best.mdl) && best.mdl >= 0.0L && best.mdl <= bound,
               At("vitesse au meilleur angle au près", best.argt, ws, best.mdl));
    FUZZ_CHECK(best.argt >= a0 && best.argt <= a0 + 50.0L + 1e-9L,
               "meilleur angle au près " + Num(best.argt) + " hors de [" + Num(a0) + ", " + Num(a0 + 50) + "]");
    FUZZ_CHECK(model.AlphaOptWndWrd == best.argt, "angle retenu " + Num(model.AlphaOptWndWrd));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ventrel::PolarParse parse = ventrel::ParsePolar(text);
  if (!parse.ok) {
    FUZZ_CHECK(!parse.message.empty(), std::string("polaire refusée sans message"));
    return 0;
  }
  for (const std::string& w : parse.warnings) FUZZ_CHECK(!w.empty(), std::string("avertissement vide"));
  CheckTable(parse.table);
  CheckModel(parse.table);
  return 0;
}
