#include "model/transmission.h"

#include <algorithm>
#include <charconv>

namespace ventrel {

std::vector<std::string> DefaultPortNames() {
  std::vector<std::string> names;
  for (int n = 1; n <= 10; ++n) names.push_back(R"(\\.\COM)" + std::to_string(n));
  return names;
}

// ---- NmeaList

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

// ---- NmeaTransmission

NmeaTransmission::NmeaTransmission(NmeaModule& m, NmeaSources src, ModelTimer& timer, Panel& panel,
                                   NmeaPort& port, LocalClock clock)
    : m_(m), src_(src), timer_(timer), panel_(panel), port_(port), clock_(std::move(clock)) {
  timer_.setEnabled(false);
  timer_.setInterval(1000);
  timer_.setHandler([this] { OnTimer(); });

  PanelField& com = panel_.add("CBcom");
  com.setItems(DefaultPortNames());
  com.setItemIndex(-1);
  com.setText("");
  PanelField& bauds = panel_.add("CBbauds");
  bauds.setItems(std::vector<std::string>(kBauds.begin(), kBauds.end()));
  bauds.setItemIndex(kDefaultBaudIndex);
  bauds.setText(std::string(kBauds[kDefaultBaudIndex]));
  PanelField& activ = panel_.add("BtActivNMEA");
  activ.setText("Activer");
  activ.setEnabled(false);
  panel_.add("RazCom").setText("Raz");

  MemoNMEAHMS.Add("");
}

NmeaTransmission::~NmeaTransmission() {
  timer_.setEnabled(false);
  timer_.setHandler({});
}

void NmeaTransmission::Message(std::string_view text) const {
  if (messages_) messages_(std::string(text));
}

// ---- Panel

void NmeaTransmission::SetPortNames(std::vector<std::string> names) {
  PanelField& com = panel_["CBcom"];
  com.setItems(std::move(names));
  com.setItemIndex(-1);
}

int NmeaTransmission::AddPortName(const std::string& name) {
  PanelField& com = panel_["CBcom"];
  std::vector<std::string> items = com.items();
  const auto it = std::find(items.begin(), items.end(), name);
  if (it != items.end()) return static_cast<int>(it - items.begin());
  items.push_back(name);
  com.setItems(std::move(items));
  return static_cast<int>(com.items().size()) - 1;
}

void NmeaTransmission::SetSpeedText(const std::string& text) {
  PanelField& bauds = panel_["CBbauds"];
  bauds.setText(text);
  const auto it = std::find(kBauds.begin(), kBauds.end(), text);
  bauds.setItemIndex(it == kBauds.end() ? -1 : static_cast<int>(it - kBauds.begin()));
  BtActivNMEAEnable();
}

void NmeaTransmission::CBComSelect() {
  const PanelField& com = panel_["CBcom"];
  const PanelField& bauds = panel_["CBbauds"];
  const int idx = com.itemIndex();
  if (idx < 0 || idx >= static_cast<int>(com.items().size())) return;
  // The speed is read here only: a later change of the list waits for the next pick.
  std::uint32_t speed = 0;
  const int b = bauds.itemIndex();
  if (b >= 0 && b < static_cast<int>(bauds.items().size())) {
    const std::string& t = bauds.items()[static_cast<std::size_t>(b)];
    std::from_chars(t.data(), t.data() + t.size(), speed);
  }
  if (speed == 0) {
    ComValid_ = false;
    Message(kMsgVitesseAbsente);
    return;
  }
  ComValid_ = port_.InitCom(com.items()[static_cast<std::size_t>(idx)], speed, 0, 8, 0);
  if (ComValid_) {
    BtActivNMEAEnable();
    SelectedComIDX_ = idx;
  } else {
    Message(kMsgComIndisponible);
  }
}

void NmeaTransmission::BtActivNMEAEnable() {
  panel_["BtActivNMEA"].setEnabled(ComValid_ && panel_["CBbauds"].itemIndex() >= 0 &&
                                   panel_["CBcom"].itemIndex() >= 0);
}

void NmeaTransmission::BtActivNMEAClick() {
  if (started_ || terminated_ || !ComValid_) return;
  started_ = true;
  if (!suspended_) Begin();
}

void NmeaTransmission::Begin() {
  begun_ = true;
  ProcSentence1();
  next_ = 2;
  timer_.setEnabled(true);
}

void NmeaTransmission::RazComClick() {
  PanelField& com = panel_["CBcom"];
  com.setItemIndex(SelectedComIDX_);
  if (SelectedComIDX_ >= 0 && SelectedComIDX_ < static_cast<int>(com.items().size())) {
    port_.ResetCom(com.items()[static_cast<std::size_t>(SelectedComIDX_)]);
  }
  ComValid_ = false;
  MemoNMEA.Clear();
  MemoNMEAbrut.Clear();
}

WriteOutcome NmeaTransmission::Save(const NmeaList& list, const std::filesystem::path& file,
                                    const ChunkWriter& writer) {
  WriteOutcome r = WriteFileWhole(file, list.Text(), writer);
  if (!r.ok) Message(r.message);
  return r;
}

WriteOutcome NmeaTransmission::SaveNMEAbrut(const std::filesystem::path& file, const ChunkWriter& writer) {
  return Save(MemoNMEAbrut, file, writer);
}

WriteOutcome NmeaTransmission::SaveNMEAHMS(const std::filesystem::path& file, const ChunkWriter& writer) {
  return Save(MemoNMEAHMS, file, writer);
}

// ---- Run control

void NmeaTransmission::Suspend() {
  suspended_ = true;
  timer_.setEnabled(false);
}

void NmeaTransmission::Resume() {
  suspended_ = false;
  if (!Started()) return;
  if (!begun_) {
    Begin();
  } else {
    timer_.setEnabled(true);
  }
}

void NmeaTransmission::Quit() {
  terminated_ = true;
  timer_.setEnabled(false);
  const PanelField& com = panel_["CBcom"];
  const int idx = com.itemIndex();
  if (ComValid_ && idx >= 0 && idx < static_cast<int>(com.items().size())) {
    port_.ResetCom(com.items()[static_cast<std::size_t>(idx)]);
  }
  MemoNMEA.Clear();
}

// ---- Phases

void NmeaTransmission::OnTimer() {
  if (!Transmitting()) return;
  const int k = next_;
  next_ = k % 3 + 1;
  Phase(k);
}

void NmeaTransmission::Phase(int k) {
  const NmeaClock clock = ToNmeaClock(clock_(), src_.params.dTU);
  const int n = std::min(m_.BuildSentenceGroup(k, src_.s, src_.w, clock), NmeaModule::kSlots - 1);
  // A sentence left out is said on the error line when it starts being left out,
  // not at every cycle.
  std::string faults;
  for (const std::string& f : m_.framingFaults) faults += f + "\n";
  if (faults != toldFaults_[static_cast<std::size_t>(k)]) {
    for (const std::string& f : m_.framingFaults) MemoNMEA.Add(" *** phrase non envoyée, " + f + " ***");
    toldFaults_[static_cast<std::size_t>(k)] = faults;
  }
  std::string line;
  bool told = false;  // the error line of this group is written
  outputs_.BeginGroup();
  for (int i = 1; i <= n; ++i) {
    line.assign(m_.tab_PhNMEA[static_cast<std::size_t>(i)]);
    line.append("\r\n");
    const OutputFanOut::Outcome r = outputs_.Write(line);
    // The output that refused loses the rest of the group; the error line comes
    // once, after the sentences that went out before the refusal.
    if (r.refused && k == 1 && !told) {
      MemoNMEA.Add(kMsgErreurTransmission);
      told = true;
    }
    if (r.taken) Log_NMEA(i);
    if (outputs_.AllRefused()) break;
  }
  outputs_.EndGroup();
}

void NmeaTransmission::Log_NMEA(int i) {
  const std::string& s = m_.tab_PhNMEA.at(static_cast<std::size_t>(i));
  MemoNMEA.Add(s);
  MemoNMEAbrut.Add(s);
  if (!MemoNMEAHMS.Wanted()) return;
  const LocalTime now = clock_();
  formattedDate = DateStamp(now);
  formattedTime = TimeStamp(now);
  std::string stamped;
  stamped.reserve(32 + s.size());
  stamped.append("NMEA183:").append(formattedDate).append("Z").append(formattedTime).append(":").append(s);
  MemoNMEAHMS.Add(stamped);
}

}  // namespace ventrel
