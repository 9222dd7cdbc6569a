#pragma once
// A command as written by a person, before it is typed: its name and its named
// arguments, each a scalar's text or a list of scalars' texts, with where each was
// written. Scenario files (YAML) and the control port (JSON lines) both read into
// this form; one function turns it into a BoatEvent, with the same checks and the
// same French messages for both.
//
// Numbers are read with "." whatever the locale ("12.5"; "12,5" is refused).

#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "scenario/boat_event.h"

namespace ventrel {

struct FieldPlace {
  int line = 0, column = 0;  // 1-based; 0 when the source has no lines (a control-port line)
};

struct FieldValue {
  std::string text;               // a scalar's text (a JSON string without its quotes, a number as written)
  std::vector<std::string> list;  // the items when `isList`
  bool isList = false;
  bool isNull = false;            // YAML "~" or nothing, JSON null
  FieldPlace place;
};

struct CommandFields {
  std::string name;  // "wind", "tack", ...
  std::map<std::string, FieldValue> args;
  FieldPlace place;  // of the name
};

struct FieldError {
  std::string message;  // French, names the command and the argument
  FieldPlace place;
};

// What a command may reach beyond the boat.
struct CommandScope {
  // The folder that relative polar files are read from; nothing: the polar
  // command is refused (the control port: a client reads and writes no file).
  std::optional<std::filesystem::path> filesFolder;
};

// The event, or why not: an unknown command, an unknown or missing argument, a
// value that is not a number or out of its range (ranges in boat_event.h).
std::variant<BoatEvent, FieldError> EventFromFields(const CommandFields& c, const CommandScope& scope);

// A plain decimal number: an optional sign, digits, an optional "." and digits
// ("-12.5", "7", "0.25"); nothing for anything else ("1e3", "12,5", "", "nan").
std::optional<long double> ReadDecimal(const std::string& text);

}  // namespace ventrel
