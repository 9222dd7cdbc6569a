#include "sim/variations.h"

#include <cmath>

#include "nav/trig.h"

namespace ventrel {

namespace {
constexpr long double kW = 0.0698131700797732L;  // 2 pi / 90 s
}

SlowSines SlowSinesAt(long double s) {
  return {SinL(kW * s + 0.628318531L), SinL(3 * kW * s + 0.579629641L),
          SinL(5 * kW * s + 0.285599332L)};
}

long double WindSpeedTerms(long double s) {
  return 0.27L * SinL(0.20943951023932L * s + 0.628318531L) +
         0.05L * SinL(0.62831853071796L * s + 3.695991357L) +
         0.06L * SinL(1.0471975511966L * s + 0.285599332L);
}

long double WindDirTerms(const SlowSines& w) { return 4 * w.p90 + 6 * w.p30 + 2 * w.p18; }

long double HeadingTerms(long double s) {
  return 2 * SinL(0.1256L * s + 2.094L) + 0.3L * SinL(3 * 0.1256L * s + 0.5796L) +
         0.6L * SinL(5 * 0.1256L * s + 0.349L);
}

long double Depth(const SlowSines& w) { return 13 + (4 * w.p90 + 1.2L * w.p30 + 0.8L * w.p18); }

}  // namespace ventrel
