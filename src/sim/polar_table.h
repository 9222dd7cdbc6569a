#pragma once
// The polar table: boat speed through the water (knots) by true wind angle
// (degrees off the bow, rows) and true wind speed (knots, columns). Reading it
// from a ".pol" file is the business of files/polar_file.h.

#include <array>
#include <vector>

namespace ventrel {

struct PolarTable {
  static constexpr int kMaxCol = 41;
  static constexpr int kMaxLig = 51;
  // Ranges of a file's values, both ends included: wind speeds of the header
  // 0..100 knots (the range of the wind the boat sails in), angles of the rows
  // 0..180 degrees off the bow, boat speeds of the cells 0..100 knots.
  static constexpr long double kMaxWindKn = 100.0L;
  static constexpr long double kMaxAngleDeg = 180.0L;
  static constexpr long double kMaxBoatSpeedKn = 100.0L;

  int NLIG = 0;                               // data rows
  int NCOL = 0;                               // wind-speed columns
  std::array<long double, kMaxCol> idx_fv{};  // wind speed of each column, knots
  std::array<long double, kMaxLig> idx_dv{};  // wind angle of each row, degrees
  std::vector<std::vector<long double>> TabPol;  // TabPol[i][j]: speed at idx_dv[i], idx_fv[j]

  bool empty() const { return NLIG < 2 || NCOL < 2; }
};

}  // namespace ventrel
