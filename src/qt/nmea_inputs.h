#pragma once
// The sources of steering sentences read from outside, owned together: UDP
// listening ports, TCP connections to another program's NMEA output (made again
// every 3 s when refused or dropped), the receive side of the serial port the
// sentences are sent on, and what the clients of our TCP server(s) send.
//
// Each source has its own line reader, and each client of a TCP server its own
// (lines never mix between peers); every steering sentence read goes to the
// callback, in the order read. Counts are kept per source and in total.
//
// A flood never holds up the event loop nor grows memory: each pass of the loop
// reads at most kBytesPerPass bytes of a socket (the rest waits in the system's
// buffers: a TCP sender is held back, UDP datagrams beyond the system's buffer are
// lost), and a reader holds at most one line (NmeaLineReader::kMaxLineBytes).
// Main thread only; nothing here waits.

#include <QIODevice>
#include <QObject>
#include <QPointer>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "files/nmea_source.h"
#include "nmea/nmea_input.h"

class QTcpSocket;
class QTimer;
class QUdpSocket;

namespace ventrel {

class SerialPorts;
class TcpServerOutput;

class NmeaInputs final : public QObject {
  Q_OBJECT

 public:
  using SteeringCallback = std::function<void(const SteeringSentence&)>;
  // Bytes read from one socket or port in one pass of the event loop.
  static constexpr std::int64_t kBytesPerPass = 4096;
  // Wait between two attempts of a TCP connection (and longest wait of one).
  static constexpr int kRetryMs = 3000;

  // `sink` receives the lines for the user (a connection lost, back); it may be empty.
  NmeaInputs(SteeringCallback onSteering, std::function<void(const std::string&)> sink, QObject* parent = nullptr);
  ~NmeaInputs() override;

  // Sentences without checksum used (true) or dropped: for the sources started next.
  void SetAllowMissingChecksum(bool on) { allowMissingChecksum_ = on; }
  // The ports of the sources "serial" and "tcp"; not owned, may be null (or
  // empty). Set before Start.
  void SetSerialPorts(SerialPorts* com);
  void SetTcpServers(const std::vector<TcpServerOutput*>& servers);

  // Stops the sources in force and starts `sources`: "" when all started, or the
  // French message of the first that cannot ("serial" without a serial port, "tcp"
  // without a TCP server, a UDP port taken or an unknown address), none started then.
  // A TCP connection that is refused is not a failure: it is tried again.
  std::string Start(const std::vector<NmeaSource>& sources);
  void Stop();
  bool Running() const { return !sources_.empty(); }

  struct SourceState {
    std::string name;        // as typed: "udp:10111", "tcp://127.0.0.1:10110"
    InputCounts counts;      // since it started
    bool connected = false;  // a TCP connection made; the others: true
    int peers = 0;           // "tcp": the clients that sent something and are still there
  };
  // The sum over the sources since they started.
  InputCounts Counts() const;
  std::vector<SourceState> Sources() const;
  // The port a UDP source listens on (the one the system chose when 0 was asked);
  // 0 for another kind of source or an index out of range.
  quint16 UdpPort(std::size_t index) const;
  // The most bytes a line reader holds now.
  std::size_t MostHeld() const;

 private:
  // A byte stream and its reader: the serial port, a TCP connection, a client.
  struct Stream {
    QPointer<QIODevice> device;
    NmeaLineReader reader;
    bool scheduled = false;  // another pass asked for
  };
  struct Source {
    NmeaSource what;
    std::string name;
    Stream stream;          // serial, UDP (its reader only), TCP connection
    InputCounts ended;      // of readers no longer in use (clients gone, connections ended)
    QUdpSocket* udp = nullptr;
    std::string lastSender;  // UDP: the sender of the last datagram
    QTcpSocket* tcp = nullptr;
    QTimer* retry = nullptr;
    bool connected = false;
    bool troubleTold = false;  // a refusal or loss told, until the connection is back
    bool udpScheduled = false;
    std::map<QTcpSocket*, std::unique_ptr<Stream>> peers;  // "tcp": one a client
  };

  std::string StartOne(Source& s);
  void Connect(Source& s);
  void Trouble(Source& s, const std::string& what);
  // Reads at most kBytesPerPass of the stream's device; when bytes are left, asks
  // for another pass, which finds the stream again with `locate` (null: gone).
  void Pass(Stream& st, const std::function<Stream*()>& locate);
  void ReadDatagrams(Source& s);
  // Hands the sentences to the callback; false when the callback stopped the sources.
  bool Deliver(const std::vector<SteeringSentence>& sentences);
  void ClientBytes(Source& s, QTcpSocket* client);
  void ClientGone(Source& s, QTcpSocket* client);
  void Tell(const std::string& line) const;
  NmeaLineReader NewReader() const { return NmeaLineReader(allowMissingChecksum_); }

  SteeringCallback onSteering_;
  std::function<void(const std::string&)> sink_;
  bool allowMissingChecksum_ = false;
  QPointer<SerialPorts> com_;
  std::vector<QPointer<TcpServerOutput>> servers_;
  std::vector<std::unique_ptr<Source>> sources_;
  std::uint64_t generation_ = 0;  // changes at each Stop: passes asked before it do nothing
  std::vector<char> buffer_;      // one read or datagram
};

// "Entrée NMEA : 12 lignes lues, 10 phrases de pilotage utilisées, 2 rejetées"
std::string InputCountsLine(const InputCounts& c);

}  // namespace ventrel
