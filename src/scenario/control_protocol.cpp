#include "scenario/control_protocol.h"

#include <exception>
#include <optional>
#include <utility>
#include <variant>

#include "scenario/command_fields.h"
#include "scenario/json_line.h"

namespace ventrel {

namespace {

// The answer's start: "ok", then the client's "id" when it gave one.
JsonObjectWriter Answer(bool ok, const std::optional<std::string>& id) {
  JsonObjectWriter w;
  w.Bool("ok", ok);
  if (id) w.Raw("id", *id);
  return w;
}

std::string Refused(const std::optional<std::string>& id, const std::string& why) {
  return Answer(false, id).String("error", why).Text();
}

FieldValue ValueOf(const JsonValue& v) {
  FieldValue f;
  f.place = FieldPlace{0, static_cast<int>(v.column)};
  switch (v.kind) {
    case JsonKind::null: f.isNull = true; break;
    case JsonKind::array:
      f.isList = true;
      for (const JsonScalar& item : v.items) f.list.push_back(item.text);
      break;
    default: f.text = v.text; break;
  }
  return f;
}

const char* PilotText(PilotMode m) {
  switch (m) {
    case PilotMode::standby: return "STDBY";
    case PilotMode::navigation: return "NAV";
    default: return "AUTO";
  }
}

}  // namespace

std::string OversizedLineAnswer() {
  return Answer(false, std::nullopt)
      .String("error", "Ligne trop longue : au plus " + std::to_string(kMaxControlLine) +
                           " octets par ligne ; elle est ignorée")
      .Text();
}

std::string AnswerControlLine(std::string_view line, const ControlTarget& target) {
  const auto read = ReadJsonObjectLine(line);
  if (const auto* e = std::get_if<JsonError>(&read)) {
    return Refused(std::nullopt, "JSON invalide à la colonne " + std::to_string(e->column) + " : " + e->message);
  }
  const JsonObject& o = std::get<JsonObject>(read);

  std::optional<std::string> id;
  if (const JsonMember* m = o.Find("id")) {
    if (m->value.kind == JsonKind::string) {
      id = JsonQuoted(m->value.text);
    } else if (m->value.kind == JsonKind::number) {
      id = m->value.text;
    } else {
      return Refused(std::nullopt, "La clé « id » doit être un texte ou un nombre");
    }
  }
  const JsonMember* cmd = o.Find("cmd");
  if (cmd == nullptr) return Refused(id, "La clé « cmd » manque : elle nomme la commande");
  if (cmd->value.kind != JsonKind::string) return Refused(id, "La clé « cmd » doit être un texte (le nom de la commande)");

  CommandFields fields;
  fields.name = cmd->value.text;
  fields.place = FieldPlace{0, static_cast<int>(cmd->value.column)};
  for (const JsonMember& m : o.members) {
    if (m.key == "cmd" || m.key == "id") continue;
    fields.args.emplace(m.key, ValueOf(m.value));
  }

  try {
    if (fields.name == "readout") {
      if (!fields.args.empty()) {
        return Refused(id, "La commande « readout » ne prend pas d'argument (« " + fields.args.begin()->first + " »)");
      }
      if (!target.readout) return Refused(id, "Aucun bateau ne répond à la lecture");
      return Answer(true, id).Raw("readout", ReadoutJson(target.readout())).Text();
    }
    // No folder: the commands that would read a file (the polar) are refused.
    auto event = EventFromFields(fields, CommandScope{});
    if (const auto* e = std::get_if<FieldError>(&event)) {
      std::string why = e->message;
      if (e->place.column > 0) why += " (colonne " + std::to_string(e->place.column) + ")";
      return Refused(id, why);
    }
    if (!target.play) return Refused(id, "Aucun bateau ne reçoit les commandes");
    const CommandResult r = target.play(std::get<BoatEvent>(event));
    if (!r.accepted) {
      return Refused(id, r.why.empty() ? "La commande « " + fields.name + " » est refusée" : r.why);
    }
    JsonObjectWriter w = Answer(true, id);
    if (!r.why.empty()) w.String("message", r.why);
    return w.Text();
  } catch (const std::exception& x) {
    return Refused(id, std::string("La commande n'a pas pu être traitée : ") + x.what());
  }
}

std::string ReadoutJson(const BoatReadout& r) {
  constexpr int kAngle = 1, kSpeed = 2, kPosition = 6;
  JsonObjectWriter w;
  w.Number("seconds_since_start", r.secondsSinceStart, 1)
      .Number("latitude", r.latitude, kPosition)
      .Number("longitude", r.longitude, kPosition)
      .Number("heading_true", r.headingTrue, kAngle)
      .Number("heading_magnetic", r.headingMagnetic, kAngle)
      .Number("magnetic_variation", r.magneticVariation, kAngle)
      .Number("boat_speed", r.boatSpeed, kSpeed)
      .Number("speed_over_ground", r.speedOverGround, kSpeed)
      .Number("course_over_ground", r.courseOverGround, kAngle)
      .Number("true_wind_speed", r.trueWindSpeed, kSpeed)
      .Number("true_wind_direction", r.trueWindDirection, kAngle)
      .Number("true_wind_angle", r.trueWindAngle, kAngle)
      .Number("apparent_wind_speed", r.apparentWindSpeed, kSpeed)
      .Number("apparent_wind_direction", r.apparentWindDirection, kAngle)
      .Number("apparent_wind_angle", r.apparentWindAngle, kAngle)
      .Number("current_speed", r.currentSpeed, kSpeed)
      .Number("current_direction", r.currentDirection, kAngle)
      .Number("depth", r.depth, kSpeed)
      .Bool("waypoint_used", r.waypointUsed);
  if (r.waypointUsed) {
    w.Number("waypoint_distance", r.waypointDistance, 3).Number("waypoint_bearing", r.waypointBearing, kAngle);
  } else {
    w.Null("waypoint_distance").Null("waypoint_bearing");
  }
  w.String("pilot", PilotText(r.pilot));
  if (r.navHeadingAsked) {
    w.Number("nav_heading_asked", *r.navHeadingAsked, kAngle);
  } else {
    w.Null("nav_heading_asked");
  }
  w.String("nav_destination", r.navDestination)
      .Bool("nav_arrived", r.navArrived)
      .Int("helm", r.helmOffset)
      .String("tack", r.tack == TackSide::port ? "port" : "starboard")
      .Bool("tacking", r.tacking)
      .Bool("gybing", r.gybing)
      .Bool("best_haul_running", r.bestHaulRunning)
      .Int("tacks_begun", r.tacksBegun)
      .Int("gybes_begun", r.gybesBegun)
      .Bool("started", r.started)
      .Bool("paused", r.paused);
  return w.Text();
}

}  // namespace ventrel
