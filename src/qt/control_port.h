#pragma once
// The live control port: a TCP server taking one JSON command a line and
// answering each with one JSON line (the protocol is scenario/control_protocol.h,
// documented in docs/control-port.md). Off unless the user asks for it; bound to
// 127.0.0.1 unless an address is given.
//
// - At most kMaxClients clients at once; one more gets an error line and is closed.
// - Each client has its own line buffer, bounded by kMaxControlLine: a longer line
//   is answered with OversizedLineAnswer() as soon as it overflows, the rest of it
//   is skipped up to its newline, and the connection stays.
// - At most kReadPerPass bytes are read from a client in one pass of the event
//   loop; what is left is read at the next pass, so that a client that floods
//   the port does not hold the thread.
// - Answers are written without waiting. Lines are answered while fewer than
//   kAnswerPace bytes of answers wait for the client; beyond, its lines wait
//   until it reads (a burst of commands from a client that reads as it sends is
//   answered whole, at the pace it reads). A client more than kMaxBehind bytes
//   behind (answers it has not read and commands not yet answered) is
//   disconnected: it sends without reading.
// - Lines end with LF; a CR before it is ignored. Answers end with LF.
// Main thread only: the target is called from the event loop.

#include <QHostAddress>
#include <QObject>
#include <QPointer>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "scenario/control_protocol.h"

class QTcpServer;
class QTcpSocket;

namespace ventrel {

// The control port's default port number.
inline constexpr quint16 kDefaultControlPort = 10112;

// "Le port de contrôle 10112 est déjà utilisé : choisissez-en un autre"
std::string ControlPortTakenMessage(quint16 port);

// The address to listen on for a host as read by ParseListenPoint: "" (no
// address given) is 127.0.0.1, never every interface.
QHostAddress ControlListenAddress(const std::string& host);

class ControlPort final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxClients = 8;
  static constexpr qint64 kReadPerPass = 4096;
  static constexpr qint64 kMaxBehind = qint64{64} * 1024;
  static constexpr qint64 kAnswerPace = kMaxBehind / 2;

  // `port` 0: a port the system chooses (see Port()).
  ControlPort(QHostAddress address, quint16 port, ControlTarget target, QObject* parent = nullptr);
  ~ControlPort() override;

  // Starts listening; false with ErrorText() in French when it cannot.
  bool Listen();
  bool Listening() const;
  const std::string& ErrorText() const { return error_; }
  // The port listened on (the system's choice when 0 was asked).
  quint16 Port() const;
  // "127.0.0.1:10112", "[::1]:10112".
  std::string Where() const;
  int ClientCount() const { return static_cast<int>(clients_.size()); }
  // Stops listening and drops every client.
  void Close();

 signals:
  void clientsChanged(int count);
  // A line for the user: a client refused or dropped (French).
  void told(const QString& line);

 private:
  struct Client {
    QPointer<QTcpSocket> socket;
    std::string peer;
    std::string unread;     // bytes received, not yet looked at (at most kMaxBehind)
    std::string line;       // the bytes of the line being received
    bool skipping = false;  // the rest of an oversized line is thrown away
    bool passQueued = false;
    bool busy = false;   // a pass is answering its lines
    bool again = false;  // a pass was asked meanwhile
  };

  void OnNewConnection();
  void Refuse(QTcpSocket* socket);
  // Reads at most kReadPerPass bytes of the client and answers its whole lines
  // while the answers waiting for it are fewer than kAnswerPace bytes.
  void ReadPass(QTcpSocket* socket);
  void QueuePass(Client& c);
  // Answers the complete lines of the client's unread bytes, as the pace allows.
  void Take(QTcpSocket* socket);
  void Send(QTcpSocket* socket, const std::string& answer);
  void Forget(QTcpSocket* socket, const std::string& why);
  Client* Find(QTcpSocket* socket);

  QHostAddress address_;
  quint16 port_;
  ControlTarget target_;
  QTcpServer* server_;
  std::vector<std::unique_ptr<Client>> clients_;
  std::string error_;
};

}  // namespace ventrel
