// The typed commands: text into the panel fields, then the window's handlers.

#include "program/boat_commands.h"

#include <cmath>
#include <utility>

#include "nav/geodesy.h"
#include "nav/number_forms.h"
#include "nav/number_read.h"
#include "sim/physics_step.h"
#include "sim/variations.h"
#include "sim/vect.h"
#include "sim/wind.h"

namespace ventrel {

namespace {

constexpr int kHelmCentre = 15;
constexpr int kHelmReach = 15;
constexpr const char* kBusy =
    "Une manœuvre ou une rotation du courant est en cours : la valeur n'est pas prise, réessayez à sa fin.";
constexpr const char* kSteering =
    "Une manœuvre tient la barre : le cap n'est pas pris, réessayez à sa fin.";
constexpr const char* kRotating =
    "Le courant alterné est en rotation : le courant n'est pas pris, réessayez à la fin de la rotation.";

// While alive, the model's messages are kept (and still shown to the user).
class MessageCapture {
 public:
  explicit MessageCapture(VentrelModel& m) : model_(m), previous_(m.MessageSink()) {
    model_.SetMessageSink([this](const std::string& text) {
      if (!text_.empty()) text_ += "\n";
      text_ += text;
      if (previous_) previous_(text);
    });
  }
  ~MessageCapture() { model_.SetMessageSink(previous_); }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;
  const std::string& text() const { return text_; }
  bool empty() const { return text_.empty(); }

