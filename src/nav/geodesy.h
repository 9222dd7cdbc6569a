#pragma once
// Rhumb-line and great-circle geodesy on a spherical earth where one minute of
// arc of a great circle is one nautical mile (no radius enters any formula).
//
// Longitude forms:
//   geographic: (-180, 180], east positive;
//   graphic:    degrees eastward from the prime meridian, [0, 360]. Positions
//               held by the simulation store graphic longitudes.
// Latitudes are degrees, north positive. Positions are held short of the poles
// (|lat| <= kMaxLat) so that the Mercator function stays finite.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <string>

#include "nav/conversions.h"

namespace ventrel {

// Latitudes are held within this bound (degrees) so that nothing becomes NaN.
inline constexpr long double kMaxLat = 89.9999L;

// A named position: `nom` (up to 255 characters), `lat` degrees north positive,
// `long_` degrees (graphic form when held by the simulation).
struct TPos_elem {
  std::string nom;
  long double lat = 0.0L;
  long double long_ = 0.0L;

  // Stores the name; when latText is not empty, the latitude is the number in its
  // first 8 characters, negated when its 10th character is "S", and likewise the
  // longitude with "W"; otherwise the two numbers are stored as they are.
  void Init(const std::string& name, const std::string& latText, const std::string& longText,
            long double latitude, long double longitude);
};

// graphic -> geographic: x - 360 when x > 180, else x.
long double LongGeo(long double x);
// geographic -> graphic: x when x > 0, else x + 360 (0 gives 360, -180 gives 180).
long double LongGraph(long double x);
// Longitude in degrees: above 360 loses 360 once, then below 0 gains 360 once.
void corrige_depass_G(long double& longitude);
// Longitude difference in radians: >= pi loses 2pi once, then <= -pi gains 2pi once.
void corrige_G(long double& dlong);

// The geodesy object. Its members keep the results of the last computation, as
// callers read them (dist_loxo for the rhumb-line sentence, cap_ortho for the waypoint).
class Mercator {
 public:
  long double MM = 0.0L;         // last rhumb distance, nautical miles
  long double R1 = 0.0L;         // intermediate angle, radians
  long double R2 = 0.0L;         // last rhumb course, radians clockwise from north
  long double cplox = 0.0L;      // course of the last distance_loxo, degrees
  long double dist_loxo = 0.0L;  // nautical miles, last calcul_loxodromie
  long double cap_loxo = 0.0L;   // degrees, last calcul_loxodromie
  long double GP = 0.0L;         // longitude offset of the great-circle latitude, radians

  // Rhumb-line core: dLat, dLong, lat1, lat2 in radians; sets MM and R2.
  void loxodromie(long double dL, long double dG, long double phi1, long double phi2);
  // All four in radians; returns the rhumb distance (nm) and sets cplox (degrees).
  long double distance_loxo(long double phi1, long double lambda1, long double phi2,
                            long double lambda2);
  // All four in degrees; sets dist_loxo (nm) and cap_loxo (degrees).
  void calcul_loxodromie(long double lat1, long double long1, long double lat2, long double long2);
  // Moves P by D nautical miles on the rhumb line of course K (degrees true) into R;
  // R.nom is not touched. The start and result latitudes are held within kMaxLat
  // (a course carried past a pole stops just short of it); a longitude that one
  // corrige_depass_G leaves outside [0, 360] is reduced into it. A course or a
  // distance that is not finite leaves the position unchanged.
  void Calcul_Pos_DIST_RELEVE(TPos_elem P, TPos_elem& R, long double K, long double D);
  // Great-circle distance in nautical miles (degrees in); 0 for identical points,
  // and 0 for nearly identical ones whose cosine rounds past 1.
  long double dist_ortho(long double lat1, long double long1, long double lat2, long double long2);
  // Initial great-circle course in degrees [0, 360] (degrees in), taken as the
  // course to the point of the circle 1/10000 of the way in longitude; equal
  // longitudes (0 and 360 included) give 0 northward else 180, and so do
  // longitudes less than about 0.0172 degree apart. On meridians 180 degrees
  // apart the course heads for the nearer pole (0 when lat1 + lat2 > 0, else 180).
  long double cap_orthodromique(long double lat1, long double long1, long double lat2,
                                long double long2);

 private:
  // The values of a costly function of one angle for the last N angles asked,
  // found again by the angle itself (the same bits): the position and the
  // waypoint come back at every tick, and their sines, cosines and Mercator
  // latitudes with them.
  template <class V, std::size_t N>
  class LastValues {
   public:
    template <class F>
    V get(long double a, F f) {
      std::size_t i = 0;
      while (i < n_ && !(keys_[i] == a && std::signbit(keys_[i]) == std::signbit(a))) ++i;
      if (i == n_) {  // not kept: it takes the place of the least recent
        i = n_ < N ? n_++ : N - 1;
        keys_[i] = a;
        values_[i] = f(a);
      }
      // The most recent first.
      std::rotate(keys_.begin(), keys_.begin() + i, keys_.begin() + i + 1);
      std::rotate(values_.begin(), values_.begin() + i, values_.begin() + i + 1);
      return values_[0];
    }

   private:
    std::array<long double, N> keys_{};
    std::array<V, N> values_{};
    std::size_t n_ = 0;
  };

  // Mercator latitude of phi (radians).
  long double psi(long double phi);
  // SinL and CosL of a latitude in radians.
  SineCosine latTrig(long double phi);

  LastValues<long double, 4> psi_;
  LastValues<SineCosine, 3> latTrig_;
};

}  // namespace ventrel
