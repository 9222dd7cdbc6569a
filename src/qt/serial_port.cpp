#include "qt/serial_port.h"

#include <QSerialPortInfo>
#include <QString>

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace ventrel {
namespace {

// Reads into dcb what this layer keeps of the device's settings as found, before the
// open changes them: the flow control. False when the device opens but its settings
// cannot be read; a device that does not open is left to the open itself.
// On Windows the port's own open applies its flow control; none is kept (none, the
// usual state of a port there).
bool read_as_found([[maybe_unused]] const std::string& device, [[maybe_unused]] ComDCB& dcb) {
#ifdef _WIN32
  return true;
#else
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return true;
  }
  termios tio{};
  const bool read = ::tcgetattr(fd, &tio) == 0;
  ::close(fd);
  if (read) {
    if ((tio.c_cflag & CRTSCTS) != 0) {
      dcb.FlowControl = QSerialPort::HardwareControl;
    } else if ((tio.c_iflag & (IXON | IXOFF)) != 0) {
      dcb.FlowControl = QSerialPort::SoftwareControl;
    } else {
      dcb.FlowControl = QSerialPort::NoFlowControl;
    }
  }
  return read;
#endif
}

std::optional<QSerialPort::Parity> parity_of(std::uint8_t code) {
  switch (code) {
    case 0: return QSerialPort::NoParity;
    case 1: return QSerialPort::OddParity;
    case 2: return QSerialPort::EvenParity;
    case 3: return QSerialPort::MarkParity;
    case 4: return QSerialPort::SpaceParity;
    default: return std::nullopt;
  }
}

std::optional<QSerialPort::StopBits> stop_bits_of(std::uint8_t code) {
  switch (code) {
    case 0: return QSerialPort::OneStop;
    case 1: return QSerialPort::OneAndHalfStop;
    case 2: return QSerialPort::TwoStop;
    default: return std::nullopt;
  }
}

std::optional<QSerialPort::DataBits> data_bits_of(std::uint8_t bits) {
  switch (bits) {
    case 5: return QSerialPort::Data5;
    case 6: return QSerialPort::Data6;
    case 7: return QSerialPort::Data7;
    case 8: return QSerialPort::Data8;
    default: return std::nullopt;
  }
}

// Applies the four line settings of dcb to an open port; false when one of them is
// not a valid code or the port refuses it.
bool apply(QSerialPort& port, const ComDCB& dcb) {
  const auto parity = parity_of(dcb.Parity);
  const auto stop_bits = stop_bits_of(dcb.StopBits);
  const auto data_bits = data_bits_of(dcb.ByteSize);
  if (!parity || !stop_bits || !data_bits || dcb.BaudRate == 0 ||
      dcb.BaudRate > static_cast<std::uint32_t>(std::numeric_limits<qint32>::max())) {
    return false;
  }
  return port.setBaudRate(static_cast<qint32>(dcb.BaudRate)) && port.setDataBits(*data_bits) &&
         port.setParity(*parity) && port.setStopBits(*stop_bits);
}

// Errors after which the device is of no more use: it is released.
bool is_fatal(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
    case QSerialPort::UnknownError:
      return true;
    default:
      return false;
  }
}

// Why a device did not open, in French.
std::string open_error_text(QSerialPort::SerialPortError error, const std::string& device,
                            const std::string& detail) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      return "le périphérique " + device + " n'existe pas (adaptateur débranché ou autre nom)";
    case QSerialPort::PermissionError:
      return "accès refusé à " + device +
             " : un autre programme l'occupe, ou le droit d'y écrire manque (sous Linux, être membre du "
             "groupe dialout)";
    case QSerialPort::OpenError:
      return device + " est déjà ouvert";
    default:
      return "ouverture de " + device + " impossible (" + detail + ")";
  }
}

}  // namespace

SerialPorts::SerialPorts(MessageSink sink, PortOverrides overrides, QObject* parent)
    : QObject(parent), sink_(std::move(sink)), overrides_(std::move(overrides)) {
  for (std::string_view name : Pcom) {
    tab_hcom.emplace_back(std::string(name));
  }
}