 private:
  VentrelModel& model_;
  TextSink previous_;
  std::string text_;
};

CommandResult Accepted(std::string why = {}) { return {true, std::move(why)}; }
CommandResult Refused(std::string why) { return {false, std::move(why)}; }

// Whole degrees and decimal minutes of a coordinate's size, as the fields hold them.
std::pair<std::string, std::string> DegreesMinutes(long double x) {
  const long double a = std::fabs(x);
  long double deg = std::floor(a);
  std::string min = generalForm((a - deg) * 60);
  if (min == "60") {  // rounded up to the next degree
    deg += 1;
    min = "0";
  }
  return {generalForm(deg), min};
}

}  // namespace

bool BoatCommands::Running() const {
  const SimState& s = program_.model().state();
  return !s.PremPasse && !s.StPause;
}

bool BoatCommands::Busy() const {
  const VentrelModel& m = program_.model();
  return m.ManoeuvreRunning() || m.CurrentRotating();
}

CommandResult BoatCommands::TypeAndTake(std::vector<FieldText> texts,
                                        std::vector<std::pair<Field, int>> radios,
                                        const std::vector<Field>& numbers, bool takeNow) {
  VentrelModel& m = program_.model();
  Panel& p = m.panel();
  takeNow = takeNow && Running();
  if (takeNow && Busy()) {
    return Refused(kBusy);
  }
  // A value that is not finite has no text: refused before it reaches a field.
  for (const FieldText& t : texts) {
    if (t.text.empty() && t.field != Field::WaypointName) {
      return Refused("Champ « " + FieldCaption(t.field) +
                     " » : la valeur donnée n'est pas un nombre fini, la valeur précédente est conservée.");
    }
  }
  std::vector<FieldText> before;
  std::vector<std::pair<Field, int>> radiosBefore;
  for (FieldText& t : texts) {
    before.push_back({t.field, p[t.field].text()});
    p[t.field].setText(std::move(t.text));
  }
  for (const auto& [field, index] : radios) {
    radiosBefore.emplace_back(field, p[field].itemIndex());
    p[field].setItemIndex(index);
  }
  const auto putBack = [&] {
    for (FieldText& t : before) p[t.field].setText(std::move(t.text));
    for (const auto& [field, index] : radiosBefore) p[field].setItemIndex(index);
  };

  MessageCapture capture(m);
  for (Field field : numbers) {
    if (!m.FieldNumber(field)) {
      putBack();
      return Refused(capture.text());
    }
  }
  if (takeNow) {
    m.BtCALCClick();
    if (!capture.empty()) {
      putBack();
      return Refused(capture.text());
    }
  }
  return Accepted();
}

CommandResult BoatCommands::SetHeading(long double degreesTrue) {
  return TypeAndTake({{Field::HeadingInput, generalForm(degreesTrue)}}, {}, {Field::HeadingInput}, true);
}

CommandResult BoatCommands::SetTrueWind(long double knots, long double fromDegreesTrue) {
  if (Running() && Busy()) return Refused(kBusy);
  CommandResult r = TypeAndTake({{Field::TrueWindSpeedInput, generalForm(knots)}, {Field::TrueWindDirectionInput, generalForm(fromDegreesTrue)}}, {},
                                {Field::TrueWindSpeedInput, Field::TrueWindDirectionInput}, false);
  if (!r.accepted) return r;
  // Leaving the speed field, then (running) "Démarrer".
  program_.model().EdTWSChange();
  return TypeAndTake({}, {}, {}, true);
}

CommandResult BoatCommands::SetCurrent(long double knots, long double towardDegreesTrue, CurrentKind kind) {
  VentrelModel& m = program_.model();
  const int index = kind == CurrentKind::alternating ? 1 : 0;
  const bool kindChanged = m.panel()[Field::CurrentKind].itemIndex() != index;
  if (kindChanged && Busy()) {
    return Refused(kBusy);
  }
  CommandResult r = TypeAndTake({{Field::CurrentSpeedInput, generalForm(knots)}, {Field::CurrentDirectionInput, generalForm(towardDegreesTrue)}},
                                {{Field::CurrentKind, index}}, {Field::CurrentSpeedInput, Field::CurrentDirectionInput}, true);
  if (r.accepted && kindChanged) m.RadioGTypCClick();
  return r;
}

std::string BoatCommands::AdjustRefusal(Adjusted what) const {
  if (!Running()) return {};
  const VentrelModel& m = program_.model();
  if (what == Adjusted::heading && m.ManoeuvreRunning()) return kSteering;
  if (what == Adjusted::current && m.CurrentRotating()) return kRotating;
  return {};
}

// The tick's own order: true wind from its base and variations at this second,
// the wind over the water, the heading's angles, the motion over ground.
void BoatCommands::TakeLive(bool windOrCurrent) {
  VentrelModel& m = program_.model();
  SimState& s = m.state();
  const long double seconds = s.t / s.tdiv;
  s.TW.mdl = s.TWSvar ? s.TWS * (1 + WindSpeedTerms(seconds)) : s.TWS;
  s.TW.argt = s.TWDvar ? s.TWD + WindDirTerms(SlowSinesAt(seconds)) : s.TWD;
  if (s.TW.argt < 0) s.TW.argt += 360;
  if (s.TW.argt > 360) s.TW.argt -= 360;
  s.SW = s.CUR.mdl != 0 ? Sigma_vect(s.TW, s.CUR) : s.TW;
  s.hdm = s.BS.argt - s.Declin;
  s.H180 = s.BS.argt - 180;
  if (s.H180 < 0) s.H180 += 360;
  m.RefreshApparentWind();
  s.RelWA = ApparentWindAngleAround(s.AWA, m.UpdateTackSide());
  s.OG = Sigma_vect(s.CUR, s.BS);
  s.SOG = s.OG.mdl;
  s.COG = s.OG.argt;
  if (s.CUR.mdl != 0) {
    m.RefreshDrift();
  } else {
    s.Deriv = 0;
  }
  if (windOrCurrent) {
    m.ShowReferenceWindKind();
    m.EdTWSChange();  // the best upwind angle for this wind
  }
}

CommandResult BoatCommands::AdjustHeading(long double degreesTrue) {
  if (std::string why = AdjustRefusal(Adjusted::heading); !why.empty()) return Refused(why);
  CommandResult r = TypeAndTake({{Field::HeadingInput, generalForm(degreesTrue)}}, {}, {Field::HeadingInput}, false);
  if (!r.accepted || !Running()) return r;
  VentrelModel& m = program_.model();
  SimState& s = m.state();
  // The heading held in AUTO (and NAV), the one the helm turns from in STDBY.
  s.HDG = *m.FieldNumber(Field::HeadingInput);
  s.BS.argt = s.HDGvar ? s.HDG + HeadingTerms(s.t / s.tdiv) : s.HDG;
  if (s.BS.argt < 0) s.BS.argt += 360;
  TakeLive(false);
  return r;
}

CommandResult BoatCommands::AdjustTrueWind(long double knots, long double fromDegreesTrue) {
  CommandResult r = TypeAndTake({{Field::TrueWindSpeedInput, generalForm(knots)}, {Field::TrueWindDirectionInput, generalForm(fromDegreesTrue)}}, {},
                                {Field::TrueWindSpeedInput, Field::TrueWindDirectionInput}, false);
  if (!r.accepted) return r;
  VentrelModel& m = program_.model();
  if (!Running()) {
    m.EdTWSChange();  // leaving the speed field
    return r;
  }
  SimState& s = m.state();
  s.TWS = *m.FieldNumber(Field::TrueWindSpeedInput);
  s.TWD = *m.FieldNumber(Field::TrueWindDirectionInput);
  TakeLive(true);
  return r;
}

CommandResult BoatCommands::AdjustCurrent(long double knots, long double towardDegreesTrue) {
  if (std::string why = AdjustRefusal(Adjusted::current); !why.empty()) return Refused(why);
  CommandResult r = TypeAndTake({{Field::CurrentSpeedInput, generalForm(knots)}, {Field::CurrentDirectionInput, generalForm(towardDegreesTrue)}}, {},
                                {Field::CurrentSpeedInput, Field::CurrentDirectionInput}, false);
  if (!r.accepted || !Running()) return r;
  VentrelModel& m = program_.model();
  SimState& s = m.state();
  s.CUR.mdl = *m.FieldNumber(Field::CurrentSpeedInput);
  s.CUR.argt = *m.FieldNumber(Field::CurrentDirectionInput);
  TakeLive(true);
  return r;
}

BoatCommands::LiveValues BoatCommands::InForce() const {
  VentrelModel& m = program_.model();
  const SimState& s = m.state();
  LiveValues v;
  v.currentKind = m.panel()[Field::CurrentKind].itemIndex() == 1 ? CurrentKind::alternating : CurrentKind::constant;
  if (Running()) {
    v.heading = Wrap360(s.HDG);
    v.windKnots = s.TWS;
    v.windFrom = Wrap360(s.TWD);
    v.currentKnots = s.CUR.mdl;
    v.currentToward = Wrap360(s.CUR.argt);
    return v;
  }
  // What the start will read; a field it would refuse counts as the state's value.
  const auto typed = [&](Field f, long double otherwise) {
    const NumberRead n = Val_Str_Flott(m.panel()[f].text(), m.decSep());
    return n.ok && std::isfinite(n.value) ? n.value : otherwise;
  };
  v.heading = Wrap360(typed(Field::HeadingInput, s.HDG));
  v.windKnots = typed(Field::TrueWindSpeedInput, s.TWS);
  v.windFrom = Wrap360(typed(Field::TrueWindDirectionInput, s.TWD));
  v.currentKnots = typed(Field::CurrentSpeedInput, s.CUR.mdl);
  v.currentToward = Wrap360(typed(Field::CurrentDirectionInput, s.CUR.argt));
  return v;
}

CommandResult BoatCommands::SetPosition(long double latitude, long double longitude) {
  const auto [latDeg, latMin] = DegreesMinutes(latitude);
  const auto [lgDeg, lgMin] = DegreesMinutes(longitude);
  return TypeAndTake({{Field::LatitudeDegrees, latDeg}, {Field::LatitudeMinutes, latMin}, {Field::LongitudeDegrees, lgDeg}, {Field::LongitudeMinutes, lgMin}},
                     {{Field::LatitudeHemisphere, latitude < 0 ? 1 : 0}, {Field::LongitudeHemisphere, longitude < 0 ? 1 : 0}},
                     {Field::LatitudeDegrees, Field::LatitudeMinutes, Field::LongitudeDegrees, Field::LongitudeMinutes}, true);
}

CommandResult BoatCommands::SetPolarPercentage(int percent) {
  if (Running() && Busy()) return Refused(kBusy);
  CommandResult r = TypeAndTake({{Field::PolarPercentInput, std::to_string(percent)}}, {}, {Field::PolarPercentInput}, false);
  if (!r.accepted) return r;
  program_.model().EdPolPercChange();
  return TypeAndTake({}, {}, {}, true);
}

CommandResult BoatCommands::SetPolar(const std::filesystem::path& file) {
  std::string told;
  if (!program_.ModifyPolar(file, &told)) {
    return Refused(told.empty() ? "La polaire « " + file.generic_string() + " » n'a pas été prise." : told);
  }
  program_.FormPaint();  // the polar's name shown, as the dialog's OK does
  return Accepted(told);
}

CommandResult BoatCommands::SetWaypoint(const std::string& name, long double latitude, long double longitude) {
  VentrelModel& m = program_.model();
  const auto [latDeg, latMin] = DegreesMinutes(latitude);
  const auto [lgDeg, lgMin] = DegreesMinutes(longitude);
  std::vector<FieldText> texts{{Field::WaypointName, name},        {Field::WaypointLatitudeDegrees, latDeg}, {Field::WaypointLatitudeMinutes, latMin},
                               {Field::WaypointLongitudeDegrees, lgDeg},    {Field::WaypointLongitudeMinutes, lgMin}};
  std::vector<FieldText> before;
  for (const FieldText& t : texts) before.push_back({t.field, m.panel()[t.field].text()});
  const int nsBefore = m.panel()[Field::WaypointLatitudeHemisphere].itemIndex();
  const int ewBefore = m.panel()[Field::WaypointLongitudeHemisphere].itemIndex();
  CommandResult r = TypeAndTake(std::move(texts), {{Field::WaypointLatitudeHemisphere, latitude < 0 ? 1 : 0}, {Field::WaypointLongitudeHemisphere, longitude < 0 ? 1 : 0}},
                                {Field::WaypointLatitudeDegrees, Field::WaypointLatitudeMinutes, Field::WaypointLongitudeDegrees, Field::WaypointLongitudeMinutes}, false);
  if (!r.accepted) return r;
  MessageCapture capture(m);
  m.BtModWpClick();
  if (!capture.empty()) {  // the waypoint in force stays: so do its fields
    for (FieldText& t : before) m.panel()[t.field].setText(std::move(t.text));
    m.panel()[Field::WaypointLatitudeHemisphere].setItemIndex(nsBefore);
    m.panel()[Field::WaypointLongitudeHemisphere].setItemIndex(ewBefore);
    return Refused(capture.text());
  }
  return Accepted();
}

CommandResult BoatCommands::SetMagneticVariation(long double degreesEast) {
  CommandResult r = TypeAndTake({{Field::VariationInput, generalForm(std::fabs(degreesEast))}},
                                {{Field::VariationSide, degreesEast < 0 ? 1 : 0}}, {Field::VariationInput}, false);
  if (!r.accepted) return r;
  program_.model().RdgDeclClick();
  return Accepted();
}

CommandResult BoatCommands::Start() {
  MessageCapture capture(program_.model());
  program_.model().BtCALCClick();
  return Accepted(capture.text());
}

CommandResult BoatCommands::Pause() {
  VentrelModel& m = program_.model();
  const SimState& s = m.state();
  if (s.PremPasse) return Refused("La simulation n'est pas démarrée : rien à mettre en pause.");
  if (s.StPause) return Refused("La simulation est déjà en pause.");
  if (!m.panel()[Field::PauseResumeButton].enabled() || Busy()) {
    return Refused("Pause indisponible pendant une manœuvre ou une rotation du courant.");
  }
  MessageCapture capture(m);
  m.SpBtPauseResClick();
  if (!m.state().StPause) return Refused("La pause n'a pas été prise. " + capture.text());
  return Accepted(capture.text());
}

CommandResult BoatCommands::Resume() {
  VentrelModel& m = program_.model();
  if (!m.state().StPause) return Refused("La simulation n'est pas en pause : rien à reprendre.");
  if (!m.panel()[Field::PauseResumeButton].enabled()) return Refused("Reprise indisponible pour le moment.");
  MessageCapture capture(m);
  m.SpBtPauseResClick();
  if (m.state().StPause) return Refused("La reprise n'a pas été prise. " + capture.text());
  return Accepted(capture.text());
}

CommandResult BoatCommands::Step() {
  VentrelModel& m = program_.model();
  const SimState& s = m.state();
  if (s.PremPasse) return Refused("La simulation n'est pas démarrée : rien à avancer.");
  if (!s.StPause) return Refused("Pas à pas : mettez d'abord la simulation en pause.");
  MessageCapture capture(m);
  m.StepWhilePaused();
  program_.transmission().StepPhase();
  return Accepted(capture.text());
}

namespace {

// Why a tack, a gybe or a best-haul search cannot start now ("" when it can).
std::string ManoeuvreRefusal(const VentrelModel& m, std::string_view what) {
  const SimState& s = m.state();
  const std::string head = std::string(what) + " impossible : ";
  if (s.PremPasse) return head + "la simulation n'est pas démarrée.";
  if (s.StPause) return head + "la simulation est en pause.";
  if (s.ModPil != TModPil::AUTO) return head + "le pilote est en STDBY.";
  if (m.ManoeuvreRunning()) return head + "une manœuvre est déjà en cours.";
  if (m.CurrentRotating()) return head + "le courant alterné tourne.";
  return {};
}

}  // namespace

CommandResult BoatCommands::Tack() {
  VentrelModel& m = program_.model();
  if (std::string why = ManoeuvreRefusal(m, "Virement"); !why.empty()) return Refused(why);
  if (!m.panel()[Field::TackButton].enabled()) return Refused("Virement impossible : le bouton est désactivé.");
  MessageCapture capture(m);
  m.SBtVireClick();
  if (!m.state().VireEncour) return Refused("Le virement n'a pas commencé. " + capture.text());
  return Accepted(capture.text());
}

CommandResult BoatCommands::Gybe() {
  VentrelModel& m = program_.model();
  if (std::string why = ManoeuvreRefusal(m, "Empannage"); !why.empty()) return Refused(why);
  if (!m.panel()[Field::GybeButton].enabled()) return Refused("Empannage impossible : le bouton est désactivé.");
  MessageCapture capture(m);
  m.SBtEmpClick();
  if (!m.state().EmpEncour) return Refused("L'empannage n'a pas commencé. " + capture.text());
  return Accepted(capture.text());
}

CommandResult BoatCommands::BestHaul() {
  VentrelModel& m = program_.model();
  if (std::string why = ManoeuvreRefusal(m, "Recherche du près"); !why.empty()) return Refused(why);
  if (!m.panel()[Field::BestHaulButton].enabled()) return Refused("Recherche du près impossible : le bouton est désactivé.");
  MessageCapture capture(m);
  m.BtBestHaulClick();
  if (!m.state().RecENCour) return Refused("La recherche du près n'a pas commencé. " + capture.text());
  return Accepted(capture.text());
}

CommandResult BoatCommands::Auto() {
  VentrelModel& m = program_.model();
  if (m.ManoeuvreRunning()) return Refused("Pilote AUTO impossible : une manœuvre est en cours.");
  if (!m.state().PremPasse && !m.panel()[Field::AutoButton].enabled()) {
    return Refused("Pilote AUTO impossible : le bouton est désactivé (simulation en pause).");
  }
  MessageCapture capture(m);
  m.SpBtAUTOClick();
  return Accepted(capture.text());
}

CommandResult BoatCommands::Standby() {
  VentrelModel& m = program_.model();
  if (m.ManoeuvreRunning()) return Refused("Pilote STDBY impossible : une manœuvre est en cours.");
  if (!m.state().PremPasse && !m.panel()[Field::StandbyButton].enabled()) {
    return Refused("Pilote STDBY impossible : le bouton est désactivé (simulation en pause).");
  }
  MessageCapture capture(m);
  m.SpBtStdBYClick();
  return Accepted(capture.text());
}

CommandResult BoatCommands::Navigate() {
  VentrelModel& m = program_.model();
  if (m.ManoeuvreRunning()) return Refused("Pilote NAV impossible : une manœuvre est en cours.");
  if (!m.state().PremPasse && !m.panel()[Field::NavButton].enabled()) {
    return Refused("Pilote NAV impossible : le bouton est désactivé (simulation en pause).");
  }
  MessageCapture capture(m);
  m.SpBtNAVClick();
  if (!m.nav().engaged) return Refused("Le pilote NAV n'a pas été pris. " + capture.text());
  return Accepted(capture.text());
}

namespace {

// A waypoint name from outside as our own sentences can carry it: printable
// ASCII without the characters that frame a sentence, at most 32 characters.
std::string SafeName(std::string_view name) {
  std::string out;
  for (const char c : name) {
    if (out.size() == 32) break;
    if (c < 0x20 || c > 0x7E) continue;
    if (c == '$' || c == '!' || c == '*' || c == ',' || c == '\\' || c == '^' || c == '~') continue;
    out += c;
  }
  return out;
}

bool SamePlace(const TPos_elem& p, long double latitude, long double longitude) {
  constexpr long double kDegrees = 1e-6L;  // about 0.1 m
  return std::fabs(p.lat - latitude) <= kDegrees && std::fabs(LongGeo(p.long_) - longitude) <= kDegrees;
}

}  // namespace

CommandResult BoatCommands::Steer(const SteeringSentence& sentence) {
  VentrelModel& m = program_.model();
  if (!m.NavTake(sentence).usable) return Refused("Phrase sans consigne de pilotage utilisable.");
  const NavPilotState& nav = m.nav();
  if (!nav.engaged || !nav.order) return Accepted();
  const SteeringOrder& order = *nav.order;
  const std::string name = SafeName(order.destination);
  std::vector<std::string> lines;
  const WaypointState& w = m.waypoint();
  if (!name.empty() && order.latitude && order.longitude &&
      (!w.WpUsed || w.Wp.P.nom != name || !SamePlace(w.Wp.P, *order.latitude, *order.longitude))) {
    const bool renamed = w.Wp.P.nom != name;
    const CommandResult r = SetWaypoint(name, *order.latitude, *order.longitude);
    if (!r.accepted) {
      lines.push_back("Pilote NAV : destination " + name + " refusée. " + r.why);
    } else if (renamed) {
      lines.push_back("Pilote NAV : destination " + name);
    }
  }
  const std::string arrivedAt = name.empty() ? std::string("la destination") : name;
  if (order.arrived && arrivalTold_ != arrivedAt) {
    arrivalTold_ = arrivedAt;
    lines.push_back("Pilote NAV : arrivée à " + arrivedAt);
  } else if (!order.arrived && arrivalTold_ == arrivedAt) {
    arrivalTold_.clear();
  }
  std::string why;
  for (const std::string& line : lines) {
    program_.transmission().log().visible.Add(line);
    if (!why.empty()) why += "\n";
    why += line;
  }
  return Accepted(why);
}

CommandResult BoatCommands::Helm(int degreesToStarboard) {
  VentrelModel& m = program_.model();
  if (degreesToStarboard < -kHelmReach || degreesToStarboard > kHelmReach) {
    return Refused("Barre : « " + std::to_string(degreesToStarboard) + " » hors limites (-15 à 15 degrés par seconde).");
  }
  PanelField& bar = m.panel()[Field::HelmBar];
  if (m.state().ModPil != TModPil::STDBY || !bar.enabled()) {
    return Refused("Barre inactive : elle ne sert qu'en STDBY, hors pause.");
  }
  // A bar left of the middle turns the boat to starboard.
  bar.setPosition(kHelmCentre - degreesToStarboard);
  m.state().SetHelmFromBar(kHelmCentre - degreesToStarboard);
  return Accepted();
}

CommandResult BoatCommands::SelectSentences(const std::vector<std::string>& types, const Talkers& talkers) {
  NmeaSelection next = program_.selection();
  next.checked.fill(false);
  for (const std::string& type : types) {
    bool found = false;
    for (int i = 0; i < kNmeaItems; ++i) {
      if (kNmeaItemTable[static_cast<std::size_t>(i)].type == type) {
        next.checked[static_cast<std::size_t>(i)] = true;
        found = true;
      }
    }
    if (!found) return Refused("Phrase NMEA inconnue : « " + type + " », la sélection en cours est conservée.");
  }
  const std::array<std::pair<const std::string*, int*>, 4> groups{{{&talkers.position, &next.RdGDevPos},
                                                                   {&talkers.sounder, &next.RdGDevSond},
                                                                   {&talkers.instruments, &next.RdGInst},
                                                                   {&talkers.wind, &next.RdGWI}}};
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const TalkerRadio& radio = kTalkerRadios[g];
    const std::string& id = *groups[g].first;
    if (id == radio.ids[0]) {
      *groups[g].second = 0;
    } else if (id == radio.ids[1]) {
      *groups[g].second = 1;
    } else {
      return Refused("Émetteur « " + id + " » inconnu pour « " + std::string(radio.caption) + " » (" +
                     std::string(radio.ids[0]) + " ou " + std::string(radio.ids[1]) +
                     "), la sélection en cours est conservée.");
    }
  }
  program_.selection() = next;
  program_.selection().BtParNMEA_OKClick(program_.nmea());
  // The depth box shows the depth only while DPT is sent.
  VentrelModel& m = program_.model();
  m.dial().PaintBxProfPaint(m.state().dbs, m.state().WatrTemp);
  return Accepted();
}

