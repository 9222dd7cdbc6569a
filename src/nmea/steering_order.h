#pragma once
// What a chart plotter asks the pilot, gathered from the steering sentences it
// sends (APB, RMB, XTE, HSC; see nmea_input.h): the heading to follow, the
// cross-track error, the destination and its arrival.
//
// The heading to follow is, among the sentences still fresh: APB's heading to
// steer, else APB's bearing from the present position to the destination, else
// RMB's bearing to the destination, else HSC's heading. Magnetic values are made
// true with the variation given when the sentence is taken.
//
// A sentence steers only when it names an active course: APB and RMB need status
// A and a destination name (a plotter whose course was cleared keeps sending APB
// with status A, no name and a bearing to north), RMB also the destination's
// position. After an APB without a destination, RMB does not steer until an APB
// names one again: the plotter's last RMB may repeat for a few seconds after the
// course was cleared.
//
// The destination's name is APB's when APB and RMB are both fresh: some plotter
// software writes the destination's name in RMB's origin field (and something
// else in its destination field). RMB's position goes with it when RMB names that
// waypoint in either field; an RMB that names neither is of another leg, and the
// position waits for the next one.

#include <cstdint>
#include <optional>
#include <string>

#include "nmea/nmea_input.h"

namespace ventrel {

struct SteeringOrder {
  long double headingTrue = 0;     // degrees true, 0 to 360
  std::string headingSource;       // "APB cap à suivre", "APB relèvement", "RMB relèvement", "HSC"
  std::optional<long double> crossTrackNm;  // positive: the boat is left of the course (steer right)
  std::string destination;         // "" when no sentence named one
  std::optional<long double> latitude, longitude;  // of the destination (RMB), decimal degrees
  bool arrived = false;            // APB or RMB says the destination is reached
};

class SteeringOrders {
 public:
  // A sentence read at `nowMs` (milliseconds of the caller's clock); true when it
  // can steer the boat. `variationEast`: degrees, east positive.
  bool Take(const SteeringSentence& sentence, std::int64_t nowMs, long double variationEast);
  // The order from the sentences taken within `freshMs` before `nowMs`; nothing
  // when none of them can steer.
  std::optional<SteeringOrder> Current(std::int64_t nowMs, std::int64_t freshMs) const;
  void Clear() { *this = SteeringOrders(); }

 private:
  struct FromApb {
    std::optional<long double> headingToSteer, bearingToDestination;  // true
    std::optional<long double> crossTrackNm;
    std::string destination;
    bool arrived = false;
  };
  struct FromRmb {
    long double bearing = 0;  // true
    std::optional<long double> crossTrackNm;
    std::string origin, destination;
    long double latitude = 0, longitude = 0;
    bool arrived = false;
  };

  struct TakenApb {
    FromApb value;
    std::int64_t ms;
  };
  struct TakenRmb {
    FromRmb value;
    std::int64_t ms;
  };
  struct TakenNumber {
    long double value;
    std::int64_t ms;
  };

  std::optional<TakenApb> apb_;
  std::optional<TakenRmb> rmb_;
  std::optional<TakenNumber> xte_;  // nautical miles, positive: steer right
  std::optional<TakenNumber> hsc_;  // heading true
  bool courseCleared_ = false;
};

}  // namespace ventrel
