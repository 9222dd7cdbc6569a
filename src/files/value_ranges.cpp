#include "files/value_ranges.h"

#include <algorithm>
#include <cmath>

#include "files/paths.h"
#include "nav/number_forms.h"

namespace ventrel {

namespace {

constexpr std::string_view kP = "Parametres";
constexpr std::string_view kN = "NavDATA";
constexpr std::string_view kDeg = "degrés";
constexpr std::string_view kKn = "nœuds";
constexpr std::string_view kM = "mètres";
constexpr std::string_view kMin = "minutes";

using F = RangeForm;
using R = FieldRange;

constexpr ValueRange kRanges[] = {
    // The simulated water is 7 to 19 m deep: with both offsets at their largest
    // the depth below the keel stays at 0 or more.
    {kP, "iOFFS_Keel", R::keelOffset, 0, 5, false, kM, F::real},
    {kP, "iOFFS_Surf", R::surfaceOffset, 0, 2, false, kM, F::real},
    {kP, "iPolPerc", R::polarPercent, 0, 100, false, "%", F::integer},
    {kN, "iTWS", R::trueWindSpeed, 0, 100, false, kKn, F::real},
    {kN, "iTWD", R::trueWindDirection, -360, 360, false, kDeg, F::real},
    {kN, "iHDG", R::heading, -360, 360, false, kDeg, F::real},
    {kN, "iCUR", R::currentSpeed, 0, 20, false, kKn, F::real},
    {kN, "iCURDir", R::currentDirection, -360, 360, false, kDeg, F::real},
    {kN, "iPOSLat", R::none, -9000, 9000, false, "DDMM.mm", F::packed},
    {kN, "iPOSLong", R::none, -18000, 18000, false, "DDDMM.mm", F::packed},
    {kN, "iWpLat", R::none, -9000, 9000, false, "DDMM.mm", F::packed},
    {kN, "iWpLong", R::none, -18000, 18000, false, "DDDMM.mm", F::packed},
    {kN, "iDeclMag", R::none, -90, 90, false, kDeg, F::real},
    {kN, "idTU", R::utcOffset, -14, 14, false, "heures (h.mm)", F::packed, true, kAutoOffset},
    {"COM", "iVit", R::none, 150, 230400, false, "bauds", F::oneOfSpeeds},
    {"RESEAU", "iTCPPort", R::none, 1, 65535, false, "", F::integer},
    {"RESEAU", "iTCPRetard", R::none, 1, 65536, false, "Kio", F::integer},
    {"RESEAU", "iUDPTTL", R::none, 1, 255, false, "", F::integer},
    {"NAV", "dVirage", R::none, 0.5L, 20, false, "degrés par seconde", F::real},
    {"NAV", "dCouloir", R::none, 0, 10, false, "milles", F::real},
    {"NAV", "dPerte", R::none, 2, 600, false, "secondes", F::real},
    {"CONTROLE", "iControlePort", R::none, 1, 65535, false, "", F::integer},
    {"", "", R::boatSpeed, 0, 100, false, kKn, F::real},
    {"", "", R::latitudeDegrees, 0, 90, false, kDeg, F::real},
    {"", "", R::waypointLatitudeDegrees, 0, 90, false, kDeg, F::real},
    {"", "", R::longitudeDegrees, 0, 180, false, kDeg, F::real},
    {"", "", R::waypointLongitudeDegrees, 0, 180, false, kDeg, F::real},
    {"", "", R::latitudeMinutes, 0, 60, true, kMin, F::real},
    {"", "", R::longitudeMinutes, 0, 60, true, kMin, F::real},
    {"", "", R::waypointLatitudeMinutes, 0, 60, true, kMin, F::real},
    {"", "", R::waypointLongitudeMinutes, 0, 60, true, kMin, F::real},
    {"", "", R::variation, -90, 90, false, kDeg, F::real},  // its size is taken, the side apart
    // The draft is the two offsets together; the sensor lies at the surface offset.
    {"", "", R::draft, 0, 7, false, kM, F::real},
    {"", "", R::sensorDepth, 0, 2, false, kM, F::real},
    {"", "--duration", R::none, 0, 1e9L, false, "secondes simulées", F::integer},
    {"", "--start-time", R::none, 1, 9999, false, "(année)", F::integer},
    {"", "--baud", R::none, 150, 230400, false, "bauds", F::oneOfSpeeds},
    {"", "--percent", R::none, 0, 100, false, "%", F::integer},
};

std::string Number(long double x) { return generalForm(x); }

// Length of the well-formed UTF-8 character at s[i], 0 when it is not one.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  std::size_t len = 0;
  char32_t cp = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
      (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
    return 0;
  }
  return len;
}

}  // namespace

