#pragma once
// The "Réseau" dialog: the TCP server (on or off, listening address, port) and the
// UDP destinations of the configuration's [RESEAU] settings, the number of TCP
// clients connected, and the French message of a setting that cannot be applied
// (a port taken). "Appliquer" starts the outputs as set; they are saved with the
// configuration. Shown without blocking the main window.

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

#include "files/config_values.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace ventrel {

class NetworkOutputs;

// The settings the fields give, starting from `base` (the keys the dialog does not
// show); nothing and a French message in `error` when a field is wrong.
std::optional<NetworkSettings> NetworkSettingsFromFields(const NetworkSettings& base, bool tcp, int port,
                                                         const std::string& address, bool udp,
                                                         const std::string& destinations, std::string& error);

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

 private:
  void ShowClients(int count);

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
};

}  // namespace ventrel
