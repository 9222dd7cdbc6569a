#pragma once
// The "Réseau" dialog: the TCP server (on or off, listening address, port) and the
// UDP destinations of the configuration's [RESEAU] settings, the number of TCP
// clients connected, and the French message of a setting that cannot be applied
// (a port taken). "Appliquer" starts the outputs as set; they are saved with the
// configuration. Shown without blocking the main window.
//
// With SetInput, the dialog also shows the steering input of the NAV pilot
// ([NAV]): on or off, its sources, sentences without checksum, and the counts of
// lines read, steering sentences used and lines dropped, refreshed every second.
//
// With SetControl, it also shows the control port ([CONTROLE]): on or off, its
// listening address (127.0.0.1 unless changed) and its port, and its state.

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "files/config_values.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;

namespace ventrel {

class NetworkOutputs;
class NmeaInputs;

// The settings the fields give, starting from `base` (the keys the dialog does not
// show); nothing and a French message in `error` when a field is wrong.
std::optional<NetworkSettings> NetworkSettingsFromFields(const NetworkSettings& base, bool tcp, int port,
                                                         const std::string& address, bool udp,
                                                         const std::string& destinations, std::string& error);

// The [CONTROLE] settings the fields give; nothing and a French message in `error`
// when a field is wrong (the address must be one: never empty).
std::optional<ControlSettings> ControlSettingsFromFields(bool on, int port, const std::string& address,
                                                         std::string& error);

class NetworkDialog : public QDialog {
  Q_OBJECT

 public:
  // `outputs` is not owned; `get` and `set` read and keep the program's settings.
  NetworkDialog(NetworkOutputs& outputs, std::function<NetworkSettings()> get,
                std::function<void(const NetworkSettings&)> set, QWidget* parent = nullptr);

  // The fields from the program's settings, the count and the state of the outputs.
  void Refresh();
  // "Appliquer": true when every output asked for started.
  bool ApplyFields();
  // The steering input: `inputs` not owned; `get` and `set` read and keep the
  // program's [NAV] settings; `apply` starts the input as set ("" or the French
  // message of a source that cannot start).
  void SetInput(NmeaInputs* inputs, std::function<NavSettings()> get, std::function<void(const NavSettings&)> set,
                std::function<std::string()> apply);
  // The control port: `get` and `set` read and keep the program's [CONTROLE]
  // settings; `apply` starts or stops the port as set ("" or the French message
  // of a port that cannot start); `state` says what it does now (may be empty).
  void SetControl(std::function<ControlSettings()> get, std::function<void(const ControlSettings&)> set,
                  std::function<std::string()> apply, std::function<std::string()> state);

 private:
  void ShowClients(int count);
  void ShowInputCounts();
  // The [NAV] settings the input fields give; nothing and a French message when wrong.
  std::optional<NavSettings> NavFromFields(std::string& error) const;

  NetworkOutputs& outputs_;
  std::function<NetworkSettings()> get_;
  std::function<void(const NetworkSettings&)> set_;
  QCheckBox* tcp_;
  QLineEdit* address_;
  QSpinBox* port_;
  QLabel* clients_;
  QCheckBox* udp_;
  QLineEdit* destinations_;
  QLabel* error_;
  NmeaInputs* inputs_ = nullptr;
  std::function<NavSettings()> getNav_;
  std::function<void(const NavSettings&)> setNav_;
  std::function<std::string()> applyNav_;
  QCheckBox* input_;
  QLabel* sourcesCaption_ = nullptr;
  QLineEdit* sources_;
  QCheckBox* noChecksum_;
  QLabel* inputCounts_;
  QTimer* countsTimer_;
  std::function<ControlSettings()> getControl_;
  std::function<void(const ControlSettings&)> setControl_;
  std::function<std::string()> applyControl_;
  std::function<std::string()> controlState_;
  QCheckBox* control_;
  QLineEdit* controlAddress_;
  QSpinBox* controlPort_;
  QLabel* controlStateLabel_;
  std::vector<QWidget*> controlRows_;  // the control port's fields and captions
};

}  // namespace ventrel
