// Rhumb-line and great-circle geodesy on the sphere where 1' of arc is 1 nm.
// Reference values were computed independently in double precision from the textbook formulas:
//   rhumb line: dpsi = ln tan(pi/4 + phi2/2) - ln tan(pi/4 + phi1/2), q = dphi / dpsi,
//     distance = 60 * deg(sqrt(dphi^2 + q^2 dlambda^2)), course = atan2(dlambda, dpsi);
//   dead reckoning: phi2 = phi1 + D cos K / 60, lambda2 = lambda1 + deg(tan K * dpsi);
//   great circle: haversine distance; initial course
//     atan2(sin dl cos phi2, cos phi1 sin phi2 - sin phi1 cos phi2 cos dl).
// Tolerances: 1e-9 degree for positions and rhumb courses, 1e-6 nm for rhumb distances;
// 1e-3 nm and 0.01 degree on the great circle, whose course is taken as the course to a
// point 1/10000 of the way along it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "nav/conversions.h"
#include "nav/geodesy.h"

namespace ventrel {
namespace {

constexpr long double kPosTol = 1e-9L;
constexpr long double kDistTol = 1e-6L;

TEST(Longitudes, GeoGraphAndTheirCorrections) {
  long double (*const depass)(long double) = [](long double x) { return corrige_depass_G(x), x; };
  long double (*const corrige)(long double) = [](long double x) { return corrige_G(x), x; };
  const struct {
    long double (*fn)(long double);
    long double in, out, tol;
  } cases[] = {
      {LongGraph, 0.0L, 360.0L, 0},  {LongGraph, -1.5L, 358.5L, 0}, {LongGraph, -180.0L, 180.0L, 0},
      {LongGraph, 12.0L, 12.0L, 0},  {LongGeo, 358.5L, -1.5L, 0},   {LongGeo, 180.0L, 180.0L, 0},
      {LongGeo, 180.5L, -179.5L, 0}, {LongGeo, 360.0L, 0.0L, 0},  // corrige_depass_G: one correction each way
      {depass, 361.0L, 1.0L, 0},     {depass, -1.0L, 359.0L, 0},    {depass, 360.0L, 360.0L, 0},
      {depass, 0.0L, 0.0L, 0},       {depass, 720.5L, 360.5L, 0},   {depass, -360.5L, -0.5L, 0},
      {depass, 15.0L, 15.0L, 0},     {corrige, kPi, kPi, 1e-18L},   {corrige, 1.5L * kPi, -0.5L * kPi, 1e-18L},
      {corrige, -kPi, kPi, 1e-18L},  {corrige, 0.25L, 0.25L, 1e-18L}, {corrige, -1.5L * kPi, 0.5L * kPi, 1e-18L}};
  for (const auto& c : cases) EXPECT_NEAR(c.fn(c.in), c.out, c.tol) << c.in;
}

TEST(TPosElem, InitFromNumbersOrTexts) {
  TPos_elem p;
  p.Init("Depart", "", "", 47.5L, 356.25L);
  EXPECT_EQ(p.nom, "Depart");
  EXPECT_EQ(std::pair(p.lat, p.long_), std::pair(47.5L, 356.25L));
  p.Init("WP", "12.50000 S", "4,250000 W", 0.0L, 0.0L);
  EXPECT_EQ(std::pair(p.lat, p.long_), std::pair(-12.5L, -4.25L));
  p.Init("WP", "12.50000 N", "4.250000 E", 0.0L, 0.0L);
  EXPECT_EQ(std::pair(p.lat, p.long_), std::pair(12.5L, 4.25L));
  p.Init("WP", "abcdefgh N", "4.250000 E", 0.0L, 0.0L);  // not a number: the previous value stays
  EXPECT_EQ(p.lat, 12.5L);
  p.Init(std::string(300, 'x'), "", "", 1.0L, 2.0L);
  EXPECT_EQ(p.nom.size(), 255u);
}

TEST(DeadReckoning, MovesAlongRhumbLine) {
  const struct {
    long double lat, lon, K, D, expLat, expLon;
    const char* what;
  } cases[] = {
      {0, 359.99L, 90, 1.2L, 0, 0.01L, "east across the 0/360 seam"},
      {50, 10, 270, 60, 50, 8.444276173139588L, "60 nm west at 50N is 1/cos 50 degrees"},
      {45, 123.456789L, 0, 60, 46, 123.456789L, "due north"},
      {45, 359.999L, 180, 60, 44, 359.999L, "due south"},
      {12.3L, 0.1L, 180, 7.7L, 12.3L - 7.7L / 60, 0.1L, "due south near the seam"},
      {0, 0, 45, 100, 1.1785113019775793L, 1.1785944114793356L, "north-east from 0/360"},
      {50, 350, 135, 300, 46.46446609406726L, 355.3106658233607L, "south-east"},
      {-30, 20, 300, 500, -25.833333333333332L, 11.82987523549248L, "southern hemisphere"}};
  Mercator m;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TPos_elem r{"kept", 0.0L, 0.0L};
    m.Calcul_Pos_DIST_RELEVE(TPos_elem{"start", c.lat, c.lon}, r, c.K, c.D);
    EXPECT_NEAR(r.lat, c.expLat, kPosTol);
    EXPECT_NEAR(r.long_, c.expLon, c.K == 0 || c.K == 180 ? 0 : kPosTol);  // exact on a meridian course
    EXPECT_EQ(r.nom, "kept");
  }
  TPos_elem r;  // a course that is not a number leaves the position
  m.Calcul_Pos_DIST_RELEVE(TPos_elem{"", 10, 20}, r, std::numeric_limits<long double>::quiet_NaN(), 1);
  EXPECT_EQ(std::pair(r.lat, r.long_), std::pair(10.0L, 20.0L));
}

// Regression: a latitude carried past a pole made the Mercator function take the
// logarithm of a negative number, and the position became NaN.
TEST(DeadReckoning, HeldShortOfThePoles) {
  const struct {
    long double lat, K, D, expLat;
  } cases[] = {{89.99L, 0, 60, kMaxLat},     {89.99L, 30, 60, kMaxLat},  {-89.99L, 180, 60, -kMaxLat},
               {-89.99L, 200, 60, -kMaxLat}, {90, 45, 1, kMaxLat},       {95, 45, 1, kMaxLat},
               {-90, 120, 1, -kMaxLat},      {89.9999L, 90, 1, kMaxLat}, {89.9999L, 270, 500, kMaxLat},
               {89.99L, 89.9L, 10000, kMaxLat}};
  Mercator m;
  for (const auto& c : cases) {
    TPos_elem r;
    m.Calcul_Pos_DIST_RELEVE(TPos_elem{"", c.lat, 10}, r, c.K, c.D);
    EXPECT_NEAR(r.lat, c.expLat, 1e-12L) << c.lat << " " << c.K << " " << c.D;
    EXPECT_TRUE(std::isfinite(r.long_) && r.long_ >= 0 && r.long_ <= 360) << r.long_;
  }
  for (long double lat = -90; lat <= 90; lat += 7.5L) {
    for (long double K = 0; K < 360; K += 22.5L) {
      for (const long double D : {0.0L, 0.001L, 1.0L, 600.0L, 20000.0L}) {
        TPos_elem r;
        m.Calcul_Pos_DIST_RELEVE(TPos_elem{"", lat, 180}, r, K, D);
        ASSERT_TRUE(std::isfinite(r.lat) && std::fabs(r.lat) <= kMaxLat) << lat << " " << K << " " << D;
        ASSERT_TRUE(std::isfinite(r.long_) && r.long_ >= 0 && r.long_ <= 360) << lat << " " << K << " " << D;
      }
    }
  }
}

struct Leg {
  long double lat1, lon1, lat2, lon2, dist, course;
  const char* what;
};

TEST(Rhumb, DistanceAndCourse) {
  const Leg legs[] = {
      {0, 0.5L, 0, 359.5L, 60, 270, "westward the short way through the seam"},
      {45, 10, 45 + 1.0L / 60, 10, 1, 0, "short meridian leg north"},
      {45 + 1.0L / 60, 10, 45, 10, 1, 180, "short meridian leg south"},
      {45, 10, 46, 10, 60, 360, "long leg due north gives 360"},
      {30, 10, 30, 12, 103.92304845413264L, 90, "along a parallel: 120 cos 30"},
      {30, 12, 30, 10, 103.92304845413264L, 270, "along a parallel westward"},
      {45, 10, 45.01L, 10.02L, 1.03910955755051L, 54.73089531203032L, "plane sailing: sqrt(0.6^2 + (1.2 cos 45.01)^2)"},
      {50, 350, 40, 10, 1036.5850086939145L, 125.36785245359177L, "south-east across 0"},
      {-20, 100, 10, 60, 2970.458155379126L, 307.2984678989339L, "north-west"},
      {60, 5, 61, 3, 84.20857078668777L, 315.4400390532486L, "north-west, high latitude"}};
  for (const Leg& c : legs) {
    SCOPED_TRACE(c.what);
    Mercator m;
    m.calcul_loxodromie(c.lat1, c.lon1, c.lat2, c.lon2);
    EXPECT_NEAR(m.dist_loxo, c.dist, kDistTol);
    EXPECT_NEAR(m.cap_loxo, c.course, kPosTol);
    // distance_loxo takes radians and keeps its course in cplox.
    EXPECT_NEAR(m.distance_loxo(DEC_RAD(c.lat1), DEC_RAD(c.lon1), DEC_RAD(c.lat2), DEC_RAD(c.lon2)), c.dist,
                kDistTol);
    EXPECT_NEAR(m.cplox, c.course, kPosTol);
  }
}

TEST(GreatCircle, DistanceAndInitialCourse) {
  const Leg legs[] = {
      {0, 0, 0, 90, 5400, 90, "quarter of the equator"},
      {48.8566L, 2.3522L, 40.7128L, 285.994L, 3149.734118257892L, 291.79386274830574L, "across the Atlantic"},
      {-33.8688L, 151.2093L, -41.2865L, 174.7762L, 1201.0016055235076L, 118.6335339570946L, "Tasman sea"},
      {60, 10, 60, 11, 29.999714419809713L, 89.5669845501348L, "one degree east at 60N"},
      {45, 10, 45.1L, 10.1L, 7.346329934858068L, 35.205426396858435L, "a short leg"},
      {0, 359, 0, 1, 120, 90, "eastward across the seam"},
      {-50, 300, -10, 5, 3983.2498870093336L, 76.9300406498743L, "South Atlantic"},
      {30, 170, 35, 190, 1053.4778108061735L, 68.23569341251107L, "across 180"},
      {10, 0, 20, 180, 9000, 0, "antipodal meridians, over the north pole"},
      {-10, 0, -20, 180, 9000, 180, "antipodal meridians, over the south pole"}};
  Mercator m;
  for (const Leg& c : legs) {
    EXPECT_NEAR(m.dist_ortho(c.lat1, c.lon1, c.lat2, c.lon2), c.dist, 1e-3L) << c.what;
    EXPECT_NEAR(m.cap_orthodromique(c.lat1, c.lon1, c.lat2, c.lon2), c.course, 0.01L) << c.what;
  }
  EXPECT_NEAR(m.dist_ortho(10, 20, -10, 200), 180.0L * 60, 1e-6L);  // antipodes
  EXPECT_NEAR(m.dist_ortho(0, 0, 0, 180), 180.0L * 60, 1e-6L);
}

// Regression: for identical or nearly identical points the cosine exceeded 1 and
// the distance was NaN.
TEST(GreatCircle, IdenticalAndNearlyIdenticalPointsGiveZero) {
  Mercator m;
  for (long double lat = -89; lat <= 89; lat += 0.37L) {
    for (const long double lon : {0.0L, 0.3L, 179.9L, 359.99L}) {
      EXPECT_EQ(m.dist_ortho(lat, lon, lat, lon), 0.0L) << lat << " " << lon;
      EXPECT_LT(m.dist_ortho(lat, lon, lat, std::nextafter(lon, 400.0L)), 1e-5L) << lat << " " << lon;
    }
  }
  EXPECT_LT(m.dist_ortho(33, 0, 33, 360), 1e-5L);  // the prime meridian written both ways
}

TEST(GreatCircle, CourseOnEqualOrCloseLongitudes) {
  Mercator m;
  EXPECT_EQ(m.cap_orthodromique(10, 5, 20, 5), 0.0L);
  EXPECT_EQ(m.cap_orthodromique(20, 5, 10, 5), 180.0L);
  EXPECT_EQ(m.cap_orthodromique(20, 5, 20, 5), 180.0L);  // identical points
  // Longitudes 0.01 degree apart: dl/10000 is below 3e-8 rad, a meridian course.
  EXPECT_EQ(m.cap_orthodromique(10, 5, 20, 5.01L), 0.0L);
  EXPECT_EQ(m.cap_orthodromique(20, 5, 10, 5.01L), 180.0L);
  // The course to a point less than 0.0172 degree away in longitude is a meridian
  // course: the true initial course of this 0.073 nm leg is 35.26 degrees.
  EXPECT_EQ(m.cap_orthodromique(45, 10, 45.001L, 10.001L), 0.0L);
  EXPECT_NEAR(m.dist_ortho(45, 10, 45.001L, 10.001L), 0.0734844785233391L, 1e-6L);
  // Regression: the prime meridian written as 0 and as 360 gave 180 northward.
  EXPECT_EQ(m.cap_orthodromique(10, 0, 20, 360), 0.0L);
  EXPECT_EQ(m.cap_orthodromique(20, 360, 10, 0), 180.0L);
  for (long double lat1 = -90; lat1 <= 90; lat1 += 15) {  // never NaN, always in range
    for (long double lat2 = -90; lat2 <= 90; lat2 += 30) {
      for (long double lon2 = 0; lon2 <= 360; lon2 += 45) {
        const long double d = m.dist_ortho(lat1, 0, lat2, lon2);
        const long double k = m.cap_orthodromique(lat1, 0, lat2, lon2);
        ASSERT_TRUE(std::isfinite(d) && d <= 10800.0L + 1e-9L) << lat1 << " " << lat2 << " " << lon2;
        ASSERT_TRUE(std::isfinite(k) && k >= 0 && k <= 360) << lat1 << " " << lat2 << " " << lon2;
      }
    }
  }
}

TEST(Mercator, OneObjectAnswersExactlyAsNewOnes) {
  // A Mercator keeps the sines, cosines and Mercator latitudes of the angles it
  // met last. A boat sailing the tick's questions (dead reckoning, then great
  // circle and rhumb line to the waypoint) gets from one object the very values
  // that a new object gives; the waypoint moves half-way and the boat comes back
  // to its start, so that kept values meet both new and old angles.
  Mercator kept;
  TPos_elem p{"", 49.3575L, 357.7125L};
  const TPos_elem start = p;
  TPos_elem wp{"", 49.298L, 358.455L};
  for (int i = 0; i < 240; ++i) {
    SCOPED_TRACE(i);
    if (i == 120) wp = TPos_elem{"", -0.5L, 2.25L};
    if (i == 180) p = start;
    const long double K = i % 40 == 0 ? 90.0L * (i / 40 % 4) : std::fmod(112.5L + 37.3L * i, 360.0L);
    TPos_elem r1, r2;
    kept.Calcul_Pos_DIST_RELEVE(p, r1, K, 0.0021L * (i % 7 + 1));
    Mercator().Calcul_Pos_DIST_RELEVE(p, r2, K, 0.0021L * (i % 7 + 1));
    ASSERT_EQ(std::pair(r1.lat, r1.long_), std::pair(r2.lat, r2.long_));
    p = r1;
    EXPECT_EQ(kept.dist_ortho(p.lat, p.long_, wp.lat, wp.long_),
              Mercator().dist_ortho(p.lat, p.long_, wp.lat, wp.long_));
    EXPECT_EQ(kept.cap_orthodromique(p.lat, p.long_, wp.lat, wp.long_),
              Mercator().cap_orthodromique(p.lat, p.long_, wp.lat, wp.long_));
    Mercator fresh;
    kept.calcul_loxodromie(p.lat, p.long_, wp.lat, wp.long_);
    fresh.calcul_loxodromie(p.lat, p.long_, wp.lat, wp.long_);
    EXPECT_EQ(std::pair(kept.dist_loxo, kept.cap_loxo), std::pair(fresh.dist_loxo, fresh.cap_loxo));
  }
}

}  // namespace
}  // namespace ventrel
