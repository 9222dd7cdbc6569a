#include "nmea/output_faults.h"

#include <algorithm>
#include <array>
#include <span>

#include "nmea/frame.h"
#include "nmea/registry.h"

namespace ventrel {

namespace {

struct KindNames {
  FaultKind kind;
  std::string_view name;
  std::string_view text;
};

// In the order the faults are put into a sentence: the garbage line first, then
// the sentence dropped or frozen, then the fix made invalid, then the frame broken.
constexpr std::array<KindNames, 6> kKinds{{
    {FaultKind::garbageLine, "garbage", "ligne parasite"},
    {FaultKind::dropped, "dropped", "phrase supprimée"},
    {FaultKind::frozen, "frozen", "valeur figée"},
    {FaultKind::invalidFix, "invalid_fix", "position invalide"},
    {FaultKind::badChecksum, "bad_checksum", "somme de contrôle fausse"},
    {FaultKind::truncated, "truncated", "phrase tronquée"},
}};

unsigned Bit(FaultKind k) { return 1U << static_cast<unsigned>(k); }

// What identifies "the same sentence" for `frozen`: the type ("RMC"), and for the
// series of GSV the message's number too ("GSV,3,2"), so that a frozen series is
// the whole series repeated.
std::string_view FreezeKey(std::string_view s) {
  if (s.size() < 7 || s[0] != '$') return s.substr(0, std::min<std::size_t>(s.size(), 6));
  if (s.substr(3, 4) != "GSV,") return s.substr(3, 3);
  std::size_t end = 7;
  for (int commas = 0; end < s.size(); ++end) {
    if (s[end] == ',' && ++commas == 2) break;
    if (s[end] == '*') break;
  }
  return s.substr(3, end - 3);
}

bool Covers(const OutputFault& f, std::string_view type) {
  return f.types.empty() || std::find(f.types.begin(), f.types.end(), type) != f.types.end();
}

// Every type of the sentence table: what a fault on all types is narrowed from.
std::vector<std::string> AllTypes() {
  std::vector<std::string> all;
  for (const SentenceEntry& e : SentenceTable()) all.emplace_back(e.type);
  return all;
}

// The sentence with the field that says whether the fix holds written as "no
// fix", framed again; the sentence itself for a type that has no such field.
std::string InvalidFix(const std::string& s, std::string_view type) {
  // Field numbers from 1 (the first after the type) and their "no fix" values.
  std::array<std::pair<std::size_t, std::string_view>, 2> changes{};
  std::size_t n = 0;
  if (type == "RMC") {
    changes = {{{2, "V"}, {12, "N"}}};
    n = 2;
  } else if (type == "GLL") {
    changes = {{{6, "V"}, {7, "N"}}};
    n = 2;
  } else if (type == "GGA") {
    // No satellite in use either: a receiver without a fix counts none, and a
    // reader may hold to a fix while satellites are counted.
    changes = {{{6, "0"}, {7, "00"}}};
    n = 2;
  } else {
    return s;
  }
  const std::size_t star = s.rfind('*');
  if (s.size() < 7 || star == std::string::npos || star < 6) return s;
  std::vector<std::string> fields;
  std::size_t at = 7;
  while (at <= star) {
    std::size_t comma = s.find(',', at);
    if (comma == std::string::npos || comma > star) comma = star;
    fields.emplace_back(s.substr(at, comma - at));
    at = comma + 1;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const auto [field, value] = changes[i];
    // The mode field of RMC and GLL is present only in their later forms.
    if (field <= fields.size()) fields[field - 1] = value;
  }
  // Every field taken as a name: the fields are those of a sentence that was framed.
  std::optional<std::string> framed = FrameSentence(s.substr(1, 2), type, fields, -1, ~std::uint64_t{0});
  return framed ? *framed : s;
}

// Both digits of the checksum changed, still hexadecimal: never the right value.
std::string BadChecksum(std::string s) {
  const std::size_t star = s.rfind('*');
  if (star == std::string::npos) return s;
  const std::string wrong = hexa(static_cast<std::uint8_t>(Check_XOR(s, '$', '*') ^ 0x88U));
  s.resize(star + 1);
  s += wrong;
  return s;
}

// The first half of the characters, and never the "*" and what follows it.
std::string Truncated(const std::string& s) {
  return s.substr(0, std::min(s.size() / 2, s.find('*')));
}

}  // namespace

std::string_view FaultKindName(FaultKind k) {
  for (const KindNames& e : kKinds) {
    if (e.kind == k) return e.name;
  }
  return "";
}

std::optional<FaultKind> FaultKindFromName(std::string_view name) {
  for (const KindNames& e : kKinds) {
    if (e.name == name) return e.kind;
  }
  return std::nullopt;
}

std::string_view FaultKindText(FaultKind k) {
  for (const KindNames& e : kKinds) {
    if (e.kind == k) return e.text;
  }
  return "";
}

void OutputFaults::Add(OutputFault f) {
  std::sort(f.types.begin(), f.types.end());
  f.types.erase(std::unique(f.types.begin(), f.types.end()), f.types.end());
  Clear(f.kind, f.types);
  faults_.push_back(std::move(f));
}

int OutputFaults::Clear(std::optional<FaultKind> kind, const std::vector<std::string>& types) {
  int changed = 0;
  for (auto it = faults_.begin(); it != faults_.end();) {
    OutputFault& f = *it;
    if (kind && f.kind != *kind) {
      ++it;
      continue;
    }
    if (types.empty()) {
      it = faults_.erase(it);
      ++changed;
      continue;
    }
    if (f.types.empty()) f.types = AllTypes();
    const auto kept = std::remove_if(f.types.begin(), f.types.end(), [&](const std::string& t) {
      return std::find(types.begin(), types.end(), t) != types.end();
    });
    const bool narrowed = kept != f.types.end();
    f.types.erase(kept, f.types.end());
    if (narrowed) ++changed;
    if (f.types.empty()) {
      it = faults_.erase(it);
    } else {
      ++it;
    }
  }
  return changed;
}

void OutputFaults::Expire(std::int64_t nowMs) {
  std::erase_if(faults_, [nowMs](const OutputFault& f) { return f.untilMs && *f.untilMs <= nowMs; });
}

void OutputFaults::Remember(std::string_view sentence) {
  const std::string_view key = FreezeKey(sentence);
  // The sentences come in the same order cycle after cycle: the search starts
  // after the type found last, where the next one almost always is.
  const std::size_t n = lastGood_.size();
  for (std::size_t j = 0; j < n; ++j) {
    const std::size_t i = (nextGood_ + j) % n;
    if (lastGood_[i].first == key) {
      lastGood_[i].second.assign(sentence);
      nextGood_ = i + 1;
      return;
    }
  }
  lastGood_.emplace_back(std::string(key), std::string(sentence));
  nextGood_ = 0;
}

FaultedSentence OutputFaults::Apply(std::string_view sentence) {
  FaultedSentence out;
  const std::string type = SentenceType(sentence);
  unsigned kinds = 0;
  for (const OutputFault& f : faults_) {
    if (Covers(f, type)) kinds |= Bit(f.kind);
  }
  std::string s(sentence);
  std::string how;
  const auto told = [&how](FaultKind k) {
    if (!how.empty()) how += ", ";
    how += FaultKindText(k);
  };
  if ((kinds & Bit(FaultKind::garbageLine)) != 0U) {
    out.lines.push_back("#~garbage " + std::to_string(++garbageCount_) + " ~#");
    told(FaultKind::garbageLine);
  }
  bool good = true;  // sent as it was built
  if ((kinds & Bit(FaultKind::dropped)) != 0U) {
    told(FaultKind::dropped);
    out.note = std::string(type.empty() ? FreezeKey(sentence) : type) + " : " + how;
    return out;
  }
  if ((kinds & Bit(FaultKind::frozen)) != 0U) {
    const std::string_view key = FreezeKey(sentence);
    const auto last = std::find_if(lastGood_.begin(), lastGood_.end(), [&](const auto& e) { return e.first == key; });
    // With none sent yet, this one is the value that stays.
    if (last == lastGood_.end()) {
      Remember(sentence);
    } else if (last->second != s) {
      s = last->second;
      good = false;
      told(FaultKind::frozen);
    }
  }
  if ((kinds & Bit(FaultKind::invalidFix)) != 0U) {
    std::string invalid = InvalidFix(s, type);
    if (invalid != s) {
      s = std::move(invalid);
      good = false;
      told(FaultKind::invalidFix);
    }
  }
  if ((kinds & Bit(FaultKind::badChecksum)) != 0U) {
    s = BadChecksum(std::move(s));
    good = false;
    told(FaultKind::badChecksum);
  }
  if ((kinds & Bit(FaultKind::truncated)) != 0U) {
    s = Truncated(s);
    good = false;
    told(FaultKind::truncated);
  }
  if (good && (kinds & Bit(FaultKind::frozen)) == 0U) Remember(sentence);
  out.lines.push_back(std::move(s));
  if (!how.empty()) out.note = std::string(type.empty() ? FreezeKey(sentence) : type) + " : " + how;
  return out;
}

}  // namespace ventrel
