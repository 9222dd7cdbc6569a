// The "Réseau" dialog on loopback: the fields read into settings, a port taken
// told in French, the number of TCP clients shown; the control port's settings.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QCheckBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <string>

#include "qt/event_loop.h"
#include "qt/network_outputs.h"
#include "qt/nmea_inputs.h"
#include "ui/network_dialog.h"

using namespace ventrel;

namespace {

using ventrel::testing::Until;

// A port free on 127.0.0.1 a moment ago.
quint16 FreePort() {
  QTcpServer s;
  s.listen(QHostAddress::LocalHost, 0);
  return s.serverPort();
}

}  // namespace

class TestNetworkDialog : public QObject {
  Q_OBJECT

 private slots:
  void fields_give_settings();
  void port_taken_then_clients_counted();
  void steering_input_set_and_counted();
  void control_port_set();
};

void TestNetworkDialog::fields_give_settings() {
  const struct {
    bool tcp;
    int port;
    const char* address;
    bool udp;
    const char* destinations;
    const char* error;  // nullptr: accepted
  } rows[] = {
      {true, 10110, "", false, "", nullptr},
      {true, 2000, "::1", true, "127.0.0.1:2001, [::1]:2002", nullptr},
      {false, 10110, "", false, "bad", "Destination UDP invalide"},
      {true, 10110, "mon poste", false, "", "Adresse d'écoute invalide"},
      {false, 10110, "", true, "", "Indiquez au moins une destination UDP"},
      {true, 0, "", false, "", "Port TCP invalide"},
  };
  for (const auto& r : rows) {
    std::string error;
    NetworkSettings base;
    base.udpTtl = 7;  // a key the dialog does not show is kept
    const auto n = NetworkSettingsFromFields(base, r.tcp, r.port, r.address, r.udp, r.destinations, error);
    if (r.error != nullptr) {
      QVERIFY2(!n.has_value(), r.address);
      QVERIFY2(error.find(r.error) != std::string::npos, error.c_str());
      continue;
    }
    QVERIFY2(n.has_value(), error.c_str());
    QCOMPARE(n->tcp, r.tcp);
    QCOMPARE(static_cast<int>(n->tcpPort), r.port);
    QCOMPARE(n->tcpAddress, std::string(r.address));
    QCOMPARE(n->udp, r.udp);
    QCOMPARE(n->udpTtl, 7);
  }
}

void TestNetworkDialog::port_taken_then_clients_counted() {
  NetworkSettings kept;
  NetworkOutputs outputs({});
  NetworkDialog d(outputs, [&] { return kept; }, [&](const NetworkSettings& n) { kept = n; });
  d.show();
  auto* tcp = d.findChild<QCheckBox*>("ChkTCP");
  auto* address = d.findChild<QLineEdit*>("EdTCPAdresse");
  auto* port = d.findChild<QSpinBox*>("EdTCPPort");
  auto* error = d.findChild<QLabel*>("LbErreurReseau");
  auto* clients = d.findChild<QLabel*>("LbClientsTCP");
  QVERIFY(tcp && address && port && error && clients);
  QCOMPARE(port->value(), 10110);  // the default, off
  QCOMPARE(clients->text(), QString("serveur arrêté"));

  QTcpServer taken;
  QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
  tcp->setChecked(true);
  address->setText("127.0.0.1");
  port->setValue(taken.serverPort());
  QVERIFY(!d.ApplyFields());
  QCOMPARE(error->text(), QString("Le port TCP %1 est déjà utilisé : choisissez-en un autre").arg(taken.serverPort()));
  QVERIFY(!outputs.TcpOn());
  QCOMPARE(static_cast<int>(kept.tcpPort), static_cast<int>(taken.serverPort()));  // kept as typed

  const quint16 free = FreePort();
  port->setValue(free);
  QVERIFY(d.ApplyFields());
  QCOMPARE(error->text(), QString());
  QTcpSocket c1, c2;
  c1.connectToHost(QHostAddress::LocalHost, free);
  c2.connectToHost(QHostAddress::LocalHost, free);
  QVERIFY(Until([&] { return clients->text().startsWith("2 clients connectés"); }));
  c1.abort();
  QVERIFY(Until([&] { return clients->text().startsWith("1 client connecté"); }));
  if (const QByteArray shot = qgetenv("VENTREL_NETWORK_DIALOG_SHOT"); !shot.isEmpty()) {
    port->setValue(taken.serverPort());
    d.ApplyFields();
    d.grab().save(QString::fromLocal8Bit(shot));
  }
}

