// The network outputs of the sentence cycle, on loopback only: the TCP server and
// its clients (joining mid-group, falling behind, leaving), the UDP datagrams (built
// and their socket options checked without sending, except to loopback).

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

#ifndef _WIN32
#include <sys/socket.h>
#endif

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "qt/event_loop.h"
#include "qt/tcp_server_output.h"
#include "qt/udp_output.h"

using namespace ventrel;

namespace {

using ventrel::testing::Until;

bool HasIpv6Loopback() {
  QTcpServer probe;
  return probe.listen(QHostAddress::LocalHostIPv6, 0);
}

std::string Sentence(int n, int length = 40) {
  std::string s = "$GPXXX," + std::to_string(n) + ",";
  s.resize(static_cast<std::size_t>(length - 2), 'x');
  return s + "\r\n";
}

// A client that keeps what it reads.
struct Reader {
  QTcpSocket socket;
  std::string got;
  Reader() {
    QObject::connect(&socket, &QTcpSocket::readyRead, [this] { got += socket.readAll().toStdString(); });
  }
  bool Connect(const QHostAddress& a, quint16 port) {
    socket.connectToHost(a, port);
    return socket.waitForConnected(5000);
  }
};

void Group(TcpServerOutput& out, const std::vector<std::string>& sentences) {
  out.beginGroup();
  for (const std::string& s : sentences) QVERIFY(out.write(s));
  out.endGroup();
}

}  // namespace

class TestNetworkOutputs : public QObject {
  Q_OBJECT

 private slots:
  void tcp_clients_receive_every_group_data();
  void tcp_clients_receive_every_group();
  void tcp_client_joining_mid_group_starts_at_the_next();
  void tcp_client_that_never_reads_is_dropped_at_the_bound();
  void tcp_slow_client_waited_for_in_fast_runs();
  void tcp_clients_leaving_are_forgotten_data();
  void tcp_clients_leaving_are_forgotten();
  void tcp_port_taken_is_told_in_french();
  void udp_datagrams_hold_whole_sentences();
  void udp_kinds_and_socket_options();
  void udp_group_reaches_a_loopback_reader();
};

void TestNetworkOutputs::tcp_clients_receive_every_group_data() {
  QTest::addColumn<QString>("address");
  QTest::newRow("IPv4") << "127.0.0.1";
  QTest::newRow("IPv6") << "::1";
}

// Three clients, one of them sending bytes the server throws away: all receive
// every group byte for byte.
void TestNetworkOutputs::tcp_clients_receive_every_group() {
  QFETCH(QString, address);
  const QHostAddress a(address);
  if (a.protocol() == QAbstractSocket::IPv6Protocol && !HasIpv6Loopback()) QSKIP("no IPv6 loopback here");
  TcpServerOutput out(a, 0, {});
  QVERIFY(out.Listen());
  QVERIFY(out.Port() != 0);
  std::vector<std::unique_ptr<Reader>> readers;
  for (int i = 0; i < 3; ++i) {
    readers.push_back(std::make_unique<Reader>());
    QVERIFY(readers.back()->Connect(a, out.Port()));
  }
  QVERIFY(Until([&] { return out.ClientCount() == 3; }));
  readers[0]->socket.write(QByteArray(100000, 'z'));  // read and thrown away
  std::string expected;
  for (int g = 0; g < 20; ++g) {
    std::vector<std::string> group;
    for (int i = 0; i < 5; ++i) group.push_back(Sentence(g * 5 + i));
    Group(out, group);
    for (const std::string& s : group) expected += s;
    QCoreApplication::processEvents();
  }
  QVERIFY(Until([&] {
    for (const auto& r : readers) {
      if (r->got.size() < expected.size()) return false;
    }
    return true;
  }));
  for (const auto& r : readers) QCOMPARE(r->got, expected);
  QCOMPARE(out.ClientCount(), 3);
}

