#include "scenario/command_fields.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string_view>

#include "files/value_ranges.h"
#include "nav/number_forms.h"
#include "nmea/output_faults.h"

namespace ventrel {

namespace {

// Longest ramp and fault length, s (one day).
constexpr long double kMaxSeconds = 86400;
// Longest waypoint name, characters.
constexpr std::size_t kMaxWaypointName = 32;
// Most sentence types in one list.
constexpr std::size_t kMaxTypes = 64;

// The arguments of one command, read once each; the first fault is kept.
class ArgReader {
 public:
  explicit ArgReader(const CommandFields& c) : c_(c) {}

  bool failed() const { return error_.has_value(); }
  FieldError error() const { return *error_; }

  // The value of `name`, or nothing when it is absent (or null) and not required.
  const FieldValue* Get(const std::string& name, bool required) {
    used_.insert(name);
    const auto it = c_.args.find(name);
    if (it == c_.args.end() || it->second.isNull) {
      if (required) Fail("il manque l'argument « " + name + " »", c_.place);
      return nullptr;
    }
    return &it->second;
  }

  std::optional<long double> Number(const std::string& name, long double low, long double high, bool required) {
    const FieldValue* v = Get(name, required);
    if (!v || failed()) return std::nullopt;
    if (v->isList) return Fail("« " + name + " » attend un nombre, pas une liste", v->place), std::nullopt;
    const std::optional<long double> x = ReadDecimal(v->text);
    if (!x) {
      Fail("« " + name + " » : « " + ShownValue(v->text) + " » n'est pas un nombre (écrire 12.5, avec un point)",
           v->place);
      return std::nullopt;
    }
    if (*x < low || *x > high) {
      Fail("« " + name + " » : " + generalForm(*x) + " est hors de l'intervalle " + generalForm(low) + " à " +
               generalForm(high),
           v->place);
      return std::nullopt;
    }
    return x;
  }

  std::optional<std::string> Text(const std::string& name, bool required) {
    const FieldValue* v = Get(name, required);
    if (!v || failed()) return std::nullopt;
    if (v->isList) return Fail("« " + name + " » attend un texte, pas une liste", v->place), std::nullopt;
    return v->text;
  }

  // One of `choices`, as written.
  std::optional<std::string> Choice(const std::string& name, std::initializer_list<std::string_view> choices,
                                    bool required) {
    const std::optional<std::string> t = Text(name, required);
    if (!t) return std::nullopt;
    std::string list;
    for (std::string_view c : choices) {
      if (*t == c) return t;
      list += (list.empty() ? "" : ", ") + std::string(c);
    }
    Fail("« " + name + " » : « " + ShownValue(*t) + " » n'est pas l'une des valeurs " + list, Place(name));
    return std::nullopt;
  }

  // A list of sentence types (three capital letters each); a single type is taken as a list of one.
  std::optional<std::vector<std::string>> Types(const std::string& name, bool required) {
    const FieldValue* v = Get(name, required);
    if (!v || failed()) return std::nullopt;
    std::vector<std::string> items = v->isList ? v->list : std::vector<std::string>{v->text};
    if (items.size() > kMaxTypes) {
      Fail("« " + name + " » : plus de " + std::to_string(kMaxTypes) + " types de phrases", v->place);
      return std::nullopt;
    }
    for (const std::string& t : items) {
      const bool ok = t.size() == 3 && std::all_of(t.begin(), t.end(), [](char ch) { return ch >= 'A' && ch <= 'Z'; });
      if (!ok) {
        Fail("« " + name + " » : « " + ShownValue(t) + " » n'est pas un type de phrase (trois majuscules, RMC)",
             v->place);
        return std::nullopt;
      }
    }
    return items;
  }

  // A talker among two.
  std::optional<std::string> Talker(const std::string& name, std::string_view a, std::string_view b) {
    return Choice(name, {a, b}, false);
  }

