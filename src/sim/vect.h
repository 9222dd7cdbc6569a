#pragma once
// Vectors in polar form and their sum through a small complex-number module.
//
// t_vect: `mdl` a speed in knots (or a length in pixels when drawing), `argt` an
// angle in degrees [0, 360) clockwise from north. For the winds (TW, SW, AW) argt is
// the direction the wind blows from; for the boat (BS) the heading; for the current
// (CUR) and the motion over ground (OG) the direction of travel. With these
// conventions TW ⊕ CUR is the wind over the water, BS ⊕ SW the apparent wind and
// CUR ⊕ BS the motion over ground.

namespace ventrel {

struct t_vect {
  long double mdl = 0.0L;
  long double argt = 0.0L;
};

// A complex number filled either in rectangular form (ree, ima) or in polar form
// (modu, arg radians); MAG and PRI fill in the other pair.
struct complex {
  double ree = 0.0;
  double ima = 0.0;
  double modu = 0.0;
  double arg = 0.0;
};

// Sets modu and arg from ree and ima; arg in (-pi/2, 3pi/2); (0, 0) gives -pi/2.
void MAG(complex& x);
// Sets ree and ima from modu and arg.
void PRI(complex& x);
// x + y (rectangular parts), with MAG applied to the sum.
complex ADD(const complex& x, const complex& y);
// Sum of two complex numbers given in polar form, all four fields set.
complex Sigma_ma(complex x, complex y);
// Vector sum; the angle of the result lies in [0, 360). Two zero vectors give (0, 270).
t_vect Sigma_vect(t_vect V1, t_vect V2);

}  // namespace ventrel