BoatReadout BoatCommands::Readout() const {
  const VentrelModel& m = program_.model();
  const SimState& s = m.state();
  const WaypointState& w = m.waypoint();
  BoatReadout r;
  r.secondsSinceStart = static_cast<long double>(s.t) / s.tdiv;
  r.latitude = s.Pact.lat;
  r.longitude = LongGeo(s.Pact.long_);
  r.headingTrue = Wrap360(s.BS.argt);
  r.headingMagnetic = Wrap360(s.hdm);
  r.magneticVariation = s.Declin;
  r.boatSpeed = s.BS.mdl;
  r.speedOverGround = s.SOG;
  r.courseOverGround = Wrap360(s.COG);
  r.trueWindSpeed = s.TW.mdl;
  r.trueWindDirection = Wrap360(s.TW.argt);
  r.trueWindAngle = s.TWA;
  r.apparentWindSpeed = s.AWS;
  r.apparentWindDirection = Wrap360(s.AWD);
  r.apparentWindAngle = s.AWA;
  r.currentSpeed = s.CUR.mdl;
  r.currentDirection = Wrap360(s.CUR.argt);
  r.depth = s.dbs;
  r.waypointUsed = w.WpUsed;
  r.waypointDistance = w.Wp.dist;
  r.waypointBearing = w.Wp.relev;
  r.pilot = m.nav().engaged               ? PilotMode::navigation
            : s.ModPil == TModPil::AUTO ? PilotMode::automatic
                                        : PilotMode::standby;
  if (m.nav().order) {
    r.navHeadingAsked = m.nav().order->headingTrue;
    r.navDestination = m.nav().order->destination;
    r.navArrived = m.nav().order->arrived;
  }
  r.helmOffset = kHelmCentre - m.panel()[Field::HelmBar].position();
  r.tack = TackSideOf(s) == SailingTack::tribord ? TackSide::starboard : TackSide::port;
  r.tacking = s.VireEncour;
  r.gybing = s.EmpEncour;
  r.bestHaulRunning = s.RecENCour;
  r.tacksBegun = m.tacksBegun();
  r.gybesBegun = m.gybesBegun();
  r.started = !s.PremPasse;
  r.paused = s.StPause;
  return r;
}

}  // namespace ventrel
