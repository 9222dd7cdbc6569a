#pragma once
// The serial ports for the sentence cycle: the port chosen in the NMEA panel
// (open, close) and an output of the cycle (write). Everything goes to SerialPorts,
// which hands the bytes to the port without waiting for the line.

#include <string>
#include <string_view>

#include "model/transmission.h"
#include "nmea/output.h"
#include "qt/serial_port.h"

namespace ventrel {

class SerialNmeaPort final : public NmeaPort, public NmeaOutput {
 public:
  // `com` is not owned and must outlive this object.
  explicit SerialNmeaPort(SerialPorts& com) : com_(com) {}

  bool OpenPort(const std::string& name, std::uint32_t speed, std::uint8_t parity, std::uint8_t dataBits,
               std::uint8_t stopBits) override {
    return com_.OpenPort(name, speed, parity, dataBits, stopBits);
  }
  void ClosePort(const std::string& name) override { com_.ClosePort(name); }
  // To the port of the last open or close.
  bool write(std::string_view bytes) override { return com_.Write_Com(bytes); }
  // The name of the port the bytes go to: that of the last open or close.
  std::string name() const override {
    return com_.idx_com() < com_.entry_count() ? com_.name(com_.idx_com()) : std::string();
  }

  SerialPorts& com() { return com_; }

  // Set aside (false): no serial port is open while network outputs are on, so the
  // cycle leaves the serial line out instead of failing on it.
  void setInUse(bool on) { inUse_ = on; }
  bool active() const override { return inUse_; }

 private:
  SerialPorts& com_;
  bool inUse_ = true;
};

}  // namespace ventrel