std::span<const ValueRange> ValueRanges() { return kRanges; }

const ValueRange* RangeOfKey(std::string_view section, std::string_view key) {
  if (key.empty()) return nullptr;
  for (const ValueRange& r : kRanges) {
    if (EqualsNoCase(r.section, section) && EqualsNoCase(r.key, key)) return &r;
  }
  return nullptr;
}

const ValueRange* RangeOfField(FieldRange field) {
  if (field == FieldRange::none) return nullptr;
  for (const ValueRange& r : kRanges) {
    if (r.field == field) return &r;
  }
  return nullptr;
}

std::string RangeText(const ValueRange& r) {
  if (r.form == RangeForm::oneOfSpeeds) {
    std::string s = "une des vitesses ";
    for (std::size_t i = 0; i < std::size(kBaudSpeeds); ++i) s += (i ? ", " : "") + Number(kBaudSpeeds[i]);
    return s + " " + std::string(r.unit);
  }
  std::string s = Number(r.min) + " à " + Number(r.max) + " " + std::string(r.unit);
  if (r.maxExcluded) s += " (" + Number(r.max) + " exclu)";
  if (r.form == RangeForm::packed) s += ", minutes < 60";
  if (r.form == RangeForm::integer) s += ", nombre entier";
  if (!r.word.empty()) s += ", ou « " + std::string(r.word) + " »";
  return s;
}

bool IsAutoOffset(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  return EqualsNoCase(text, kAutoOffset);
}

std::optional<std::string> RangeProblem(const ValueRange& r, long double v) {
  if (!std::isfinite(v)) return std::string("n'est pas un nombre fini");
  bool ok = v >= r.min && (r.maxExcluded ? v < r.max : v <= r.max);
  switch (r.form) {
    case RangeForm::real: break;
    case RangeForm::integer: ok = ok && v == std::trunc(v); break;
    case RangeForm::packed: {
      // The minutes: the rest of |v| below the whole hundreds (degrees), or the
      // fraction x 100 of the hours.
      const long double a = std::fabs(v);
      const long double minutes = r.hoursPacked ? (a - std::trunc(a)) * 100.0L : a - std::trunc(a / 100.0L) * 100.0L;
      ok = ok && minutes < 60.0L;
      break;
    }
    case RangeForm::oneOfSpeeds:
      ok = std::find(std::begin(kBaudSpeeds), std::end(kBaudSpeeds), v) != std::end(kBaudSpeeds);
      break;
  }
  if (ok) return std::nullopt;
  return "hors limites (" + RangeText(r) + ")";
}

std::string ShownValue(std::string_view raw, std::size_t max) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  std::size_t i = 0;
  while (i < raw.size()) {
    if (i >= max) {
      out += "…";
      break;
    }
    const auto u = static_cast<unsigned char>(raw[i]);
    std::size_t len = 1;
    if (u >= 0x80) len = Utf8Length(raw, i);
    if (u < 0x20 || u == 0x7F || len == 0) {
      out += "\\x";
      out += kHex[u / 16];
      out += kHex[u % 16];
      ++i;
      continue;
    }
    out.append(raw.substr(i, len));
    i += len;
  }
  return out;
}

}  // namespace ventrel
