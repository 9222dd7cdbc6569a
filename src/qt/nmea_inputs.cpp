#include "qt/nmea_inputs.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "qt/serial_port.h"
#include "qt/tcp_server_output.h"
#include "qt/udp_output.h"

namespace ventrel {

namespace {

// The largest UDP datagram.
constexpr std::size_t kMaxDatagram = 65536;

void Add(InputCounts& to, const InputCounts& c) {
  to.lines += c.lines;
  to.used += c.used;
  to.ignored += c.ignored;
  to.tooLong += c.tooLong;
  to.badChecksum += c.badChecksum;
  to.malformed += c.malformed;
}

std::string Reason(const QAbstractSocket& s) { return s.errorString().toStdString(); }

}  // namespace

std::string InputCountsLine(const InputCounts& c) {
  return "Entrée NMEA : " + std::to_string(c.lines) + " lignes lues, " + std::to_string(c.used) +
         " phrases de pilotage utilisées, " + std::to_string(c.dropped()) + " rejetées";
}

NmeaInputs::NmeaInputs(SteeringCallback onSteering, std::function<void(const std::string&)> sink, QObject* parent)
    : QObject(parent), onSteering_(std::move(onSteering)), sink_(std::move(sink)), buffer_(kMaxDatagram) {}

NmeaInputs::~NmeaInputs() { Stop(); }

void NmeaInputs::Tell(const std::string& line) const {
  if (sink_) sink_(line);
}

void NmeaInputs::SetSerialPorts(SerialPorts* com) { com_ = com; }

void NmeaInputs::SetTcpServers(const std::vector<TcpServerOutput*>& servers) {
  servers_.clear();
  for (TcpServerOutput* s : servers) servers_.emplace_back(s);
}

std::string NmeaInputs::Start(const std::vector<NmeaSource>& sources) {
  Stop();
  for (const NmeaSource& what : sources) {
    auto s = std::make_unique<Source>();
    s->what = what;
    s->name = NmeaSourceText(what);
    s->stream.reader = NewReader();
    sources_.push_back(std::move(s));
    if (std::string problem = StartOne(*sources_.back()); !problem.empty()) {
      Stop();
      return problem;
    }
  }
  return {};
}

std::string NmeaInputs::StartOne(Source& s) {
  switch (s.what.kind) {
    case NmeaSourceKind::Serial: {
      if (!com_) return "La source NMEA « serial » lit le port série des phrases envoyées : indiquez ce port";
      s.connected = true;
      Source* src = &s;
      com_->SetReceiver([this, src](QIODevice& port) {
        Stream* st = &src->stream;
        // Another port in use, or the same opened again: a new line.
        if (st->device != &port) {
          Add(src->ended, st->reader.counts());
          st->reader = NewReader();
          st->device = &port;
        }
        if (!st->scheduled) Pass(*st, [st] { return st; });
      });
      return {};
    }
    case NmeaSourceKind::TcpServerClients: {
      const bool any = std::any_of(servers_.begin(), servers_.end(), [](const auto& p) { return !p.isNull(); });
      if (!any) return "La source NMEA « tcp » lit les clients du serveur TCP : mettez en marche le serveur TCP";
      s.connected = true;
      Source* src = &s;
      for (const QPointer<TcpServerOutput>& server : servers_) {
        if (!server) continue;
        server->SetClientReceiver({[this, src](QTcpSocket* client, const std::string&) { ClientBytes(*src, client); },
                                   [this, src](QTcpSocket* client) { ClientGone(*src, client); }});
      }
      return {};
    }
    case NmeaSourceKind::Udp: {
      QHostAddress a(QHostAddress::Any);
      if (!s.what.endpoint.host.empty()) {
        std::string why;
        const std::optional<UdpDestination> d = ResolveDestination(s.what.endpoint, why);
        if (!d) return "Adresse d'écoute UDP inconnue : « " + s.what.endpoint.host + " » (source " + s.name + ")";
        a = d->address;
      }
      s.udp = new QUdpSocket(this);
      // Not shared: a port another program listens on is refused, not split.
      if (!s.udp->bind(a, s.what.endpoint.port, QAbstractSocket::DontShareAddress)) {
        std::string problem = s.udp->error() == QAbstractSocket::AddressInUseError
                                  ? "Le port UDP " + std::to_string(s.what.endpoint.port) +
                                        " est déjà utilisé : choisissez-en un autre (source " + s.name + ")"
                                  : "La source NMEA " + s.name + " ne peut pas écouter : " + Reason(*s.udp);
        return problem;
      }
      s.connected = true;
      Source* src = &s;
      connect(s.udp, &QUdpSocket::readyRead, this, [this, src] {
        if (!src->udpScheduled) ReadDatagrams(*src);
      });
      return {};
    }
    case NmeaSourceKind::TcpClient: {
      s.tcp = new QTcpSocket(this);
      s.tcp->setReadBufferSize(kBytesPerPass);
      s.stream.device = s.tcp;
      s.retry = new QTimer(this);
      s.retry->setInterval(kRetryMs);
      Source* src = &s;
      Stream* st = &s.stream;
      connect(s.tcp, &QTcpSocket::readyRead, this, [this, st] {
        if (!st->scheduled) Pass(*st, [st] { return st; });
      });
      connect(s.tcp, &QTcpSocket::connected, this, [this, src] {
        src->connected = true;
        src->retry->stop();
        if (src->troubleTold) Tell("Entrée NMEA " + src->name + " : connexion rétablie");
        src->troubleTold = false;
      });
      connect(s.tcp, &QTcpSocket::disconnected, this, [this, src] { Trouble(*src, "connexion perdue (fermée par l'autre bout)"); });
      connect(s.tcp, &QTcpSocket::errorOccurred, this, [this, src](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError) return;  // told by `disconnected`
        Trouble(*src, (src->connected ? "connexion perdue (" : "connexion impossible (") + Reason(*src->tcp) + ")");
      });
      // Also the end of an attempt that does not answer.
      connect(s.retry, &QTimer::timeout, this, [this, src] {
        if (src->tcp->state() != QAbstractSocket::ConnectedState) Connect(*src);
      });
      Connect(s);
      return {};
    }
  }
  return {};
}

