#include "nmea/nmea_input.h"

#include <charconv>
#include <cmath>

#include "nav/number_read.h"

namespace ventrel {

namespace {

constexpr std::size_t kMaxSentence = 82;  // characters, CR LF included

// A plain decimal number ("12", "-0.5", "273."): nothing for an empty field, an
// exponent, a sign other than a leading minus, or anything else.
std::optional<long double> Number(std::string_view f) {
  if (f.empty()) return std::nullopt;
  for (std::size_t i = 0; i < f.size(); ++i) {
    const char c = f[i];
    if (!((c >= '0' && c <= '9') || c == '.' || (c == '-' && i == 0))) return std::nullopt;
  }
  long double x = 0;
  const auto [end, ec] = ReadLongDouble(f.data(), f.data() + f.size(), x);
  if (ec != std::errc() || end != f.data() + f.size() || !std::isfinite(x)) return std::nullopt;
  return x;
}

// A field that must be empty or a number within [lo, hi]; false when it is neither.
bool Within(std::string_view f, long double lo, long double hi, std::optional<long double>& out) {
  out.reset();
  if (f.empty()) return true;
  const std::optional<long double> x = Number(f);
  if (!x || *x < lo || *x > hi) return false;
  out = x;
  return true;
}

std::optional<NorthRef> Ref(std::string_view f) {
  if (f == "T") return NorthRef::True;
  if (f == "M") return NorthRef::Magnetic;
  return std::nullopt;
}

// A bearing and its reference; empty fields give nothing, a bad one fails.
bool BearingOf(std::string_view value, std::string_view ref, std::optional<Bearing>& out) {
  std::optional<long double> deg;
  if (!Within(value, 0, 360, deg)) return false;
  out.reset();
  if (!deg) return true;
  const std::optional<NorthRef> r = Ref(ref);
  if (!r) return false;
  out = Bearing{*deg, *r};
  return true;
}

// Cross-track error with its direction to steer: negative when steering left.
bool CrossTrack(std::string_view value, std::string_view steer, std::optional<long double>& out) {
  if (!Within(value, 0, 1e6L, out)) return false;
  if (!out) return true;
  if (steer == "L") {
    *out = -*out;
  } else if (steer != "R" && !(steer.empty() && *out == 0)) {
    return false;
  }
  return true;
}

// ddmm.mm (or dddmm.mm) and its hemisphere letter into signed decimal degrees.
bool Coordinate(std::string_view value, std::string_view side, long double maxDeg, char positive, char negative,
                std::optional<long double>& out) {
  std::optional<long double> packed;
  if (!Within(value, 0, maxDeg * 100 + 60, packed)) return false;
  out.reset();
  if (!packed) return true;
  const long double deg = std::trunc(*packed / 100);
  const long double min = *packed - deg * 100;
  if (min >= 60 || deg > maxDeg) return false;
  const long double x = deg + min / 60;
  if (x > maxDeg || side.size() != 1 || (side[0] != positive && side[0] != negative)) return false;
  out = side[0] == negative ? -x : x;
  return true;
}

std::vector<std::string_view> Split(std::string_view body) {
  std::vector<std::string_view> f;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = body.find(',', start);
    f.push_back(body.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) return f;
    start = comma + 1;
  }
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Field i, or "" past the end (optional trailing fields).
std::string_view At(const std::vector<std::string_view>& f, std::size_t i) { return i < f.size() ? f[i] : ""; }

std::optional<SteeringSentence> Apb(const std::vector<std::string_view>& f) {
  ApbSentence s;
  s.valid = At(f, 1) == "A" && At(f, 2) == "A";
  s.arrivalCircle = At(f, 6) == "A";
  s.perpendicular = At(f, 7) == "A";
  s.destination = std::string(At(f, 10));
  if (!CrossTrack(At(f, 3), At(f, 4), s.crossTrackNm) || !BearingOf(At(f, 8), At(f, 9), s.originToDestination) ||
      !BearingOf(At(f, 11), At(f, 12), s.presentToDestination) ||
      !BearingOf(At(f, 13), At(f, 14), s.headingToSteer)) {
    return std::nullopt;
  }
  return s;
}

std::optional<SteeringSentence> Rmb(const std::vector<std::string_view>& f) {
  RmbSentence s;
  s.valid = At(f, 1) == "A";
  s.origin = std::string(At(f, 4));
  s.destination = std::string(At(f, 5));
  s.arrived = At(f, 13) == "A";
  if (!CrossTrack(At(f, 2), At(f, 3), s.crossTrackNm) ||
      !Coordinate(At(f, 6), At(f, 7), 90, 'N', 'S', s.latitude) ||
      !Coordinate(At(f, 8), At(f, 9), 180, 'E', 'W', s.longitude) || !Within(At(f, 10), 0, 1e6L, s.rangeNm) ||
      !Within(At(f, 11), 0, 360, s.bearingTrue) || !Within(At(f, 12), -1e3L, 1e3L, s.closingKnots)) {
    return std::nullopt;
  }
  return s;
}

std::optional<SteeringSentence> Xte(const std::vector<std::string_view>& f) {
  XteSentence s;
  s.valid = At(f, 1) == "A" && At(f, 2) == "A";
  if (!CrossTrack(At(f, 3), At(f, 4), s.crossTrackNm)) return std::nullopt;
  return s;
}

std::optional<SteeringSentence> Hsc(const std::vector<std::string_view>& f) {
  HscSentence s;
  if (!Within(At(f, 1), 0, 360, s.headingTrue) || !Within(At(f, 3), 0, 360, s.headingMagnetic)) return std::nullopt;
  if ((s.headingTrue && At(f, 2) != "T") || (s.headingMagnetic && At(f, 4) != "M")) return std::nullopt;
  return s;
}

}  // namespace

std::optional<SteeringSentence> ParseSteeringSentence(std::string_view line, bool allowMissingChecksum,
                                                      InputCounts& counts) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  if (line.size() + 2 > kMaxSentence) {
    ++counts.tooLong;
    return std::nullopt;
  }
  if (line.empty() || (line[0] != '$' && line[0] != '!')) {
    ++counts.malformed;
    return std::nullopt;
  }
  std::string_view body = line.substr(1);
  const std::size_t star = body.rfind('*');
  if (star == std::string_view::npos) {
    if (!allowMissingChecksum) {
      ++counts.badChecksum;
      return std::nullopt;
    }
  } else {
    const std::string_view sum = body.substr(star + 1);
    std::uint8_t x = 0;
    for (const char c : body.substr(0, star)) x ^= static_cast<std::uint8_t>(c);
    if (sum.size() != 2 || Hex(sum[0]) < 0 || Hex(sum[1]) < 0 || Hex(sum[0]) * 16 + Hex(sum[1]) != x) {
      ++counts.badChecksum;
      return std::nullopt;
    }
    body = body.substr(0, star);
  }
  for (const char c : body) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E || c == '$' || c == '*') {
      ++counts.malformed;
      return std::nullopt;
    }
  }
  const std::vector<std::string_view> f = Split(body);
  const std::string_view address = f[0];
  if (address.size() != 5 || address[0] == 'P') {
    if (address.size() >= 2 && address[0] == 'P') {
      ++counts.ignored;  // proprietary
    } else {
      ++counts.malformed;
    }
    return std::nullopt;
  }
  const std::string_view type = address.substr(2);
  std::optional<SteeringSentence> s;
  if (type == "APB") {
    s = Apb(f);
  } else if (type == "RMB") {
    s = Rmb(f);
  } else if (type == "XTE") {
    s = Xte(f);
  } else if (type == "HSC") {
    s = Hsc(f);
  } else {
    ++counts.ignored;
    return std::nullopt;
  }
  if (s) {
    ++counts.used;
  } else {
    ++counts.malformed;
  }
  return s;
}

std::vector<SteeringSentence> NmeaLineReader::Feed(std::string_view bytes) {
  std::vector<SteeringSentence> out;
  for (const char c : bytes) {
    if (c == '\r' || c == '\n') {
      EndOfLine(out);
      continue;
    }
    if (overflowing_) continue;
    if (line_.size() >= kMaxLineBytes) {
      overflowing_ = true;
      line_.clear();
      continue;
    }
    line_.push_back(c);
  }
  return out;
}

void NmeaLineReader::EndOfLine(std::vector<SteeringSentence>& out) {
  if (overflowing_) {
    overflowing_ = false;
    ++counts_.lines;
    ++counts_.tooLong;
    return;
  }
  if (line_.empty()) return;  // the LF of a CR LF, or a blank line
  ++counts_.lines;
  if (std::optional<SteeringSentence> s = ParseSteeringSentence(line_, allowMissingChecksum_, counts_)) {
    out.push_back(std::move(*s));
  }
  line_.clear();
}

}  // namespace ventrel
