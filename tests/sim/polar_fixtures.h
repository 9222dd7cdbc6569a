#pragma once
// Shared pieces of the simulation tests: number helpers and polar tables.

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "sim/polar_table.h"

namespace ventrel::testing {

inline double D(long double x) { return static_cast<double>(x); }
// h brought into [0, 360).
inline double Compass(double h) {
  const double r = std::fmod(h, 360.0);
  return r < 0 ? r + 360 : r;
}

// Rows of `angles`, columns of `winds`, speeds[row][column].
inline PolarTable MakePolar(const std::vector<long double>& angles, const std::vector<long double>& winds,
                            std::vector<std::vector<long double>> speeds) {
  PolarTable p;
  p.NLIG = static_cast<int>(angles.size());
  p.NCOL = static_cast<int>(winds.size());
  for (int i = 0; i < p.NLIG; ++i) p.idx_dv[i] = angles[i];
  for (int j = 0; j < p.NCOL; ++j) p.idx_fv[j] = winds[j];
  p.TabPol = std::move(speeds);
  return p;
}

// A cruiser's polar: angles 40..180, wind speeds 6..25 kn.
inline PolarTable MakeTestPolar() {
  return MakePolar({40, 52, 60, 75, 90, 110, 120, 135, 150, 165, 180}, {6, 8, 10, 12, 16, 20, 25},
                   {{2.6, 3.6, 4.3, 4.7, 5.0, 5.1, 5.0}, {4.0, 5.0, 5.6, 5.9, 6.2, 6.3, 6.3},
                    {4.4, 5.4, 6.0, 6.3, 6.6, 6.8, 6.9}, {4.8, 5.8, 6.4, 6.7, 7.0, 7.2, 7.4},
                    {4.9, 5.9, 6.5, 6.9, 7.3, 7.5, 7.8}, {4.8, 5.8, 6.5, 6.9, 7.5, 7.9, 8.3},
                    {4.6, 5.6, 6.3, 6.8, 7.5, 8.0, 8.5}, {4.1, 5.1, 5.9, 6.5, 7.3, 7.9, 8.5},
                    {3.5, 4.5, 5.3, 5.9, 6.9, 7.5, 8.2}, {3.0, 4.0, 4.8, 5.4, 6.4, 7.1, 7.8},
                    {2.8, 3.7, 4.5, 5.1, 6.1, 6.8, 7.5}});
}

}  // namespace ventrel::testing
