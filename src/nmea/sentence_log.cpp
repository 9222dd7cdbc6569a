#include "nmea/sentence_log.h"

namespace ventrel {

void NmeaList::Add(std::string_view line) {
  if (kept_) {
    starts_.push_back(text_.size());
    text_.append(line);
    text_.append("\r\n");
  }
  if (onAdd_) onAdd_(line);
}

void NmeaList::Clear() {
  text_.clear();
  starts_.clear();
  if (onClear_) onClear_();
}

std::string_view NmeaList::Line(std::size_t i) const {
  const std::size_t begin = starts_.at(i);
  const std::size_t end = (i + 1 < starts_.size() ? starts_[i + 1] : text_.size()) - 2;  // before CR LF
  return std::string_view(text_).substr(begin, end - begin);
}

void NmeaList::SetListener(std::function<void(std::string_view)> onAdd, std::function<void()> onClear) {
  onAdd_ = std::move(onAdd);
  onClear_ = std::move(onClear);
}

SentenceLog::SentenceLog(LocalClock clock) : clock_(std::move(clock)) { stamped.Add(""); }

void SentenceLog::Record(std::string_view s) {
  visible.Add(s);
  raw.Add(s);
  Stamp("NMEA183", s);
}

void SentenceLog::Note(std::string_view text) {
  std::string line;
  line.append(kFaultNotePrefix).append(text).append(" ***");
  visible.Add(line);
  Stamp(kFaultStampPrefix.substr(0, kFaultStampPrefix.size() - 1), text);
}

void SentenceLog::Stamp(std::string_view prefix, std::string_view text) {
  if (!stamped.Wanted()) return;
  const LocalTime now = clock_();
  formattedDate = DateStamp(now);
  formattedTime = TimeStamp(now);
  std::string line;
  line.reserve(32 + text.size());
  line.append(prefix).append(":").append(formattedDate).append("Z").append(formattedTime).append(":").append(text);
  stamped.Add(line);
}

}  // namespace ventrel