void NmeaInputs::Connect(Source& s) {
  s.tcp->abort();
  s.connected = false;
  // A new connection starts a new line: what the last one left unfinished is counted.
  Add(s.ended, s.stream.reader.counts());
  s.stream.reader = NewReader();
  s.retry->start();
  s.tcp->connectToHost(QString::fromStdString(s.what.endpoint.host), s.what.endpoint.port);
}

void NmeaInputs::Trouble(Source& s, const std::string& what) {
  s.connected = false;
  if (!s.retry->isActive()) s.retry->start();
  if (s.troubleTold) return;
  s.troubleTold = true;
  Tell("Entrée NMEA " + s.name + " : " + what + " ; nouvel essai toutes les " + std::to_string(kRetryMs / 1000) +
       " s");
}

void NmeaInputs::Pass(Stream& st, const std::function<Stream*()>& locate) {
  QIODevice* d = st.device;
  if (d == nullptr || !d->isOpen()) return;
  const std::uint64_t generation = generation_;
  const qint64 n = d->read(buffer_.data(), kBytesPerPass);
  if (n > 0 && !Deliver(st.reader.Feed(std::string_view(buffer_.data(), static_cast<std::size_t>(n))))) return;
  if (generation != generation_ || st.scheduled || !st.device || st.device->bytesAvailable() <= 0) return;
  // The rest at the next pass of the event loop: the timers go first.
  st.scheduled = true;
  QTimer::singleShot(0, this, [this, generation, locate] {
    if (generation != generation_) return;
    Stream* again = locate();
    if (again == nullptr) return;
    again->scheduled = false;
    Pass(*again, locate);
  });
}

