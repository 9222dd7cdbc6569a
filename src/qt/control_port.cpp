#include "qt/control_port.h"

#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "qt/tcp_listen.h"
#include "scenario/json_line.h"

namespace ventrel {

namespace {

// The system's send buffer of a client: small, so that a client that stops
// reading shows in the program's own buffer soon.
constexpr int kSystemSendBuffer = 16 * 1024;

}  // namespace

std::string ControlPortTakenMessage(quint16 port) {
  return "Le port de contrôle " + std::to_string(port) + " est déjà utilisé : choisissez-en un autre";
}

QHostAddress ControlListenAddress(const std::string& host) {
  if (host.empty()) return QHostAddress(QHostAddress::LocalHost);
  return QHostAddress(QString::fromStdString(host));
}

ControlPort::ControlPort(QHostAddress address, quint16 port, ControlTarget target, QObject* parent)
    : QObject(parent), address_(std::move(address)), port_(port), target_(std::move(target)),
      server_(new QTcpServer(this)) {
  connect(server_, &QTcpServer::newConnection, this, &ControlPort::OnNewConnection);
}

ControlPort::~ControlPort() { Close(); }

bool ControlPort::Listen() {
  error_ = StartListening(*server_, address_, port_, ControlPortTakenMessage(port_), "Le port de contrôle");
  return error_.empty();
}

bool ControlPort::Listening() const { return server_->isListening(); }

quint16 ControlPort::Port() const { return server_->isListening() ? server_->serverPort() : port_; }

std::string ControlPort::Where() const { return EndpointText(address_, Port()); }

ControlPort::Client* ControlPort::Find(QTcpSocket* socket) {
  const auto it = std::find_if(clients_.begin(), clients_.end(),
                               [socket](const std::unique_ptr<Client>& c) { return c->socket == socket; });
  return it == clients_.end() ? nullptr : it->get();
}

void ControlPort::OnNewConnection() {
  while (QTcpSocket* s = server_->nextPendingConnection()) {
    if (ClientCount() >= kMaxClients) {
      Refuse(s);
      continue;
    }
    // Qt reads ahead of the passes by this much at most; the rest waits in the system.
    s->setReadBufferSize(4 * kReadPerPass);
    s->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, QVariant(kSystemSendBuffer));
    s->setSocketOption(QAbstractSocket::LowDelayOption, QVariant(1));
    auto c = std::make_unique<Client>();
    c->socket = s;
    c->peer = EndpointText(s->peerAddress(), s->peerPort());
    clients_.push_back(std::move(c));
    connect(s, &QTcpSocket::readyRead, this, [this, s] {
      const Client* known = Find(s);
      if (known != nullptr && !known->passQueued) ReadPass(s);
    });
    // The client read some answers: its waiting lines may go on (at the next pass:
    // this may come from within a write).
    connect(s, &QTcpSocket::bytesWritten, this, [this, s] {
      Client* known = Find(s);
      if (known != nullptr && !known->unread.empty()) QueuePass(*known);
    });
    connect(s, &QTcpSocket::disconnected, this, [this, s] { Forget(s, ""); });
    connect(s, &QTcpSocket::errorOccurred, this, [this, s](QAbstractSocket::SocketError e) {
      if (e != QAbstractSocket::RemoteHostClosedError) {
        Forget(s, "connexion interrompue (" + s->errorString().toStdString() + ")");
      }
    });
    emit clientsChanged(ClientCount());
  }
}

void ControlPort::Refuse(QTcpSocket* s) {
  const std::string peer = EndpointText(s->peerAddress(), s->peerPort());
  const std::string line = JsonObjectWriter()
                               .Bool("ok", false)
                               .String("error", "Trop de clients sur le port de contrôle : au plus " +
                                                    std::to_string(kMaxClients) + " à la fois")
                               .Text() +
                           "\n";
  s->write(line.data(), static_cast<qint64>(line.size()));
  connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
  s->disconnectFromHost();  // after the line has gone
  if (s->state() == QAbstractSocket::UnconnectedState) s->deleteLater();
  emit told(QString::fromStdString("Port de contrôle : client " + peer + " refusé (déjà " +
                                   std::to_string(kMaxClients) + " clients)"));
}