// A client accepted while a group is written receives nothing of it.
void TestNetworkOutputs::tcp_client_joining_mid_group_starts_at_the_next() {
  TcpServerOutput out(QHostAddress::LocalHost, 0, {});
  QVERIFY(out.Listen());
  Reader early, late;
  QVERIFY(early.Connect(QHostAddress::LocalHost, out.Port()));
  QVERIFY(Until([&] { return out.ClientCount() == 1; }));
  out.beginGroup();
  out.write(Sentence(1));
  QVERIFY(late.Connect(QHostAddress::LocalHost, out.Port()));
  QVERIFY(Until([&] { return out.ClientCount() == 2; }));
  out.write(Sentence(2));
  out.write(Sentence(3));
  out.endGroup();
  Group(out, {Sentence(4), Sentence(5)});
  const std::string all = Sentence(1) + Sentence(2) + Sentence(3) + Sentence(4) + Sentence(5);
  const std::string next = Sentence(4) + Sentence(5);
  QVERIFY(Until([&] { return early.got.size() >= all.size() && late.got.size() >= next.size(); }));
  QCOMPARE(early.got, all);
  QCOMPARE(late.got, next);
}

// A client that stops reading is disconnected once the bytes held for it would
// pass the bound, with a line for the user; the other one gets every byte.
void TestNetworkOutputs::tcp_client_that_never_reads_is_dropped_at_the_bound() {
  std::vector<std::string> told;
  TcpServerOutput out(QHostAddress::LocalHost, 0, [&](const std::string& m) { told.push_back(m); });
  out.SetMaxBehind(32 * 1024);
  QVERIFY(out.Listen());
  Reader reader;
  QTcpSocket stuck;
  stuck.setReadBufferSize(16);  // takes 16 bytes, then leaves the rest in the system
  stuck.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(4096));
  QVERIFY(reader.Connect(QHostAddress::LocalHost, out.Port()));
  stuck.connectToHost(QHostAddress::LocalHost, out.Port());
  QVERIFY(stuck.waitForConnected(5000));
  QVERIFY(Until([&] { return out.ClientCount() == 2; }));
  std::string expected;
  int groups = 0;
  // At most 64 MiB: the system's buffers on both sides fill long before.
  for (; groups < 20000 && out.Dropped() == 0; ++groups) {
    std::vector<std::string> group(40, Sentence(groups, 82));
    Group(out, group);
    for (const std::string& s : group) expected += s;
    QCoreApplication::processEvents();
  }
  QCOMPARE(out.Dropped(), 1);
  QCOMPARE(out.ClientCount(), 1);
  stuck.setReadBufferSize(0);  // reads again, and finds the connection ended
  QVERIFY(Until([&] { return stuck.state() == QAbstractSocket::UnconnectedState; }));
  Group(out, {Sentence(-1)});
  expected += Sentence(-1);
  QVERIFY(Until([&] { return reader.got.size() >= expected.size(); }, 20000));
  QVERIFY(reader.got == expected);
  QCOMPARE(static_cast<int>(told.size()), 1);
  QVERIFY2(told[0].find("déconnecté : plus de 32768 octets en retard") != std::string::npos, told[0].c_str());
}

// In a fast run nothing is dropped: the bytes wait, and the backlog shows it.
void TestNetworkOutputs::tcp_slow_client_waited_for_in_fast_runs() {
  TcpServerOutput out(QHostAddress::LocalHost, 0, {});
  out.SetMaxBehind(4096);
  out.SetSlowClient(TcpServerOutput::SlowClient::Wait);
  QVERIFY(out.Listen());
  Reader reader;
  reader.socket.setReadBufferSize(16);
  reader.socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(4096));
  QVERIFY(reader.Connect(QHostAddress::LocalHost, out.Port()));
  QVERIFY(Until([&] { return out.ClientCount() == 1; }));
  std::string expected;
  // Until the system's buffers are full and the bytes wait in the server (at most
  // 16 MiB).
  for (int g = 0; g < 5000 && out.Backlog() <= 65536; ++g) {
    std::vector<std::string> group(40, Sentence(g, 82));
    Group(out, group);
    for (const std::string& s : group) expected += s;
    QCoreApplication::processEvents();
  }
  QVERIFY(out.Backlog() > 65536);
  QCOMPARE(out.Dropped(), 0);
  // The reader catches up: every byte arrives.
  reader.socket.setReadBufferSize(0);
  QVERIFY(Until([&] {
    reader.got += reader.socket.readAll().toStdString();
    return reader.got.size() >= expected.size();
  }, 20000));
  QVERIFY(reader.got == expected);
  QCOMPARE(out.Backlog(), qint64{0});
}

