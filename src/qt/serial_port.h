#pragma once
// The serial ports of the NMEA output: open a port with its line settings, write
// one text, close a port.
//
// Each port name has one entry: the ten names of Pcom first, then any other device
// path opened or closed by name. An entry is never opened, open, failed (its last
// open failed) or closed. idx_com is the entry of the last open attempt (successful
// or not) or close, and every write goes to it: opening a second port leaves the
// first one open, a failed attempt on another port stops the writes, and after a
// close the writes fail until a port is opened again.
//
// Writes never wait for the line: Write_Com hands the bytes to the port and returns;
// they leave while the event loop runs (at 4800 baud a group of sentences takes up to
// a second). Write_Com is false when the bytes are refused (no open port, backlog
// full, fewer bytes accepted) or when the port reported an error since the last
// write; writeFailed tells at once. A port whose device fails (a cable pulled, the
// far end of a pseudo-terminal gone) is released, so that choosing it again opens it
// afresh; until then it is lost, and Reopen tries its device again with the same
// line settings (a USB adapter plugged back).
//
// Messages for the user ("Erreur dans GetCommState", ...) go to the sink given by the
// owner, which shows them in a message box. Main thread only.

#include <QObject>
#include <QSerialPort>

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "qt/port_names.h"

namespace ventrel {

using MessageSink = std::function<void(const std::string&)>;

enum class HandleState { NeverOpened, Open, Failed, Closed };

// The line settings of a port as read from it and applied to it. Parity and stop
// bits carry the codes of the serial settings record of Windows: parity 0 none,
// 1 odd, 2 even, 3 mark, 4 space; stop bits 0 one, 1 one and a half, 2 two.
struct ComDCB {
  std::uint32_t BaudRate = 0;  // bits per second
  std::uint8_t Parity = 0;
  std::uint8_t ByteSize = 8;  // data bits, 5 to 8
  std::uint8_t StopBits = 0;
  // Kept as the port reported it before the open.
  QSerialPort::FlowControl FlowControl = QSerialPort::NoFlowControl;
};

class SerialPorts : public QObject {
  Q_OBJECT

 public:
  // Bytes handed to a port and not yet on the line beyond which writes are refused
  // (many cycles' worth of sentences: reached only when the line does not move).
  static constexpr std::size_t kMaxPending = 16384;
  // Size of the write buffer; a text of buffwrite's size or more is refused.
  static constexpr std::size_t kBuffSize = 2048;

  explicit SerialPorts(MessageSink sink, PortOverrides overrides = {}, QObject* parent = nullptr);
  ~SerialPorts() override;
  SerialPorts(const SerialPorts&) = delete;
  SerialPorts& operator=(const SerialPorts&) = delete;

  // The devices of COM1..COM10 on systems other than Windows; read at each open.
  void set_overrides(PortOverrides overrides);
  const PortOverrides& overrides() const { return overrides_; }

  // The entry of a port name ("COMn" counts as "\\.\COMn"); none when the name was
  // never opened nor closed and is not one of Pcom.
  std::optional<std::size_t> portIndex(std::string_view name) const;

  // Opens the port exclusively and applies speed (bits per second), parity code, data
  // bits and stop-bit code, leaving its flow control as found. False, without a
  // message, when the port does not exist or is in use (also in this program: the
  // earlier handle is then released and the entry is failed). A port whose settings
  // cannot be applied stays open, with "Erreur dans SetCommState", and gives false.
  bool OpenPort(std::string_view name, std::uint32_t speed, std::uint8_t parity,
               std::uint8_t data_bits, std::uint8_t stop_bits);
  // Why the last OpenPort gave false, in French ("" after a successful one), to
  // follow "the port cannot be opened: ".
  const std::string& open_failure() const { return open_failure_; }
  // The port of idx_com was open and its device failed since: it was released by
  // an error, and neither closed nor opened again since.
  bool lost() const;
  // Opens the device of a lost port of idx_com again, with the line settings it had;
  // true when it is open again (also when it was not lost). While the device cannot
  // be opened the port stays lost and nothing is said.
  bool Reopen();
  // Closes the port; "Handle invalide en fermeture " when its last open failed;
  // nothing for a port never opened or already closed.
  void ClosePort(std::string_view name);
  // Hands text to the port of idx_com; true when every character was accepted.
  // An empty text writes nothing and is true.
  bool Write_Com(std::string_view text);
  // Hands buffwrite[0 .. n) to the port of idx_com; the count accepted, also kept
  // in PnbWrit and Tot_nbwrit.
  std::uint32_t Write_Com_Data(std::uint32_t n);