void ControlPort::ReadPass(QTcpSocket* s) {
  Client* c = Find(s);
  if (c == nullptr) return;
  if (c->busy) {
    // Called again from within a command (a dialog's own event loop): after it.
    c->again = true;
    return;
  }
  c->passQueued = false;
  c->busy = true;
  std::array<char, static_cast<std::size_t>(kReadPerPass)> bytes{};
  const qint64 n = s->read(bytes.data(), kReadPerPass);
  if (n > 0) c->unread.append(bytes.data(), static_cast<std::size_t>(n));
  Take(s);
  c = Find(s);  // the client may be gone (the port closed by a command)
  if (c == nullptr) return;
  c->busy = false;
  const auto behind = s->bytesToWrite() + static_cast<qint64>(c->unread.size());
  if (behind > kMaxBehind) {
    Forget(s, "plus de " + std::to_string(kMaxBehind) + " octets en retard (le client envoie sans lire les réponses)");
    return;
  }
  if (s->bytesAvailable() > 0 || c->again) QueuePass(*c);
}

void ControlPort::QueuePass(Client& c) {
  c.again = false;
  if (c.passQueued) return;
  c.passQueued = true;
  QMetaObject::invokeMethod(
      this, [this, p = c.socket] { if (p) ReadPass(p); }, Qt::QueuedConnection);
}

void ControlPort::Take(QTcpSocket* s) {
  std::size_t i = 0;  // bytes of `unread` looked at
  while (true) {
    Client* c = Find(s);
    if (c == nullptr) return;
    const std::size_t n = c->unread.size();
    if (i >= n || s->bytesToWrite() >= kAnswerPace) {
      c->unread.erase(0, std::min(i, n));
      return;
    }
    const char* const bytes = c->unread.data();
    const auto* nl = static_cast<const char*>(std::memchr(bytes + i, '\n', n - i));
    const std::size_t end = nl != nullptr ? static_cast<std::size_t>(nl - bytes) : n;
    if (c->skipping) {
      if (nl != nullptr) c->skipping = false;
      i = end + 1;
      continue;
    }
    c->line.append(bytes + i, end - i);
    i = end + 1;
    if (nl == nullptr) {
      // A CR may still come before the newline: one byte beyond the bound is allowed.
      if (c->line.size() > kMaxControlLine + 1) {
        c->line.clear();
        c->skipping = true;
        Send(s, OversizedLineAnswer());
      }
      continue;
    }
    std::string line = std::move(c->line);
    c->line.clear();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Send(s, line.size() > kMaxControlLine ? OversizedLineAnswer() : AnswerControlLine(line, target_));
  }
}

void ControlPort::Send(QTcpSocket* s, const std::string& answer) {
  if (Find(s) == nullptr) return;
  const std::string bytes = answer + "\n";
  s->write(bytes.data(), static_cast<qint64>(bytes.size()));
  s->flush();  // what the system takes now, without waiting
}

void ControlPort::Forget(QTcpSocket* socket, const std::string& why) {
  const auto it = std::find_if(clients_.begin(), clients_.end(),
                               [socket](const std::unique_ptr<Client>& c) { return c->socket == socket; });
  if (it == clients_.end()) return;
  if (!why.empty()) emit told(QString::fromStdString("Port de contrôle : client " + (*it)->peer + " déconnecté : " + why));
  clients_.erase(it);
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
  emit clientsChanged(ClientCount());
}

void ControlPort::Close() {
  server_->close();
  const bool had = !clients_.empty();
  for (const auto& c : clients_) {
    if (c->socket == nullptr) continue;
    c->socket->disconnect(this);
    c->socket->abort();
    c->socket->deleteLater();
  }
  clients_.clear();
  if (had) emit clientsChanged(0);
}

}  // namespace ventrel
