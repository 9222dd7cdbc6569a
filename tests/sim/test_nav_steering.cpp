// The NAV pilot's second: turn, tack or gybe, for situations around the wind.

#include <gtest/gtest.h>

#include "sim/nav_steering.h"

namespace ventrel {
namespace {

struct Case {
  const char* what;
  long double windFrom, heading, asked;
  bool xteKnown;
  long double xte, corridor;
  NavAction action;
  long double heading1;  // with turn
};

class NavSteeringTable : public ::testing::TestWithParam<Case> {};

TEST_P(NavSteeringTable, Decides) {
  const Case& c = GetParam();
  NavSituation s;
  s.windFrom = c.windFrom;
  s.heading = c.heading;
  s.headingAsked = c.asked;
  s.bestUpwindAngle = 45;
  s.crossTrackKnown = c.xteKnown;
  s.crossTrackNm = c.xte;
  NavPilotSettings settings;
  settings.turnRate = 3;
  settings.corridorNm = c.corridor;
  const NavDecision d = DecideNavStep(s, settings);
  EXPECT_EQ(d.action, c.action) << c.what;
  if (c.action == NavAction::turn) {
    EXPECT_NEAR(d.heading, c.heading1, 1e-9L) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AroundTheWind, NavSteeringTable,
    ::testing::Values(
        Case{"reach: at the rate", 0, 80, 90, false, 0, 0.5, NavAction::turn, 83},
        Case{"reach: the last degrees", 0, 88, 90, false, 0, 0.5, NavAction::turn, 90},
        Case{"through north, the shorter way", 270, 359, 2, false, 0, 0.5, NavAction::turn, 2},
        Case{"to port, the shorter way", 0, 100, 60, false, 0, 0.5, NavAction::turn, 97},
        Case{"asked upwind: up to close-hauled", 0, 300, 10, false, 0, 0.5, NavAction::turn, 303},
        Case{"asked upwind, close-hauled, inside the corridor", 0, 315, 10, true, 0.4, 0.5, NavAction::turn, 315},
        Case{"asked upwind: the corridor crossed on the side sailed to", 0, 315, 10, true, 0.6, 0.5,
             NavAction::tack, 0},
        Case{"asked upwind: beyond the corridor on the other side", 0, 315, 10, true, -0.6, 0.5, NavAction::turn,
             315},
        Case{"asked upwind on port tack, corridor crossed", 0, 45, 350, true, -0.6, 0.5, NavAction::tack, 0},
        Case{"no corridor: no tack", 0, 315, 10, true, 3, 0, NavAction::turn, 315},
        Case{"corridor crossed but not yet close-hauled: luffs first", 0, 290, 10, true, 0.6, 0.5,
             NavAction::turn, 293},
        Case{"layline: the other tack can make it", 0, 315, 50, false, 0, 0.5, NavAction::tack, 0},
        Case{"bow through the wind from a reach: luffs first", 0, 270, 60, false, 0, 0.5, NavAction::turn, 273},
        Case{"stern through the wind: bears away first", 0, 160, 200, false, 0, 0.5, NavAction::turn, 163},
        Case{"stern through the wind, running: gybes", 0, 170, 200, false, 0, 0.5, NavAction::gybe, 0},
        Case{"just past dead downwind: no gybe", 0, 175, 182, false, 0, 0.5, NavAction::turn, 178},
        Case{"a wind from 200", 200, 150, 210, true, 1, 0.5, NavAction::turn, 153}));

TEST(AngleFrom, BroughtIntoHalfTurn) {
  const struct {
    long double a, b, d;
  } cases[] = {{10, 350, 20}, {350, 10, -20}, {180, 0, 180}, {0, 180, 180}, {720.5L, 0, 0.5L}, {-90, 90, 180}};
  for (const auto& c : cases) EXPECT_NEAR(AngleFrom(c.a, c.b), c.d, 1e-12L) << c.a << " " << c.b;
}

}  // namespace
}  // namespace ventrel
