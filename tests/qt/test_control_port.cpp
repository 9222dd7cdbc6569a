// The live control port on loopback: commands reach the boat and are answered one
// line each, garbage and oversized lines are refused without ending the
// connection, a ninth client is turned away, a client that stops reading is
// dropped, a port taken is told in French.

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "qt/control_port.h"
#include "qt/event_loop.h"
#include "scenario/json_line.h"

using namespace ventrel;

namespace {

using ventrel::testing::Until;

// A boat reduced to what the test looks at: the wind it was given and its tacks;
// a tack without wind is refused, as the boat would.
struct SmallBoat {
  BoatReadout state;
  int played = 0;
  ControlTarget Target() {
    return ControlTarget{[this](const BoatEvent& e) {
                           ++played;
                           if (const auto* w = std::get_if<TrueWindEvent>(&e)) {
                             if (w->knots) state.trueWindSpeed = *w->knots;
                             if (w->fromDegrees) state.trueWindDirection = *w->fromDegrees;
                             return CommandResult{true, ""};
                           }
                           if (std::holds_alternative<TackEvent>(e)) {
                             if (state.trueWindSpeed <= 0) return CommandResult{false, "Pas de vent : pas de virement"};
                             ++state.tacksBegun;
                             state.tack = state.tack == TackSide::port ? TackSide::starboard : TackSide::port;
                             return CommandResult{true, ""};
                           }
                           return CommandResult{false, "non prévu par ce test"};
                         },
                         [this] { return state; }};
  }
};

// A client that keeps the lines it reads.
struct Client {
  QTcpSocket socket;
  std::string got;
  Client() {
    QObject::connect(&socket, &QTcpSocket::readyRead, [this] { got += socket.readAll().toStdString(); });
  }
  bool Connect(quint16 port) {
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(5000);
  }
  void Send(const std::string& bytes) { socket.write(bytes.data(), static_cast<qint64>(bytes.size())); }
  // The next answer line (without its LF), waiting for it at most 5 s; "" when none came.
  std::string Next() {
    if (!Until([this] { return got.find('\n') != std::string::npos; })) return "";
    const std::size_t nl = got.find('\n');
    std::string line = got.substr(0, nl);
    got.erase(0, nl + 1);
    return line;
  }
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

class TestControlPort : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase();
  void commands_reach_the_boat_and_are_answered_data();
  void commands_reach_the_boat_and_are_answered();
  void bad_lines_are_refused_and_the_connection_stays();
  void ninth_client_is_turned_away();
  void client_that_never_reads_is_dropped();
  void port_taken_is_told_in_french();

 private:
  // One boat and one connection for the whole table of commands: its rows follow each other.
  SmallBoat boat_;
  std::unique_ptr<ControlPort> port_;
  std::unique_ptr<Client> client_;
};

void TestControlPort::initTestCase() {
  port_ = std::make_unique<ControlPort>(QHostAddress::LocalHost, 0, boat_.Target());
  QVERIFY2(port_->Listen(), port_->ErrorText().c_str());
  client_ = std::make_unique<Client>();
  QVERIFY(client_->Connect(port_->Port()));
}

void TestControlPort::cleanupTestCase() {
  client_.reset();
  port_.reset();
}

void TestControlPort::commands_reach_the_boat_and_are_answered_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<QString>("answer");  // exact, or a part of it when it starts with "~"
  QTest::newRow("tack without wind: the boat's refusal")
      << R"({"cmd":"tack","id":1})" << R"({"ok":false,"id":1,"error":"Pas de vent : pas de virement"})";
  QTest::newRow("wind") << R"({"cmd":"wind","speed":14,"from":250})" << R"({"ok":true})";
  QTest::newRow("tack, split in two writes and ended with CR LF")
      << "{\"cmd\":\"ta|ck\",\"id\":\"v\"}\r" << R"({"ok":true,"id":"v"})";
  QTest::newRow("readout") << R"({"cmd":"readout"})"
                           << R"(~"true_wind_speed":14.00,"true_wind_direction":250.0,)";
  QTest::newRow("readout counts the tack") << R"({"cmd":"readout"})" << R"(~"tacks_begun":1,)";
  QTest::newRow("polar: no file through the port") << R"({"cmd":"polar","file":"/etc/passwd"})" << R"(~{"ok":false,)";
}

