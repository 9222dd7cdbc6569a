#include "qt/tcp_server_output.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QVariant>

#include <algorithm>
#include <array>
#include <utility>

#include "qt/tcp_listen.h"

namespace ventrel {

std::string TcpPortTakenMessage(quint16 port) {
  return "Le port TCP " + std::to_string(port) + " est déjà utilisé : choisissez-en un autre";
}

TcpServerOutput::TcpServerOutput(QHostAddress address, quint16 port, std::function<void(const std::string&)> sink,
                                 QObject* parent)
    : QObject(parent), address_(std::move(address)), port_(port), sink_(std::move(sink)),
      server_(new QTcpServer(this)) {
  connect(server_, &QTcpServer::newConnection, this, &TcpServerOutput::OnNewConnection);
}

TcpServerOutput::~TcpServerOutput() { Close(); }

void TcpServerOutput::Tell(const std::string& line) const {
  if (sink_) sink_(line);
}

bool TcpServerOutput::Listen() {
  error_ = StartListening(*server_, address_, port_, TcpPortTakenMessage(port_), "Le serveur TCP", &portTaken_);
  return error_.empty();
}

bool TcpServerOutput::Listening() const { return server_->isListening(); }

quint16 TcpServerOutput::Port() const { return server_->isListening() ? server_->serverPort() : port_; }

std::string TcpServerOutput::Where() const { return EndpointText(address_, Port()); }

std::string TcpServerOutput::name() const { return "serveur TCP " + Where(); }

void TcpServerOutput::OnNewConnection() {
  while (QTcpSocket* s = server_->nextPendingConnection()) {
    s->setReadBufferSize(kReadBound);
    // A small system buffer only where a slow client is dropped: with back-pressure
    // it would hold the sender to the round trips of the acknowledgements.
    if (slow_ == SlowClient::Disconnect) {
      s->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, QVariant(kSystemSendBuffer));
    }
    s->setSocketOption(QAbstractSocket::LowDelayOption, QVariant(1));
    Client c;
    c.socket = s;
    c.peer = EndpointText(s->peerAddress(), s->peerPort());
    clients_.push_back(c);
    // What the client sends goes to the receiver, or is read and thrown away; its
    // buffer is bounded.
    connect(s, &QTcpSocket::readyRead, this, [this, s, peer = c.peer] {
      if (receiver_.readable) {
        receiver_.readable(s, peer);
        return;
      }
      std::array<char, 4096> scrap{};
      while (s->bytesAvailable() > 0) {
        if (s->read(scrap.data(), static_cast<qint64>(scrap.size())) <= 0) break;
      }
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

void TcpServerOutput::Forget(QTcpSocket* socket, const std::string& why) {
  const auto it = std::find_if(clients_.begin(), clients_.end(), [socket](const Client& c) { return c.socket == socket; });
  if (it == clients_.end()) return;
  if (!why.empty()) Tell("Client TCP " + it->peer + " déconnecté : " + why);
  clients_.erase(it);
  if (receiver_.gone) receiver_.gone(socket);
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
  emit clientsChanged(ClientCount());
}

void TcpServerOutput::beginGroup() {
  for (Client& c : clients_) c.joined = true;
  group_.clear();
  inGroup_ = true;
}

bool TcpServerOutput::write(std::string_view bytes) {
  // The sentences of a group go to the clients together at its end: one write a
  // client and a group.
  group_.append(bytes);
  if (!inGroup_) Send();
  return true;
}

void TcpServerOutput::endGroup() {
  inGroup_ = false;
  Send();
}

void TcpServerOutput::Send() {
  const auto n = static_cast<qint64>(group_.size());
  std::vector<QTcpSocket*> behind;
  for (const Client& c : clients_) {
    if (!c.joined || n == 0) continue;
    if (slow_ == SlowClient::Disconnect && static_cast<std::size_t>(c.socket->bytesToWrite() + n) > maxBehind_) {
      behind.push_back(c.socket);
      continue;
    }
    c.socket->write(group_.data(), n);
    // In real time the group leaves now, as much of it as the system takes
    // without waiting; a fast run hands the bytes on by larger pieces (Flush).
    if (slow_ == SlowClient::Disconnect) c.socket->flush();
  }
  group_.clear();
  for (QTcpSocket* s : behind) {
    ++dropped_;
    Forget(s, "plus de " + std::to_string(maxBehind_) + " octets en retard (le client ne lit plus assez vite)");
  }
}

void TcpServerOutput::Flush() {
  for (const Client& c : clients_) c.socket->flush();
}

qint64 TcpServerOutput::Backlog() const {
  qint64 most = 0;
  for (const Client& c : clients_) most = std::max(most, c.socket->bytesToWrite());
  return most;
}

void TcpServerOutput::CloseClients() {
  const std::vector<Client> all = clients_;
  clients_.clear();
  for (const Client& c : all) {
    if (receiver_.gone) receiver_.gone(c.socket);
    c.socket->disconnect(this);
    c.socket->disconnectFromHost();  // after the bytes held have gone
    connect(c.socket, &QTcpSocket::disconnected, c.socket, &QObject::deleteLater);
    if (c.socket->state() == QAbstractSocket::UnconnectedState) c.socket->deleteLater();
  }
  if (!all.empty()) emit clientsChanged(0);
}

void TcpServerOutput::Close() {
  server_->close();
  for (const Client& c : clients_) {
    if (receiver_.gone) receiver_.gone(c.socket);
    c.socket->disconnect(this);
    c.socket->abort();
    c.socket->deleteLater();
  }
  clients_.clear();
}

}  // namespace ventrel
