#pragma once
// A program started in a folder of its own, with a port that takes every write and
// dialogs whose answers the test gives in advance.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "program/program.h"
#include "files/temp_folder.h"

namespace ventrel {
// A field in test messages: its name in the table ("TrueWindSpeedInput").
inline std::ostream& operator<<(std::ostream& os, Field f) { return os << IdentifierOf(f); }
}  // namespace ventrel

namespace ventrel::testing {

// A small polar: two wind speeds, three angles.
inline constexpr const char* kSmallPolar = "TWA\\TWS\t6\t12\n40\t4.0\t5.0\n90\t5.5\t6.5\n150\t5.0\t6.8\n";

class TakeAllPort final : public NmeaPort {
 public:
  bool OpenPort(const std::string&, std::uint32_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return true; }
  void ClosePort(const std::string&) override {}
};

using Answer = std::optional<std::filesystem::path>;

// Answers queued by the test; a dialog with no answer left is cancelled.
class ScriptedDialogs final : public ProgramDialogs {
 public:
  Answer OpenFile(const FileDialog& d) override {
    opened.push_back(d);
    return Next(openAnswers);
  }
  Answer SaveFile(const FileDialog& d) override {
    saved.push_back(d);
    return Next(saveAnswers);
  }
  Answer SelectFolder(const std::string& title, const std::filesystem::path& start) override {
    folderTitles.push_back(title);
    folderStarts.push_back(start);
    return Next(folderAnswers);
  }
  bool AskYesNo(const std::string& question) override {
    questions.push_back(question);
    return yes;
  }
  void Message(const std::string& text) override { messages.push_back(text); }

  std::deque<Answer> openAnswers, saveAnswers, folderAnswers;
  bool yes = false;
  std::vector<FileDialog> opened, saved;
  std::vector<std::string> folderTitles, questions, messages;
  std::vector<std::filesystem::path> folderStarts;

 private:
  static Answer Next(std::deque<Answer>& q) {
    if (q.empty()) return std::nullopt;
    Answer a = q.front();
    q.pop_front();
    return a;
  }
};

// The program folder holds the default polar and, when `shipped`, the shipped default
// configuration; the program is started there unless the test starts it itself.
class ProgramRig {
 public:
  enum Start { kShipped, kBare, kNotStarted };
  explicit ProgramRig(Start start = kShipped) {
    std::filesystem::create_directories(appli / "DefPolars");
    std::filesystem::copy_file(std::filesystem::path(VENTREL_DATA_DIR) / "DefPolars" / "First31_7.pol",
                               appli / "DefPolars" / "First31_7.pol");
    if (start == kShipped) {
      std::filesystem::copy_file(std::filesystem::path(VENTREL_DATA_DIR) / "Ventrel.ini", appli / "Ventrel.ini");
    }
    if (start != kNotStarted) program.Start(appli, "");
  }
  std::string Text(Field f) const { return program.panel()[f].text(); }
  void Set(Field f, const std::string& text) { program.panel()[f].setText(text); }
  void Load(const std::string& ini) { program.LoadConfig(IniFile(ini)); }
  // A file of the test folder, written.
  std::filesystem::path Write(const std::string& name, const std::string& text) {
    WriteText(root / name, text);
    return root / name;
  }
  // "Ouvrir" answered with `file`.
  void Open(const std::filesystem::path& file) {
    dialogs.openAnswers = {file};
    program.Ouvrir2Click();
  }
  // "Enregistrer" answered with `name` in the test folder; what was written.
  IniFile SaveAs(const std::string& name) {
    dialogs.saveAnswers = {root / name};
    program.Enregistrer2Click();
    IniFile saved;
    IniFile::Load(root / name, &saved);
    return saved;
  }

  TempFolder root;
  std::filesystem::path appli = root / "app";
  TakeAllPort port;
  ScriptedDialogs dialogs;
  VentrelProgram program{port, [] { return LocalTime{2024, 6, 1, 12, 0, 0, 0}; }, dialogs};
};

// Tests of a program started with the shipped default configuration.
class Shipped : public ::testing::Test, public ProgramRig {};

}  // namespace ventrel::testing
