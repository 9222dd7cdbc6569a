// The complex-number module behind the vector sum. The compass angle of a t_vect is
// used directly as the argument of the complex number: both operands are treated
// alike, so the bearing of the sum comes out right without converting bearings to
// mathematical angles.

#include "sim/vect.h"

#include <cmath>
#include <numbers>

#include "nav/conversions.h"

namespace ventrel {

void MAG(complex& x) {
  x.modu = std::sqrt(x.ree * x.ree + x.ima * x.ima);
  if (x.ree != 0.0) {
    x.arg = std::atan(x.ima / x.ree);
    if (x.ree < 0.0) x.arg += std::numbers::pi;
  } else {
    // Straight up or down; the origin is given the downward direction.
    x.arg = x.ima > 0.0 ? std::numbers::pi / 2.0 : -std::numbers::pi / 2.0;
  }
}

void PRI(complex& x) {
  x.ree = std::cos(x.arg) * x.modu;
  x.ima = std::sin(x.arg) * x.modu;
}

complex ADD(const complex& x, const complex& y) {
  complex sum;
  sum.ree = x.ree + y.ree;
  sum.ima = x.ima + y.ima;
  MAG(sum);
  return sum;
}

complex Sigma_ma(complex x, complex y) {
  PRI(x);
  PRI(y);
  return ADD(x, y);
}

t_vect Sigma_vect(t_vect V1, t_vect V2) {
  complex x;
  x.modu = static_cast<double>(V1.mdl);
  x.arg = static_cast<double>(DEC_RAD(V1.argt));
  complex y;
  y.modu = static_cast<double>(V2.mdl);
  y.arg = static_cast<double>(DEC_RAD(V2.argt));
  const complex s = Sigma_ma(x, y);

  t_vect sum;
  sum.mdl = s.modu;
  long double a = RAD_DEC(s.arg);  // (-90, 270)
  if (a < 0.0L) a += 360.0L;
  // A hair below zero would round to 360 once shifted; keep the bearing in [0, 360)
  // and never write a negative zero.
  if (a >= 360.0L) a -= 360.0L;
  sum.argt = a + 0.0L;
  return sum;
}

}  // namespace ventrel
