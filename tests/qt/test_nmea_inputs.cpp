// The sources of steering sentences, on loopback only: UDP and TCP connections
// fed in pieces, a connection that drops and comes back, the clients of our TCP
// server each read apart, the refusals, and a flood that must not hold up the
// model timers nor grow memory.

#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "qt/event_loop.h"
#include "qt/nmea_inputs.h"
#include "qt/tcp_server_output.h"
#include "sim/timers.h"
#include "ui/timer_driver.h"

using namespace ventrel;

namespace {

using ventrel::testing::Until;

// "$" + body + "*" + checksum + CR LF.
std::string Framed(const std::string& body) {
  unsigned sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02X", sum);
  return "$" + body + "*" + hex + "\r\n";
}

const std::string kApb = Framed("IIAPB,A,A,0.005,L,N,V,V,272,M,Att_Dover,272,M,272,M");
const std::string kRmb = Framed("IIRMB,A,0.005,L,Att_Dover,VP,5106.1800,N,00119.8800,E,39.76,273,3.20,,A");
const std::string kXte = Framed("GPXTE,A,A,0.009,L,N");
// A stream of three steering sentences, one of another type, one with a wrong
// checksum and one line of noise: 3 used, 1 ignored, 2 dropped, 6 lines.
const std::string kStream = kApb + Framed("GPGLL,5104.14,N,00119.88,E") + "$IIXTE,A,A,0.009,L,N*00\r\n" + kRmb +
                            "garbage\n" + kXte;

// The sentences handed to the callback, by type.
struct Got {
  int apb = 0, rmb = 0, xte = 0, hsc = 0;
  int total() const { return apb + rmb + xte + hsc; }
  void operator()(const SteeringSentence& s) {
    if (std::holds_alternative<ApbSentence>(s)) ++apb;
    if (std::holds_alternative<RmbSentence>(s)) ++rmb;
    if (std::holds_alternative<XteSentence>(s)) ++xte;
    if (std::holds_alternative<HscSentence>(s)) ++hsc;
  }
};

NmeaSource Udp(quint16 port) { return {NmeaSourceKind::Udp, {"127.0.0.1", port}}; }
NmeaSource TcpTo(quint16 port) { return {NmeaSourceKind::TcpClient, {"127.0.0.1", port}}; }

}  // namespace

class TestNmeaInputs : public QObject {
  Q_OBJECT

 private slots:
  void sources_read_sentences_split_anywhere_data() {
    QTest::addColumn<bool>("udp");
    QTest::addColumn<int>("piece");
    for (const int piece : {1, 5, 17, 64, 4096}) {
      QTest::addRow("udp by %d", piece) << true << piece;
      QTest::addRow("tcp connection by %d", piece) << false << piece;
    }
  }
  void sources_read_sentences_split_anywhere() {
    QFETCH(bool, udp);
    QFETCH(int, piece);
    Got got;
    NmeaInputs inputs([&got](const SteeringSentence& s) { got(s); }, {});
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QCOMPARE(inputs.Start({udp ? Udp(0) : TcpTo(server.serverPort())}), std::string());
    QUdpSocket sender;
    QTcpSocket* peer = nullptr;
    if (!udp) {
      QVERIFY(Until([&] { return server.hasPendingConnections(); }));
      peer = server.nextPendingConnection();
      QVERIFY(Until([&] { return inputs.Sources().at(0).connected; }));
    }
    for (std::size_t at = 0; at < kStream.size(); at += static_cast<std::size_t>(piece)) {
      const std::string part = kStream.substr(at, static_cast<std::size_t>(piece));
      if (udp) {
        QCOMPARE(sender.writeDatagram(part.data(), static_cast<qint64>(part.size()), QHostAddress::LocalHost,
                                      inputs.UdpPort(0)),
                 static_cast<qint64>(part.size()));
        if (at % 256 == 0) QCoreApplication::processEvents();  // leave room in the system's buffer
      } else {
        peer->write(part.data(), static_cast<qint64>(part.size()));
        peer->flush();
      }
    }
    QVERIFY2(Until([&] { return inputs.Counts().lines >= 6; }), qPrintable(QString::number(inputs.Counts().lines)));
    QCOMPARE(got.apb, 1);
    QCOMPARE(got.rmb, 1);
    QCOMPARE(got.xte, 1);
    const InputCounts c = inputs.Counts();
    QCOMPARE(c.lines, 6u);
    QCOMPARE(c.used, 3u);
    QCOMPARE(c.ignored, 1u);
    QCOMPARE(c.dropped(), 2u);
    QCOMPARE(inputs.Sources().at(0).counts.used, 3u);
  }

