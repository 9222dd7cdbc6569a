#include "qt/network_outputs.h"

#include <utility>

namespace ventrel {

NetworkOutputs::NetworkOutputs(std::function<void(const std::string&)> sink, QObject* parent)
    : QObject(parent), sink_(std::move(sink)) {}

NetworkOutputs::~NetworkOutputs() = default;

std::string NetworkOutputs::Apply(const NetworkSettings& n) {
  applied_ = n;
  tcp_.reset();
  udp_.reset();
  emit clientsChanged(0);
  std::string problem;
  if (n.tcp) {
    QHostAddress a(QHostAddress::Any);
    if (!n.tcpAddress.empty()) {
      std::string why;
      const std::optional<UdpDestination> d = ResolveDestination({n.tcpAddress, n.tcpPort}, why);
      if (!d) return "Adresse d'écoute TCP inconnue : « " + n.tcpAddress + " »";
      a = d->address;
    }
    auto server = std::make_unique<TcpServerOutput>(a, n.tcpPort, sink_);
    server->SetMaxBehind(static_cast<std::size_t>(n.tcpMaxBehindKiB) * 1024);
    if (server->Listen()) {
      connect(server.get(), &TcpServerOutput::clientsChanged, this, &NetworkOutputs::clientsChanged);
      tcp_ = std::move(server);
    } else {
      problem = server->ErrorText();
    }
  }
  if (n.udp && !n.udpDestinations.empty()) {
    std::vector<UdpDestination> ds;
    for (const NetEndpoint& e : n.udpDestinations) {
      std::string why;
      std::optional<UdpDestination> d = ResolveDestination(e, why);
      if (!d) return problem.empty() ? why : problem;
      ds.push_back(std::move(*d));
    }
    auto udp = std::make_unique<UdpOutput>(std::move(ds), n.udpTtl, sink_);
    if (udp->Open()) {
      udp_ = std::move(udp);
    } else if (problem.empty()) {
      problem = udp->ErrorText();
    }
  }
  return problem;
}

bool NetworkOutputs::write(std::string_view bytes) {
  if (tcp_) tcp_->write(bytes);
  if (udp_) udp_->write(bytes);
  return true;
}

void NetworkOutputs::beginGroup() {
  if (tcp_) tcp_->beginGroup();
  if (udp_) udp_->beginGroup();
}

void NetworkOutputs::endGroup() {
  if (tcp_) tcp_->endGroup();
  if (udp_) udp_->endGroup();
}

}  // namespace ventrel