// The input fields give [NAV]; "Appliquer" starts the input on the server just
// started, and what its clients send is counted in the dialog.
void TestNetworkDialog::steering_input_set_and_counted() {
  NetworkSettings kept;
  NavSettings nav;
  NetworkOutputs outputs({});
  int steered = 0;
  NmeaInputs inputs([&](const SteeringSentence&) { ++steered; }, {});
  NetworkDialog d(outputs, [&] { return kept; }, [&](const NetworkSettings& n) { kept = n; });
  d.SetInput(
      &inputs, [&] { return nav; }, [&](const NavSettings& n) { nav = n; },
      [&] {
        std::vector<TcpServerOutput*> servers;
        if (outputs.TcpServer()) servers.push_back(outputs.TcpServer());
        inputs.SetTcpServers(servers);
        return nav.input ? inputs.Start(nav.sources) : std::string();
      });
  d.show();
  auto* input = d.findChild<QCheckBox*>("ChkEntreeNMEA");
  auto* sources = d.findChild<QLineEdit*>("EdSourcesNMEA");
  auto* counts = d.findChild<QLabel*>("LbComptesEntree");
  auto* error = d.findChild<QLabel*>("LbErreurReseau");
  QVERIFY(input && sources && counts && error && input->isVisible());

  const struct {
    bool on;
    const char* sources;
    const char* error;
  } refused[] = {{true, "", "Indiquez au moins une source"}, {true, "udp:99999", "udp:99999"}};
  for (const auto& r : refused) {
    input->setChecked(r.on);
    sources->setText(r.sources);
    QVERIFY2(!d.ApplyFields(), r.sources);
    QVERIFY2(error->text().contains(QString::fromUtf8(r.error)), qPrintable(error->text()));
    QVERIFY(!nav.input);  // nothing kept
  }

  const quint16 port = FreePort();
  d.findChild<QCheckBox*>("ChkTCP")->setChecked(true);
  d.findChild<QLineEdit*>("EdTCPAdresse")->setText("127.0.0.1");
  d.findChild<QSpinBox*>("EdTCPPort")->setValue(port);
  input->setChecked(true);
  sources->setText("tcp");
  QVERIFY2(d.ApplyFields(), qPrintable(error->text()));
  QVERIFY(nav.input && nav.sources.size() == 1 && inputs.Running());
  QTcpSocket plotter;
  plotter.connectToHost(QHostAddress::LocalHost, port);
  QVERIFY(plotter.waitForConnected(3000));
  plotter.write("$IIXTE,A,A,0.009,L,N*40\r\n$GPHSC,,T,90.0,M*41\r\nbruit\r\n");
  QVERIFY(Until([&] { return counts->text().contains(QString::fromUtf8("3 lignes lues")); }));
  QVERIFY2(counts->text().contains(QString::fromUtf8("2 phrases de pilotage utilisées, 1 rejetées")),
           qPrintable(counts->text()));
  QCOMPARE(steered, 2);
  if (const QByteArray shot = qgetenv("VENTREL_NETWORK_DIALOG_SHOT"); !shot.isEmpty()) {
    d.grab().save(QString::fromLocal8Bit(shot).replace(".png", "-input.png"));
  }
}

// The control port's fields give [CONTROLE]: an address is required (never every
// interface by leaving it empty); "Appliquer" keeps the settings and starts the port.
void TestNetworkDialog::control_port_set() {
  const struct {
    bool on;
    int port;
    const char* address;
    const char* error;  // nullptr: accepted
  } rows[] = {
      {true, 10112, "127.0.0.1", nullptr},
      {false, 2000, "::1", nullptr},
      {true, 10112, "0.0.0.0", nullptr},
      {true, 10112, "", "Adresse du port de contrôle invalide"},
      {true, 10112, "mon poste", "Adresse du port de contrôle invalide"},
      {true, 0, "127.0.0.1", "Port de contrôle invalide"},
  };
  for (const auto& r : rows) {
    std::string error;
    const auto c = ControlSettingsFromFields(r.on, r.port, r.address, error);
    if (r.error != nullptr) {
      QVERIFY2(!c.has_value(), r.address);
      QVERIFY2(error.find(r.error) != std::string::npos, error.c_str());
      continue;
    }
    QVERIFY2(c.has_value(), error.c_str());
    QCOMPARE(c->on, r.on);
    QCOMPARE(static_cast<int>(c->port), r.port);
    QCOMPARE(c->address, std::string(r.address));
  }

  NetworkSettings kept;
  ControlSettings control;
  int applied = 0;
  NetworkOutputs outputs({});
  NetworkDialog d(outputs, [&] { return kept; }, [&](const NetworkSettings& n) { kept = n; });
  auto* on = d.findChild<QCheckBox*>("ChkControle");
  QVERIFY(on && !on->isVisibleTo(&d));  // shown only when the window gives the settings
  d.SetControl(
      [&] { return control; }, [&](const ControlSettings& c) { control = c; },
      [&] { return ++applied, control.port == 1 ? std::string("Le port de contrôle 1 est déjà utilisé") : std::string(); },
      [&] { return control.on ? std::string("en écoute") : std::string("arrêté"); });
  d.show();
  auto* address = d.findChild<QLineEdit*>("EdControleAdresse");
  auto* port = d.findChild<QSpinBox*>("EdControlePort");
  auto* state = d.findChild<QLabel*>("LbEtatControle");
  auto* error = d.findChild<QLabel*>("LbErreurReseau");
  QVERIFY(address && port && state && error && on->isVisible());
  QCOMPARE(address->text(), QString("127.0.0.1"));  // the defaults, off
  QCOMPARE(port->value(), 10112);
  QCOMPARE(state->text(), QString("arrêté"));

  on->setChecked(true);
  address->setText("");
  QVERIFY(!d.ApplyFields());
  QVERIFY(error->text().startsWith(QString::fromUtf8("Adresse du port de contrôle invalide")));
  QVERIFY(!control.on && applied == 0);  // nothing kept, nothing started
  address->setText("::1");
  port->setValue(1);
  QVERIFY(!d.ApplyFields());
  QCOMPARE(error->text(), QString::fromUtf8("Le port de contrôle 1 est déjà utilisé"));
  port->setValue(10113);
  QVERIFY(d.ApplyFields());
  QCOMPARE(error->text(), QString());
  QCOMPARE(control, (ControlSettings{true, 10113, "::1"}));
  QCOMPARE(applied, 2);
  QCOMPARE(state->text(), QString::fromUtf8("en écoute"));
  if (const QByteArray shot = qgetenv("VENTREL_NETWORK_DIALOG_SHOT"); !shot.isEmpty()) {
    d.grab().save(QString::fromLocal8Bit(shot).replace(".png", "-control.png"));
  }
}

QTEST_MAIN(TestNetworkDialog)
#include "test_network_dialog.moc"
