#pragma once
// The network outputs of the window, as one output of the sentence cycle: the TCP
// server and the UDP destinations of the configuration's [RESEAU] settings, which
// the user switches on and off while the cycle runs. Apply replaces them; each
// group goes to those in force when it begins. Main thread only.

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "files/config_values.h"
#include "nmea/output.h"
#include "qt/tcp_server_output.h"
#include "qt/udp_output.h"

namespace ventrel {

class NetworkOutputs final : public QObject, public NmeaOutput {
  Q_OBJECT

 public:
  explicit NetworkOutputs(std::function<void(const std::string&)> sink, QObject* parent = nullptr);
  ~NetworkOutputs() override;

  // Stops the outputs in force and starts those of `n`; "" when all started, or the
  // French message of the first that could not (a TCP port taken: "Le port TCP
  // 10110 est déjà utilisé : choisissez-en un autre"), that one staying off.
  std::string Apply(const NetworkSettings& n);
  // Apply when `n` differs from the settings last applied (a configuration opened).
  std::string ApplyIfChanged(const NetworkSettings& n) { return n == applied_ ? std::string() : Apply(n); }
  bool TcpOn() const { return tcp_ != nullptr; }
  // In use when a TCP server or a UDP destination is on.
  bool active() const override { return TcpOn() || UdpOn(); }
  bool UdpOn() const { return udp_ != nullptr; }
  int ClientCount() const { return tcp_ ? tcp_->ClientCount() : 0; }
  // The TCP server in force (null when off), for the steering input of its
  // clients (NmeaInputs::SetTcpServers); Apply replaces it, the input is then
  // started again on the new one.
  TcpServerOutput* TcpServer() const { return tcp_.get(); }
  // Where the server listens ("" when off).
  std::string TcpWhere() const { return tcp_ ? tcp_->Where() : std::string(); }

  bool write(std::string_view bytes) override;
  std::string name() const override { return "réseau"; }
  void beginGroup() override;
  void endGroup() override;

 signals:
  void clientsChanged(int count);

 private:
  std::function<void(const std::string&)> sink_;
  std::unique_ptr<TcpServerOutput> tcp_;
  std::unique_ptr<UdpOutput> udp_;
  NetworkSettings applied_;
};

}  // namespace ventrel
