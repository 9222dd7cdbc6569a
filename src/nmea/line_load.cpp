#include "nmea/line_load.h"

#include <algorithm>

namespace ventrel {

namespace {

// n / d rounded up, for n >= 0 and d > 0.
std::int64_t CeilDiv(std::int64_t n, std::int64_t d) { return (n + d - 1) / d; }

// Hundredths as the user reads them: "1,23" (a French text: decimal comma).
std::string Hundredths(std::int64_t h) {
  std::string cents = std::to_string(h % 100);
  if (cents.size() < 2) cents.insert(0, 1, '0');
  return std::to_string(h / 100) + "," + cents;
}

std::string Whole(long double x) { return std::to_string(static_cast<std::int64_t>(x)); }

}  // namespace

std::optional<std::size_t> TableIndexOf(std::string_view sentence) {
  // "$" + two letters of talker + the type + ",".
  if (sentence.size() < 7 || sentence[0] != '$') return std::nullopt;
  const std::span<const SentenceEntry> table = SentenceTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const std::string_view type = table[i].type;
    if (sentence.size() > 3 + type.size() && sentence.substr(3, type.size()) == type &&
        sentence[3 + type.size()] == ',') {
      return i;
    }
  }
  return std::nullopt;
}

void SentBytes::BeginGroup(int group) {
  const std::span<const SentenceEntry> table = SentenceTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].group == group) bytes_[i].reset();
  }
}

void SentBytes::Add(std::string_view sentence) { Add(sentence, sentence.size() + 2); }  // CR LF

void SentBytes::Add(std::string_view sentence, std::size_t bytes) {
  const std::optional<std::size_t> i = TableIndexOf(sentence);
  if (!i) return;
  bytes_[*i] = bytes_[*i].value_or(0) + bytes;
}

TypeBytes BuildAllTypes(const NmeaModule& m, const SimState& s, const WaypointState& w, const NmeaClock& clock) {
  NmeaModule all = m;
  for (const SentenceEntry& e : SentenceTable()) e.flag(all) = t_switch::ON;
  SentBytes count;
  for (int g = 1; g <= 3; ++g) {
    const int n = all.BuildSentenceGroup(g, s, w, clock);
    for (int i = 1; i <= n; ++i) count.Add(all.sentenceSlots[static_cast<std::size_t>(i)]);
  }
  return count.bytes();
}

LineLoad MeasureLineLoad(const std::function<bool(const SentenceEntry&)>& selected, const TypeBytes& sent,
                         const TypeBytes& built, std::int64_t baud) {
  LineLoad load;
  load.baud = std::max<std::int64_t>(baud, 1);
  load.bytesPerSecond = load.baud / 10;
  for (int g = 0; g < 3; ++g) load.groups[static_cast<std::size_t>(g)].group = g + 1;
  const std::span<const SentenceEntry> table = SentenceTable();
  std::int64_t total = 0;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const SentenceEntry& e = table[i];
    if (e.group < 1 || e.group > 3 || !selected(e)) continue;
    GroupLoad& g = load.groups[static_cast<std::size_t>(e.group - 1)];
    ++g.types;
    if (sent[i]) {
      g.bytes += *sent[i];
    } else {
      g.measured = false;
      g.bytes += built[i].value_or(0);
    }
  }
  for (GroupLoad& g : load.groups) {
    const auto bytes = static_cast<std::int64_t>(g.bytes);
    // bytes / (baud / 10) seconds, in hundredths: bytes x 1000 / baud.
    g.hundredths = CeilDiv(bytes * 1000, load.baud);
    total += bytes;
  }
  load.percent = CeilDiv(total * 1000, 3 * load.baud);
  return load;
}

std::string LineLoadWarning(const LineLoad& load, std::span<const long double> speeds) {
  const GroupLoad* longest = nullptr;
  std::size_t most = 0;
  for (const GroupLoad& g : load.groups) {
    most = std::max(most, g.bytes);
    if (load.Spills(g) && (longest == nullptr || g.bytes > longest->bytes)) longest = &g;
  }
  if (longest == nullptr) return {};
  std::string advice = "moins de phrases";
  for (const long double speed : speeds) {
    // The group fits when its bytes take at most a second: bytes x 10 <= speed.
    if (speed > static_cast<long double>(load.baud) && static_cast<long double>(most) * 10.0L <= speed) {
      advice = Whole(speed) + " bauds ou moins de phrases";
      break;
    }
  }
  return "Le groupe " + std::to_string(longest->group) + " dure " + Hundredths(longest->hundredths) + " s à " +
         std::to_string(load.baud) + " bauds : choisissez " + advice;
}

std::string SpeedLoadRefusal(const LineLoad& load, int times, std::span<const long double> speeds) {
  if (times <= 1) return {};
  // A group fits at ×times when its bytes take at most 1/times of a second:
  // bytes x 10 x times <= baud.
  const auto fits = [times](std::size_t bytes, long double baud) {
    return static_cast<long double>(bytes) * 10.0L * static_cast<long double>(times) <= baud;
  };
  const GroupLoad* longest = nullptr;
  for (const GroupLoad& g : load.groups) {
    if (!fits(g.bytes, static_cast<long double>(load.baud)) && (longest == nullptr || g.bytes > longest->bytes)) {
      longest = &g;
    }
  }
  if (longest == nullptr) return {};
  // The fastest run at which the longest group still fits, real time at least.
  const std::int64_t fastest =
      std::max<std::int64_t>(1, load.baud / static_cast<std::int64_t>(std::max<std::size_t>(longest->bytes, 1) * 10));
  std::string advice = "×" + std::to_string(fastest) + " au plus";
  for (const long double speed : speeds) {
    if (speed > static_cast<long double>(load.baud) && fits(longest->bytes, speed)) {
      advice += ", " + Whole(speed) + " bauds";
      break;
    }
  }
  advice += " ou moins de phrases";
  return "À ×" + std::to_string(times) + ", le groupe " + std::to_string(longest->group) + " (" +
         std::to_string(longest->bytes) + " octets) dure " + Hundredths(longest->hundredths) + " s à " +
         std::to_string(load.baud) + " bauds pour " + Hundredths(100 / times) +
         " s : la ligne série ne suit pas ; choisissez " + advice;
}

std::string LineLoadText(const LineLoad& load) {
  std::string text;
  for (const GroupLoad& g : load.groups) {
    text += "Groupe " + std::to_string(g.group) + " : " + std::to_string(g.bytes) + " octets, " +
            Hundredths(g.hundredths) + " s (" + std::to_string(g.hundredths) + " %)";
    if (g.types == 0) {
      text += " (vide)";
    } else if (!g.measured) {
      text += " (estimé)";
    }
    text += "\n";
  }
  text += "Ligne à " + std::to_string(load.baud) + " bauds (" + std::to_string(load.bytesPerSecond) +
          " octets/s) : chargée à " + std::to_string(load.percent) + " %";
  return text;
}

std::string LineLoadSummary(const LineLoad& load) {
  std::string text = "Charge à " + std::to_string(load.baud) + " bauds :";
  for (const GroupLoad& g : load.groups) {
    text += std::string(g.group > 1 ? "," : "") + " groupe " + std::to_string(g.group) + " " +
            std::to_string(g.hundredths) + " %";
  }
  return text;
}

}  // namespace ventrel
