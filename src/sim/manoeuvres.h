#pragma once
// Tack, gybe and best-haul search: the pieces that do not touch the window model
// (the speed-loss curve of a tack, one heading step, the bounds of the search),
// and the bookkeeping the model keeps for them beside the simulated state.
//
// Angles in degrees; headings clockwise from north, kept in [0, 360] by one
// correction per step (a step is never more than 180 degrees).

#include <cstdint>

#include "sim/sim_state.h"

namespace ventrel {

// A tack: 13 heading steps carry the boat from SWA on one side to SWA on the
// other; step 8 is the dead point (no tick); from step 25 on the tack is over.
inline constexpr std::int32_t kTackTurnSteps = 13;
inline constexpr std::int32_t kTackDeadPoint = 8;
inline constexpr std::int32_t kTackEndStep = 25;
// The boat speed at the dead point, as a fraction of the speed at the start.
inline constexpr long double kTackDeadPointSpeed = 0.3377L;
// A gybe: 65 heading steps of 200 ms; the 66th step ends it.
inline constexpr std::int32_t kGybeTurnSteps = 65;
inline constexpr std::int32_t kGybeEndStep = 66;

// Speed-loss factors of a tack at step tv:
// - steps 1..7, pinching past the polar's first angle: fraction of SpMax;
// - steps 9..13, accelerating out of the dead point: fraction of SpMin;
// - steps 14..24, the heading steady again: fraction of the polar's speed.
long double TackFactorPinching(std::int32_t tv);
long double TackFactorOutOfDeadPoint(std::int32_t tv);
long double TackFactorRecovery(std::int32_t tv);

// `heading` (degrees) turned by `step` degrees (>= 0) to port (ababord, the heading
// decreases) or to starboard (atribord); 360 taken off once above 360, added once
// below 0.
long double TurnHeading(long double heading, long double step, TurnSide dir);
TurnSide Reversed(TurnSide dir);

// The best-haul search: the approach turns toward the wind by 1/26 of the
// starting wind angle per second, the fine steps after the reversal bear away by
// 1/676 of it; the search ends when the wind angle is above the optimum by less
// than kBestHaulWindow.
inline constexpr long double kBestHaulCoarse = 26.0L;
inline constexpr long double kBestHaulFine = 676.0L;
inline constexpr long double kBestHaulWindow = 0.3L;
// In a steady wind the approach needs at most 26 steps (26 steps would put the
// bow in the wind) and the fine steps at most 676 (see TimerPresTimer): more than
// twice that means the wind angle does not answer the helm, and the search stops.
inline constexpr std::int32_t kBestHaulMaxApproach = 2 * 26;
inline constexpr std::int32_t kBestHaulMaxFine = 2 * 676;

// What the model keeps of a manoeuvre beyond the shared state of SimState
// (cvir, Da, Dapp, switched_dir, SpMax, SpDep, SpMin, tv, te).
struct ManoeuvreState {
  // Best-haul search: steps taken before and after the reversal.
  std::int32_t approachSteps = 0;
  std::int32_t fineSteps = 0;
  // The heading whose wind angle came nearest the optimum, and that distance
  // (degrees); where a search that must stop leaves the boat.
  long double bestHeading = 0.0L;
  long double bestGap = 0.0L;
};

}  // namespace ventrel