void TestControlPort::commands_reach_the_boat_and_are_answered() {
  QFETCH(QString, line);
  QFETCH(QString, answer);
  const QStringList pieces = line.split('|');
  for (const QString& piece : pieces) {
    client_->Send(piece.toStdString());
    QVERIFY(Until([&] { return client_->socket.bytesToWrite() == 0; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  QVERIFY(client_->got.empty());  // nothing before the line's end
  client_->Send("\n");
  const std::string got = client_->Next();
  const std::string want = answer.toStdString();
  if (want.rfind('~', 0) == 0) {
    QVERIFY2(Contains(got, want.substr(1)), got.c_str());
  } else {
    QCOMPARE(QString::fromStdString(got), answer);
  }
  QCOMPARE(port_->ClientCount(), 1);
}

void TestControlPort::bad_lines_are_refused_and_the_connection_stays() {
  SmallBoat boat;
  ControlPort port(QHostAddress::LocalHost, 0, boat.Target());
  QVERIFY(port.Listen());
  Client c;
  QVERIFY(c.Connect(port.Port()));

  c.Send("garbage\n");
  std::string got = c.Next();
  QVERIFY2(Contains(got, R"("ok":false)") && Contains(got, "colonne 1"), got.c_str());

  // An oversized line is refused as soon as it overflows, once, before its end comes.
  c.Send(R"({"cmd":"wind","speed":)" + std::string(kMaxControlLine, '1'));
  got = c.Next();
  QCOMPARE(got, OversizedLineAnswer());
  c.Send(std::string(3 * kMaxControlLine, '2') + "}\n" + R"({"cmd":"wind","speed":9})" + "\n");
  QCOMPARE(c.Next(), std::string(R"({"ok":true})"));
  QCOMPARE(boat.state.trueWindSpeed, 9.0L);
  QCOMPARE(boat.played, 1);  // the oversized line played nothing

  // A line of exactly the bound is read; one byte more is not.
  const std::string prefix = R"({"cmd":"tack","pad":")";
  const std::string exact = prefix + std::string(kMaxControlLine - prefix.size() - 2, 'p') + "\"}";
  QCOMPARE(exact.size(), kMaxControlLine);
  c.Send(exact + "\r\n");
  got = c.Next();
  QVERIFY2(Contains(got, R"("ok":false)") && Contains(got, "pad"), got.c_str());  // the argument is unknown
  c.Send(exact.substr(0, exact.size() - 2) + "p\"}\n");
  QCOMPARE(c.Next(), OversizedLineAnswer());

  // Many lines at once: every one answered, in order, on a connection still there.
  std::string burst;
  for (int i = 0; i < 300; ++i) burst += R"({"cmd":"readout","id":)" + std::to_string(i) + "}\n";
  c.Send(burst);
  for (int i = 0; i < 300; ++i) {
    got = c.Next();
    QVERIFY2(got.rfind(R"({"ok":true,"id":)" + std::to_string(i) + ",", 0) == 0, got.c_str());
  }
  QCOMPARE(port.ClientCount(), 1);
  QCOMPARE(c.socket.state(), QAbstractSocket::ConnectedState);
}

void TestControlPort::ninth_client_is_turned_away() {
  SmallBoat boat;
  ControlPort port(QHostAddress::LocalHost, 0, boat.Target());
  QVERIFY(port.Listen());
  std::vector<std::unique_ptr<Client>> clients;
  for (int i = 0; i < ControlPort::kMaxClients; ++i) {
    clients.push_back(std::make_unique<Client>());
    QVERIFY(clients.back()->Connect(port.Port()));
  }
  QVERIFY(Until([&] { return port.ClientCount() == ControlPort::kMaxClients; }));
  std::vector<QString> told;
  connect(&port, &ControlPort::told, this, [&](const QString& l) { told.push_back(l); });
  Client ninth;
  QVERIFY(ninth.Connect(port.Port()));
  const std::string got = ninth.Next();
  QVERIFY2(Contains(got, R"("ok":false)") && Contains(got, "au plus 8"), got.c_str());
  QVERIFY(Until([&] { return ninth.socket.state() == QAbstractSocket::UnconnectedState; }));
  QCOMPARE(port.ClientCount(), ControlPort::kMaxClients);
  QCOMPARE(static_cast<int>(told.size()), 1);

  // One leaves: a new one is taken.
  clients.front()->socket.disconnectFromHost();
  QVERIFY(Until([&] { return port.ClientCount() == ControlPort::kMaxClients - 1; }));
  Client again;
  QVERIFY(again.Connect(port.Port()));
  again.Send(R"({"cmd":"readout"})" "\n");
  QVERIFY(Contains(again.Next(), R"({"ok":true,"readout":{)"));
}

void TestControlPort::client_that_never_reads_is_dropped() {
  SmallBoat boat;
  ControlPort port(QHostAddress::LocalHost, 0, boat.Target());
  QVERIFY(port.Listen());
  std::vector<QString> told;
  connect(&port, &ControlPort::told, this, [&](const QString& l) { told.push_back(l); });
  QTcpSocket stuck;
  stuck.setReadBufferSize(16);  // takes 16 bytes, then leaves the rest in the system
  stuck.connectToHost(QHostAddress::LocalHost, port.Port());
  QVERIFY(stuck.waitForConnected(5000));
  stuck.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(4096));
  QVERIFY(Until([&] { return port.ClientCount() == 1; }));
  std::string lines;
  for (int i = 0; i < 100; ++i) lines += R"({"cmd":"readout"})" "\n";
  // At most 20000 readouts (some 20 MB of answers): the buffers fill long before.
  for (int round = 0; round < 200 && port.ClientCount() == 1; ++round) {
    stuck.write(lines.data(), static_cast<qint64>(lines.size()));
    Until([&] { return stuck.bytesToWrite() == 0 || port.ClientCount() == 0; }, 2000);
  }
  QVERIFY(Until([&] { return port.ClientCount() == 0; }));
  QCOMPARE(static_cast<int>(told.size()), 1);
  QVERIFY2(Contains(told[0].toStdString(), "plus de 65536 octets en retard"), qPrintable(told[0]));
}

void TestControlPort::port_taken_is_told_in_french() {
  QTcpServer holder;
  QVERIFY(holder.listen(QHostAddress::LocalHost, 0));
  SmallBoat boat;
  ControlPort port(QHostAddress::LocalHost, holder.serverPort(), boat.Target());
  QVERIFY(!port.Listen());
  QCOMPARE(port.ErrorText(),
           "Le port de contrôle " + std::to_string(holder.serverPort()) + " est déjà utilisé : choisissez-en un autre");
  QCOMPARE(ControlListenAddress(""), QHostAddress(QHostAddress::LocalHost));
  QCOMPARE(ControlListenAddress("::1"), QHostAddress(QHostAddress::LocalHostIPv6));
}

QTEST_MAIN(TestControlPort)
#include "test_control_port.moc"
