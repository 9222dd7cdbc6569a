#include "nmea/sentence_cycle.h"

#include <algorithm>
#include <span>

#include "nmea/frame.h"
#include "nmea/registry.h"

namespace ventrel {

SentenceCycle::SentenceCycle(NmeaModule& m, NmeaSources src, ModelTimer& timer, SentenceLog& log, LocalClock clock)
    : m_(m), src_(src), timer_(timer), log_(log), clock_(std::move(clock)) {
  timer_.setEnabled(false);
  timer_.setInterval(1000);
  timer_.setHandler([this] { OnTimer(); });
}

SentenceCycle::~SentenceCycle() {
  timer_.setEnabled(false);
  timer_.setHandler({});
}

void SentenceCycle::Activate() {
  if (started_ || terminated_) return;
  started_ = true;
  if (!suspended_) Begin();
}

void SentenceCycle::Begin() {
  begun_ = true;
  RunPhase(1);
  next_ = 2;
  timer_.setEnabled(true);
}

void SentenceCycle::Suspend() {
  suspended_ = true;
  timer_.setEnabled(false);
}

void SentenceCycle::Resume() {
  suspended_ = false;
  if (!Started()) return;
  if (!begun_) {
    Begin();
  } else {
    timer_.setEnabled(true);
  }
}

void SentenceCycle::Stop() {
  terminated_ = true;
  timer_.setEnabled(false);
}

bool SentenceCycle::StepPhase() {
  if (!Started() || !suspended_) return false;
  // Activated while paused: this step is its first phase (1); the resume then
  // goes on from the next one.
  begun_ = true;
  const int k = next_;
  next_ = k % 3 + 1;
  RunPhase(k);
  return true;
}

void SentenceCycle::OnTimer() {
  if (!Transmitting()) return;
  const int k = next_;
  next_ = k % 3 + 1;
  RunPhase(k);
}

NmeaClock SentenceCycle::BuildClock(const LocalTime& now) const {
  return ToNmeaClock(now, src_.params.dTUAuto ? SystemUtcOffset(now) : src_.params.dTU);
}

LineLoad SentenceCycle::MeasureLoad(std::int64_t baud, const std::function<bool(const SentenceEntry&)>& selected) const {
  const std::function<bool(const SentenceEntry&)> chosen =
      selected ? selected : [this](const SentenceEntry& e) { return Selected(m_, e); };
  // The groups are built now only when a type chosen has not been sent.
  const std::span<const SentenceEntry> table = SentenceTable();
  bool allSent = true;
  for (std::size_t i = 0; i < table.size(); ++i) allSent = allSent && (!chosen(table[i]) || sent_.bytes()[i]);
  TypeBytes built{};
  if (!allSent) built = BuildAllTypes(m_, src_.s, src_.w, BuildClock(clock_()));
  return MeasureLineLoad(chosen, sent_.bytes(), built, baud);
}

bool SentenceCycle::WriteLine(std::string_view text, int k, bool& told) {
  line_.assign(text);
  line_.append("\r\n");
  const OutputFanOut::Outcome r = outputs_.Write(line_);
  // The output that refused loses the rest of the group; the error line comes
  // once, after the sentences that went out before the refusal.
  if (r.refused && k == 1 && !told) {
    log_.visible.Add(kMsgErreurTransmission);
    told = true;
  }
  return r.taken;
}

bool SentenceCycle::WriteFaulted(const std::string& sentence, int k, bool& told) {
  const FaultedSentence f = faults_.Apply(sentence);
  if (!f.note.empty()) log_.Note(f.note);
  bool sent = false;
  std::size_t bytes = 0;
  for (const std::string& l : f.lines) {
    if (outputs_.AllRefused()) break;
    if (!WriteLine(l, k, told)) continue;
    bytes += l.size() + 2;
    // A garbage line is no sentence: the visible list shows the note alone.
    if (!l.empty() && l.front() == '$') {
      sent = true;
      log_.Record(l);
    } else {
      log_.RecordLine(l);
    }
  }
  // A sentence that every output refused stays unknown to the meter, as without a fault.
  if (bytes > 0 || f.lines.empty()) sent_.Add(sentence, bytes);
  return sent;
}

void SentenceCycle::RunPhase(int k) {
  const NmeaClock clock = BuildClock(clock_());
  const int n = std::min(m_.BuildSentenceGroup(k, src_.s, src_.w, clock), NmeaModule::kSlots - 1);
  // A sentence left out is said on the error line when it starts being left out,
  // not at every cycle.
  std::string faults;
  for (const std::string& f : m_.framingFaults) faults += f + "\n";
  if (faults != toldFaults_[static_cast<std::size_t>(k)]) {
    for (const std::string& f : m_.framingFaults) log_.visible.Add(" *** phrase non envoyée, " + f + " ***");
    toldFaults_[static_cast<std::size_t>(k)] = faults;
  }
  GroupOutcome outcome;
  outcome.group = k;
  bool told = false;  // the error line of this group is written
  sent_.BeginGroup(k);
  outputs_.BeginGroup();
  for (int i = 1; i <= n; ++i) {
    const std::string& sentence = m_.sentenceSlots[static_cast<std::size_t>(i)];
    if (groupListener_) outcome.built.push_back(SentenceType(sentence));
    bool sent = false;
    if (faults_.Any()) {
      sent = WriteFaulted(sentence, k, told);
    } else if (WriteLine(sentence, k, told)) {
      sent = true;
      sent_.Add(sentence);
      log_.Record(sentence);
      faults_.Remember(sentence);
    }
    if (sent && groupListener_) outcome.sent.push_back(SentenceType(sentence));
    if (outputs_.AllRefused()) break;
  }
  outputs_.EndGroup();
  if (groupListener_) {
    // The sentences after a refusal by every output were built too.
    for (int i = static_cast<int>(outcome.built.size()) + 1; i <= n; ++i) {
      outcome.built.push_back(SentenceType(m_.sentenceSlots[static_cast<std::size_t>(i)]));
    }
    groupListener_(outcome);
  }
}

}  // namespace ventrel