  std::size_t idx_com() const { return idx_com_; }
  std::uint32_t PnbWrit() const { return PnbWrit_; }
  std::uint32_t Tot_nbwrit() const { return Tot_nbwrit_; }

  std::size_t entry_count() const { return tab_hcom.size(); }
  const std::string& name(std::size_t idx) const { return tab_hcom.at(idx).name; }
  HandleState state(std::size_t idx) const { return tab_hcom.at(idx).state; }
  const ComDCB& comDCB(std::size_t idx) const { return tab_hcom.at(idx).comDCB; }
  // The open port of an entry, for inspection; null when it holds none.
  const QSerialPort* port(std::size_t idx) const { return tab_hcom.at(idx).hcom; }

  // Who reads what the far end sends on the port of idx_com: called when it has
  // bytes to read; the receiver reads what it wants, the rest waits in the port's
  // bounded buffer (kReadBound) and the system's. Without a receiver, and on the
  // other ports, those bytes are thrown away.
  void SetReceiver(std::function<void(QIODevice& port)> receiver) { receiver_ = std::move(receiver); }
  // Bytes of a port's read buffer.
  static constexpr qint64 kReadBound = 4096;

  // True when the port of idx_com is open and can take bytes.
  bool can_write() const;
  // Bytes handed to the port of idx_com that have not left yet.
  std::int64_t pending_bytes() const;

 signals:
  // The port of idx_com reported an error: the bytes handed to it may not all leave.
  void writeFailed();
  // The port of idx_com has passed every byte handed to it to the line.
  void allWritten();

 private:
  struct Entry {
    explicit Entry(std::string n) : name(std::move(n)) {}
    std::string name;
    HandleState state = HandleState::NeverOpened;
    QSerialPort* hcom = nullptr;  // owned (child of this object); open while set
    ComDCB comDCB;
    bool error_since_write = false;
  };

  std::size_t entry(std::string_view name);
  // Opens `device` with the flow control of dcb; null when it cannot be opened, the
  // reason in open_failure_.
  std::unique_ptr<QSerialPort> open_device(const std::string& device, const ComDCB& dcb);
  // Makes p (open, with its settings applied) the port of e.
  void attach(Entry& e, std::unique_ptr<QSerialPort> port, const ComDCB& dcb);
  void release(Entry& e);
  void on_error(QSerialPort* port, QSerialPort::SerialPortError error);
  void on_bytes_written(QSerialPort* port);
  Entry* entry_of(const QSerialPort* port);
  void message(const std::string& text) const;

  MessageSink sink_;
  std::function<void(QIODevice&)> receiver_;
  PortOverrides overrides_;
  std::deque<Entry> tab_hcom;  // a deque: entries keep their place as others are added
  std::size_t idx_com_ = 0;
  std::array<char, kBuffSize> buffwrite{};
  std::uint32_t PnbWrit_ = 0;
  std::uint32_t Tot_nbwrit_ = 0;
  std::string open_failure_;
};

// The serial ports the system detects, as device paths (system locations).
std::vector<std::string> detected_ports();
// The port list: the ten Pcom names, then the detected ports none of them opens.
std::vector<std::string> port_list(const PortOverrides& overrides);

}  // namespace ventrel