void TestNetworkOutputs::tcp_clients_leaving_are_forgotten_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("close") << "close";
  QTest::newRow("reset") << "reset";
#ifndef _WIN32
  QTest::newRow("half-close") << "half-close";
#endif
}

void TestNetworkOutputs::tcp_clients_leaving_are_forgotten() {
  QFETCH(QString, how);
  TcpServerOutput out(QHostAddress::LocalHost, 0, {});
  QVERIFY(out.Listen());
  QSignalSpy changes(&out, &TcpServerOutput::clientsChanged);
  Reader stays, leaves;
  QVERIFY(stays.Connect(QHostAddress::LocalHost, out.Port()));
  QVERIFY(leaves.Connect(QHostAddress::LocalHost, out.Port()));
  QVERIFY(Until([&] { return out.ClientCount() == 2; }));
  if (how == "close") {
    leaves.socket.disconnectFromHost();
  } else if (how == "reset") {
    leaves.socket.setSocketOption(QAbstractSocket::LowDelayOption, QVariant(1));
    leaves.socket.abort();
  } else {
#ifndef _WIN32
    ::shutdown(static_cast<int>(leaves.socket.socketDescriptor()), SHUT_WR);
#endif
  }
  QVERIFY(Until([&] { return out.ClientCount() == 1; }));
  QCOMPARE(changes.last().at(0).toInt(), 1);
  Group(out, {Sentence(7)});
  QVERIFY(Until([&] { return stays.got.size() >= Sentence(7).size(); }));
  QCOMPARE(stays.got, Sentence(7));
}

void TestNetworkOutputs::tcp_port_taken_is_told_in_french() {
  TcpServerOutput first(QHostAddress::LocalHost, 0, {});
  QVERIFY(first.Listen());
  TcpServerOutput second(QHostAddress::LocalHost, first.Port(), {});
  QVERIFY(!second.Listen());
  QVERIFY(second.PortTaken());
  QCOMPARE(QString::fromStdString(second.ErrorText()),
           QString("Le port TCP %1 est déjà utilisé : choisissez-en un autre").arg(first.Port()));
  QCOMPARE(TcpPortTakenMessage(10110), std::string("Le port TCP 10110 est déjà utilisé : choisissez-en un autre"));
}

void TestNetworkOutputs::udp_datagrams_hold_whole_sentences() {
  const std::string s82 = Sentence(1, 82), s40 = Sentence(2, 40);
  const struct {
    std::vector<std::string> sentences;
    std::size_t max;
    std::vector<std::size_t> sizes;
  } rows[] = {
      {{}, 1400, {}},
      {{s40}, 1400, {40}},
      {std::vector<std::string>(17, s82), 1400, {1394}},       // 17 x 82 fit
      {std::vector<std::string>(18, s82), 1400, {1394, 82}},   // the 18th does not
      {std::vector<std::string>(35, s40), 1400, {1400}},       // exactly full
      {std::vector<std::string>(36, s40), 1400, {1400, 40}},
      {{s82, s40, s82}, 100, {82, 40, 82}},
      {{s40, s40, s82}, 100, {80, 82}},
  };
  for (const auto& r : rows) {
    const std::vector<std::string> d = PackDatagrams(r.sentences, r.max);
    std::vector<std::size_t> sizes;
    std::string joined, whole;
    for (const std::string& x : d) {
      sizes.push_back(x.size());
      joined += x;
      // Each datagram starts with a sentence and ends with its CR LF.
      QVERIFY(x.front() == '$' && x.substr(x.size() - 2) == "\r\n");
    }
    for (const std::string& x : r.sentences) whole += x;
    QCOMPARE(sizes, r.sizes);
    QVERIFY(joined == whole);
  }
}

