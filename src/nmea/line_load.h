#pragma once
// The line-load meter: the bytes of each group of sentences against what the
// serial line carries in a second at its speed. The line is 8N1 (a start bit, 8
// data bits, a stop bit): speed / 10 bytes a second. Each group has its second;
// a group that needs more spills into the next one, and the sentences reach the
// receiver later and later.
//
// The meter counts the sentences selected, each with the bytes it last took on
// the line (CR LF included; GSV its whole series) when one of its kind has been
// sent, otherwise with the bytes of the same sentence built now.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "nmea/registry.h"

namespace ventrel {

// Bytes on the line of each sentence type of the table, in table order; nothing
// for a type not known.
using TypeBytes = std::array<std::optional<std::size_t>, kSentenceCount>;

// The index in the sentence table of the type of a framed sentence ("$GPGSV,..."
// is GSV's), or nothing when it is not one of the table's.
std::optional<std::size_t> TableIndexOf(std::string_view sentence);

// The bytes of the sentences sent, kept group by group: the sentences of a group
// replace what was known of that group's types (a type left out of it is no longer
// known).
class SentBytes {
 public:
  // A new group k (1, 2 or 3) begins: its types are forgotten.
  void BeginGroup(int group);
  // A sentence (without CR LF) has left on the line: its bytes and CR LF count.
  void Add(std::string_view sentence);
  // `bytes` (CR LF included; 0 for a sentence dropped) went out on the line for
  // `sentence`, as a fault in the outputs altered it.
  void Add(std::string_view sentence, std::size_t bytes);
  const TypeBytes& bytes() const { return bytes_; }

 private:
  TypeBytes bytes_{};
};

// Every type of the table built now: the groups built from a copy of m with every
// sentence selected (m itself is not changed). A type that could not be framed is
// not known.
TypeBytes BuildAllTypes(const NmeaModule& m, const SimState& s, const WaypointState& w, const NmeaClock& clock);

// One group on the line.
struct GroupLoad {
  int group = 0;               // 1, 2 or 3
  int types = 0;               // sentence types of the group selected
  std::size_t bytes = 0;       // bytes a second, CR LF included
  bool measured = true;        // every type counted from the line, none estimated
  std::int64_t hundredths = 0; // time on the wire, hundredths of a second rounded up
                               // (also its load of its second in percent)
};

struct LineLoad {
  std::int64_t baud = 0;              // the line's speed, bit/s (> 0)
  std::int64_t bytesPerSecond = 0;    // baud / 10 (8N1)
  std::array<GroupLoad, 3> groups{};  // groups 1, 2, 3
  std::int64_t percent = 0;           // the whole line over a cycle of three seconds, rounded up
  // True when group g (1 to 3) needs more than its second.
  bool Spills(const GroupLoad& g) const { return g.bytes * 10 > static_cast<std::uint64_t>(baud); }
};

// The load at `baud` (> 0) of the types `selected` says are chosen, each with its
// bytes in `sent` when known, otherwise in `built` (a type in neither counts 0).
LineLoad MeasureLineLoad(const std::function<bool(const SentenceEntry&)>& selected, const TypeBytes& sent,
                         const TypeBytes& built, std::int64_t baud);

// The French warning when a group does not fit in its second, for the longest one:
// "Le groupe 3 dure 1,23 s à 4800 bauds : choisissez 9600 bauds ou moins de
// phrases", with the slowest of `speeds` (bit/s, increasing) at which every group
// fits ("choisissez moins de phrases" when none). Empty when every group fits.
std::string LineLoadWarning(const LineLoad& load, std::span<const long double> speeds);

// The French refusal of a run going `times` (1 to 100) times as fast as real time
// on this line: each group must then go out in 1/times of a second. For the
// longest group that does not: "À ×10, le groupe 3 (588 octets) dure 1,23 s à
// 4800 bauds pour 0,10 s : la ligne série ne suit pas ; choisissez ×2 au plus,
// 76800 bauds ou moins de phrases", with the fastest run that fits (×1 at
// least: real time is never refused here) and the slowest of `speeds` (bit/s,
// increasing) at which every group fits at ×times (left out when none). Empty
// when every group fits, and always at ×1.
std::string SpeedLoadRefusal(const LineLoad& load, int times, std::span<const long double> speeds);

// The figures for the user, one line a group then the line's load:
// "Groupe 1 : 327 octets, 0,69 s (69 %)" ... "Ligne à 4800 bauds (480 octets/s) :
// chargée à 91 %"; " (estimé)" ends the line of a group counted in part from
// sentences built now, " (vide)" one with no sentence selected.
std::string LineLoadText(const LineLoad& load);
// The same in one line: "Charge à 4800 bauds : groupe 1 69 %, groupe 2 59 %,
// groupe 3 123 %".
std::string LineLoadSummary(const LineLoad& load);

}  // namespace ventrel
