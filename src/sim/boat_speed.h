#pragma once
// The boat-speed model: bilinear interpolation in the polar table, scaled by the
// polar percentage, with its own rules below the lowest tabulated wind speed and
// below the smallest tabulated angle; wind speeds above the last column and angles
// beyond the last row take the last column's / last row's speeds.

#include <array>
#include <functional>
#include <string>

#include "sim/polar_table.h"
#include "sim/vect.h"

namespace ventrel {

class BoatSpeedModel {
 public:
  // The model reads `polar` (owned by the caller) and writes diagnostic lines to
  // `diagnostics` (the NMEA text list of the window), when given.
  explicit BoatSpeedModel(const PolarTable& polar) : polar_(&polar) {}
  void setPolar(const PolarTable& polar) { polar_ = &polar; }
  const PolarTable& polar() const { return *polar_; }
  void setDiagnostics(std::function<void(const std::string&)> sink) { diagnostics_ = std::move(sink); }

  int polPerc = 100;                          // polar percentage, 0..100
  long double MemWs = 0.0L;                   // wind speed kept across the inner call
  std::array<long double, 151> spmes{};       // VMG samples of the last search
  long double AlphaOptWndWrd = 10000.0L;      // best upwind angle of the last search, degrees

  // Wa: wind angle off the bow, degrees 0..180; Ws: wind speed, knots. Knots out.
  // An empty table gives 0.
  long double BoatSpeed(long double Wa, long double Ws);
  // Speed below the lowest tabulated wind speed, from Sref at that speed; Wa unused.
  long double BoatSpeedUnderWmin(long double Sref, long double Wa, long double Ws) const;
  // Speed at an angle A below the smallest angle Amin, from VAmin at Amin; writes
  // its four diagnostic lines (" A =", " Amin =", " Wsi =", " VAmin =").
  long double SpeedUnderAmin(long double A, long double Amin, long double VAmin, long double Wsi);
  static long double InterpoLin(long double X0, long double Y0, long double X1, long double Y1,
                                long double XM);
  // Best upwind angle for wsref: mdl = boat speed there, argt = the angle; also
  // stores the angle in AlphaOptWndWrd.
  t_vect SpMaxWndWrd(long double wsref);
  // The up-down control beside the percentage field: +1 or -1, kept within 0..100.
  void UpDownPolClick(bool up);

 private:
  const PolarTable* polar_;
  std::function<void(const std::string&)> diagnostics_;
};

}  // namespace ventrel