  void tcp_connection_lost_and_back_is_told_once_each() {
    Got got;
    std::vector<std::string> told;
    NmeaInputs inputs([&got](const SteeringSentence& s) { got(s); }, [&told](const std::string& m) { told.push_back(m); });
    auto server = std::make_unique<QTcpServer>();
    QVERIFY(server->listen(QHostAddress::LocalHost, 0));
    const quint16 port = server->serverPort();
    QCOMPARE(inputs.Start({TcpTo(port)}), std::string());
    QVERIFY(Until([&] { return server->hasPendingConnections(); }));
    QTcpSocket* peer = server->nextPendingConnection();
    peer->write(kApb.substr(0, 20).c_str());  // an unfinished line, lost with the connection
    peer->flush();
    QTest::qWait(100);
    // The far end goes away for longer than two attempts.
    server.reset();
    QVERIFY(Until([&] { return !inputs.Sources().at(0).connected; }));
    QTest::qWait(2 * NmeaInputs::kRetryMs + 500);
    QCOMPARE(told.size(), std::size_t{1});
    QVERIFY2(told[0].find("Entrée NMEA tcp://127.0.0.1:" + std::to_string(port) + " : connexion perdue") == 0,
             told[0].c_str());
    QVERIFY(told[0].find("nouvel essai toutes les 3 s") != std::string::npos);
    // Back on the same port: the connection is made again and told, once.
    server = std::make_unique<QTcpServer>();
    QVERIFY(server->listen(QHostAddress::LocalHost, port));
    QVERIFY(Until([&] { return server->hasPendingConnections(); }, NmeaInputs::kRetryMs + 2000));
    peer = server->nextPendingConnection();
    QVERIFY(Until([&] { return inputs.Sources().at(0).connected; }));
    QCOMPARE(told.size(), std::size_t{2});
    QVERIFY2(told[1].find("connexion rétablie") != std::string::npos, told[1].c_str());
    // The new connection starts a new line.
    peer->write((kApb.substr(20) + kXte).c_str());
    peer->flush();
    QVERIFY(Until([&] { return got.total() == 1; }));
    QCOMPARE(got.xte, 1);
    QCOMPARE(inputs.Counts().malformed, 1u);
  }

  void tcp_server_clients_are_read_apart() {
    Got got;
    NmeaInputs inputs([&got](const SteeringSentence& s) { got(s); }, {});
    TcpServerOutput server(QHostAddress::LocalHost, 0, {});
    QVERIFY(server.Listen());
    inputs.SetTcpServers({&server});
    QCOMPARE(inputs.Start({{NmeaSourceKind::TcpServerClients, {}}}), std::string());
    QTcpSocket a, b;
    a.connectToHost(QHostAddress::LocalHost, server.Port());
    b.connectToHost(QHostAddress::LocalHost, server.Port());
    QVERIFY(Until([&] { return server.ClientCount() == 2; }));
    // Halves sent in turn: each client's line stays whole.
    const std::pair<QTcpSocket*, std::string> pieces[] = {
        {&a, kApb.substr(0, 30)}, {&b, kRmb.substr(0, 40)}, {&a, kApb.substr(30)}, {&b, kRmb.substr(40)}};
    for (const auto& [socket, text] : pieces) {
      socket->write(text.c_str());
      socket->flush();
      QTest::qWait(50);
    }
    QVERIFY(Until([&] { return got.total() == 2; }));
    QCOMPARE(got.apb, 1);
    QCOMPARE(got.rmb, 1);
    QCOMPARE(inputs.Counts().dropped(), 0u);
    QCOMPARE(inputs.Sources().at(0).peers, 2);
    // A client that leaves keeps its count in the source's.
    a.disconnectFromHost();
    QVERIFY(Until([&] { return inputs.Sources().at(0).peers == 1; }));
    QCOMPARE(inputs.Counts().used, 2u);
    // Stopped: the server throws the bytes away again.
    inputs.Stop();
    b.write(kXte.c_str());
    b.flush();
    QTest::qWait(100);
    QCOMPARE(got.total(), 2);
    QCOMPARE(server.ClientCount(), 1);
  }

