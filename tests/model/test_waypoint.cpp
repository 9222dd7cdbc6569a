// The waypoint and the variation read from the panel, distances, closing speed,
// time en route and the magnetic heading to the destination.

#include <gtest/gtest.h>

#include "sim/waypoint.h"
#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::D;
using testing::Rig;

TEST(Waypoint, TheDesignFieldsGiveAttDoverAndTheRadioItemsTheHemispheres) {
  Rig created;  // read at creation
  EXPECT_TRUE(created.w().WpUsed);
  EXPECT_EQ(created.w().Wp.P.nom, "Att_Dover");
  EXPECT_NEAR(D(created.w().Wp.P.lat), 51.103, 1e-12);               // 51 + 6.18/60
  EXPECT_NEAR(D(created.w().Wp.P.long_), 1.3313333333333333, 1e-12);  // 1 + 19.88/60
  EXPECT_FALSE(created.w().BearOrKnown());
  EXPECT_EQ(created.w().Wp1.P.nom, "");
  struct Case {
    int ns, ew;
    double lat, lg;  // graphic longitude
  };
  const Case cases[] = {{0, 1, 51.103, 358.6686666666667}, {1, 0, -51.103, 1.3313333333333333}};
  for (const Case& c : cases) {
    Rig r;
    r.f(Field::WaypointLatitudeHemisphere).setItemIndex(c.ns);
    r.f(Field::WaypointLongitudeHemisphere).setItemIndex(c.ew);
    r.w().BearOrToDest = 12;
    r.model.BtModWpClick();
    EXPECT_NEAR(D(r.w().Wp.P.lat), c.lat, 1e-12);
    EXPECT_NEAR(D(r.w().Wp.P.long_), c.lg, 1e-12);
    EXPECT_FALSE(r.w().BearOrKnown());  // a new reading restarts the leg
  }
}

TEST(Waypoint, EmptyOrWrongFieldsKeepTheWaypoint) {
  struct Case { Field field; const char* text; bool message; };
  const Case cases[] = {{Field::WaypointLatitudeDegrees, "", false}, {Field::WaypointLongitudeDegrees, "", false}, {Field::WaypointLatitudeMinutes, "abc", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    Rig r;
    r.type(c.field, c.text);
    r.type(Field::WaypointName, "Autre");
    r.model.BtModWpClick();
    EXPECT_EQ(r.w().Wp.P.nom, "Att_Dover");
    EXPECT_NEAR(D(r.w().Wp.P.lat), 51.103, 1e-12);
    ASSERT_EQ(r.messages.size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_NE(r.messages[0].find("Waypoint - LAT min"), std::string::npos) << r.messages[0];
    }
  }
}

TEST(Waypoint, Variation) {
  struct Case { const char* text; int side; long double declin; char d; };
  const Case cases[] = {{"1", 1, -1, 'W'}, {"-3", 0, 3, 'E'}, {"2,5", 1, -2.5L, 'W'}, {"0", 0, 0, 'E'}};
  for (const Case& c : cases) {
    Rig r;
    r.type(Field::VariationInput, c.text);
    r.f(Field::VariationSide).setItemIndex(c.side);
    r.model.RdgDeclClick();
    EXPECT_EQ(r.s().Declin, c.declin) << c.text;
    EXPECT_EQ(r.s().DeclinD, c.d);
  }
  Rig r;
  r.type(Field::VariationInput, "x1");
  r.model.EdiDECLChange();
  EXPECT_EQ(r.s().Declin, 1);  // the variation read at creation stays
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_NE(r.messages[0].find("Déclinaison magnétique locale"), std::string::npos);
}

TEST(Waypoint, TimeEnRouteTextAndClosingSpeed) {
  const std::pair<long double, const char*> rows[] = {
      {3.2L, "3 h 20"}, {3.2540L, "3 h 25"}, {3.5955L, "3 h 60"}, {0.0530L, "0 h 5"}, {12, "12 h 0"}};
  for (const auto& [ete, text] : rows) EXPECT_EQ(EteText(ete), text);
  const long double speeds[][4] = {{6, 0, 0, 6}, {6, 180, 0, -6}, {6, 90, 0, 0}, {6, 10, 350, 5.6381557247154525L}};
  for (const auto& [sog, cog, cap, wcv] : speeds) EXPECT_NEAR(D(ClosingSpeed(sog, cog, cap)), D(wcv), 1e-12);
}

TEST(Waypoint, DistanceBearingAndTimeToAWaypointTwentyMilesNorth) {
  Rig r;
  r.s().Pact.lat = 50;
  r.s().Pact.long_ = 10;
  r.w().Wp.P.lat = 50 + 20.0L / 60;
  r.w().Wp.P.long_ = 10;
  r.s().SOG = 6;
  r.s().COG = 0;
  r.model.RefreshWaypointLeg();
  EXPECT_NEAR(D(r.w().Wp.dist), 20, 1e-9);
  EXPECT_EQ(r.w().Wp.relev, 0);
  EXPECT_EQ(r.w().BearOrToDest, 0);
  EXPECT_NEAR(D(r.w().ETE), 3.2, 1e-12);
  const std::pair<Field, const char*> shown[] = {
      {Field::WaypointDistance, "20.00"}, {Field::GreatCircleDistance, "    20.0000"}, {Field::RhumbLineDistance, "    20.0000"},
      {Field::WaypointBearing, "0.0"},   {Field::WaypointClosingSpeed, "6.0"},                {Field::TimeEnRoute, "3 h 20"}};
  for (const auto& [field, text] : shown) EXPECT_EQ(r.f(field).text(), text) << IdentifierOf(field);
  // The bearing line, dotted black from the centre to the compass card at north.
  ASSERT_EQ(r.canvas.ops.size(), 1u);
  EXPECT_EQ(r.canvas.ops[0].points, (std::vector<t_pCan>{{864, 239}, {864, 23}}));
  EXPECT_EQ(r.canvas.ops[0].pen.colour, colours::kBlack);
  EXPECT_EQ(r.canvas.ops[0].pen.style, PenStyle::Dot);

  // Sailing away: no time shown, the last one kept; the bearing origin stays.
  r.s().COG = 180;
  r.s().Pact.long_ = 10.2L;
  r.model.RefreshWaypointLeg();
  EXPECT_LT(r.w().WCV, 0);
  EXPECT_EQ(r.f(Field::TimeEnRoute).text(), " ");
  EXPECT_NEAR(D(r.w().ETE), 3.2, 1e-12);
  EXPECT_GT(r.w().Wp.relev, 180);
  EXPECT_EQ(r.w().BearOrToDest, 0);
}

TEST(Waypoint, MagneticHeadingToTheDestination) {
  struct Case { long double relev, declin, current, deriv; bool tribord; long double expected; };
  const Case cases[] = {
      {0.5L, 1, 0, 7, true, 359.5L},  // no current: the drift is not used
      {100, 1, 2, 5, true, 104},      // starboard drift adds
      {100, 1, 2, 5, false, 94},      // port drift subtracts
      {358, -1, 2, 5, true, 4},       // 364 brought back
      {359, -2, 0, 0, false, 1},
  };
  for (const Case& c : cases) {
    WaypointState w;
    w.Wp.relev = c.relev;
    SimState s;
    s.Declin = c.declin;
    s.Deriv = c.deriv;
    s.DerivTribord = c.tribord;
    EXPECT_NEAR(D(HdGMagToDest(w, s, t_vect{c.current, 70})), D(c.expected), 1e-12) << D(c.relev);
  }
}

}  // namespace
}  // namespace ventrel
