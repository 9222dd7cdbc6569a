// The order a plotter's sentences give: which heading wins, magnetic made true,
// a cleared course, freshness.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/nmea_input.h"
#include "nmea/steering_order.h"

namespace ventrel {
namespace {

struct Step {
  const char* line;
  std::int64_t ms;
};

struct Case {
  const char* what;
  std::vector<Step> lines;
  std::int64_t queryMs;
  bool hasOrder;
  long double heading;  // true
  const char* source;
  const char* destination;
  long double crossTrack;  // positive: steer right
};

// Sentences written as a plotter sends them (checksums added here).
std::string Framed(const std::string& body) {
  unsigned sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X", sum);
  return "$" + body + tail;
}

class SteeringOrderTable : public ::testing::TestWithParam<Case> {};

TEST_P(SteeringOrderTable, GivesTheOrder) {
  const Case& c = GetParam();
  SteeringOrders orders;
  for (const Step& step : c.lines) {
    InputCounts counts;
    const auto sentence = ParseSteeringSentence(Framed(step.line), false, counts);
    ASSERT_TRUE(sentence) << step.line;
    orders.Take(*sentence, step.ms, -2);  // variation 2 degrees west
  }
  const auto order = orders.Current(c.queryMs, 10000);
  ASSERT_EQ(order.has_value(), c.hasOrder) << c.what;
  if (!order) return;
  EXPECT_NEAR(order->headingTrue, c.heading, 1e-9L) << c.what;
  EXPECT_EQ(order->headingSource, c.source) << c.what;
  EXPECT_EQ(order->destination, c.destination) << c.what;
  ASSERT_TRUE(order->crossTrackNm) << c.what;
  EXPECT_NEAR(*order->crossTrackNm, c.crossTrack, 1e-9L) << c.what;
}

const char* kApbMagnetic = "IIAPB,A,A,0.005,L,N,V,V,272,M,Att_Dover,272,M,274,M";
const char* kRmb = "IIRMB,A,0.005,L,Att_Dover,VP,5106.1800,N,00119.8800,E,39.76,273,3.20,,A";

INSTANTIATE_TEST_SUITE_P(
    PlotterSentences, SteeringOrderTable,
    ::testing::Values(
        Case{"APB heading to steer, magnetic made true", {{kApbMagnetic, 0}}, 1000, true, 272, "APB cap à suivre",
             "Att_Dover", -0.005},
        Case{"APB without heading to steer: its bearing",
             {{"GPAPB,A,A,0.2,R,N,V,V,100,T,WP2,101,T,,", 0}}, 0, true, 101, "APB relèvement", "WP2", 0.2},
        Case{"RMB alone: bearing, destination", {{kRmb, 0}}, 500, true, 273, "RMB relèvement", "VP", -0.005},
        Case{"APB wins over RMB, whose origin field holds APB's destination; the freshest cross-track",
             {{kRmb, 0}, {kApbMagnetic, 100}, {"IIXTE,A,A,0.009,R,N", 200}}, 300, true, 272, "APB cap à suivre",
             "Att_Dover", 0.009},
        Case{"a cleared course: APB without name, RMB still repeating",
             {{kApbMagnetic, 0}, {kRmb, 0}, {"IIAPB,A,A,0.000,L,N,V,V,359,M,,359,M,359,M", 1000}, {kRmb, 2000}}, 2000,
             false, 0, "", "", 0},
        Case{"a course set again after it was cleared",
             {{"IIAPB,A,A,0.000,L,N,V,V,359,M,,359,M,359,M", 0}, {kRmb, 1000}, {kApbMagnetic, 2000}}, 2000, true, 272,
             "APB cap à suivre", "Att_Dover", -0.005},
        Case{"orders older than the freshness: none", {{kApbMagnetic, 0}, {kRmb, 0}}, 10001, false, 0, "", "", 0},
        Case{"APB with a void status does not steer", {{"GPAPB,V,A,0.2,R,N,V,V,100,T,WP2,101,T,102,T", 0}}, 0,
             false, 0, "", "", 0},
        Case{"XTE alone does not steer", {{"IIXTE,A,A,0.009,L,N", 0}}, 0, false, 0, "", "", 0}));

// RMB's position goes with the destination named by APB only when RMB names it.
TEST(SteeringOrder, DestinationPositionFromTheRmbOfThatWaypoint) {
  const struct {
    const char* rmb;
    const char* apb;
    const char* destination;
    bool position;
  } cases[] = {
      {"GPRMB,A,0.1,L,WP1,WP2,5100.000,N,00200.000,E,1.0,90,5,V", "GPAPB,A,A,0.1,L,N,V,V,90,T,WP2,90,T,90,T", "WP2",
       true},
      {"IIRMB,A,0.004,L,DP,VP,5104.2224,N,00222.8682,E,0.15,299,5.92,,A",
       "IIAPB,A,A,0.004,L,N,V,V,299,M,DP,298,M,298,M", "DP", true},
      {"GPRMB,A,0.1,L,WP1,WP2,5100.000,N,00200.000,E,1.0,90,5,V", "GPAPB,A,A,0.1,L,N,V,V,90,T,WP3,90,T,90,T", "WP3",
       false},
  };
  for (const auto& c : cases) {
    SteeringOrders orders;
    InputCounts counts;
    orders.Take(*ParseSteeringSentence(Framed(c.rmb), false, counts), 0, 0);
    orders.Take(*ParseSteeringSentence(Framed(c.apb), false, counts), 0, 0);
    const auto order = orders.Current(0, 10000);
    ASSERT_TRUE(order) << c.apb;
    EXPECT_EQ(order->destination, c.destination);
    EXPECT_EQ(order->latitude.has_value(), c.position) << c.apb;
  }
}

TEST(SteeringOrder, HscMagneticOnlyAndArrival) {
  SteeringOrders orders;
  InputCounts counts;
  ASSERT_TRUE(orders.Take(*ParseSteeringSentence(Framed("GPHSC,,T,90.0,M"), false, counts), 0, 5));
  auto order = orders.Current(0, 10000);
  ASSERT_TRUE(order);
  EXPECT_NEAR(order->headingTrue, 95, 1e-9L);
  EXPECT_EQ(order->headingSource, "HSC");
  EXPECT_FALSE(order->crossTrackNm);

  ASSERT_TRUE(orders.Take(*ParseSteeringSentence(Framed("GPAPB,A,A,0.0,R,N,A,V,100,T,WP3,359.5,T,,"), false, counts),
                          0, 5));
  order = orders.Current(0, 10000);
  ASSERT_TRUE(order);
  EXPECT_TRUE(order->arrived);
  EXPECT_NEAR(order->headingTrue, 359.5, 1e-9L);
}

}  // namespace
}  // namespace ventrel
