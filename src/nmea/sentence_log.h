#pragma once
// The lists of the sentences that went out: the visible list (with the error
// lines and the model's diagnostics), the raw list and the time-stamped list
// ("NMEA183:" + date + "Z" + time + ":" + sentence, beginning with an empty
// line). The window shows the first and saves the other two; a headless run
// writes the last two to its --log and --log-stamped files.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/local_time.h"

namespace ventrel {

// A list of text lines that only grows or is emptied. The lines are kept as the
// text of a saved file (each followed by CR LF), so saving copies nothing line by
// line. A list that is not kept drops its lines but still tells its listener.
class NmeaList {
 public:
  void Add(std::string_view line);
  void Clear();
  std::size_t Count() const { return starts_.size(); }
  // Line i, 0 <= i < Count(), without its CR LF.
  std::string_view Line(std::size_t i) const;
  // The lines, each followed by CR LF: the content of a saved file.
  const std::string& Text() const { return text_; }

  void SetKept(bool on) { kept_ = on; }
  bool Kept() const { return kept_; }
  // Someone takes the lines: the list keeps them or has a listener.
  bool Wanted() const { return kept_ || static_cast<bool>(onAdd_); }
  // Told of every line added and of every emptying (the window's list control).
  void SetListener(std::function<void(std::string_view)> onAdd, std::function<void()> onClear = {});

 private:
  std::string text_;
  std::vector<std::size_t> starts_;
  bool kept_ = true;
  std::function<void(std::string_view)> onAdd_;
  std::function<void()> onClear_;
};

// How a fault put into a sentence begins in the visible list.
inline constexpr std::string_view kFaultNotePrefix = " *** défaut injecté, ";
// How it begins in the time-stamped list (sentences begin with "NMEA183:").
inline constexpr std::string_view kFaultStampPrefix = "DEFAUT:";

class SentenceLog {
 public:
  // `clock` gives the local time of a stamp.
  explicit SentenceLog(LocalClock clock);

  // Records a sentence that went out in the three lists.
  void Record(std::string_view sentence);
  // Says how the sentences that follow were altered by a fault put into the
  // outputs ("RMC : position invalide"): in the visible list, and in the
  // time-stamped list as "DEFAUT:" + date + "Z" + time + ":" + text.
  void Note(std::string_view text);

  NmeaList visible;
  NmeaList raw;
  NmeaList stamped;
  // Date and time of the last time-stamped line (lines that nobody takes are not
  // stamped: a run that keeps no time-stamped list spends nothing on them).
  std::string formattedDate;
  std::string formattedTime;

 private:
  // The time-stamped line "prefix:dateZtime:text".
  void Stamp(std::string_view prefix, std::string_view text);

  LocalClock clock_;
};

}  // namespace ventrel
