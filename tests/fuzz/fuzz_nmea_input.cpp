// Fuzz target: sentences read from a plotter (the line reader and the steering
// sentences it understands).
//
// Any bytes, cut anywhere: every line is counted once (read, ignored or dropped
// for one reason), the same bytes fed whole or in two pieces give the same
// sentences, and what is read stays within its ranges. The sentences then go
// through the pilot's order and its decision for one second: the heading asked
// and the heading steered stay within 0 to 360.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "fuzz_check.h"
#include "nmea/nmea_input.h"
#include "nmea/steering_order.h"
#include "sim/nav_steering.h"

namespace {

using namespace ventrel;

bool InRange(const std::optional<long double>& x, long double lo, long double hi) {
  return !x || (std::isfinite(*x) && *x >= lo && *x <= hi);
}

bool Sound(const SteeringSentence& s) {
  if (const auto* a = std::get_if<ApbSentence>(&s)) {
    for (const auto* b : {&a->originToDestination, &a->presentToDestination, &a->headingToSteer}) {
      if (*b && !((*b)->degrees >= 0 && (*b)->degrees <= 360)) return false;
    }
    return InRange(a->crossTrackNm, -1e6L, 1e6L);
  }
  if (const auto* r = std::get_if<RmbSentence>(&s)) {
    return InRange(r->latitude, -90, 90) && InRange(r->longitude, -180, 180) && InRange(r->bearingTrue, 0, 360);
  }
  if (const auto* h = std::get_if<HscSentence>(&s)) {
    return InRange(h->headingTrue, 0, 360) && InRange(h->headingMagnetic, 0, 360);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const bool allowMissing : {false, true}) {
    NmeaLineReader whole(allowMissing);
    const std::vector<SteeringSentence> all = whole.Feed(bytes);
    const InputCounts& c = whole.counts();
    FUZZ_CHECK(c.used + c.ignored + c.dropped() == c.lines, "a line counted twice or not at all");
    FUZZ_CHECK(all.size() == c.used, "sentences returned differ from those counted");
    for (const SteeringSentence& s : all) FUZZ_CHECK(Sound(s), "a value read is out of its range");

    SteeringOrders orders;
    std::int64_t ms = 0;
    for (const SteeringSentence& s : all) {
      orders.Take(s, ms += 300, -3.5L);
      const std::optional<SteeringOrder> order = orders.Current(ms, 10000);
      if (!order) continue;
      FUZZ_CHECK(order->headingTrue >= 0 && order->headingTrue < 360, "an order outside 0 to 360");
      NavSituation situation;
      situation.heading = static_cast<long double>(ms % 360);
      situation.windFrom = static_cast<long double>((ms / 7) % 360);
      situation.headingAsked = order->headingTrue;
      situation.crossTrackKnown = order->crossTrackNm.has_value();
      situation.crossTrackNm = order->crossTrackNm.value_or(0);
      const NavDecision d = DecideNavStep(situation, NavPilotSettings{});
      FUZZ_CHECK(d.heading >= 0 && d.heading < 360 && d.aim >= 0 && d.aim < 360, "a heading steered outside 0 to 360");
    }

    NmeaLineReader pieces(allowMissing);
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    std::vector<SteeringSentence> again = pieces.Feed(bytes.substr(0, cut));
    for (SteeringSentence& s : pieces.Feed(bytes.substr(cut))) again.push_back(std::move(s));
    FUZZ_CHECK(again.size() == all.size() && pieces.counts().lines == c.lines,
               "the same bytes in two pieces read otherwise");
  }
  return 0;
}
