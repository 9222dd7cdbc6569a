#include "scenario/expectations.h"

#include <algorithm>
#include <cmath>

#include "nav/geodesy.h"

namespace ventrel {

namespace {

// x with `decimals` digits after a "." (never the locale's comma); "?" when x
// is not a finite number of a sane size.
std::string Fixed(long double x, int decimals) {
  if (!std::isfinite(x) || std::fabs(x) > 1e12L) return "?";
  std::int64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const std::int64_t n = std::llround(std::fabs(x) * static_cast<long double>(scale));
  std::string out = (x < 0 && n != 0 ? "-" : "") + std::to_string(n / scale);
  if (decimals > 0) {
    std::string frac = std::to_string(n % scale);
    out += "." + std::string(static_cast<std::size_t>(decimals) - frac.size(), '0') + frac;
  }
  return out;
}

// "1 virement", "3 virements".
std::string Count(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 || n == -1 || n == 0 ? one : many);
}

bool HeadingIn(long double h, long double from, long double to) {
  // [350, 10] goes through north.
  return from <= to ? (h >= from && h <= to) : (h >= from || h <= to);
}

// Text fit for XML 1.0: the five special characters escaped, control characters
// and bytes that are not UTF-8 replaced by "?".
std::string XmlText(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    bool good = len > 0 && i + len <= s.size() && (len == 1 || c >= 0xC2);
    for (std::size_t k = 1; good && k < len; ++k) good = (static_cast<unsigned char>(s[i + k]) >> 6) == 0x2;
    if (!good) {
      out += '?';
      ++i;
      continue;
    }
    if (len > 1) {
      out.append(s, i, len);
    } else if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '"') {
      out += "&quot;";
    } else if (c == '\'') {
      out += "&apos;";
    } else if (c < 0x20 && c != '\n' && c != '\t') {
      out += '?';
    } else {
      out += static_cast<char>(c);
    }
    i += len;
  }
  return out;
}

std::string CaseName(const ExpectationOutcome& o) {
  const auto& e = o.expectation;
  return "[" + (e.atSeconds ? RunClockText(*e.atSeconds) : std::string("fin")) + "] " + e.written;
}

}  // namespace

void SentenceWatch::OnGroup(const GroupOutcome& g, std::int64_t atMs) {
  Seen s{g.group, atMs, {}};
  for (const auto& type : g.built) {
    if (std::find(g.sent.begin(), g.sent.end(), type) == g.sent.end() &&
        std::find(s.missing.begin(), s.missing.end(), type) == s.missing.end()) {
      s.missing.push_back(type);
    }
  }
  seen_.push_back(std::move(s));
}

std::vector<std::string> SentenceWatch::Missing(const std::vector<int>& groups, std::int64_t untilMs,
                                                std::size_t most) const {
  std::vector<std::string> lines;
  std::size_t rest = 0;
  for (const Seen& s : seen_) {
    if (s.atMs > untilMs || s.missing.empty() ||
        std::find(groups.begin(), groups.end(), s.group) == groups.end()) {
      continue;
    }
    if (lines.size() == most) {
      ++rest;
      continue;
    }
    std::string line = "groupe " + std::to_string(s.group) + " à " + Fixed(s.atMs / 1000.0L, s.atMs % 1000 ? 3 : 0) +
                       " s : ";
    for (std::size_t i = 0; i < s.missing.size(); ++i) line += (i ? ", " : "") + s.missing[i];
    lines.push_back(std::move(line));
  }
  if (rest > 0) lines.push_back("et " + std::to_string(rest) + (rest == 1 ? " autre groupe" : " autres groupes"));
  return lines;
}

std::size_t SentenceWatch::GroupsSeen(const std::vector<int>& groups, std::int64_t untilMs) const {
  return static_cast<std::size_t>(std::count_if(seen_.begin(), seen_.end(), [&](const Seen& s) {
    return s.atMs <= untilMs && std::find(groups.begin(), groups.end(), s.group) != groups.end();
  }));
}

