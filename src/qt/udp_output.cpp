#include "qt/udp_output.h"

#include <QHostInfo>
#include <QNetworkInterface>
#include <QUdpSocket>
#include <QVariant>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

#include <utility>

namespace ventrel {

UdpKind KindOf(const QHostAddress& a) {
  if (a.isMulticast()) return UdpKind::Multicast;
  if (a.isBroadcast()) return UdpKind::Broadcast;
  if (a.protocol() == QAbstractSocket::IPv4Protocol) {
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
      for (const QNetworkAddressEntry& e : i.addressEntries()) {
        if (!e.broadcast().isNull() && e.broadcast() == a) return UdpKind::Broadcast;
      }
    }
  }
  return UdpKind::Unicast;
}

std::optional<UdpDestination> ResolveDestination(const NetEndpoint& e, std::string& error) {
  UdpDestination d;
  d.port = e.port;
  d.text = EndpointText(e);
  QHostAddress a(QString::fromStdString(e.host));
  if (a.isNull()) {
    const QHostInfo info = QHostInfo::fromName(QString::fromStdString(e.host));
    for (const QHostAddress& x : info.addresses()) {
      if (a.isNull() || (x.protocol() == QAbstractSocket::IPv4Protocol && a.protocol() != x.protocol())) a = x;
    }
    if (a.isNull()) {
      error = "Destination UDP inconnue : « " + e.host + " » (nom introuvable)";
      return std::nullopt;
    }
  }
  d.address = a;
  d.kind = KindOf(a);
  return d;
}

std::vector<std::string> PackDatagrams(const std::vector<std::string>& sentences, std::size_t max) {
  std::vector<std::string> out;
  std::string cur;
  for (const std::string& s : sentences) {
    if (!cur.empty() && cur.size() + s.size() > max) out.push_back(std::move(cur)), cur.clear();
    cur += s;
  }
  if (!cur.empty()) out.push_back(std::move(cur));
  return out;
}

UdpOutput::UdpOutput(std::vector<UdpDestination> destinations, int multicastTtl,
                     std::function<void(const std::string&)> sink)
    : destinations_(std::move(destinations)), ttl_(multicastTtl), sink_(std::move(sink)),
      failing_(destinations_.size(), false) {}

UdpOutput::~UdpOutput() = default;

bool UdpOutput::Open() {
  bool broadcast = false;
  for (const UdpDestination& d : destinations_) {
    const bool v6 = d.address.protocol() == QAbstractSocket::IPv6Protocol;
    std::unique_ptr<QUdpSocket>& s = v6 ? v6_ : v4_;
    if (!s) {
      s = std::make_unique<QUdpSocket>();
      if (!s->bind(v6 ? QHostAddress(QHostAddress::AnyIPv6) : QHostAddress(QHostAddress::AnyIPv4), 0)) {
        error_ = "Envoi UDP impossible vers " + d.text + " : " + s->errorString().toStdString();
        return false;
      }
      s->setSocketOption(QAbstractSocket::MulticastTtlOption, QVariant(ttl_));
    }
    broadcast = broadcast || d.kind == UdpKind::Broadcast;
  }
  if (broadcast && v4_) {
    // Qt has no option of its own for the broadcast flag.
#ifdef _WIN32
    const BOOL on = TRUE;
    const int r = ::setsockopt(static_cast<SOCKET>(v4_->socketDescriptor()), SOL_SOCKET, SO_BROADCAST,
                               reinterpret_cast<const char*>(&on), sizeof on);
#else
    const int on = 1;
    const int r = ::setsockopt(static_cast<int>(v4_->socketDescriptor()), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
#endif
    if (r != 0) {
      error_ = "Le système refuse la diffusion (broadcast) UDP sur ce poste";
      return false;
    }
  }
  return true;
}

std::string UdpOutput::name() const {
  std::string s = "UDP";
  for (const UdpDestination& d : destinations_) s += " " + d.text;
  return s;
}

void UdpOutput::beginGroup() {
  sentences_.clear();
  inGroup_ = true;
}

bool UdpOutput::write(std::string_view bytes) {
  sentences_.emplace_back(bytes);
  if (!inGroup_) Send();  // a sentence outside a group leaves at once
  return true;
}

void UdpOutput::endGroup() {
  inGroup_ = false;
  Send();
}

void UdpOutput::Send() {
  pending_ = PackDatagrams(sentences_, kMaxDatagram);
  sentences_.clear();
  if (!sending_) return;
  for (std::size_t i = 0; i < destinations_.size(); ++i) {
    const UdpDestination& d = destinations_[i];
    QUdpSocket* s = Socket(d.address.protocol() == QAbstractSocket::IPv6Protocol);
    if (s == nullptr) continue;
    bool ok = true;
    for (const std::string& g : pending_) {
      if (s->writeDatagram(g.data(), static_cast<qint64>(g.size()), d.address, d.port) ==
          static_cast<qint64>(g.size())) {
        ++sent_;
      } else {
        ok = false;
      }
    }
    if (!ok && !failing_[i] && sink_) {
      sink_("Envoi UDP impossible vers " + d.text + " : " + s->errorString().toStdString() +
            " (les datagrammes suivants seront envoyés quand le réseau le permettra)");
    }
    if (ok && failing_[i] && sink_) sink_("Envoi UDP vers " + d.text + " : repris");
    failing_[i] = !ok;
  }
}

}  // namespace ventrel