  // Every argument given was read: otherwise the first unknown one is the fault.
  void NoOthers() {
    if (failed()) return;
    for (const auto& [name, value] : c_.args) {
      if (!used_.count(name)) {
        std::string known;
        for (const std::string& u : used_) known += (known.empty() ? "" : ", ") + u;
        Fail("argument inconnu « " + ShownValue(name) + " »" +
                 (known.empty() ? std::string(" (cette commande n'en prend pas)") : " (arguments : " + known + ")"),
             value.place);
        return;
      }
    }
  }

  void Fail(const std::string& why, FieldPlace place) {
    if (!error_) error_ = FieldError{"Commande « " + ShownValue(c_.name) + " » : " + why, place};
  }

 private:
  FieldPlace Place(const std::string& name) const {
    const auto it = c_.args.find(name);
    return it == c_.args.end() ? c_.place : it->second.place;
  }

  const CommandFields& c_;
  std::optional<FieldError> error_;
  std::set<std::string> used_;
};

// A ramp's length, 0 when left out.
long double Over(ArgReader& a) { return a.Number("over", 0, kMaxSeconds, false).value_or(0); }

std::optional<BoatEvent> Read(const CommandFields& c, const CommandScope& scope, ArgReader& a) {
  const std::string& n = c.name;
  if (n == "heading") {
    HeadingEvent e;
    e.degreesTrue = a.Number("deg", 0, 360, true).value_or(0);
    e.overSeconds = Over(a);
    return e;
  }
  if (n == "wind") {
    TrueWindEvent e;
    e.knots = a.Number("speed", 0, 100, false);
    e.fromDegrees = a.Number("from", 0, 360, false);
    e.overSeconds = Over(a);
    if (!a.failed() && !e.knots && !e.fromDegrees) a.Fail("indiquez « speed » ou « from »", c.place);
    return e;
  }
  if (n == "current") {
    CurrentEvent e;
    e.knots = a.Number("speed", 0, 20, false);
    e.towardDegrees = a.Number("toward", 0, 360, false);
    if (const auto k = a.Choice("kind", {"constant", "alternating"}, false)) {
      e.kind = *k == "constant" ? CurrentKind::constant : CurrentKind::alternating;
    }
    e.overSeconds = Over(a);
    if (!a.failed() && !e.knots && !e.towardDegrees && !e.kind) {
      a.Fail("indiquez « speed », « toward » ou « kind »", c.place);
    }
    if (!a.failed() && e.kind && e.overSeconds > 0) {
      a.Fail("le type de courant change d'un coup : « kind » ne va pas avec « over »", c.place);
    }
    return e;
  }
  if (n == "waypoint") {
    WaypointEvent e;
    if (const auto name = a.Text("name", true)) {
      if (name->empty() || name->size() > kMaxWaypointName ||
          !std::all_of(name->begin(), name->end(), [](char ch) { return ch >= 0x20 && ch <= 0x7e; })) {
        a.Fail("« name » : de 1 à " + std::to_string(kMaxWaypointName) + " caractères ASCII imprimables", c.place);
      } else {
        e.name = *name;
      }
    }
    e.latitude = a.Number("lat", -90, 90, true).value_or(0);
    e.longitude = a.Number("lon", -180, 180, true).value_or(0);
    return e;
  }
  if (n == "pilot") {
    PilotEvent e;
    if (const auto m = a.Choice("mode", {"AUTO", "STDBY", "NAV"}, true)) {
      e.mode = *m == "AUTO" ? PilotMode::automatic : *m == "STDBY" ? PilotMode::standby : PilotMode::navigation;
    }
    return e;
  }
  if (n == "helm") {
    HelmEvent e;
    const std::optional<long double> d = a.Number("deg", -15, 15, true);
    if (d && *d != std::trunc(*d)) a.Fail("« deg » : un nombre entier de degrés par seconde", c.place);
    e.degreesToStarboard = static_cast<int>(d.value_or(0));
    return e;
  }
  if (n == "tack") return TackEvent{};
  if (n == "gybe") return GybeEvent{};
  if (n == "best_haul") return BestHaulEvent{};
  if (n == "start") return StartEvent{};
  if (n == "pause") return PauseEvent{};
  if (n == "resume") return ResumeEvent{};
  if (n == "sentences") {
    SentencesEvent e;
    e.types = a.Types("types", false);
    e.position = a.Talker("position", "GP", "EC");
    e.sounder = a.Talker("sounder", "SD", "II");
    e.instruments = a.Talker("instruments", "DM", "II");
    e.wind = a.Talker("wind", "WI", "II");
    if (!a.failed() && !e.types && !e.position && !e.sounder && !e.instruments && !e.wind) {
      a.Fail("indiquez « types » ou un émetteur (position, sounder, instruments, wind)", c.place);
    }
    return e;
  }
  if (n == "polar") {
    PolarEvent e;
    const std::optional<std::string> file = a.Text("file", true);
    if (a.failed()) return e;
    if (!scope.filesFolder) {
      a.Fail("aucun fichier ne se lit par cette voie (changez la polaire dans un scénario ou la fenêtre)", c.place);
      return e;
    }
    if (file->empty()) {
      a.Fail("« file » est vide", c.place);
      return e;
    }
    std::filesystem::path p(*file);
    if (p.is_relative()) p = *scope.filesFolder / p;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec)) {
      a.Fail("polaire introuvable : " + p.generic_string(), c.args.at("file").place);
      return e;
    }
    e.file = p.lexically_normal();
    return e;
  }
  if (n == "polar_percent") {
    PolarPercentEvent e;
    const std::optional<long double> p = a.Number("percent", 0, 100, true);
    if (p && *p != std::trunc(*p)) a.Fail("« percent » : un nombre entier", c.place);
    e.percent = static_cast<int>(p.value_or(100));
    return e;
  }
  if (n == "fault" || n == "clear_fault") {
    std::optional<FaultKind> kind;
    if (const auto k = a.Choice("kind", {"bad_checksum", "truncated", "dropped", "frozen", "invalid_fix", "garbage"},
                                n == "fault")) {
      kind = FaultKindFromName(*k);
    }
    std::vector<std::string> types = a.Types("sentences", false).value_or(std::vector<std::string>{});
    if (n == "clear_fault") return ClearFaultEvent{kind, std::move(types)};
    FaultEvent e;
    e.kind = kind.value_or(FaultKind::badChecksum);
    e.types = std::move(types);
    e.forSeconds = a.Number("for", 0, kMaxSeconds, false);
    if (e.forSeconds && *e.forSeconds <= 0) a.Fail("« for » : une durée de plus de 0 s", c.place);
    return e;
  }
  a.Fail("commande inconnue (heading, wind, current, waypoint, pilot, helm, tack, gybe, best_haul, start, pause, "
         "resume, sentences, polar, polar_percent, fault, clear_fault)",
         c.place);
  return std::nullopt;
}

}  // namespace

std::optional<long double> ReadDecimal(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  // The digits as one whole number, then divided by the power of ten of the
  // decimals: exact up to 19 digits, so "0.1" reads as the nearest value to 0.1.
  long double mantissa = 0;
  long double divisor = 1;
  std::size_t digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '.' && !point) {
      point = true;
      continue;
    }
    if (ch < '0' || ch > '9') break;
    mantissa = mantissa * 10 + (ch - '0');
    if (point) divisor *= 10;
    ++digits;
  }
  // Digits there, nothing after them, and no more than any value of this program needs.
  if (digits == 0 || i != text.size() || digits > 30) return std::nullopt;
  const long double value = mantissa / divisor;
  return text[0] == '-' ? -value : value;
}

std::variant<BoatEvent, FieldError> EventFromFields(const CommandFields& c, const CommandScope& scope) {
  ArgReader a(c);
  std::optional<BoatEvent> e = Read(c, scope, a);
  a.NoOthers();
  if (a.failed() || !e) return a.error();
  return *std::move(e);
}

}  // namespace ventrel
