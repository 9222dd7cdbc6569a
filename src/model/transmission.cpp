#include "model/transmission.h"

#include <algorithm>
#include <charconv>

namespace ventrel {

std::vector<std::string> DefaultPortNames() {
  std::vector<std::string> names;
  for (int n = 1; n <= 10; ++n) names.push_back(R"(\\.\COM)" + std::to_string(n));
  return names;
}

// ---- NmeaTransmission

NmeaTransmission::NmeaTransmission(NmeaModule& m, NmeaSources src, ModelTimer& timer, Panel& panel,
                                   NmeaPort& port, LocalClock clock)
    : panel_(panel), port_(port), log_(clock), cycle_(m, src, timer, log_, clock) {

  PanelField& com = panel_[Field::PortList];
  com.setItems(DefaultPortNames());
  com.setItemIndex(-1);
  com.setText("");
  PanelField& bauds = panel_[Field::SpeedList];
  bauds.setItems(std::vector<std::string>(kBauds.begin(), kBauds.end()));
  bauds.setItemIndex(kDefaultBaudIndex);
  bauds.setText(std::string(kBauds[kDefaultBaudIndex]));
  PanelField& activ = panel_[Field::ActivateButton];
  activ.setText("Activer");
  activ.setEnabled(false);
  panel_[Field::ResetPortButton].setText("Raz");
}

NmeaTransmission::~NmeaTransmission() = default;

void NmeaTransmission::Message(std::string_view text) const {
  if (messages_) messages_(std::string(text));
}

// ---- Panel

void NmeaTransmission::SetPortNames(std::vector<std::string> names) {
  PanelField& com = panel_[Field::PortList];
  com.setItems(std::move(names));
  com.setItemIndex(-1);
}

int NmeaTransmission::AddPortName(const std::string& name) {
  PanelField& com = panel_[Field::PortList];
  std::vector<std::string> items = com.items();
  const auto it = std::find(items.begin(), items.end(), name);
  if (it != items.end()) return static_cast<int>(it - items.begin());
  items.push_back(name);
  com.setItems(std::move(items));
  return static_cast<int>(com.items().size()) - 1;
}

void NmeaTransmission::SetSpeedText(const std::string& text) {
  PanelField& bauds = panel_[Field::SpeedList];
  bauds.setText(text);
  const auto it = std::find(kBauds.begin(), kBauds.end(), text);
  bauds.setItemIndex(it == kBauds.end() ? -1 : static_cast<int>(it - kBauds.begin()));
  BtActivNMEAEnable();
}

void NmeaTransmission::CBComSelect() {
  const PanelField& com = panel_[Field::PortList];
  const PanelField& bauds = panel_[Field::SpeedList];
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
  ComValid_ = port_.OpenPort(com.items()[static_cast<std::size_t>(idx)], speed, 0, 8, 0);
  if (ComValid_) {
    BtActivNMEAEnable();
    SelectedComIDX_ = idx;
  } else {
    Message(kMsgComIndisponible);
  }
}

void NmeaTransmission::BtActivNMEAEnable() {
  panel_[Field::ActivateButton].setEnabled(
      (ComValid_ && panel_[Field::SpeedList].itemIndex() >= 0 && panel_[Field::PortList].itemIndex() >= 0) || networkOn_);
}

void NmeaTransmission::BtActivNMEAClick() {
  if (ComValid_ || networkOn_) cycle_.Activate();
}

void NmeaTransmission::SetNetworkOn(bool on) {
  if (on == networkOn_) return;
  networkOn_ = on;
  BtActivNMEAEnable();
}

void NmeaTransmission::RazComClick() {
  PanelField& com = panel_[Field::PortList];
  com.setItemIndex(SelectedComIDX_);
  if (SelectedComIDX_ >= 0 && SelectedComIDX_ < static_cast<int>(com.items().size())) {
    port_.ClosePort(com.items()[static_cast<std::size_t>(SelectedComIDX_)]);
  }
  ComValid_ = false;
  log_.visible.Clear();
  log_.raw.Clear();
}

WriteOutcome NmeaTransmission::Save(const NmeaList& list, const std::filesystem::path& file,
                                    const ChunkWriter& writer) {
  WriteOutcome r = WriteFileWhole(file, list.Text(), writer);
  if (!r.ok) Message(r.message);
  return r;
}

WriteOutcome NmeaTransmission::SaveNMEAbrut(const std::filesystem::path& file, const ChunkWriter& writer) {
  return Save(log_.raw, file, writer);
}

WriteOutcome NmeaTransmission::SaveNMEAHMS(const std::filesystem::path& file, const ChunkWriter& writer) {
  return Save(log_.stamped, file, writer);
}

// ---- Run control

void NmeaTransmission::Suspend() { cycle_.Suspend(); }

void NmeaTransmission::Resume() { cycle_.Resume(); }

void NmeaTransmission::Quit() {
  cycle_.Stop();
  const PanelField& com = panel_[Field::PortList];
  const int idx = com.itemIndex();
  if (ComValid_ && idx >= 0 && idx < static_cast<int>(com.items().size())) {
    port_.ClosePort(com.items()[static_cast<std::size_t>(idx)]);
  }
  log_.visible.Clear();
}

// ---- The line-load meter

std::int64_t NmeaTransmission::ChosenSpeed() const {
  const PanelField& bauds = panel_[Field::SpeedList];
  const int b = bauds.itemIndex();
  if (b < 0 || b >= static_cast<int>(bauds.items().size())) return 0;
  const std::string& t = bauds.items()[static_cast<std::size_t>(b)];
  std::int64_t speed = 0;
  std::from_chars(t.data(), t.data() + t.size(), speed);
  return speed;
}

}  // namespace ventrel
