#pragma once
// A program started in a folder of its own, with a port that takes every write and
// dialogs whose answers the test gives in advance.

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "config/program.h"
#include "config/temp_folder.h"

namespace ventrel::testing {

// A small polar: two wind speeds, three angles.
inline constexpr const char* kSmallPolar = "TWA\\TWS\t6\t12\n40\t4.0\t5.0\n90\t5.5\t6.5\n150\t5.0\t6.8\n";

class TakeAllPort final : public NmeaPort {
 public:
  bool InitCom(const std::string&, std::uint32_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return true; }
  void ResetCom(const std::string&) override {}
  bool Write_Com(const std::string& text) override {
    written += text;
    return true;
  }
  std::string written;
};

// Answers queued by the test; a dialog with no answer left is cancelled.
class ScriptedDialogs final : public ProgramDialogs {
 public:
  std::optional<std::filesystem::path> OpenFile(const FileDialog& d) override {
    opened.push_back(d);
    return Next(openAnswers);
  }
  std::optional<std::filesystem::path> SaveFile(const FileDialog& d) override {
    saved.push_back(d);
    return Next(saveAnswers);
  }
  std::optional<std::filesystem::path> SelectFolder(const std::string& title,
                                                   const std::filesystem::path& start) override {
    folderTitles.push_back(title);
    folderStarts.push_back(start);
    return Next(folderAnswers);
  }
  bool AskYesNo(const std::string& question) override {
    questions.push_back(question);
    return yes;
  }
  void Message(const std::string& text) override { messages.push_back(text); }

  std::deque<std::optional<std::filesystem::path>> openAnswers, saveAnswers, folderAnswers;
  bool yes = false;
  std::vector<FileDialog> opened, saved;
  std::vector<std::string> folderTitles;
  std::vector<std::filesystem::path> folderStarts;
  std::vector<std::string> questions, messages;

 private:
  static std::optional<std::filesystem::path> Next(std::deque<std::optional<std::filesystem::path>>& q) {
    if (q.empty()) return std::nullopt;
    std::optional<std::filesystem::path> a = q.front();
    q.pop_front();
    return a;
  }
};

struct ProgramRig {
  TempFolder root;
  std::filesystem::path appli = root / "app";
  TakeAllPort port;
  ScriptedDialogs dialogs;
  VentrelProgram program{port, [] { return LocalTime{2024, 6, 1, 12, 0, 0, 0}; }, dialogs};

  ProgramRig() {
    std::filesystem::create_directories(appli / "DefPolars");
    std::filesystem::copy_file(std::filesystem::path(VENTREL_DATA_DIR) / "DefPolars" / "First31_7.pol",
                               appli / "DefPolars" / "First31_7.pol");
  }
  // The shipped default configuration beside the program.
  void ShipDefaultConfiguration() {
    std::filesystem::copy_file(std::filesystem::path(VENTREL_DATA_DIR) / "Ventrel.ini", appli / "Ventrel.ini");
  }
  void Start() { program.Start(appli, ""); }
  // Started with the shipped default configuration.
  void StartShipped() {
    ShipDefaultConfiguration();
    Start();
  }
  std::string Field(const char* name) const { return program.panel()[name].text(); }
};

}  // namespace ventrel::testing
