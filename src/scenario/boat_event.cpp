#include "scenario/boat_event.h"

#include <array>
#include <cstdio>

namespace ventrel {

std::string_view EventName(const BoatEvent& e) {
  // In the order of the variant's alternatives.
  static constexpr std::array<std::string_view, std::variant_size_v<BoatEvent>> kNames = {
      "heading", "wind",   "current", "waypoint",  "pilot",         "helm",  "tack",        "gybe", "best_haul",
      "start",   "pause",  "resume",  "sentences", "polar",         "polar_percent", "fault", "clear_fault"};
  return kNames[e.index()];
}

std::string RunClockText(std::int64_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  return text;
}

}  // namespace ventrel