void NmeaInputs::ReadDatagrams(Source& s) {
  const std::uint64_t generation = generation_;
  std::int64_t read = 0;
  while (read < kBytesPerPass && s.udp->hasPendingDatagrams()) {
    QHostAddress from;
    quint16 port = 0;
    const qint64 n = s.udp->readDatagram(buffer_.data(), static_cast<qint64>(buffer_.size()), &from, &port);
    if (n < 0) break;
    read += std::max<qint64>(n, 1);
    // Lines never mix between senders: one that changes ends the line begun.
    std::string sender = from.toString().toStdString() + ":" + std::to_string(port);
    if (sender != s.lastSender) {
      if (!Deliver(s.stream.reader.Feed("\n"))) return;
      s.lastSender = std::move(sender);
    }
    if (!Deliver(s.stream.reader.Feed(std::string_view(buffer_.data(), static_cast<std::size_t>(n))))) return;
  }
  if (generation != generation_ || !s.udp->hasPendingDatagrams()) return;
  s.udpScheduled = true;
  Source* src = &s;
  QTimer::singleShot(0, this, [this, generation, src] {
    if (generation != generation_) return;
    src->udpScheduled = false;
    ReadDatagrams(*src);
  });
}

bool NmeaInputs::Deliver(const std::vector<SteeringSentence>& sentences) {
  const std::uint64_t generation = generation_;
  for (const SteeringSentence& sentence : sentences) {
    if (onSteering_) onSteering_(sentence);
    if (generation != generation_) return false;
  }
  return true;
}

void NmeaInputs::ClientBytes(Source& s, QTcpSocket* client) {
  auto it = s.peers.find(client);
  if (it == s.peers.end()) {
    auto peer = std::make_unique<Stream>();
    peer->device = client;
    peer->reader = NewReader();
    it = s.peers.emplace(client, std::move(peer)).first;
  }
  Stream& st = *it->second;
  if (st.scheduled) return;
  Source* src = &s;
  Pass(st, [src, client]() -> Stream* {
    const auto found = src->peers.find(client);
    return found == src->peers.end() ? nullptr : found->second.get();
  });
}

void NmeaInputs::ClientGone(Source& s, QTcpSocket* client) {
  const auto it = s.peers.find(client);
  if (it == s.peers.end()) return;
  Add(s.ended, it->second->reader.counts());
  s.peers.erase(it);
}

void NmeaInputs::Stop() {
  ++generation_;
  if (com_) com_->SetReceiver({});
  for (const QPointer<TcpServerOutput>& server : servers_) {
    if (server) server->SetClientReceiver({});
  }
  for (const auto& s : sources_) {
    if (s->retry != nullptr) {
      s->retry->disconnect(this);
      s->retry->stop();
      s->retry->deleteLater();
    }
    if (s->tcp != nullptr) {
      s->tcp->disconnect(this);
      s->tcp->abort();
      s->tcp->deleteLater();
    }
    if (s->udp != nullptr) {
      s->udp->disconnect(this);
      s->udp->close();
      s->udp->deleteLater();
    }
  }
  sources_.clear();
}

InputCounts NmeaInputs::Counts() const {
  InputCounts total;
  for (const SourceState& s : Sources()) Add(total, s.counts);
  return total;
}

std::vector<NmeaInputs::SourceState> NmeaInputs::Sources() const {
  std::vector<SourceState> out;
  for (const auto& s : sources_) {
    SourceState st;
    st.name = s->name;
    st.connected = s->connected;
    st.peers = static_cast<int>(s->peers.size());
    st.counts = s->ended;
    Add(st.counts, s->stream.reader.counts());
    for (const auto& [client, peer] : s->peers) Add(st.counts, peer->reader.counts());
    out.push_back(std::move(st));
  }
  return out;
}

quint16 NmeaInputs::UdpPort(std::size_t index) const {
  if (index >= sources_.size() || sources_[index]->udp == nullptr) return 0;
  return sources_[index]->udp->localPort();
}

std::size_t NmeaInputs::MostHeld() const {
  std::size_t most = 0;
  for (const auto& s : sources_) {
    most = std::max(most, s->stream.reader.held());
    for (const auto& [client, peer] : s->peers) most = std::max(most, peer->reader.held());
  }
  return most;
}

}  // namespace ventrel
