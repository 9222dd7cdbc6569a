// Fuzz target: the number reader and the forms in which numbers are written.
//
// Any text read with either decimal separator gives a finite value or a refusal
// (-65535). Every finite value read is then written in the fixed and general forms
// and in the sentence fields: never "nan" nor "inf"; the fixed and general forms
// read back within their rounding (for magnitudes between 1e-4900 and 1e4900: beyond,
// the rounded text may leave the range of a long double); compass angles, latitudes
// and longitudes within their range are plain decimals (no exponent), their minutes
// below 60, and read back within their rounding.

#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "fuzz_check.h"
#include "nav/geodesy.h"
#include "nav/number_forms.h"
#include "nav/number_read.h"
#include "nmea/frame.h"

namespace {

using ventrel::DecimalSeparator;
using ventrel::Val_Str_Flott;

std::string Num(long double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.21Lg", x);
  return buf;
}

std::string Show(const std::string& form, long double v) { return "« " + form + " » pour " + Num(v); }

bool NoNanInf(const std::string& s) {
  std::string low;
  for (const char c : s) low += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return low.find("nan") == std::string::npos && low.find("inf") == std::string::npos;
}

// An optional "-", digits, and optionally "." and digits: what a receiver reads.
bool PlainDecimal(const std::string& s) {
  std::size_t i = s.size() > 0 && s[0] == '-' ? 1 : 0;
  const std::size_t digits0 = i;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
  if (i == digits0) return false;
  if (i == s.size()) return true;
  if (s[i] != '.') return false;
  const std::size_t frac0 = ++i;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
  return i == s.size() && i > frac0;
}

bool ReadBack(const std::string& s, long double& out) {
  const ventrel::NumberRead r = Val_Str_Flott(s, DecimalSeparator{'.'});
  out = r.value;
  return r.ok;
}

bool Representable(long double v) {
  const long double a = std::fabs(v);
  return a == 0.0L || (a >= 1e-4900L && a <= 1e4900L);
}

void CheckFixed(long double v) {
  const int precisions[] = {1, 2, 4, 5, 9, 10, 15, 18};
  const int decimals[] = {0, 1, 2, 5, 9};
  const long double mag = v == 0.0L ? -30.0L : std::floor(std::log10(std::fabs(v)));
  for (const int P : precisions) {
    for (const int D : decimals) {
      const std::string s = ventrel::fixedForm(v, P, D);
      FUZZ_CHECK(!s.empty() && NoNanInf(s), Show(s, v));
      if (!Representable(v)) continue;
      long double back = 0.0L;
      FUZZ_CHECK(ReadBack(s, back), "illisible : " + Show(s, v));
      // The coarser of the two roundings; a whole unit of the last digit kept as
      // margin for a magnitude that rounding carried one digit further.
      const long double unit = std::fmax(std::pow(10.0L, -D), std::pow(10.0L, mag - P + 1));
      const long double tol = s.find('E') != std::string::npos ? std::pow(10.0L, mag - P + 1) : unit;
      FUZZ_CHECK(std::fabs(back - v) <= tol + std::fabs(v) * 1e-17L,
                 "relu " + Num(back) + " : " + Show(s, v) + " (P " + std::to_string(P) + ", D " +
                     std::to_string(D) + ")");
      FUZZ_CHECK(s[0] != '-' || back != 0.0L, "zéro négatif : " + Show(s, v));
    }
  }
}

void CheckGeneral(long double v) {
  const std::string g = ventrel::generalForm(v);
  FUZZ_CHECK(!g.empty() && NoNanInf(g), Show(g, v));
  if (!Representable(v)) return;
  long double back = 0.0L;
  FUZZ_CHECK(ReadBack(g, back), "illisible : " + Show(g, v));
  FUZZ_CHECK(std::fabs(back - v) <= std::fabs(v) * 1e-14L, "relu " + Num(back) + " : " + Show(g, v));
}

void CheckAngle(long double v) {
  long double ref = std::fmod(v, 360.0L);
  if (ref < 0.0L) ref += 360.0L;
  for (const int D : {0, 1, 2}) {
    const std::string s = ventrel::AngleField(v, 5, D);
    FUZZ_CHECK(PlainDecimal(s), "angle : " + Show(s, v));
    long double back = 0.0L;
    FUZZ_CHECK(ReadBack(s, back) && back >= 0.0L && back < 360.0L, "angle : " + Show(s, v));
    const long double d = std::fabs(back - ref);
    FUZZ_CHECK(std::fmin(d, 360.0L - d) <= 0.5L * std::pow(10.0L, -D) + 1e-12L,
               "angle relu " + Num(back) + " : " + Show(s, v));
  }
}

// A ddmm.mmm field of the value `deg` (degrees, not negative).
void CheckPosition(const std::string& field, long double deg, long double v) {
  FUZZ_CHECK(PlainDecimal(field), "position : " + Show(field, v));
  long double back = 0.0L;
  FUZZ_CHECK(ReadBack(field, back), "position illisible : " + Show(field, v));
  const long double whole = std::floor(back / 100.0L);
  const long double minutes = back - whole * 100.0L;
  FUZZ_CHECK(minutes < 60.0L, "minutes : " + Show(field, v));
  FUZZ_CHECK(std::fabs(whole + minutes / 60.0L - deg) <= 1e-5L, "position relue : " + Show(field, v));
}

void CheckPositions(long double v) {
  const ventrel::PosField lat = ventrel::LatField(v);
  FUZZ_CHECK(NoNanInf(lat.value), "latitude : " + Show(lat.value, v));
  if (std::fabs(v) <= 90.0L) {
    CheckPosition(lat.value, std::fabs(v), v);
    FUZZ_CHECK(lat.letter == (v > 0.0L ? "N" : "S"), "hémisphère : " + Show(lat.letter, v));
  }
  for (const auto& [P, D] : {std::pair{10, 5}, std::pair{9, 4}}) {
    const ventrel::PosField lon = ventrel::LonField(v, P, D);
    FUZZ_CHECK(NoNanInf(lon.value), "longitude : " + Show(lon.value, v));
    // Graphic (0 to 360) or geographic (-180 to 180) longitudes.
    if (v > -180.0L && v <= 360.0L) {
      const long double g = ventrel::LongGeo(v);
      CheckPosition(lon.value, std::fabs(g), v);
      FUZZ_CHECK(lon.letter == (g < 0.0L ? "W" : "E"), "hémisphère : " + Show(lon.letter, v));
    }
  }
}

void CheckDuration(long double v) {
  const std::string s = ventrel::DurationText(v);
  // Packed hours: 99.5959 is 99 h 59 min 59 s, the longest the field can hold.
  if (v < 0.0L || v >= 100.0L) {
    FUZZ_CHECK(s.empty(), "durée hors limites : " + Show(s, v));
    return;
  }
  // hhmmss.00, minutes and seconds below 60; empty only when it rounds to 100 h.
  if (s.empty() && v > 99.5959L) return;
  FUZZ_CHECK(s.size() == 9 && s.compare(6, 3, ".00") == 0 && PlainDecimal(s) && s[2] < '6' && s[4] < '6',
             "durée : " + Show(s, v));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const char sep : {'.', ','}) {
    const ventrel::NumberRead r = Val_Str_Flott(text, DecimalSeparator{sep});
    if (!r.ok) {
      FUZZ_CHECK(r.value == -65535.0L, "valeur d'un texte refusé : " + Num(r.value));
      continue;
    }
    const long double v = r.value;
    FUZZ_CHECK(std::isfinite(v), "valeur lue non finie : " + Num(v));
    CheckFixed(v);
    CheckGeneral(v);
    CheckAngle(v);
    CheckPositions(v);
    CheckDuration(v);
  }
  return 0;
}
