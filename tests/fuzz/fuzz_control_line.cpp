// Fuzz target: a line sent to the live control port, answered with a boat that
// accepts or refuses by turns.
//
// The answer is always one line of valid JSON (UTF-8 included), an object whose
// first member is "ok"; a line that is not a JSON object plays nothing; no
// command reaches a file (the polar); an object read is written back by the
// writer and reads again to the same members.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <variant>

#include "fuzz_check.h"
#include "scenario/control_protocol.h"
#include "scenario/json_line.h"

namespace {

using namespace ventrel;

// A strict reading of any JSON value (objects and arrays nested), its strings in valid UTF-8.
class Validator {
 public:
  explicit Validator(std::string_view s) : s_(s) {}
  bool Whole() {
    if (!Value(0)) return false;
    Blanks();
    return i_ == s_.size();
  }

 private:
  bool More() const { return i_ < s_.size(); }
  void Blanks() {
    while (More() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
  }
  bool Eat(char c) {
    Blanks();
    if (!More() || s_[i_] != c) return false;
    ++i_;
    return true;
  }
  bool Value(int depth) {
    if (depth > 8) return false;
    Blanks();
    if (!More()) return false;
    const char c = s_[i_];
    if (c == '{') return Members(depth);
    if (c == '[') return Items(depth);
    if (c == '"') return String();
    if (c == '-' || (c >= '0' && c <= '9')) {
      std::string scrap = "{\"n\":";
      std::size_t j = i_;
      while (j < s_.size() && std::string_view("+-.eE0123456789").find(s_[j]) != std::string_view::npos) ++j;
      scrap.append(s_.substr(i_, j - i_)).append("}");
      i_ = j;
      return std::holds_alternative<JsonObject>(ReadJsonObjectLine(scrap));
    }
    for (std::string_view w : {"true", "false", "null"}) {
      if (s_.substr(i_, w.size()) == w) {
        i_ += w.size();
        return true;
      }
    }
    return false;
  }
  bool Members(int depth) {
    ++i_;
    if (Eat('}')) return true;
    do {
      Blanks();
      if (!More() || s_[i_] != '"' || !String() || !Eat(':') || !Value(depth + 1)) return false;
    } while (Eat(','));
    return Eat('}');
  }
  bool Items(int depth) {
    ++i_;
    if (Eat(']')) return true;
    do {
      if (!Value(depth + 1)) return false;
    } while (Eat(','));
    return Eat(']');
  }
  // The reader of the control port checks escapes and UTF-8 the same way.
  bool String() {
    const std::size_t start = i_;
    ++i_;
    while (More() && s_[i_] != '"') i_ += s_[i_] == '\\' ? 2 : 1;
    if (!More()) return false;
    ++i_;
    const std::string scrap = "{\"s\":" + std::string(s_.substr(start, i_ - start)) + "}";
    return std::holds_alternative<JsonObject>(ReadJsonObjectLine(scrap));
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

std::string Rewritten(const JsonObject& o) {
  JsonObjectWriter w;
  for (const JsonMember& m : o.members) {
    switch (m.value.kind) {
      case JsonKind::string: w.String(m.key, m.value.text); break;
      case JsonKind::null: w.Null(m.key); break;
      case JsonKind::array: {
        std::string a = "[";
        for (const JsonScalar& item : m.value.items) {
          if (a.size() > 1) a += ',';
          a += item.kind == JsonKind::string ? JsonQuoted(item.text) : item.text;
        }
        w.Raw(m.key, a + "]");
        break;
      }
      default: w.Raw(m.key, m.value.text); break;
    }
  }
  return w.Text();
}

bool SameMembers(const JsonObject& a, const JsonObject& b) {
  if (a.members.size() != b.members.size()) return false;
  for (std::size_t k = 0; k < a.members.size(); ++k) {
    const JsonValue& x = a.members[k].value;
    const JsonValue& y = b.members[k].value;
    if (a.members[k].key != b.members[k].key || x.kind != y.kind || x.text != y.text ||
        x.items.size() != y.items.size()) {
      return false;
    }
    for (std::size_t i = 0; i < x.items.size(); ++i) {
      if (x.items[i].kind != y.items[i].kind || x.items[i].text != y.items[i].text) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  static int turn = 0;
  int played = 0;
  BoatReadout readout;
  readout.navDestination = "VP \"\xC3\xA9\"\n";
  readout.headingTrue = std::numeric_limits<long double>::quiet_NaN();
  const ControlTarget target{[&](const BoatEvent& e) {
                               ++played;
                               FUZZ_CHECK(!std::holds_alternative<PolarEvent>(e), "a polar reached the boat");
                               return (++turn % 2) != 0 ? CommandResult{true, ""}
                                                        : CommandResult{false, "refusé \"\x01\" \xC3"};
                             },
                             [&] { return readout; }};
  const std::string answer = AnswerControlLine(line, target);

  FUZZ_CHECK(answer.find('\n') == std::string::npos && answer.find('\r') == std::string::npos,
             "answer on more than one line: " + answer);
  FUZZ_CHECK(answer.rfind("{\"ok\":true", 0) == 0 || answer.rfind("{\"ok\":false", 0) == 0,
             "answer without \"ok\" first: " + answer);
  FUZZ_CHECK(Validator(answer).Whole(), "answer is not valid JSON: " + answer);
  FUZZ_CHECK(played <= 1, "one line played more than one event");

  const auto read = ReadJsonObjectLine(line);
  if (const auto* e = std::get_if<JsonError>(&read)) {
    FUZZ_CHECK(played == 0, "a line that is no JSON object played an event");
    FUZZ_CHECK(!e->message.empty() && e->column >= 1 && e->column <= size + 1,
               "error without message or column out of the line: " + e->message);
  } else {
    const JsonObject& o = std::get<JsonObject>(read);
    const std::string again = Rewritten(o);
    const auto back = ReadJsonObjectLine(again);
    FUZZ_CHECK(std::holds_alternative<JsonObject>(back) && SameMembers(o, std::get<JsonObject>(back)),
               "object does not read back: " + again);
  }
  return 0;
}
