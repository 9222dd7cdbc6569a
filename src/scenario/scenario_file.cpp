#include "scenario/scenario_file.h"

#include <yaml-cpp/depthguard.h>
#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <array>
#include <exception>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>

#include "files/value_ranges.h"
#include "nav/number_forms.h"

namespace ventrel {

namespace {

// Longest scenario, s (115 days and more: far beyond any passage).
constexpr std::int64_t kMaxRunSeconds = 10'000'000;
// The work a file may cost, in nodes visited plus bytes of text copied: an alias
// repeats a node as often as it is written, so a small file could otherwise ask
// for billions of copies. A file of kMaxScenarioBytes written out costs less than
// a tenth of this.
constexpr std::size_t kWorkBudget = 32 * kMaxScenarioBytes;
thread_local std::size_t workLeft = 0;

// A refusal on the way: thrown inside this file only, caught by ParseScenario.
struct Refused {
  ScenarioError error;
};

FieldPlace PlaceOf(const YAML::Mark& m) {
  if (m.is_null() || m.line < 0 || m.column < 0) return {};
  return {m.line + 1, m.column + 1};
}

[[noreturn]] void Refuse(const YAML::Node& at, std::string message) {
  throw Refused{{std::move(message), PlaceOf(at.Mark())}};
}

// "« text »", made fit for a message.
std::string Quoted(const std::string& text) { return "« " + ShownValue(text) + " »"; }

// yaml-cpp's messages, said in French; anything else is shown as it comes.
std::string SyntaxMessage(const std::string& msg) {
  static const std::array<std::pair<const char*, const char*>, 16> kFrench = {{
      {YAML::ErrorMsg::END_OF_MAP, "fin de table introuvable"},
      {YAML::ErrorMsg::END_OF_MAP_FLOW, "« } » fermant introuvable"},
      {YAML::ErrorMsg::END_OF_SEQ, "fin de liste introuvable"},
      {YAML::ErrorMsg::END_OF_SEQ_FLOW, "« ] » fermant introuvable"},
      {YAML::ErrorMsg::EOF_IN_SCALAR, "fin du fichier dans une valeur (guillemet non fermé ?)"},
      {YAML::ErrorMsg::CHAR_IN_SCALAR, "caractère interdit dans une valeur"},
      {YAML::ErrorMsg::FLOW_END, "« ] » ou « } » sans ouverture"},
      {YAML::ErrorMsg::BLOCK_ENTRY, "élément de liste « - » mal placé (indentation ?)"},
      {YAML::ErrorMsg::MAP_KEY, "clé mal placée (indentation ?)"},
      {YAML::ErrorMsg::MAP_VALUE, "« : » mal placé (indentation, ou valeur à mettre entre guillemets ?)"},
      {YAML::ErrorMsg::UNKNOWN_ANCHOR, "ancre inconnue"},
      {YAML::ErrorMsg::ALIAS_NOT_FOUND, "nom d'alias attendu après « * »"},
      {YAML::ErrorMsg::ANCHOR_NOT_FOUND, "nom d'ancre attendu après « & »"},
      {YAML::ErrorMsg::UNKNOWN_TOKEN, "symbole inattendu"},
      {YAML::ErrorMsg::INVALID_ESCAPE, "séquence d'échappement inconnue"},
      {YAML::ErrorMsg::TAB_IN_INDENTATION, "tabulation dans l'indentation (utilisez des espaces)"},
  }};
  for (const auto& [english, french] : kFrench) {
    if (msg.rfind(english, 0) == 0) return std::string("syntaxe YAML incorrecte : ") + french;
  }
  return "syntaxe YAML incorrecte (" + msg + ")";
}

const char* KindText(const YAML::Node& n) {
  if (n.IsMap()) return "une table";
  if (n.IsSequence()) return "une liste";
  if (n.IsNull()) return "rien";
  return "une valeur";
}

// One node visited, `bytes` of text copied.
void Spend(const YAML::Node& n, std::size_t bytes) {
  const std::size_t cost = 1 + bytes;
  if (cost > workLeft) Refuse(n, "scénario trop grand à lire (alias répétés ?)");
  workLeft -= cost;
}

std::string ScalarText(const YAML::Node& n, const std::string& what) {
  if (!n.IsScalar()) Refuse(n, what + " : une valeur est attendue, pas " + KindText(n));
  Spend(n, n.Scalar().size());
  return n.Scalar();
}

// Digits only, at most `most` of them.
std::optional<std::int64_t> Digits(const std::string& s, std::size_t most) {
  if (s.empty() || s.size() > most) return std::nullopt;
  std::int64_t v = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// A run time: whole seconds ("600"), "hh:mm:ss" or "mm:ss" (minutes and seconds
// 0 to 59).
std::optional<std::int64_t> RunTime(const std::string& s) {
  if (const auto secs = Digits(s, 8)) return secs;
  std::vector<std::string> parts(1);
  for (const char c : s) {
    if (c == ':') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
  const auto hours = parts.size() == 3 ? Digits(parts[0], 4) : std::optional<std::int64_t>(0);
  const auto minutes = Digits(parts[parts.size() - 2], 2);
  const auto seconds = Digits(parts.back(), 2);
  if (!hours || !minutes || !seconds || *minutes > 59 || *seconds > 59) return std::nullopt;
  return *hours * 3600 + *minutes * 60 + *seconds;
}

std::int64_t ReadTime(const YAML::Node& n, const std::string& what) {
  const std::string text = ScalarText(n, what);
  const auto t = RunTime(text);
  if (!t) {
    Refuse(n, what + " : " + Quoted(text) +
                  " n'est pas un temps (secondes entières, ou hh:mm:ss, ou mm:ss, minutes et secondes de 0 à 59)");
  }
  if (*t > kMaxRunSeconds) Refuse(n, what + " : " + Quoted(text) + " dépasse 10000000 s");
  return *t;
}

long double ReadNumber(const YAML::Node& n, const std::string& what, long double low, long double high) {
  const std::string text = ScalarText(n, what);
  const auto v = ReadDecimal(text);
  if (!v) Refuse(n, what + " : " + Quoted(text) + " n'est pas un nombre (écrit avec un point : 12.5)");
  if (*v < low || *v > high) {
    Refuse(n, what + " : " + generalForm(*v) + " est hors de l'intervalle " + generalForm(low) + " à " +
                  generalForm(high));
  }
  return *v;
}

int ReadCount(const YAML::Node& n, const std::string& what) {
  const std::string text = ScalarText(n, what);
  const auto v = Digits(text, 6);
  if (!v) Refuse(n, what + " : " + Quoted(text) + " n'est pas un nombre entier de 0 à 999999");
  return static_cast<int>(*v);
}

// One entry of a map: its key's name and node (where it is written), its value.
struct Entry {
  std::string name;
  YAML::Node key, value;
};

// The entries of a map in the order written, keys checked: scalars, each once.
std::vector<Entry> Entries(const YAML::Node& map, const std::string& what) {
  std::vector<Entry> entries;
  std::set<std::string> seen;
  for (const auto& kv : map) {
    const YAML::Node key = kv.first;
    if (!key.IsScalar()) Refuse(key, what + " : une clé doit être un nom, pas " + std::string(KindText(key)));
    Spend(key, 2 * key.Scalar().size());
    if (!seen.insert(key.Scalar()).second) Refuse(key, what + " : clé " + Quoted(key.Scalar()) + " en double");
    entries.push_back({key.Scalar(), key, kv.second});
  }
  return entries;
}

// The entries of what must be a map.
std::vector<Entry> MapEntries(const YAML::Node& n, const std::string& what) {
  if (!n.IsMap()) Refuse(n, what + " : une table (clé: valeur) est attendue, pas " + std::string(KindText(n)));
  return Entries(n, what);
}

// A value as written, for the report: "0.5", "[40, 60]", "{min: 2}".
std::string Written(const YAML::Node& n) {
  Spend(n, n.IsScalar() ? n.Scalar().size() : 0);
  if (n.IsScalar()) return n.Scalar();
  if (n.IsNull()) return "~";
  std::string out;
  std::size_t count = 0;
  if (n.IsSequence()) {
    for (const auto& item : n) {
      if (count++ == 16) return out + ", ...]";
      out += (out.empty() ? "[" : ", ") + (item.IsScalar() ? ScalarText(item, "") : std::string("..."));
    }
    return out.empty() ? "[]" : out + "]";
  }
  for (const auto& kv : n) {
    if (count++ == 16) return out + ", ...}";
    out += (out.empty() ? "{" : ", ") + (kv.first.IsScalar() ? ScalarText(kv.first, "") : std::string("...")) +
           ": " + (kv.second.IsScalar() ? ScalarText(kv.second, "") : std::string("..."));
  }
  return out.empty() ? "{}" : out + "}";
}

FieldValue ArgumentValue(const YAML::Node& n, const std::string& what) {
  FieldValue v;
  v.place = PlaceOf(n.Mark());
  if (n.IsNull()) {
    v.isNull = true;
  } else if (n.IsScalar()) {
    v.text = n.Scalar();
  } else if (n.IsSequence()) {
    v.isList = true;
    for (const auto& item : n) v.list.push_back(ScalarText(item, what));
  } else {
    Refuse(n, what + " : une valeur ou une liste de valeurs est attendue, pas une table");
  }
  return v;
}

TimedEvent ReadEvent(const YAML::Node& item, std::size_t index, const std::filesystem::path& folder) {
  const std::string what = "événement " + std::to_string(index + 1);
  std::optional<std::int64_t> at;
  std::optional<Entry> command;
  for (const auto& [key, keyNode, value] : MapEntries(item, what)) {
    if (key == "at") {
      at = ReadTime(value, what + ", at");
    } else if (command) {
      Refuse(keyNode, what + " : une seule commande par événement (" + Quoted(command->name) + " et " + Quoted(key) +
                        ")");
    } else {
      command = Entry{key, keyNode, value};
    }
  }
  if (!at) Refuse(item, what + " : « at » (le temps de l'événement) manque");
  if (!command) Refuse(item, what + " : aucune commande (heading, wind, tack...)");

  const auto& [name, nameNode, args] = *command;
  CommandFields fields;
  fields.name = name;
  fields.place = PlaceOf(nameNode.Mark());
  if (!args.IsNull() && !args.IsMap()) {
    Refuse(args, what + " : les arguments de " + Quoted(name) + " s'écrivent en table ({nom: valeur}) ou pas du tout, pas " +
                     KindText(args));
  }
  if (args.IsMap()) {
    for (const auto& [argName, argKey, argValue] : Entries(args, what + ", " + name)) {
      fields.args.emplace(argName, ArgumentValue(argValue, what + ", " + name + "." + argName));
    }
  }
  auto event = EventFromFields(fields, CommandScope{folder});
  if (auto* e = std::get_if<FieldError>(&event)) {
    const FieldPlace place = e->place.line > 0 ? e->place : fields.place;
    throw Refused{{what + " : " + e->message, place}};
  }
  const FieldPlace written = PlaceOf(item.Mark());
  return TimedEvent{*at, std::get<BoatEvent>(std::move(event)), written.line, written.column};
}

Expectation ReadExpectation(const YAML::Node& item, std::size_t index) {
  const std::string what = "attente " + std::to_string(index + 1);
  Expectation e;
  e.place = PlaceOf(item.Mark());
  std::optional<Entry> condition;
  for (const auto& [key, keyNode, value] : MapEntries(item, what)) {
    if (key == "at") {
      if (value.IsScalar() && value.Scalar() == "end") continue;  // nothing: at the end
      e.atSeconds = ReadTime(value, what + ", at (ou « end »)");
    } else if (condition) {
      Refuse(keyNode, what + " : une seule condition par attente (" + Quoted(condition->name) + " et " + Quoted(key) +
                        ")");
    } else {
      condition = Entry{key, keyNode, value};
    }
  }
  if (!condition) {
    Refuse(item, what + " : aucune condition (waypoint_distance_below, heading_between, sog_above, tacks, gybes, "
                        "within, no_sentence_missing)");
  }
  // Named, not bound: the lambda below refers to them.
  const std::string& key = condition->name;
  const YAML::Node& keyNode = condition->key;
  const YAML::Node& value = condition->value;
  const std::string where = what + ", " + key;
  e.written = key + ": " + Written(value);

  // {min, max} of a count, at least one.
  const auto readCounts = [&] {
    for (const auto& [k, kNode, v] : MapEntries(value, where)) {
      if (k == "min") {
        e.minCount = ReadCount(v, where + ".min");
      } else if (k == "max") {
        e.maxCount = ReadCount(v, where + ".max");
      } else {
        Refuse(kNode, where + " : argument " + Quoted(k) + " inconnu (min, max)");
      }
    }
    if (!e.minCount && !e.maxCount) Refuse(value, where + " : « min » ou « max » est attendu");
    if (e.minCount && e.maxCount && *e.minCount > *e.maxCount) Refuse(value, where + " : « min » dépasse « max »");
  };

  if (key == "waypoint_distance_below") {
    e.kind = ExpectKind::waypointDistanceBelow;
    e.high = ReadNumber(value, where + " (milles)", 0, 10800);
  } else if (key == "heading_between") {
    e.kind = ExpectKind::headingBetween;
    if (!value.IsSequence() || value.size() != 2) {
      Refuse(value, where + " : deux caps sont attendus, [de, à] en degrés ([350, 10] passe par le nord)");
    }
    e.low = ReadNumber(value[0], where + " (degrés)", 0, 360);
    e.high = ReadNumber(value[1], where + " (degrés)", 0, 360);
  } else if (key == "sog_above") {
    e.kind = ExpectKind::speedOverGroundAbove;
    e.low = ReadNumber(value, where + " (nœuds)", 0, 100);
  } else if (key == "tacks") {
    e.kind = ExpectKind::tacks;
    readCounts();
  } else if (key == "gybes") {
    e.kind = ExpectKind::gybes;
    readCounts();
  } else if (key == "within") {
    e.kind = ExpectKind::within;
    bool lat = false, lon = false, radius = false;
    for (const auto& [k, kNode, v] : MapEntries(value, where)) {
      if (k == "lat") {
        e.latitude = ReadNumber(v, where + ".lat (degrés, nord positif)", -90, 90);
        lat = true;
      } else if (k == "lon") {
        e.longitude = ReadNumber(v, where + ".lon (degrés, est positif)", -180, 180);
        lon = true;
      } else if (k == "radius") {
        e.radiusNm = ReadNumber(v, where + ".radius (milles)", 0, 10800);
        radius = true;
      } else {
        Refuse(kNode, where + " : argument " + Quoted(k) + " inconnu (lat, lon, radius)");
      }
    }
    if (!lat || !lon || !radius) Refuse(value, where + " : « lat », « lon » et « radius » sont attendus");
  } else if (key == "no_sentence_missing") {
    e.kind = ExpectKind::noSentenceMissing;
    if (value.IsScalar() && value.Scalar() == "all") {
      e.groups = {1, 2, 3};
    } else if (value.IsSequence() && value.size() > 0) {
      for (const auto& g : value) {
        const std::string text = ScalarText(g, where);
        const auto n = Digits(text, 1);
        if (!n || *n < 1 || *n > 3) Refuse(g, where + " : " + Quoted(text) + " n'est pas un groupe (1, 2 ou 3)");
        if (std::find(e.groups.begin(), e.groups.end(), *n) == e.groups.end()) e.groups.push_back(int(*n));
      }
      std::sort(e.groups.begin(), e.groups.end());
    } else {
      Refuse(value, where + " : une liste de groupes ([1, 2, 3]) ou « all » est attendue");
    }
  } else {
    Refuse(keyNode, what + " : condition " + Quoted(key) +
                     " inconnue (waypoint_distance_below, heading_between, sog_above, tacks, gybes, within, "
                     "no_sentence_missing)");
  }
  return e;
}

// The list under `key`, its items checked one by one.
template <class Read>
void ReadList(const YAML::Node& list, const std::string& key, Read read) {
  if (list.IsNull()) return;  // "events:" with nothing under it
  if (!list.IsSequence()) Refuse(list, key + " : une liste (- ...) est attendue, pas " + std::string(KindText(list)));
  std::size_t i = 0;
  for (const auto& item : list) {
    Spend(item, 0);
    read(item, i++);
  }
}

Scenario Read(const YAML::Node& root, const std::filesystem::path& folder) {
  if (root.IsNull()) throw Refused{{"scénario vide : « duration » au moins est attendue", {1, 1}}};
  Scenario s;
  s.folder = folder;
  std::optional<YAML::Node> durationNode;
  for (const auto& [key, keyNode, value] : MapEntries(root, "scénario")) {
    if (key == "config") {
      const std::string name = ScalarText(value, "config");
      if (name.empty()) Refuse(value, "config : nom de fichier vide");
      std::error_code ec;
      const std::filesystem::path file = std::filesystem::absolute(folder / name, ec).lexically_normal();
      if (ec || !std::filesystem::is_regular_file(file, ec)) {
        Refuse(value, "config : fichier de configuration introuvable : " + file.string());
      }
      s.config = file;
    } else if (key == "start") {
      const std::string text = ScalarText(value, "start");
      s.start = ParseLocalTime(text);
      if (!s.start) Refuse(value, "start : " + Quoted(text) + " n'est pas une date et heure « AAAA-MM-JJ hh:mm:ss »");
    } else if (key == "duration") {
      s.durationSeconds = ReadTime(value, "duration");
      if (s.durationSeconds < 1) Refuse(value, "duration : la durée doit être d'au moins 1 s");
      durationNode = value;
    } else if (key == "events") {
      ReadList(value, "events", [&](const YAML::Node& item, std::size_t i) {
        TimedEvent e = ReadEvent(item, i, folder);
        s.events.push_back(std::move(e));
      });
    } else if (key == "expect") {
      ReadList(value, "expect",
               [&](const YAML::Node& item, std::size_t i) { s.expectations.push_back(ReadExpectation(item, i)); });
    } else {
      Refuse(keyNode, "clé " + Quoted(key) + " inconnue (config, start, duration, events, expect)");
    }
  }
  if (!durationNode) throw Refused{{"« duration » (la durée du scénario) manque", PlaceOf(root.Mark())}};

  const std::string limit = " dépasse la durée du scénario (" + std::to_string(s.durationSeconds) + " s)";
  for (std::size_t i = 0; i < s.events.size(); ++i) {
    const TimedEvent& e = s.events[i];
    if (e.atSeconds > s.durationSeconds) {
      throw Refused{{"événement " + std::to_string(i + 1) + " : son temps (" + std::to_string(e.atSeconds) + " s)" +
                         limit,
                     {e.line, e.column}}};
    }
  }
  for (std::size_t i = 0; i < s.expectations.size(); ++i) {
    const Expectation& e = s.expectations[i];
    if (e.atSeconds && *e.atSeconds > s.durationSeconds) {
      throw Refused{{"attente " + std::to_string(i + 1) + " : son temps (" + std::to_string(*e.atSeconds) + " s)" +
                         limit,
                     e.place}};
    }
  }
  std::stable_sort(s.events.begin(), s.events.end(),
                   [](const TimedEvent& a, const TimedEvent& b) { return a.atSeconds < b.atSeconds; });
  return s;
}

// Where the text's documents start, the first two at most: yaml-cpp's parser, on
// some malformed texts (a "," before anything else), hands out empty documents
// without moving on, for ever.
class DocumentStarts final : public YAML::EventHandler {
 public:
  std::vector<YAML::Mark> starts;

  void OnDocumentStart(const YAML::Mark& mark) override { starts.push_back(mark); }
  void OnDocumentEnd() override {}
  void OnNull(const YAML::Mark&, YAML::anchor_t) override {}
  void OnAlias(const YAML::Mark&, YAML::anchor_t) override {}
  void OnScalar(const YAML::Mark&, const std::string&, YAML::anchor_t, const std::string&) override {}
  void OnSequenceStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {}
  void OnSequenceEnd() override {}
  void OnMapStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {}
  void OnMapEnd() override {}
};

// The one document of the text, read.
YAML::Node OnlyDocument(const std::string& text) {
  std::istringstream in(text);
  YAML::Parser parser(in);
  DocumentStarts documents;
  while (documents.starts.size() < 2 && parser.HandleNextDocument(documents)) {
  }
  if (documents.starts.size() == 2) {
    const YAML::Mark& first = documents.starts[0];
    const YAML::Mark& second = documents.starts[1];
    if (second.pos == first.pos) {
      throw Refused{{"syntaxe YAML incorrecte : symbole inattendu (« , », « ] » ou « } » hors d'une liste ?)",
                     PlaceOf(first)}};
    }
    throw Refused{{"un seul document YAML par scénario (« --- » en trop)", PlaceOf(second)}};
  }
  return YAML::Load(text);
}

}  // namespace

std::variant<Scenario, ScenarioError> ParseScenario(std::string_view text, const std::filesystem::path& folder) {
  if (text.size() > kMaxScenarioBytes) {
    return ScenarioError{"fichier trop grand (plus de " + std::to_string(kMaxScenarioBytes) + " octets)", {}};
  }
  workLeft = kWorkBudget;
  try {
    return Read(OnlyDocument(std::string(text)), folder);
  } catch (const Refused& r) {
    return r.error;
  } catch (const YAML::DeepRecursion& e) {
    return ScenarioError{"syntaxe YAML incorrecte : imbrication trop profonde", PlaceOf(e.mark)};
  } catch (const YAML::ParserException& e) {
    return ScenarioError{SyntaxMessage(e.msg), PlaceOf(e.mark)};
  } catch (const YAML::Exception& e) {
    return ScenarioError{"lecture YAML impossible (" + e.msg + ")", PlaceOf(e.mark)};
  } catch (const std::exception& e) {  // memory, a path the system refuses
    return ScenarioError{std::string("lecture du scénario impossible (") + e.what() + ")", {}};
  }
}

std::variant<Scenario, ScenarioError> ReadScenarioFile(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return ScenarioError{"fichier de scénario introuvable", {}};
  if (!std::filesystem::is_regular_file(file, ec)) return ScenarioError{"ce n'est pas un fichier", {}};
  const auto size = std::filesystem::file_size(file, ec);
  if (ec) return ScenarioError{"taille du fichier illisible : " + ec.message(), {}};
  if (size > kMaxScenarioBytes) {
    return ScenarioError{"fichier trop grand (plus de " + std::to_string(kMaxScenarioBytes) + " octets)", {}};
  }
  std::ifstream in(file, std::ios::binary);
  std::string text(static_cast<std::size_t>(size), '\0');
  if (!in || !in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
    return ScenarioError{"lecture du fichier impossible", {}};
  }
  return ParseScenario(text, std::filesystem::absolute(file, ec).parent_path());
}

std::string ScenarioErrorText(const std::filesystem::path& file, const ScenarioError& e) {
  if (e.place.line <= 0) return file.string() + " : " + e.message;
  return file.string() + ":" + std::to_string(e.place.line) + ":" + std::to_string(e.place.column) + " : " +
         e.message;
}

}  // namespace ventrel
