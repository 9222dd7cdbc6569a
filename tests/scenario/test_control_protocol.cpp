// The control port's answers, without sockets: what reaches the boat for a line,
// and what the client reads back (accepted, refused and why, the read-out).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "scenario/control_protocol.h"
#include "scenario/json_line.h"

using namespace ventrel;

namespace {

// Records what it is given; refuses when told to, with a message that needs escaping.
struct FakeBoat {
  std::vector<BoatEvent> played;
  CommandResult next{true, ""};
  BoatReadout readout;
  ControlTarget Target() {
    return ControlTarget{[this](const BoatEvent& e) {
                           played.push_back(e);
                           return next;
                         },
                         [this] { return readout; }};
  }
};

TEST(ControlProtocol, AnswersAndWhatReachesTheBoat) {
  const struct {
    std::string line;
    CommandResult boat;  // what the boat answers when the event reaches it
    std::string answer;  // exact, or a part when it starts with "~"
    std::string played;  // the event's name, "" when nothing reaches the boat
  } cases[] = {
      {R"({"cmd":"tack"})", {true, ""}, R"({"ok":true})", "tack"},
      {R"({"id":7,"cmd":"gybe"})", {true, ""}, R"({"ok":true,"id":7})", "gybe"},
      {R"({"cmd":"best_haul","id":"a\"é"})", {true, ""}, R"({"ok":true,"id":"a\"é"})", "best_haul"},
      {R"({"cmd":"pilot","mode":"NAV"})", {true, "Pilote NAV : destination VP"},
       R"({"ok":true,"message":"Pilote NAV : destination VP"})", "pilot"},
      {R"({"cmd":"tack"})", {false, "Virement \"impossible\"\nen pause"},
       R"({"ok":false,"error":"Virement \"impossible\"\nen pause"})", "tack"},
      {R"({"cmd":"tack"})", {false, ""}, R"({"ok":false,"error":"La commande « tack » est refusée"})", "tack"},
      {R"({"cmd":"polar","file":"/etc/passwd","id":1})", {true, ""}, R"(~{"ok":false,"id":1,"error":"Commande « polar »)", ""},
      {R"({"cmd":"wind","speed":true})", {true, ""}, R"(~n'est pas un nombre)", ""},
      {R"({"cmd":"wind","speed":1e1})", {true, ""}, R"(~(colonne 23))", ""},
      {R"({"cmd":"jump"})", {true, ""}, R"(~commande inconnue)", ""},
      {R"({"speed":3})", {true, ""}, R"({"ok":false,"error":"La clé « cmd » manque : elle nomme la commande"})", ""},
      {R"({"cmd":["tack"]})", {true, ""}, R"(~La clé « cmd » doit être un texte)", ""},
      {R"({"cmd":"tack","id":[1]})", {true, ""}, R"(~La clé « id » doit être)", ""},
      {R"({"cmd":"readout","all":true})", {true, ""}, R"(~ne prend pas d'argument (« all »))", ""},
      {R"({"cmd":"tack"} x)", {true, ""}, R"(~{"ok":false,"error":"JSON invalide à la colonne 16 : )", ""},
      {"", {true, ""}, R"(~ligne vide)", ""},
  };
  for (const auto& c : cases) {
    FakeBoat boat;
    boat.next = c.boat;
    const std::string got = AnswerControlLine(c.line, boat.Target());
    if (c.answer.rfind('~', 0) == 0) {
      EXPECT_NE(got.find(c.answer.substr(1)), std::string::npos) << c.line << " -> " << got;
    } else {
      EXPECT_EQ(got, c.answer) << c.line;
    }
    // Every answer reads back as one object with "ok", on one line.
    EXPECT_EQ(got.find('\n'), std::string::npos) << got;
    const auto back = ReadJsonObjectLine(got);
    ASSERT_TRUE(std::holds_alternative<JsonObject>(back)) << got;
    const JsonMember* ok = std::get<JsonObject>(back).Find("ok");
    ASSERT_NE(ok, nullptr) << got;
    EXPECT_EQ(ok->value.kind, JsonKind::boolean);
    ASSERT_EQ(boat.played.size(), c.played.empty() ? 0U : 1U) << c.line;
    if (!c.played.empty()) {
      EXPECT_EQ(EventName(boat.played[0]), c.played) << c.line;
    }
  }
}

TEST(ControlProtocol, ArgumentsKeepTheirValues) {
  FakeBoat boat;
  const ControlTarget t = boat.Target();
  EXPECT_EQ(AnswerControlLine(R"({"cmd":"wind","speed":14.5,"from":250,"over":60})", t), R"({"ok":true})");
  EXPECT_EQ(AnswerControlLine(R"({"cmd":"sentences","types":["GGA","RMC"],"position":"EC"})", t), R"({"ok":true})");
  EXPECT_EQ(AnswerControlLine(R"({"cmd":"current","speed":2,"kind":null})", t), R"({"ok":true})");
  ASSERT_EQ(boat.played.size(), 3U);
  const auto& wind = std::get<TrueWindEvent>(boat.played[0]);
  EXPECT_EQ(wind.knots, 14.5L);
  EXPECT_EQ(wind.fromDegrees, 250.0L);
  EXPECT_EQ(wind.overSeconds, 60.0L);
  const auto& sentences = std::get<SentencesEvent>(boat.played[1]);
  EXPECT_EQ(sentences.types, (std::vector<std::string>{"GGA", "RMC"}));
  EXPECT_EQ(sentences.position, "EC");
  EXPECT_FALSE(sentences.sounder);
  const auto& current = std::get<CurrentEvent>(boat.played[2]);
  EXPECT_EQ(current.knots, 2.0L);
  EXPECT_FALSE(current.kind);  // null: left as it is
}

TEST(ControlProtocol, ReadoutCarriesTheBoatsValues) {
  FakeBoat boat;
  BoatReadout& r = boat.readout;
  r.latitude = -47.1234567L;
  r.longitude = 3.5L;
  r.trueWindSpeed = 14.004L;
  r.headingTrue = std::numeric_limits<long double>::quiet_NaN();
  r.pilot = PilotMode::standby;
  r.tack = TackSide::port;
  r.tacksBegun = 3;
  r.navDestination = "VP \"1\"";
  r.navHeadingAsked = 12.25L;
  r.paused = true;
  const std::string got = AnswerControlLine(R"({"cmd":"readout","id":"r"})", boat.Target());
  EXPECT_EQ(got.rfind(R"({"ok":true,"id":"r","readout":{"seconds_since_start":0.0,)", 0), 0U) << got;
  for (const char* part : {R"("latitude":-47.123457,"longitude":3.500000,)", R"("heading_true":null,)",
                           R"("true_wind_speed":14.00,)", R"("waypoint_used":false,"waypoint_distance":null,)",
                           R"("pilot":"STDBY","nav_heading_asked":12.3,"nav_destination":"VP \"1\"",)",
                           R"("tack":"port",)", R"("tacks_begun":3,)", R"("paused":true})"}) {
    EXPECT_NE(got.find(part), std::string::npos) << part << " in " << got;
  }
  EXPECT_TRUE(boat.played.empty());
  EXPECT_EQ(got.find('\n'), std::string::npos);
}

}  // namespace
