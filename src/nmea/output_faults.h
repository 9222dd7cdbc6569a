#pragma once
// Faults put into the sentences as they go out, to test the software that reads
// them: a wrong checksum, a sentence cut short, a sentence dropped (a sensor
// lost), a value frozen (the last good sentence of that type repeated), a fix
// marked invalid, a line of garbage before the sentence. A fault applies to the
// listed sentence types (three letters: "RMC") or to all of them, until a given
// instant of the run or until cleared. Faults change the bytes sent, never the
// simulated boat; the sentence cycle records what was sent and says, in the
// visible and time-stamped lists, which sentences were altered and how.
//
// Everything is deterministic: the same faults on the same sentences give the
// same bytes (a reproducible run stays reproducible).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ventrel {

enum class FaultKind {
  badChecksum,  // the two checksum digits changed
  truncated,    // the sentence cut after half its characters, no checksum
  dropped,      // not sent at all
  frozen,       // the last sentence of that type sent before the fault, sent again
  invalidFix,   // RMC and GLL status "V" (their mode "N" when present), GGA quality 0 with no
                // satellite in use ("00"); other types unchanged
  garbageLine,  // a line of bytes that is no sentence, sent before the sentence
};
// Several faults on one sentence are put in this order: the garbage line, the
// sentence dropped or frozen, the fix made invalid, the checksum changed, the cut.
// Every sentence altered but for its checksum or its cut is framed again, with its
// right checksum.

// The name used in files and messages: "bad_checksum", "truncated", "dropped",
// "frozen", "invalid_fix", "garbage".
std::string_view FaultKindName(FaultKind k);
std::optional<FaultKind> FaultKindFromName(std::string_view name);
// In French for the lists: "somme de contrôle fausse", "phrase tronquée",
// "phrase supprimée", "valeur figée", "position invalide", "ligne parasite".
std::string_view FaultKindText(FaultKind k);

struct OutputFault {
  FaultKind kind = FaultKind::badChecksum;
  std::vector<std::string> types;      // sentence types ("RMC"); empty: every type
  std::optional<std::int64_t> untilMs;  // run time at which it ends; nothing: until cleared
};

// What one sentence becomes.
struct FaultedSentence {
  std::vector<std::string> lines;  // to send, each without CR LF, in order (may be empty)
  std::string note;                // French, "" when nothing was altered: "RMC : position invalide"
};

class OutputFaults {
 public:
  // A fault from now on; one of the same kind on an overlapping type list is replaced.
  void Add(OutputFault f);
  // Clears the faults of `kind` (every kind when nothing) on `types` (every type
  // when empty); returns how many faults were removed or narrowed.
  int Clear(std::optional<FaultKind> kind, const std::vector<std::string>& types);
  // Removes the faults whose end is at or before `nowMs` (run time, milliseconds).
  void Expire(std::int64_t nowMs);
  bool Any() const { return !faults_.empty(); }
  const std::vector<OutputFault>& Active() const { return faults_; }

  // One framed sentence ("$GPRMC,...*hh", without CR LF) as the cycle is about to
  // send it: the lines to send instead. Without a fault on its type: the sentence
  // alone, remembered as the last good one of its type (for `frozen`).
  FaultedSentence Apply(std::string_view sentence);
  // A sentence that went out as it was built, while no fault was on: the last good
  // one of its type (the cycle tells each one, so that a fault `frozen` added later
  // repeats the sentence sent just before it began).
  void Remember(std::string_view sentence);

 private:
  std::vector<OutputFault> faults_;
  // Type ("RMC"; "GSV,3,2" for a message of the series), sentence.
  std::vector<std::pair<std::string, std::string>> lastGood_;
  std::size_t nextGood_ = 0;  // where Remember looks first
  std::uint64_t garbageCount_ = 0;
};

}  // namespace ventrel
