#include "scenario/boat_event.h"

#include <array>

namespace ventrel {

std::string_view EventName(const BoatEvent& e) {
  // In the order of the variant's alternatives.
  static constexpr std::array<std::string_view, std::variant_size_v<BoatEvent>> kNames = {
      "heading", "wind",   "current", "waypoint",  "pilot",         "helm",  "tack",        "gybe", "best_haul",
      "start",   "pause",  "resume",  "sentences", "polar",         "polar_percent", "fault", "clear_fault"};
  return kNames[e.index()];
}

}  // namespace ventrel
