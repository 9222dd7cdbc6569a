#pragma once
// The port of the sentence cycle on the serial ports: open, close and write go
// to CommUnitA, which hands the bytes to the port without waiting for the line.

#include <string>

#include "serial/serial_port.h"
#include "model/transmission.h"

namespace ventrel {

class SerialNmeaPort final : public NmeaPort {
 public:
  // `com` is not owned and must outlive this object.
  explicit SerialNmeaPort(CommUnitA& com) : com_(com) {}

  bool InitCom(const std::string& name, std::uint32_t speed, std::uint8_t parity, std::uint8_t dataBits,
               std::uint8_t stopBits) override {
    return com_.InitCom(name, speed, parity, dataBits, stopBits);
  }
  void ResetCom(const std::string& name) override { com_.ResetCom(name); }
  bool Write_Com(const std::string& text) override { return com_.Write_Com(text); }

  CommUnitA& com() { return com_; }

 private:
  CommUnitA& com_;
};

}  // namespace ventrel