  void refusals_are_told_and_nothing_starts() {
    QUdpSocket taken;
    QVERIFY(taken.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
    const struct {
      std::vector<NmeaSource> sources;
      const char* told;
    } rows[] = {
        {{{NmeaSourceKind::Serial, {}}}, "« serial » lit le port série"},
        {{{NmeaSourceKind::TcpServerClients, {}}}, "« tcp » lit les clients du serveur TCP"},
        {{Udp(0), Udp(taken.localPort())}, "est déjà utilisé"},
    };
    for (const auto& r : rows) {
      NmeaInputs inputs({}, {});
      const std::string problem = inputs.Start(r.sources);
      QVERIFY2(problem.find(r.told) != std::string::npos, problem.c_str());
      QVERIFY(!inputs.Running());
    }
  }

  // Garbage and sentences at full loopback speed on three sources for 10 s while
  // the model timers tick every second: every tick comes, none late, and no
  // reader holds more than one bounded line.
  void flood_neither_delays_the_ticks_nor_grows() {
    std::atomic<bool> stop{false};
    std::atomic<int> streamPort{0};
    std::atomic<long long> sent{0};
    Got got;
    NmeaInputs inputs([&got](const SteeringSentence& s) { got(s); }, {});
    TcpServerOutput ours(QHostAddress::LocalHost, 0, {});
    QVERIFY(ours.Listen());
    inputs.SetTcpServers({&ours});
    QCOMPARE(inputs.Start({Udp(0), {NmeaSourceKind::TcpServerClients, {}}}), std::string());
    const quint16 udpPort = inputs.UdpPort(0);
    const quint16 oursPort = ours.Port();
    // Noise with long lines, short lines and a sentence now and then.
    std::string noise;
    for (int i = 0; noise.size() < 8192; ++i) {
      noise += std::string(static_cast<std::size_t>(i * 37 % 900), static_cast<char>('!' + i % 90));
      noise += i % 3 == 0 ? "\r\n" : "\n";
      if (i % 5 == 0) noise += kApb;
    }
    std::thread flooder([&] {
      QTcpServer far;  // the other program's output we connect to
      far.listen(QHostAddress::LocalHost, 0);
      streamPort = far.serverPort();
      QTcpSocket client;
      client.connectToHost(QHostAddress::LocalHost, oursPort);
      client.waitForConnected(5000);
      far.waitForNewConnection(5000);
      std::unique_ptr<QTcpSocket> stream(far.nextPendingConnection());
      QUdpSocket udp;
      while (!stop) {
        for (std::size_t at = 0; at < noise.size(); at += 1400) {
          const std::string d = noise.substr(at, 1400);
          udp.writeDatagram(d.data(), static_cast<qint64>(d.size()), QHostAddress::LocalHost, udpPort);
        }
        for (QTcpSocket* s : {&client, stream.get()}) {
          if (s == nullptr) continue;
          // Held back when the reader is behind: the system's buffers are full.
          if (s->bytesToWrite() < 65536) s->write(noise.data(), static_cast<qint64>(noise.size()));
          s->waitForBytesWritten(s->bytesToWrite() < 65536 ? 0 : 20);
        }
        sent += static_cast<long long>(noise.size());
      }
    });
    QVERIFY(Until([&] { return streamPort != 0; }));
    NmeaInputs connection([&got](const SteeringSentence& s) { got(s); }, {});
    QCOMPARE(connection.Start({TcpTo(static_cast<quint16>(streamPort.load()))}), std::string());

    ModelTimers timers;
    TimerDriver driver(timers);
    int ticks = 0;
    std::size_t mostHeld = 0;
    timers.TimerAT.setInterval(1000);
    timers.TimerAT.setHandler([&] {
      ++ticks;
      mostHeld = std::max({mostHeld, inputs.MostHeld(), connection.MostHeld()});
    });
    // Ten periods from the instant the tick is switched on (a loaded machine may
    // be a few milliseconds past the driver's 0 by then).
    const std::int64_t on = driver.runEvent([&] { timers.TimerAT.setEnabled(true); });
    driver.setEnd(on + 10000);
    QSignalSpy finished(&driver, &TimerDriver::finished);
    const bool ended = finished.wait(30000);
    stop = true;
    flooder.join();
    QVERIFY(ended);
    qInfo("flood: %lld bytes sent on each connection, %llu lines read, latest tick %lld ms late", sent.load(),
          static_cast<unsigned long long>(inputs.Counts().lines + connection.Counts().lines),
          static_cast<long long>(driver.maxLateness()));
    QCOMPARE(ticks, 10);
    QVERIFY2(driver.maxLateness() < 200, qPrintable(QString("a tick came %1 ms late").arg(driver.maxLateness())));
    QVERIFY2(mostHeld <= NmeaLineReader::kMaxLineBytes, qPrintable(QString::number(mostHeld)));
    // Every source was read, sentences and noise alike.
    for (const auto& s : inputs.Sources()) QVERIFY2(s.counts.used > 0 && s.counts.tooLong > 0, s.name.c_str());
    QVERIFY(connection.Counts().used > 0);
    QVERIFY(got.apb > 0);
    QVERIFY(sent > 0);
  }
};

QTEST_MAIN(TestNmeaInputs)
#include "test_nmea_inputs.moc"