SerialPorts::~SerialPorts() {
  for (Entry& e : tab_hcom) {
    release(e);
  }
}

void SerialPorts::set_overrides(PortOverrides overrides) { overrides_ = std::move(overrides); }

std::optional<std::size_t> SerialPorts::portIndex(std::string_view name) const {
  const std::string canonical = canonical_port_name(name);
  const auto it = std::find_if(tab_hcom.begin(), tab_hcom.end(),
                               [&](const Entry& e) { return e.name == canonical; });
  if (it == tab_hcom.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(it - tab_hcom.begin());
}

std::size_t SerialPorts::entry(std::string_view name) {
  if (const auto idx = portIndex(name)) {
    return *idx;
  }
  tab_hcom.emplace_back(canonical_port_name(name));
  return tab_hcom.size() - 1;
}

bool SerialPorts::OpenPort(std::string_view name, std::uint32_t speed, std::uint8_t parity,
                        std::uint8_t data_bits, std::uint8_t stop_bits) {
  idx_com_ = entry(name);
  const std::size_t idx = idx_com_;
  const auto device = device_for(tab_hcom[idx].name, overrides_);
  open_failure_.clear();

  ComDCB dcb = tab_hcom[idx].comDCB;
  bool read = true;
  std::unique_ptr<QSerialPort> port;
  if (device) {
    read = read_as_found(*device, dcb);
    port = open_device(*device, dcb);
  } else {
    open_failure_ = "aucun périphérique ne correspond à ce nom sur cette machine";
  }
  // A port open here a second time fails like one open elsewhere; its earlier
  // handle is released rather than kept out of reach until the program ends.
  release(tab_hcom[idx]);
  if (!port) {
    tab_hcom[idx].state = HandleState::Failed;
    return false;
  }

  dcb.BaudRate = speed;
  dcb.Parity = parity;
  dcb.ByteSize = data_bits;
  dcb.StopBits = stop_bits;
  const bool applied = apply(*port, dcb);
  port->clearError();
  attach(tab_hcom[idx], std::move(port), dcb);

  if (!read) {
    message("Erreur dans GetCommState");
  }
  if (!applied) {
    message("Erreur dans SetCommState");
    open_failure_ = "il refuse la vitesse ou les réglages de ligne demandés";
    return false;
  }
  return true;
}

std::unique_ptr<QSerialPort> SerialPorts::open_device(const std::string& device, const ComDCB& dcb) {
  auto port = std::make_unique<QSerialPort>(QString::fromStdString(device));
  port->setFlowControl(dcb.FlowControl);
  if (port->open(QIODevice::ReadWrite)) {
    return port;
  }
  open_failure_ = open_error_text(port->error(), device, port->errorString().toStdString());
  return nullptr;
}

void SerialPorts::attach(Entry& e, std::unique_ptr<QSerialPort> port, const ComDCB& dcb) {
  QSerialPort* p = port.release();
  p->setParent(this);
  connect(p, &QSerialPort::errorOccurred, this,
          [this, p](QSerialPort::SerialPortError error) { on_error(p, error); });
  connect(p, &QSerialPort::bytesWritten, this, [this, p] { on_bytes_written(p); });
  // What the far end sends goes to the receiver while this is the port of
  // idx_com; otherwise it is dropped.
  p->setReadBufferSize(kReadBound);
  connect(p, &QSerialPort::readyRead, this, [this, p] {
    if (receiver_ && tab_hcom[idx_com_].hcom == p) {
      receiver_(*p);
    } else {
      p->readAll();
    }
  });
  e.hcom = p;
  e.state = HandleState::Open;
  e.comDCB = dcb;
  e.error_since_write = false;
}

bool SerialPorts::lost() const {
  const Entry& e = tab_hcom[idx_com_];
  return e.state == HandleState::Open && e.hcom == nullptr;
}

bool SerialPorts::Reopen() {
  if (!lost()) {
    return can_write();
  }
  Entry& e = tab_hcom[idx_com_];
  const auto device = device_for(e.name, overrides_);
  if (!device) {
    return false;
  }
  // The flow control kept from the first open, not the new device's.
  std::unique_ptr<QSerialPort> port = open_device(*device, e.comDCB);
  if (!port || !apply(*port, e.comDCB)) {
    return false;
  }
  port->clearError();
  attach(e, std::move(port), e.comDCB);
  return true;
}

void SerialPorts::ClosePort(std::string_view name) {
  idx_com_ = entry(name);
  Entry& e = tab_hcom[idx_com_];
  switch (e.state) {
    case HandleState::Open:
      release(e);
      e.state = HandleState::Closed;
      break;
    case HandleState::Failed:
      message("Handle invalide en fermeture ");
      break;
    case HandleState::NeverOpened:
    case HandleState::Closed:
      break;
  }
}

bool SerialPorts::Write_Com(std::string_view text) {
  const std::size_t n = text.size();
  if (n >= kBuffSize) {
    PnbWrit_ = Tot_nbwrit_ = 0;
    return false;
  }
  std::copy(text.begin(), text.end(), buffwrite.begin());
  return Write_Com_Data(static_cast<std::uint32_t>(n)) == n;
}

std::uint32_t SerialPorts::Write_Com_Data(std::uint32_t n) {
  std::uint32_t count = 0;
  if (n > 0 && n <= kBuffSize) {
    Entry& e = tab_hcom[idx_com_];
    if (e.error_since_write) {
      e.error_since_write = false;
    } else if (can_write() && static_cast<std::size_t>(e.hcom->bytesToWrite()) + n <= kMaxPending) {
      const qint64 written = e.hcom->write(buffwrite.data(), n);
      count = written > 0 ? static_cast<std::uint32_t>(written) : 0;
    }
  }
  PnbWrit_ = count;
  Tot_nbwrit_ = count;
  return count;
}

bool SerialPorts::can_write() const {
  const Entry& e = tab_hcom[idx_com_];
  return e.state == HandleState::Open && e.hcom != nullptr && e.hcom->isOpen();
}

std::int64_t SerialPorts::pending_bytes() const {
  const Entry& e = tab_hcom[idx_com_];
  return e.hcom != nullptr && e.hcom->isOpen() ? e.hcom->bytesToWrite() : 0;
}

void SerialPorts::release(Entry& e) {
  QSerialPort* p = std::exchange(e.hcom, nullptr);
  if (p == nullptr) {
    return;
  }
  disconnect(p, nullptr, this, nullptr);
  disconnect(p, &QSerialPort::readyRead, nullptr, nullptr);
  if (p->isOpen()) {
    p->flush();
    p->close();
  }
  // It may be releasing itself from one of its own signals.
  p->deleteLater();
}

SerialPorts::Entry* SerialPorts::entry_of(const QSerialPort* port) {
  const auto it = std::find_if(tab_hcom.begin(), tab_hcom.end(),
                               [port](const Entry& e) { return e.hcom == port; });
  return it == tab_hcom.end() ? nullptr : &*it;
}

void SerialPorts::on_error(QSerialPort* port, QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError) {
    return;
  }
  Entry* e = entry_of(port);
  if (e == nullptr) {
    return;
  }
  e->error_since_write = true;
  const bool current = e == &tab_hcom[idx_com_];
  if (is_fatal(error)) {
    release(*e);
  }
  if (current) {
    emit writeFailed();
  }
}

void SerialPorts::on_bytes_written(QSerialPort* port) {
  const Entry& e = tab_hcom[idx_com_];
  if (e.hcom == port && port->bytesToWrite() == 0) {
    emit allWritten();
  }
}

void SerialPorts::message(const std::string& text) const {
  if (sink_) {
    sink_(text);
  }
}

std::vector<std::string> detected_ports() {
  std::vector<std::string> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    ports.push_back(info.systemLocation().toStdString());
  }
  return ports;
}

std::vector<std::string> port_list(const PortOverrides& overrides) {
  return build_port_list(detected_ports(), overrides);
}

}  // namespace ventrel
