#include "nav/geodesy.h"

#include <algorithm>
#include <cmath>

#include "nav/conversions.h"
#include "nav/number_read.h"

namespace ventrel {

namespace {

constexpr long double kTwoPi = 2.0L * kPi;

long double rad(long double degrees) { return DEC_RAD(degrees); }
long double deg(long double radians) { return RAD_DEC(radians); }

// Latitude in degrees held within +-kMaxLat.
long double holdLat(long double lat) { return std::clamp(lat, -kMaxLat, kMaxLat); }

// A longitude that one correction left outside [0, 360] (a parallel sailed a few
// metres from a pole covers many turns) is brought back into [0, 360).
void wrapLongitude(long double& longitude) {
  corrige_depass_G(longitude);
  if (longitude > 360.0L || longitude < 0.0L) {
    longitude = std::fmod(longitude, 360.0L);
    if (longitude < 0.0L) longitude += 360.0L;
  }
}

}  // namespace

void TPos_elem::Init(const std::string& name, const std::string& latText, const std::string& longText,
                     long double latitude, long double longitude) {
  nom = name.substr(0, 255);
  if (latText.empty()) {
    lat = latitude;
    long_ = longitude;
    return;
  }
  // A text that is not a number leaves the previous value in place.
  const NumberRead la = Val_Str_Flott(std::string_view(latText).substr(0, 8));
  if (la.ok) lat = latText.size() >= 10 && latText[9] == 'S' ? -la.value : la.value;
  const NumberRead lo = Val_Str_Flott(std::string_view(longText).substr(0, 8));
  if (lo.ok) long_ = longText.size() >= 10 && longText[9] == 'W' ? -lo.value : lo.value;
}

long double LongGeo(long double x) { return x > 180.0L ? x - 360.0L : x; }

long double LongGraph(long double x) { return x > 0.0L ? x : x + 360.0L; }

void corrige_depass_G(long double& longitude) {
  if (longitude > 360.0L) longitude -= 360.0L;
  if (longitude < 0.0L) longitude += 360.0L;
}

void corrige_G(long double& dlong) {
  if (dlong >= kPi) dlong -= kTwoPi;
  if (dlong <= -kPi) dlong += kTwoPi;
}

long double Mercator::psi(long double phi) {
  // phi is held short of the poles so that the logarithm always sees a positive
  // finite value.
  return psi_.get(phi, [](long double x) {
    const long double lim = rad(kMaxLat);
    x = std::clamp(x, -lim, lim);
    return std::log(Tan(x / 2.0L + kPi / 4.0L));
  });
}

SineCosine Mercator::latTrig(long double phi) { return latTrig_.get(phi, SinCosRad); }

void Mercator::loxodromie(long double dL, long double dG, long double phi1, long double phi2) {
  if (std::fabs(dL) < 3e-6L) {
    // East-west course.
    R2 = dG < 0.0L ? 3.0L * kPi / 2.0L : kPi / 2.0L;
    MM = std::fabs(latTrig(phi2).cos * deg(dG) * 60.0L);
  } else {
    const long double dpsi = psi(phi2) - psi(phi1);
    // dpsi is 0 only when both latitudes lie beyond the held bound.
    if (dpsi != 0.0L) {
      R1 = std::atan(dG / dpsi);
    } else {
      R1 = dG == 0.0L ? 0.0L : std::copysign(kPi / 2.0L, dG);
    }
    if (dL < 0.0L && dG < 0.0L) {
      R2 = R1 + kPi;
    } else if (dL < 0.0L) {
      R2 = kPi - std::fabs(R1);
    } else if (R1 > 0.0L) {
      R2 = R1;
    } else {
      R2 = R1 + kTwoPi;  // due north with dG exactly 0 gives 2 pi
    }
    MM = std::fabs(deg(dL) * 60.0L / CosL(R2));
  }
  if (MM < 3.0L) {
    // Short legs: plane sailing.
    if (std::fabs(dG) > 3e-8L) {
      const long double x = latTrig(phi2).cos * dG;
      const long double north = deg(dL) * 60.0L;
      const long double east = deg(x) * 60.0L;
      MM = std::sqrt(north * north + east * east);
      R1 = x != 0.0L ? std::atan(dL / x) : std::copysign(kPi / 2.0L, dL);
      if (x < 0.0L) R1 += kPi;
      R2 = 5.0L * kPi / 2.0L - R1;
      if (dL == 0.0L) R2 = x < 0.0L ? 3.0L * kPi / 2.0L : kPi / 2.0L;
      while (R2 > kTwoPi) R2 -= kTwoPi;
    } else {
      // A meridian.
      MM = std::fabs(deg(dL)) * 60.0L;
      R2 = dL > 0.0L ? 0.0L : kPi;
    }
  }
}

long double Mercator::distance_loxo(long double phi1, long double lambda1, long double phi2,
                                    long double lambda2) {
  const long double dL = phi2 - phi1;
  long double dG = lambda2 - lambda1;
  corrige_G(dG);  // the short way across 180 degrees or the 0/360 seam
  loxodromie(dL, dG, phi1, phi2);
  cplox = deg(R2);
  return MM;
}

void Mercator::calcul_loxodromie(long double lat1, long double long1, long double lat2,
                                 long double long2) {
  dist_loxo = distance_loxo(rad(lat1), rad(long1), rad(lat2), rad(long2));
  cap_loxo = deg(R2);
}

void Mercator::Calcul_Pos_DIST_RELEVE(TPos_elem P, TPos_elem& R, long double K, long double D) {
  P.lat = holdLat(P.lat);
  if (!std::isfinite(K) || !std::isfinite(D)) {
    // No course or distance to sail: the position stays where it is.
    R.lat = P.lat;
    R.long_ = P.long_;
    return;
  }
  if (std::fabs(K - 90.0L) < 1e-6L || std::fabs(K - 270.0L) < 1e-6L) {
    // Along a parallel.
    R.lat = P.lat;
    const long double k = D / CosL(rad(P.lat));
    R.long_ = std::fabs(K - 90.0L) < 1e-6L ? P.long_ + k / 60.0L : P.long_ - k / 60.0L;
    wrapLongitude(R.long_);
    return;
  }
  const SineCosine course = SinCosRad(rad(K));
  R.lat = holdLat(P.lat + D * course.cos / 60.0L);
  const long double dpsi = psi(rad(R.lat)) - psi(rad(P.lat));
  R.long_ = deg(TanOf(course.sin, course.cos) * dpsi + rad(LongGraph(P.long_)));
  wrapLongitude(R.long_);
  // A meridian course keeps its longitude to the last digit.
  if (K == 0.0L || K == 180.0L) R.long_ = P.long_;
}

long double Mercator::dist_ortho(long double lat1, long double long1, long double lat2,
                                 long double long2) {
  if (lat1 == lat2 && long1 == long2) return 0.0L;
  const SineCosine p1 = latTrig(rad(lat1));
  const SineCosine p2 = latTrig(rad(lat2));
  const long double c = p2.sin * p1.sin + p2.cos * p1.cos * CosL(rad(long2) - rad(long1));
  // ArcCos holds a cosine that rounding pushed past 1 at 1: nearly identical points give 0.
  return std::fabs(deg(ArcCos(c)) * 60.0L);
}

long double Mercator::cap_orthodromique(long double lat1, long double long1, long double lat2,
                                        long double long2) {
  if (long2 == long1) return lat2 > lat1 ? 0.0L : 180.0L;
  const long double p1 = rad(lat1);
  const long double p2 = rad(lat2);
  long double dl = rad(long2) - rad(long1);
  corrige_G(dl);
  // The same meridian written two ways (0 and 360): the course of equal longitudes.
  if (dl == 0.0L) return lat2 > lat1 ? 0.0L : 180.0L;
  // Meridians 180 degrees apart: the great circle runs over a pole, and sin dl is a
  // rounding residue whose sign would pick the pole. The nearer pole is the way.
  if (std::fabs(std::fabs(dl) - kPi) < 1e-15L) return lat1 + lat2 > 0.0L ? 0.0L : 180.0L;
  // A point one ten-thousandth of the way in longitude on the great circle. The
  // differences are taken from the corrected dl so that their sines agree in sign.
  const long double dv = dl / 10000.0L;
  GP = dv;
  const SineCosine t1 = latTrig(p1), t2 = latTrig(p2);
  const long double tan1 = TanOf(t1.sin, t1.cos), tan2 = TanOf(t2.sin, t2.cos);
  const long double pv = std::atan((SinL(dv) * tan2 - SinL(dv - dl) * tan1) / SinL(dl));
  loxodromie(pv - p1, dv, p1, pv);
  return deg(R2);
}

}  // namespace ventrel
