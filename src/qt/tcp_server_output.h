#pragma once
// A TCP server as an output of the sentence cycle: it listens on an address and a
// port (by default every interface, IPv4 and IPv6, port 10110) and sends each
// sentence to every connected client.
//
// - A client that connects during a group receives its first bytes at the start
//   of the next group: whole sentences only.
// - Each client has its own buffer. The cycle never waits for a client: with
//   SlowClient::Disconnect (real time), a client whose buffer would go beyond the
//   bound (bytes the program holds for it, beyond what the system's send buffer
//   takes; default 64 KiB) is disconnected and the sink is told. With
//   SlowClient::Wait (fast runs), nothing is dropped: the runner waits while
//   Backlog() is high (back-pressure), so the run goes at the slowest client's pace.
// - Bytes the clients send are read and thrown away as they come, with a bounded
//   read buffer per client, unless a receiver is set (SetClientReceiver): it then
//   reads them itself, as much as it wants at a time, and the rest waits in the
//   client's bounded buffer and in the system's (the client is held back).
// - Clients that disconnect, half-close or reset are forgotten.
// write() never refuses: a client that falls away is the client's loss, not the
// cycle's. Main thread only.

#include <QHostAddress>
#include <QObject>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "nmea/output.h"

class QTcpServer;
class QTcpSocket;

namespace ventrel {

// "Le port TCP 10110 est déjà utilisé : choisissez-en un autre"
std::string TcpPortTakenMessage(quint16 port);

class TcpServerOutput final : public QObject, public NmeaOutput {
  Q_OBJECT

 public:
  enum class SlowClient { Disconnect, Wait };
  // Bytes held for one client beyond which it is too far behind (real time).
  static constexpr std::size_t kDefaultMaxBehind = std::size_t{64} * 1024;
  // The system's send buffer asked for each client when slow clients are dropped:
  // small, so that a client that stops reading shows in the program's own buffer
  // soon.
  static constexpr int kSystemSendBuffer = 16 * 1024;
  // Read buffer of a client; what it sends beyond waits in the system.
  static constexpr qint64 kReadBound = 4096;

  // `address`: QHostAddress::Any for every interface. `sink` receives the lines
  // for the user (a client dropped, a port taken); it may be empty.
  TcpServerOutput(QHostAddress address, quint16 port, std::function<void(const std::string&)> sink,
                  QObject* parent = nullptr);
  ~TcpServerOutput() override;

  // Who reads what the clients send: `readable` when a client has bytes to read
  // (from then on, not at the client's arrival), `gone` when a client is forgotten
  // (before its socket is deleted). An empty receiver: the bytes are thrown away.
  struct ClientReceiver {
    std::function<void(QTcpSocket* client, const std::string& peer)> readable;
    std::function<void(QTcpSocket* client)> gone;
  };
  void SetClientReceiver(ClientReceiver receiver) { receiver_ = std::move(receiver); }

  void SetMaxBehind(std::size_t bytes) { maxBehind_ = bytes; }
  void SetSlowClient(SlowClient mode) { slow_ = mode; }

  // Starts listening; false with ErrorText() (and PortTaken()) when it cannot.
  bool Listen();
  bool Listening() const;
  bool PortTaken() const { return portTaken_; }
  const std::string& ErrorText() const { return error_; }
  // The port listened on (the one the system chose when 0 was asked).
  quint16 Port() const;
  // "127.0.0.1:10110", "[::]:10110" (every interface): where it listens.
  std::string Where() const;

  // Clients connected (those waiting for the next group included).
  int ClientCount() const { return static_cast<int>(clients_.size()); }
  // The most bytes the program holds for one client.
  qint64 Backlog() const;
  // Clients disconnected for falling behind, since the start.
  int Dropped() const { return dropped_; }
  // Hands to the system what it takes at once of every client's bytes (a fast run
  // calls it when it paces itself; in real time each group leaves at its end).
  void Flush();
  // Ends every connection once its bytes have been handed to the system.
  void CloseClients();
  void Close();

  bool write(std::string_view bytes) override;
  std::string name() const override;
  void beginGroup() override;
  void endGroup() override;

 signals:
  void clientsChanged(int count);

 private:
  struct Client {
    QTcpSocket* socket = nullptr;
    std::string peer;     // "127.0.0.1:51234"
    bool joined = false;  // receives the groups (from the first group after its arrival)
  };

  void OnNewConnection();
  // The bytes of the group to every client that receives it.
  void Send();
  void Forget(QTcpSocket* socket, const std::string& why);
  void Tell(const std::string& line) const;

  QHostAddress address_;
  quint16 port_;
  std::function<void(const std::string&)> sink_;
  ClientReceiver receiver_;
  QTcpServer* server_;
  std::vector<Client> clients_;
  std::size_t maxBehind_ = kDefaultMaxBehind;
  SlowClient slow_ = SlowClient::Disconnect;
  bool portTaken_ = false;
  std::string error_;
  int dropped_ = 0;
  std::string group_;  // the sentences of the group being written
  bool inGroup_ = false;
};

}  // namespace ventrel
