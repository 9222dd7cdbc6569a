#pragma once
// The program run without a user (the headless runner, the core-only day driver):
// a port that needs no opening, and dialogs that ask nothing.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "model/transmission.h"
#include "program/program.h"

namespace ventrel {

// The port of a run without a serial port: standard output needs no opening, and
// "stdout" in the port list opens at once.
class PortOpenAtOnce final : public NmeaPort {
 public:
  bool OpenPort(const std::string&, std::uint32_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return true; }
  void ClosePort(const std::string&) override {}
};

// No question is asked (every answer is "no": the sibling polars are not offered),
// no file is chosen, messages go to `err`, one a line.
class UnattendedDialogs final : public ProgramDialogs {
 public:
  explicit UnattendedDialogs(std::ostream& err) : err_(err) {}
  bool AskYesNo(const std::string&) override { return false; }
  std::optional<std::filesystem::path> OpenFile(const FileDialog&) override { return std::nullopt; }
  std::optional<std::filesystem::path> SaveFile(const FileDialog&) override { return std::nullopt; }
  std::optional<std::filesystem::path> SelectFolder(const std::string&, const std::filesystem::path&) override {
    return std::nullopt;
  }
  void Message(const std::string& text) override { err_ << text << "\n"; }

 private:
  std::ostream& err_;
};

}  // namespace ventrel
