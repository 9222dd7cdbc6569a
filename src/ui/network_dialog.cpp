#include "ui/network_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

#include "files/net_endpoint.h"
#include "files/nmea_source.h"
#include "qt/network_outputs.h"
#include "qt/nmea_inputs.h"

namespace ventrel {

std::optional<NetworkSettings> NetworkSettingsFromFields(const NetworkSettings& base, bool tcp, int port,
                                                         const std::string& address, bool udp,
                                                         const std::string& destinations, std::string& error) {
  NetworkSettings n = base;
  n.tcp = tcp;
  if (port < 1 || port > 65535) {
    error = "Port TCP invalide : " + std::to_string(port) + " (1 à 65535)";
    return std::nullopt;
  }
  n.tcpPort = static_cast<std::uint16_t>(port);
  n.tcpAddress = address;
  if (!address.empty()) {
    if (!IsListenHost(address)) {
      error = "Adresse d'écoute invalide : « " + address +
              " » (vide pour toutes les interfaces, 127.0.0.1 pour ce poste seul, ::1 en IPv6)";
      return std::nullopt;
    }
  }
  n.udp = udp;
  std::optional<std::vector<NetEndpoint>> list = ParseDestinationList(destinations, error);
  if (!list) return std::nullopt;
  if (udp && list->empty()) {
    error = "Indiquez au moins une destination UDP (HOTE:PORT)";
    return std::nullopt;
  }
  n.udpDestinations = std::move(*list);
  return n;
}

std::optional<ControlSettings> ControlSettingsFromFields(bool on, int port, const std::string& address,
                                                         std::string& error) {
  if (port < 1 || port > 65535) {
    error = "Port de contrôle invalide : " + std::to_string(port) + " (1 à 65535)";
    return std::nullopt;
  }
  if (!IsListenHost(address)) {
    error = "Adresse du port de contrôle invalide : « " + address +
            " » (127.0.0.1 pour ce poste seul, ::1 en IPv6, 0.0.0.0 pour toutes les interfaces)";
    return std::nullopt;
  }
  ControlSettings c;
  c.on = on;
  c.port = static_cast<std::uint16_t>(port);
  c.address = address;
  return c;
}

NetworkDialog::NetworkDialog(NetworkOutputs& outputs, std::function<NetworkSettings()> get,
                             std::function<void(const NetworkSettings&)> set, QWidget* parent)
    : QDialog(parent), outputs_(outputs), get_(std::move(get)), set_(std::move(set)) {
  setObjectName("FReseau");
  setWindowTitle(QStringLiteral("Réseau"));
  auto* form = new QFormLayout;
  tcp_ = new QCheckBox(QStringLiteral("Serveur TCP"), this);
  tcp_->setObjectName("ChkTCP");
  address_ = new QLineEdit(this);
  address_->setObjectName("EdTCPAdresse");
  address_->setPlaceholderText(QStringLiteral("toutes les interfaces (127.0.0.1 : ce poste seul)"));
  port_ = new QSpinBox(this);
  port_->setObjectName("EdTCPPort");
  port_->setRange(1, 65535);
  clients_ = new QLabel(this);
  clients_->setObjectName("LbClientsTCP");
  udp_ = new QCheckBox(QStringLiteral("Envoi UDP"), this);
  udp_->setObjectName("ChkUDP");
  destinations_ = new QLineEdit(this);
  destinations_->setObjectName("EdUDPDest");
  destinations_->setPlaceholderText(QStringLiteral("HOTE:PORT, séparés par des virgules"));
  error_ = new QLabel(this);
  error_->setObjectName("LbErreurReseau");
  error_->setWordWrap(true);
  error_->setStyleSheet("color: #c00000;");
  form->addRow(tcp_);
  form->addRow(QStringLiteral("Adresse d'écoute"), address_);
  form->addRow(QStringLiteral("Port"), port_);
  form->addRow(QStringLiteral("Clients"), clients_);
  form->addRow(udp_);
  form->addRow(QStringLiteral("Destinations"), destinations_);
  input_ = new QCheckBox(QStringLiteral("Entrée NMEA du pilote NAV (APB, RMB, XTE, HSC)"), this);
  input_->setObjectName("ChkEntreeNMEA");
  sources_ = new QLineEdit(this);
  sources_->setObjectName("EdSourcesNMEA");
  sources_->setPlaceholderText(QStringLiteral("tcp, udp:10111, tcp://HOTE:PORT, serial"));
  sources_->setToolTip(QStringLiteral(
      "tcp : les clients du serveur TCP ci-dessus ; udp:[ADRESSE:]PORT : un port UDP écouté ; "
      "tcp://HOTE:PORT : la sortie NMEA d'un traceur ou d'un serveur ; serial : le port série de sortie"));
  noChecksum_ = new QCheckBox(QStringLiteral("Accepter les phrases sans somme de contrôle"), this);
  noChecksum_->setObjectName("ChkSansSomme");
  inputCounts_ = new QLabel(this);
  inputCounts_->setObjectName("LbComptesEntree");
  inputCounts_->setWordWrap(false);
  sourcesCaption_ = new QLabel(QStringLiteral("Sources"), this);
  for (QWidget* w : {static_cast<QWidget*>(input_), static_cast<QWidget*>(sourcesCaption_),
                     static_cast<QWidget*>(sources_), static_cast<QWidget*>(noChecksum_),
                     static_cast<QWidget*>(inputCounts_)}) {
    w->setVisible(false);
  }
  form->addRow(input_);
  form->addRow(sourcesCaption_, sources_);
  form->addRow(noChecksum_);
  form->addRow(inputCounts_);
  control_ = new QCheckBox(QStringLiteral("Port de contrôle (commandes JSON sur TCP, une par ligne)"), this);
  control_->setObjectName("ChkControle");
  controlAddress_ = new QLineEdit(this);
  controlAddress_->setObjectName("EdControleAdresse");
  controlAddress_->setPlaceholderText(QStringLiteral("127.0.0.1 : ce poste seul"));
  controlAddress_->setToolTip(QStringLiteral(
      "Adresse d'écoute du port de contrôle : 127.0.0.1 (ce poste seul), ::1 en IPv6, 0.0.0.0 pour toutes les "
      "interfaces (tout poste du réseau pourrait alors piloter le bateau)"));
  controlPort_ = new QSpinBox(this);
  controlPort_->setObjectName("EdControlePort");
  controlPort_->setRange(1, 65535);
  controlStateLabel_ = new QLabel(this);
  controlStateLabel_->setObjectName("LbEtatControle");
  controlStateLabel_->setWordWrap(true);
  auto* controlAddressCaption = new QLabel(QStringLiteral("Adresse de contrôle"), this);
  auto* controlPortCaption = new QLabel(QStringLiteral("Port de contrôle"), this);
  controlRows_ = {control_, controlAddressCaption, controlAddress_, controlPortCaption, controlPort_,
                  controlStateLabel_};
  for (QWidget* w : controlRows_) w->setVisible(false);
  form->addRow(control_);
  form->addRow(controlAddressCaption, controlAddress_);
  form->addRow(controlPortCaption, controlPort_);
  form->addRow(controlStateLabel_);
  countsTimer_ = new QTimer(this);
  countsTimer_->setInterval(1000);
  connect(countsTimer_, &QTimer::timeout, this, &NetworkDialog::ShowInputCounts);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* apply = buttons->addButton(QStringLiteral("Appliquer"), QDialogButtonBox::ApplyRole);
  apply->setObjectName("BtAppliquerReseau");
  QPushButton* close = buttons->addButton(QStringLiteral("Fermer"), QDialogButtonBox::RejectRole);
  close->setObjectName("BtFermerReseau");
  connect(apply, &QPushButton::clicked, this, [this] { ApplyFields(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* box = new QVBoxLayout(this);
  box->addLayout(form);
  box->addWidget(error_);
  box->addWidget(buttons);
  connect(&outputs_, &NetworkOutputs::clientsChanged, this, &NetworkDialog::ShowClients);
  Refresh();
}

void NetworkDialog::ShowClients(int count) {
  if (!outputs_.TcpOn()) {
    clients_->setText(QStringLiteral("serveur arrêté"));
    return;
  }
  clients_->setText(QString::number(count) + (count > 1 ? QStringLiteral(" clients connectés")
                                                         : QStringLiteral(" client connecté")) +
                    QStringLiteral(" (écoute sur ") + QString::fromStdString(outputs_.TcpWhere()) + ")");
}

void NetworkDialog::SetInput(NmeaInputs* inputs, std::function<NavSettings()> get,
                             std::function<void(const NavSettings&)> set, std::function<std::string()> apply) {
  inputs_ = inputs;
  getNav_ = std::move(get);
  setNav_ = std::move(set);
  applyNav_ = std::move(apply);
  const bool on = inputs_ != nullptr;
  for (QWidget* w : {static_cast<QWidget*>(input_), static_cast<QWidget*>(sourcesCaption_),
                     static_cast<QWidget*>(sources_), static_cast<QWidget*>(noChecksum_),
                     static_cast<QWidget*>(inputCounts_)}) {
    w->setVisible(on);
  }
  if (on) {
    countsTimer_->start();
  } else {
    countsTimer_->stop();
  }
  Refresh();
}

void NetworkDialog::SetControl(std::function<ControlSettings()> get, std::function<void(const ControlSettings&)> set,
                               std::function<std::string()> apply, std::function<std::string()> state) {
  getControl_ = std::move(get);
  setControl_ = std::move(set);
  applyControl_ = std::move(apply);
  controlState_ = std::move(state);
  for (QWidget* w : controlRows_) w->setVisible(static_cast<bool>(getControl_));
  Refresh();
}

void NetworkDialog::ShowInputCounts() {
  if (!inputs_) return;
  if (!inputs_->Running()) {
    inputCounts_->setText(QStringLiteral("Entrée arrêtée"));
    return;
  }
  QString text = QString::fromStdString(InputCountsLine(inputs_->Counts()));
  for (const NmeaInputs::SourceState& src : inputs_->Sources()) {
    if (!src.connected) text += QStringLiteral("\n") + QString::fromStdString(src.name) + QStringLiteral(" : non connecté");
  }
  inputCounts_->setText(text);
}

std::optional<NavSettings> NetworkDialog::NavFromFields(std::string& error) const {
  NavSettings n = getNav_();
  n.input = input_->isChecked();
  n.allowMissingChecksum = noChecksum_->isChecked();
  std::optional<std::vector<NmeaSource>> list = ParseNmeaSourceList(sources_->text().toStdString(), error);
  if (!list) return std::nullopt;
  if (n.input && list->empty()) {
    error = "Indiquez au moins une source de l'entrée NMEA (tcp, udp:PORT, tcp://HOTE:PORT ou serial)";
    return std::nullopt;
  }
  n.sources = std::move(*list);
  return n;
}

void NetworkDialog::Refresh() {
  const NetworkSettings n = get_();
  tcp_->setChecked(n.tcp);
  address_->setText(QString::fromStdString(n.tcpAddress));
  port_->setValue(n.tcpPort);
  udp_->setChecked(n.udp);
  destinations_->setText(QString::fromStdString(DestinationListText(n.udpDestinations)));
  ShowClients(outputs_.ClientCount());
  if (inputs_ && getNav_) {
    const NavSettings nav = getNav_();
    input_->setChecked(nav.input);
    sources_->setText(QString::fromStdString(NmeaSourceListText(nav.sources)));
    noChecksum_->setChecked(nav.allowMissingChecksum);
    ShowInputCounts();
  }
  if (getControl_) {
    const ControlSettings c = getControl_();
    control_->setChecked(c.on);
    controlAddress_->setText(QString::fromStdString(c.address));
    controlPort_->setValue(c.port);
    controlStateLabel_->setText(controlState_ ? QString::fromStdString(controlState_()) : QString());
  }
}

bool NetworkDialog::ApplyFields() {
  std::string error;
  const std::optional<NetworkSettings> n =
      NetworkSettingsFromFields(get_(), tcp_->isChecked(), port_->value(), address_->text().trimmed().toStdString(),
                                udp_->isChecked(), destinations_->text().toStdString(), error);
  if (!n) {
    error_->setText(QString::fromStdString(error));
    return false;
  }
  std::optional<NavSettings> nav;
  if (inputs_) {
    nav = NavFromFields(error);
    if (!nav) {
      error_->setText(QString::fromStdString(error));
      return false;
    }
  }
  std::optional<ControlSettings> control;
  if (getControl_) {
    control = ControlSettingsFromFields(control_->isChecked(), controlPort_->value(),
                                        controlAddress_->text().trimmed().toStdString(), error);
    if (!control) {
      error_->setText(QString::fromStdString(error));
      return false;
    }
  }
  set_(*n);
  error = outputs_.Apply(*n);
  // The input follows the outputs: its "tcp" source reads the server just started.
  if (nav) {
    setNav_(*nav);
    const std::string inputError = applyNav_();
    if (error.empty()) error = inputError;
  }
  if (control) {
    setControl_(*control);
    const std::string controlError = applyControl_ ? applyControl_() : std::string();
    if (error.empty()) error = controlError;
    controlStateLabel_->setText(controlState_ ? QString::fromStdString(controlState_()) : QString());
  }
  error_->setText(QString::fromStdString(error));
  ShowClients(outputs_.ClientCount());
  ShowInputCounts();
  return error.empty();
}

}  // namespace ventrel
