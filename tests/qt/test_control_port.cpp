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
  void one_connection_answers_every_line();
  void ninth_client_is_turned_away();
  void client_that_never_reads_is_dropped();
  void port_taken_is_told_in_french();
};

void TestControlPort::one_connection_answers_every_line() {
  SmallBoat boat;
  ControlPort port(QHostAddress::LocalHost, 0, boat.Target());
  QVERIFY2(port.Listen(), port.ErrorText().c_str());
  Client c;
  QVERIFY(c.Connect(port.Port()));
  // A line of exactly the longest length taken, and one byte more.
  const std::string prefix = R"({"cmd":"tack","pad":")";
  const std::string exact = prefix + std::string(kMaxControlLine - prefix.size() - 2, 'p') + "\"}";
  QCOMPARE(exact.size(), kMaxControlLine);
  const std::string over = exact.substr(0, exact.size() - 2) + "p\"}";
  const struct {
    std::string send;    // pieces sent apart are separated by "|"
    std::string answer;  // exact, or a part of it after "~"
  } steps[] = {
      {R"({"cmd":"tack","id":1})" "\n", R"({"ok":false,"id":1,"error":"Pas de vent : pas de virement"})"},
      {R"({"cmd":"wind","speed":14,"from":250})" "\n", R"({"ok":true})"},
      {"{\"cmd\":\"ta|ck\",\"id\":\"v\"}\r\n", R"({"ok":true,"id":"v"})"},
      {R"({"cmd":"readout"})" "\n", R"(~"true_wind_speed":14.00,"true_wind_direction":250.0,)"},
      {R"({"cmd":"readout"})" "\n", R"(~"tacks_begun":1,)"},
      {"garbage\n", "~JSON invalide à la colonne 1"},
      // Refused as soon as it overflows, before its end; the rest is skipped.
      {R"({"cmd":"wind","speed":)" + std::string(kMaxControlLine, '1'), OversizedLineAnswer()},
      {std::string(3 * kMaxControlLine, '2') + "}\n" + R"({"cmd":"wind","speed":9})" "\n", R"({"ok":true})"},
      {exact + "\r\n", "~argument inconnu « pad »"},
      {over + "\n", OversizedLineAnswer()},
  };
  for (const auto& step : steps) {
    const QStringList pieces = QString::fromStdString(step.send).split('|');
    for (int k = 0; k + 1 < pieces.size(); ++k) {
      c.Send(pieces[k].toStdString());
      QVERIFY(Until([&] { return c.socket.bytesToWrite() == 0; }));
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      QVERIFY(c.got.empty());  // nothing before the line's end
    }
    c.Send(pieces.back().toStdString());
    const std::string got = c.Next();
    if (step.answer.rfind('~', 0) == 0) {
      QVERIFY2(Contains(got, step.answer.substr(1)), got.c_str());
    } else {
      QCOMPARE(got, step.answer);
    }
  }
  QCOMPARE(boat.played, 4);  // the lines refused before the boat played nothing
  QCOMPARE(boat.state.trueWindSpeed, 9.0L);

  // A burst of lines from a client that reads as it goes: every one answered, in
  // order (far more than the 64 KiB a client may fall behind), the connection kept.
  std::string burst;
  for (int i = 0; i < 300; ++i) burst += R"({"cmd":"readout","id":)" + std::to_string(i) + "}\n";
  c.Send(burst);
  for (int i = 0; i < 300; ++i) {
    const std::string got = c.Next();
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
