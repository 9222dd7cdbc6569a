// Events onto the boat's commands, ramps one step a second, faults onto the outputs.

#include "scenario/event_player.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

#include "nmea/selection.h"
#include "sim/wind.h"

namespace ventrel {

namespace {

CommandResult Accepted(std::string why = {}) { return {true, std::move(why)}; }
CommandResult Refused(std::string why) { return {false, std::move(why)}; }

// The change from `from` to `to` the shorter way round, in (-180, 180].
long double ShorterTurn(long double from, long double to) {
  long double d = std::fmod(to - from, 360.0L);
  if (d > 180) d -= 360;
  if (d <= -180) d += 360;
  return d;
}

}  // namespace

struct EventPlayer::Ramp {
  Ramped what;
  long double from = 0, to = 0;  // directions: `to` is `from` plus the shorter turn
  int steps = 1, done = 0;

  // The value of the next step; the last step gives `to` exactly.
  long double Step() {
    ++done;
    if (done >= steps) return to;
    return from + (to - from) * done / steps;
  }
  bool Over() const { return done >= steps; }
};

EventPlayer::EventPlayer(BoatCommands& commands, VentrelProgram& program, OutputFaults& faults)
    : commands_(commands), program_(program), faults_(faults) {}

bool EventPlayer::Ramping() const { return !ramps_.empty(); }

void EventPlayer::DropRamps(std::initializer_list<Ramped> what) {
  std::erase_if(ramps_, [&](const std::shared_ptr<Ramp>& r) {
    return std::find(what.begin(), what.end(), r->what) != what.end();
  });
}

void EventPlayer::BeginRamp(Ramped what, long double from, long double to, long double overSeconds) {
  DropRamps({what});
  const bool direction = what == Ramped::heading || what == Ramped::windFrom || what == Ramped::currentToward;
  auto r = std::make_shared<Ramp>();
  r->what = what;
  r->from = from;
  r->to = direction ? from + ShorterTurn(from, to) : to;
  r->steps = std::max(1, static_cast<int>(std::ceil(overSeconds)));
  ramps_.push_back(std::move(r));
}

CommandResult EventPlayer::PlayHeading(const HeadingEvent& e) {
  if (e.overSeconds <= 0) {
    DropRamps({Ramped::heading});
    return commands_.AdjustHeading(e.degreesTrue);
  }
  if (std::string why = commands_.AdjustRefusal(BoatCommands::Adjusted::heading); !why.empty()) return Refused(why);
  BeginRamp(Ramped::heading, commands_.InForce().heading, e.degreesTrue, e.overSeconds);
  return Accepted();
}

CommandResult EventPlayer::PlayWind(const TrueWindEvent& e) {
  if (!e.knots && !e.fromDegrees) return Refused("Vent : ni force ni direction données, rien n'est changé.");
  const BoatCommands::LiveValues v = commands_.InForce();
  if (e.overSeconds <= 0) {
    if (e.knots) DropRamps({Ramped::windSpeed});
    if (e.fromDegrees) DropRamps({Ramped::windFrom});
    return commands_.AdjustTrueWind(e.knots.value_or(v.windKnots), e.fromDegrees.value_or(v.windFrom));
  }
  if (std::string why = commands_.AdjustRefusal(BoatCommands::Adjusted::wind); !why.empty()) return Refused(why);
  if (e.knots) BeginRamp(Ramped::windSpeed, v.windKnots, *e.knots, e.overSeconds);
  if (e.fromDegrees) BeginRamp(Ramped::windFrom, v.windFrom, *e.fromDegrees, e.overSeconds);
  return Accepted();
}

CommandResult EventPlayer::PlayCurrent(const CurrentEvent& e) {
  if (!e.knots && !e.towardDegrees && !e.kind) {
    return Refused("Courant : ni force, ni direction, ni type donnés, rien n'est changé.");
  }
  BoatCommands::LiveValues v = commands_.InForce();
  if (e.kind && *e.kind != v.currentKind) {
    // A new kind goes through the panel's radio and "Démarrer", as typed.
    DropRamps({Ramped::currentSpeed, Ramped::currentToward});
    if (e.overSeconds <= 0) {
      return commands_.SetCurrent(e.knots.value_or(v.currentKnots), e.towardDegrees.value_or(v.currentToward), *e.kind);
    }
    if (CommandResult r = commands_.SetCurrent(v.currentKnots, v.currentToward, *e.kind); !r.accepted) return r;
    v = commands_.InForce();
  }
  if (!e.knots && !e.towardDegrees) return Accepted();
  if (e.overSeconds <= 0) {
    if (e.knots) DropRamps({Ramped::currentSpeed});
    if (e.towardDegrees) DropRamps({Ramped::currentToward});
    return commands_.AdjustCurrent(e.knots.value_or(v.currentKnots), e.towardDegrees.value_or(v.currentToward));
  }
  if (std::string why = commands_.AdjustRefusal(BoatCommands::Adjusted::current); !why.empty()) return Refused(why);
  if (e.knots) BeginRamp(Ramped::currentSpeed, v.currentKnots, *e.knots, e.overSeconds);
  if (e.towardDegrees) BeginRamp(Ramped::currentToward, v.currentToward, *e.towardDegrees, e.overSeconds);
  return Accepted();
}

CommandResult EventPlayer::PlaySentences(const SentencesEvent& e) {
  const NmeaSelection& sel = program_.selection();
  std::vector<std::string> types;
  if (e.types) {
    types = *e.types;
  } else {
    for (int i = 0; i < kNmeaItems; ++i) {
      if (sel.checked[static_cast<std::size_t>(i)]) types.emplace_back(kNmeaItemTable[static_cast<std::size_t>(i)].type);
    }
  }
  // A talker left out stays as the dialog's radio group has it.
  const auto inForce = [](std::size_t group, int index) { return std::string(kTalkerRadios[group].ids[index == 1 ? 1 : 0]); };
  Talkers t;
  t.position = e.position.value_or(inForce(0, sel.RdGDevPos));
  t.sounder = e.sounder.value_or(inForce(1, sel.RdGDevSond));
  t.instruments = e.instruments.value_or(inForce(2, sel.RdGInst));
  t.wind = e.wind.value_or(inForce(3, sel.RdGWI));
  return commands_.SelectSentences(types, t);
}

CommandResult EventPlayer::PlayFault(const FaultEvent& e, std::int64_t nowMs) {
  OutputFault f;
  f.kind = e.kind;
  f.types = e.types;
  if (e.forSeconds) f.untilMs = nowMs + static_cast<std::int64_t>(std::llround(*e.forSeconds * 1000));
  faults_.Add(std::move(f));
  return Accepted();
}

CommandResult EventPlayer::PlayClearFault(const ClearFaultEvent& e) {
  if (faults_.Clear(e.kind, e.types) == 0) return Accepted("Aucun défaut en cours ne correspond : rien à lever.");
  return Accepted();
}

CommandResult EventPlayer::Play(const BoatEvent& e, std::int64_t nowMs) {
  return std::visit(
      [&](const auto& ev) -> CommandResult {
        using E = std::decay_t<decltype(ev)>;
        if constexpr (std::is_same_v<E, HeadingEvent>) return PlayHeading(ev);
        else if constexpr (std::is_same_v<E, TrueWindEvent>) return PlayWind(ev);
        else if constexpr (std::is_same_v<E, CurrentEvent>) return PlayCurrent(ev);
        else if constexpr (std::is_same_v<E, WaypointEvent>) return commands_.SetWaypoint(ev.name, ev.latitude, ev.longitude);
        else if constexpr (std::is_same_v<E, PilotEvent>) {
          switch (ev.mode) {
            case PilotMode::automatic: return commands_.Auto();
            case PilotMode::standby: return commands_.Standby();
            case PilotMode::navigation: return commands_.Navigate();
          }
          return Refused("Mode de pilote inconnu.");
        }
        else if constexpr (std::is_same_v<E, HelmEvent>) return commands_.Helm(ev.degreesToStarboard);
        else if constexpr (std::is_same_v<E, TackEvent>) return commands_.Tack();
        else if constexpr (std::is_same_v<E, GybeEvent>) return commands_.Gybe();
        else if constexpr (std::is_same_v<E, BestHaulEvent>) return commands_.BestHaul();
        else if constexpr (std::is_same_v<E, StartEvent>) return commands_.Start();
        else if constexpr (std::is_same_v<E, PauseEvent>) return commands_.Pause();
        else if constexpr (std::is_same_v<E, ResumeEvent>) return commands_.Resume();
        else if constexpr (std::is_same_v<E, SentencesEvent>) return PlaySentences(ev);
        else if constexpr (std::is_same_v<E, PolarEvent>) return commands_.SetPolar(ev.file);
        else if constexpr (std::is_same_v<E, PolarPercentEvent>) return commands_.SetPolarPercentage(ev.percent);
        else if constexpr (std::is_same_v<E, FaultEvent>) return PlayFault(ev, nowMs);
        else return PlayClearFault(ev);
      },
      e);
}

std::vector<EventPlayer::RampStopped> EventPlayer::Second(std::int64_t nowMs) {
  faults_.Expire(nowMs);
  std::vector<RampStopped> stopped;
  if (ramps_.empty()) return stopped;
  std::optional<long double> heading, windSpeed, windFrom, currentSpeed, currentToward;
  for (const std::shared_ptr<Ramp>& r : ramps_) {
    const long double x = r->Step();
    switch (r->what) {
      case Ramped::heading: heading = Wrap360(x); break;
      case Ramped::windSpeed: windSpeed = x; break;
      case Ramped::windFrom: windFrom = Wrap360(x); break;
      case Ramped::currentSpeed: currentSpeed = x; break;
      case Ramped::currentToward: currentToward = Wrap360(x); break;
    }
  }
  // A refused step ends the ramps of that command.
  const auto take = [&](const CommandResult& r, const char* event, std::initializer_list<Ramped> what) {
    if (r.accepted) return;
    DropRamps(what);
    stopped.push_back({event, r.why});
  };
  const BoatCommands::LiveValues v = commands_.InForce();
  if (heading) take(commands_.AdjustHeading(*heading), "heading", {Ramped::heading});
  if (windSpeed || windFrom) {
    take(commands_.AdjustTrueWind(windSpeed.value_or(v.windKnots), windFrom.value_or(v.windFrom)), "wind",
         {Ramped::windSpeed, Ramped::windFrom});
  }
  if (currentSpeed || currentToward) {
    take(commands_.AdjustCurrent(currentSpeed.value_or(v.currentKnots), currentToward.value_or(v.currentToward)),
         "current", {Ramped::currentSpeed, Ramped::currentToward});
  }
  std::erase_if(ramps_, [](const std::shared_ptr<Ramp>& r) { return r->Over(); });
  return stopped;
}

}  // namespace ventrel