ExpectationOutcome Evaluate(const Expectation& e, std::int64_t nowSeconds, const BoatReadout& r,
                            const SentenceWatch& watch) {
  ExpectationOutcome o{e, nowSeconds, false, ""};
  const auto counted = [&](int n, const char* one, const char* many) {
    o.passed = (!e.minCount || n >= *e.minCount) && (!e.maxCount || n <= *e.maxCount);
    o.observed = Count(n, one, many);
  };
  switch (e.kind) {
    case ExpectKind::waypointDistanceBelow:
      if (!r.waypointUsed) {
        o.observed = "aucun point de route";
      } else {
        o.passed = r.waypointDistance < e.high;
        o.observed = Fixed(r.waypointDistance, 2) + (r.waypointDistance < 2 ? " mille" : " milles");
      }
      break;
    case ExpectKind::headingBetween:
      o.passed = HeadingIn(r.headingTrue, e.low, e.high);
      o.observed = "cap " + Fixed(r.headingTrue, 1) + "°";
      break;
    case ExpectKind::speedOverGroundAbove:
      o.passed = r.speedOverGround > e.low;
      o.observed = Fixed(r.speedOverGround, 2) + " nœuds";
      break;
    case ExpectKind::tacks:
      counted(r.tacksBegun, "virement", "virements");
      break;
    case ExpectKind::gybes:
      counted(r.gybesBegun, "empannage", "empannages");
      break;
    case ExpectKind::within: {
      Mercator m;
      const long double d = m.dist_ortho(e.latitude, e.longitude, r.latitude, r.longitude);
      o.passed = d <= e.radiusNm;
      o.observed = "à " + Fixed(d, 2) + (d < 2 ? " mille" : " milles") + " du point";
      break;
    }
    case ExpectKind::noSentenceMissing: {
      const std::int64_t untilMs = nowSeconds * 1000;
      const std::size_t groups = watch.GroupsSeen(e.groups, untilMs);
      const auto missing = watch.Missing(e.groups, untilMs);
      if (groups == 0) {
        o.observed = "aucun groupe envoyé";
      } else if (missing.empty()) {
        o.passed = true;
        o.observed = Count(static_cast<int>(std::min<std::size_t>(groups, 2'000'000'000)), "groupe complet",
                           "groupes complets");
      } else {
        o.observed = "manquantes : ";
        for (std::size_t i = 0; i < missing.size(); ++i) o.observed += (i ? "; " : "") + missing[i];
      }
      break;
    }
  }
  return o;
}

std::string ReportText(const std::string& scenarioName, const std::vector<ExpectationOutcome>& outcomes) {
  std::string out = "Scénario " + scenarioName + " : " + Count(static_cast<int>(outcomes.size()), "attente", "attentes") +
                    "\n";
  std::size_t failed = 0;
  for (const ExpectationOutcome& o : outcomes) {
    failed += o.passed ? 0 : 1;
    const auto& e = o.expectation;
    out += "  [" + RunClockText(o.checkedAtSeconds) + (e.atSeconds ? "" : ", fin") + "] " + e.written + " : " + o.observed +
           " : " + (o.passed ? "OK" : "ÉCHEC") + "\n";
  }
  if (failed == 0) {
    out += outcomes.empty() ? "Aucune attente.\n" : "Toutes les attentes tiennent.\n";
  } else {
    out += Count(static_cast<int>(failed), "attente", "attentes") + " sur " + std::to_string(outcomes.size()) +
           " en échec.\n";
  }
  return out;
}

std::string JUnitXml(const std::string& scenarioName, const std::vector<ExpectationOutcome>& outcomes,
                     long double seconds) {
  const auto failed = std::count_if(outcomes.begin(), outcomes.end(), [](const auto& o) { return !o.passed; });
  const std::string name = XmlText(scenarioName);
  const std::string counts = " tests=\"" + std::to_string(outcomes.size()) + "\" failures=\"" +
                             std::to_string(failed) + "\" errors=\"0\" time=\"" +
                             (std::isfinite(seconds) ? Fixed(seconds, 3) : "0") + "\"";
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites" + counts + ">\n  <testsuite name=\"" +
                    name + "\"" + counts + ">\n";
  for (const ExpectationOutcome& o : outcomes) {
    out += "    <testcase classname=\"" + name + "\" name=\"" + XmlText(CaseName(o)) + "\" time=\"0\"";
    if (o.passed) {
      out += "/>\n";
      continue;
    }
    const std::string observed = XmlText(o.observed);
    out += ">\n      <failure message=\"" + observed + "\">" + XmlText(o.expectation.written) + " à " +
           RunClockText(o.checkedAtSeconds) + " : " + observed + "</failure>\n    </testcase>\n";
  }
  out += "  </testsuite>\n</testsuites>\n";
  return out;
}

}  // namespace ventrel
