#pragma once
// UDP destinations as an output of the sentence cycle: each group goes to every
// destination "HOST:PORT" (unicast, broadcast or multicast) as datagrams of whole
// sentences, packed in order up to kMaxDatagram bytes: the three groups of a
// cycle are 300 to 1,300 bytes, so a group is one datagram or two, far fewer than
// one a sentence, and 1,400 bytes with the IP and UDP headers stay within the
// 1,500 bytes of an Ethernet frame, so a datagram is never fragmented.
//
// The IPv4 socket has the broadcast flag set when a destination is a broadcast
// address (255.255.255.255 or the broadcast address of one of the machine's
// networks); the multicast sockets have the TTL given (1 by default: the local
// network only). Sending never waits: a datagram the system refuses is lost as
// any datagram may be, and told once until sending works again. write() never
// refuses. Main thread only.

#include <QHostAddress>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/net_endpoint.h"
#include "nmea/output.h"

class QUdpSocket;

namespace ventrel {

enum class UdpKind { Unicast, Broadcast, Multicast };

struct UdpDestination {
  QHostAddress address;
  quint16 port = 0;
  std::string text;  // as the user wrote it, for messages
  UdpKind kind = UdpKind::Unicast;
};

// Unicast, broadcast (the limited broadcast address or the broadcast address of
// an interface of the machine) or multicast.
UdpKind KindOf(const QHostAddress& a);

// The address of a destination: a literal address, or the first address of the
// name (IPv4 first); nothing and a French message in `error` when it is unknown.
std::optional<UdpDestination> ResolveDestination(const NetEndpoint& e, std::string& error);

// Whole sentences packed in order into datagrams of at most `max` bytes (a sentence
// longer than that alone in its own, which the cycle never makes: 82 bytes at most).
std::vector<std::string> PackDatagrams(const std::vector<std::string>& sentences, std::size_t max);

class UdpOutput final : public NmeaOutput {
 public:
  static constexpr std::size_t kMaxDatagram = 1400;

  UdpOutput(std::vector<UdpDestination> destinations, int multicastTtl,
            std::function<void(const std::string&)> sink);
  ~UdpOutput() override;

  // Makes the sockets and sets their options; false with ErrorText() when the
  // system refuses.
  bool Open();
  const std::string& ErrorText() const { return error_; }
  // The socket of IPv4 or IPv6 destinations (null before Open or without such a
  // destination), for the checks of its options.
  QUdpSocket* Socket(bool v6) const { return (v6 ? v6_ : v4_).get(); }
  const std::vector<UdpDestination>& Destinations() const { return destinations_; }
  // The datagrams of the last group (sent at its end).
  const std::vector<std::string>& Pending() const { return pending_; }
  // Sending is switched off: datagrams are built and dropped (the checks of a
  // destination that must not receive anything).
  void SetSending(bool on) { sending_ = on; }
  std::uint64_t DatagramsSent() const { return sent_; }

  bool write(std::string_view bytes) override;
  std::string name() const override;
  void beginGroup() override;
  void endGroup() override;

 private:
  void Send();

  std::vector<UdpDestination> destinations_;
  int ttl_;
  std::function<void(const std::string&)> sink_;
  std::unique_ptr<QUdpSocket> v4_, v6_;
  std::vector<std::string> sentences_;  // of the group being written
  std::vector<std::string> pending_;
  bool inGroup_ = false;
  bool sending_ = true;
  std::vector<bool> failing_;  // per destination: a failure told, not yet over
  std::uint64_t sent_ = 0;
  std::string error_;
};

}  // namespace ventrel