// Broadcast and multicast destinations: the sockets get the broadcast flag and the
// TTL; nothing is sent (sending switched off).
void TestNetworkOutputs::udp_kinds_and_socket_options() {
  const struct {
    const char* address;
    UdpKind kind;
  } kinds[] = {{"127.0.0.1", UdpKind::Unicast},
               {"255.255.255.255", UdpKind::Broadcast},
               {"239.192.0.1", UdpKind::Multicast},
               {"224.0.0.251", UdpKind::Multicast},
               {"ff02::1", UdpKind::Multicast},
               {"::1", UdpKind::Unicast}};
  for (const auto& k : kinds) QCOMPARE(static_cast<int>(KindOf(QHostAddress(k.address))), static_cast<int>(k.kind));
  // The broadcast address of a network of this machine is one too.
  for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
    for (const QNetworkAddressEntry& e : i.addressEntries()) {
      if (!e.broadcast().isNull()) QCOMPARE(static_cast<int>(KindOf(e.broadcast())), static_cast<int>(UdpKind::Broadcast));
    }
  }

  std::vector<UdpDestination> ds;
  std::string error;
  for (const char* text : {"255.255.255.255:10110", "239.192.0.1:10110"}) {
    std::string e;
    const auto end = ParseDestination(text, e);
    QVERIFY(end.has_value());
    const auto d = ResolveDestination(*end, error);
    QVERIFY(d.has_value());
    ds.push_back(*d);
  }
  UdpOutput out(ds, 3, {});
  out.SetSending(false);
  QVERIFY2(out.Open(), out.ErrorText().c_str());
  QUdpSocket* s = out.Socket(false);
  QVERIFY(s != nullptr);
  QCOMPARE(s->socketOption(QAbstractSocket::MulticastTtlOption).toInt(), 3);
#ifndef _WIN32
  int on = 0;
  socklen_t len = sizeof on;
  QCOMPARE(::getsockopt(static_cast<int>(s->socketDescriptor()), SOL_SOCKET, SO_BROADCAST, &on, &len), 0);
  QVERIFY(on != 0);
#endif
  out.beginGroup();
  for (int i = 0; i < 20; ++i) out.write(Sentence(i, 82));
  QVERIFY(out.Pending().empty());  // nothing before the end of the group
  out.endGroup();
  QCOMPARE(out.Pending().size(), std::size_t{2});
  QCOMPARE(out.DatagramsSent(), std::uint64_t{0});
}

void TestNetworkOutputs::udp_group_reaches_a_loopback_reader() {
  QUdpSocket reader;
  QVERIFY(reader.bind(QHostAddress::LocalHost, 0));
  std::string error;
  const auto d = ResolveDestination({"127.0.0.1", reader.localPort()}, error);
  QVERIFY(d.has_value());
  std::vector<std::string> told;
  UdpOutput out({*d}, 1, [&](const std::string& m) { told.push_back(m); });
  QVERIFY(out.Open());
  std::string expected;
  out.beginGroup();
  for (int i = 0; i < 30; ++i) {
    out.write(Sentence(i, 82));
    expected += Sentence(i, 82);
  }
  out.endGroup();
  std::string got;
  int datagrams = 0;
  qint64 largest = 0;
  QVERIFY(Until([&] {
    while (reader.hasPendingDatagrams()) {
      QByteArray b(static_cast<int>(reader.pendingDatagramSize()), '\0');
      reader.readDatagram(b.data(), b.size());
      largest = std::max<qint64>(largest, b.size());
      got += b.toStdString();
      ++datagrams;
    }
    return got.size() >= expected.size();
  }));
  QVERIFY(got == expected);
  QVERIFY(largest <= static_cast<qint64>(UdpOutput::kMaxDatagram));
  QCOMPARE(datagrams, 2);
  QVERIFY(told.empty());
}

QTEST_MAIN(TestNetworkOutputs)
#include "test_network_outputs.moc"
