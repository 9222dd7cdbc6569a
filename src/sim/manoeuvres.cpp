// The pieces of a tack and a gybe that do not touch the window model: the
// speed-loss curve of a tack and one heading step.

#include "sim/manoeuvres.h"

namespace ventrel {

long double TackFactorPinching(std::int32_t tv) {
  const long double x = tv;
  return -0.0023L * x * x * x + 0.0044L * x * x - 0.0147L * x + 1.0139L;
}

long double TackFactorOutOfDeadPoint(std::int32_t tv) {
  const long double x = tv;
  return 0.0101L * x * x - 0.0906L * x + 1.1287L;
}

long double TackFactorRecovery(std::int32_t tv) {
  const long double x = tv;
  return -0.0053L * x * x + 0.2357L * x - 1.5963L;
}

long double TurnHeading(long double heading, long double step, TurnSide dir) {
  long double h = dir == TurnSide::ababord ? heading - step : heading + step;
  if (h > 360) h -= 360;
  if (h < 0) h += 360;
  return h;
}

TurnSide Reversed(TurnSide dir) { return dir == TurnSide::ababord ? TurnSide::atribord : TurnSide::ababord; }

}  // namespace ventrel
