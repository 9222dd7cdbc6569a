#pragma once
// Driving the boat without the window: one typed command per thing the user can
// type or click on the main panel, and a typed read-out of the last tick.
//
// Each command does what the user's typing or click does: the value is written
// into its panel field as text (numbers with "."), and the handler the window
// calls is run, with its checks, its French messages and its panel updates.
// The result says whether it was accepted; `why` holds the French message the
// user would have seen (several joined by a line break), or the reason the
// window would not have let the click through (button disabled).
//
// Values typed on the panel are read by the start and the resume ("Démarrer").
// A command setting such a value (heading, wind, current, position, polar
// percentage) checks it at once with the start's own reading: a refused value
// leaves the field as it was. While the run goes (started, not paused), the
// accepted value is taken up at once by pressing "Démarrer", as the user does
// after typing; this restarts the tick counter, as the button does. During a
// tack, a gybe, a best-haul search or a rotation of the current such a command
// is refused: the button would restart the run under the manoeuvre.
//
// Units: speeds in knots, angles in degrees true (0 to 360; the fields take
// -360 to 360), positions in signed decimal degrees (north and east positive),
// depth in metres, times in seconds.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/nmea_input.h"
#include "program/program.h"

namespace ventrel {

struct CommandResult {
  bool accepted = false;
  std::string why;  // "" when accepted without a message
};

enum class CurrentKind { constant, alternating };
// navigation: the heading follows the orders of a chart plotter (NAV).
enum class PilotMode { automatic, standby, navigation };
enum class TackSide { port, starboard };

// The talkers of the sentence dialog's four radio groups: position device
// ("EC" or "GP"), sounder ("SD" or "II"), speed log and compass ("DM" or "II"),
// wind instrument ("WI" or "II").
struct Talkers {
  std::string position = "GP";
  std::string sounder = "SD";
  std::string instruments = "DM";
  std::string wind = "WI";
};

// The values of the last tick (or of the start), as numbers.
struct BoatReadout {
  long double secondsSinceStart = 0;   // ticks since the last start or resume, s
  long double latitude = 0;            // degrees, north positive, -90 to 90
  long double longitude = 0;           // degrees, east positive, -180 to 180
  long double headingTrue = 0;         // degrees true, 0 to 360
  long double headingMagnetic = 0;     // degrees magnetic, 0 to 360
  long double magneticVariation = 0;   // degrees, east positive
  long double boatSpeed = 0;           // knots through the water
  long double speedOverGround = 0;     // knots
  long double courseOverGround = 0;    // degrees true, 0 to 360
  long double trueWindSpeed = 0;       // knots
  long double trueWindDirection = 0;   // degrees true, where it blows from
  long double trueWindAngle = 0;       // degrees off the bow, 0 to 180
  long double apparentWindSpeed = 0;   // knots
  long double apparentWindDirection = 0;  // degrees true, where it blows from
  long double apparentWindAngle = 0;   // degrees off the bow, 0 to 180
  long double currentSpeed = 0;        // knots
  long double currentDirection = 0;    // degrees true, where it sets to
  long double depth = 0;               // metres below the surface
  bool waypointUsed = false;
  long double waypointDistance = 0;    // nautical miles (when used)
  long double waypointBearing = 0;     // degrees true, great circle (when used)
  PilotMode pilot = PilotMode::automatic;
  std::optional<long double> navHeadingAsked;  // degrees true, the plotter's order in force
  std::string navDestination;          // the destination the plotter names ("" when none)
  bool navArrived = false;             // the plotter says it is reached
  int helmOffset = 0;                  // degrees per second to starboard, -15 to 15
  TackSide tack = TackSide::starboard;
  bool tacking = false, gybing = false, bestHaulRunning = false;
  int tacksBegun = 0, gybesBegun = 0;  // since the program started
  bool started = false;                // started at least once
  bool paused = false;
};

class BoatCommands {
 public:
  // `program` is not owned and must outlive the commands.
  explicit BoatCommands(VentrelProgram& program) : program_(program) {}

  // ---- Values typed on the panel.
  CommandResult SetHeading(long double degreesTrue);
  // Speed in knots (0 to 100), direction the wind blows from.
  CommandResult SetTrueWind(long double knots, long double fromDegreesTrue);
  // Speed in knots (0 to 20), direction the current sets to; alternating: the
  // current turns round every minute.
  CommandResult SetCurrent(long double knots, long double towardDegreesTrue, CurrentKind kind);
  CommandResult SetPosition(long double latitude, long double longitude);
  // Percentage of the polar's speeds, 0 to 100.
  CommandResult SetPolarPercentage(int percent);
  // A .pol file in force at once ("Modifier" of the polar, then OK); a file
  // refused keeps the polar in force.
  CommandResult SetPolar(const std::filesystem::path& file);
  // Taken at once ("Modifier" of the waypoint, the variation field and its side).
  CommandResult SetWaypoint(const std::string& name, long double latitude, long double longitude);
  CommandResult SetMagneticVariation(long double degreesEast);

  // ---- The heading, the wind and the current changed as the weather changes
  // (scenarios, the control port): the same checks and French refusals as the
  // Set* commands above. Before the start or while paused the fields are
  // written, which the start or the resume reads. While the run goes the state
  // the tick reads takes the value at once, with the apparent wind, the drift
  // and the motion over ground worked out again, WITHOUT "Démarrer": the run's
  // time, its trip log and its variations go on. A heading is refused during a
  // tack, a gybe or a best-haul search (the manoeuvre steers); a current during
  // a rotation of the alternating current (the rotation sets it); the wind is
  // taken at any time (the manoeuvres read it each step).
  CommandResult AdjustHeading(long double degreesTrue);
  CommandResult AdjustTrueWind(long double knots, long double fromDegreesTrue);
  CommandResult AdjustCurrent(long double knots, long double towardDegreesTrue);
  // Why a change of that value would be refused now, whatever the value ("" when
  // it would be taken): a ramp is refused at its start, not a second later.
  enum class Adjusted { heading, wind, current };
  std::string AdjustRefusal(Adjusted what) const;

  // The values a change starts from: while the run goes those the tick reads
  // (the heading held, the wind before its variations, the current); otherwise
  // those typed in the panel, which the start or the resume will read.
  struct LiveValues {
    long double heading = 0;        // degrees true, 0 to 360
    long double windKnots = 0;      // knots
    long double windFrom = 0;       // degrees true, where it blows from, 0 to 360
    long double currentKnots = 0;   // knots
    long double currentToward = 0;  // degrees true, where it sets to, 0 to 360
    CurrentKind currentKind = CurrentKind::constant;
  };
  LiveValues InForce() const;

  // ---- Buttons.
  CommandResult Start();
  CommandResult Pause();
  CommandResult Resume();
  // While paused, one second of the run: the tick of that second, then the group of
  // sentences it would have sent (when "Activer" was accepted); still paused after.
  CommandResult Step();
  CommandResult Tack();
  CommandResult Gybe();
  CommandResult Auto();
  CommandResult Standby();
  // NAV: the heading follows the steering sentences given to Steer (from STDBY
  // through AUTO, as the button does).
  CommandResult Navigate();
  // The helm bar, in STDBY: the heading turns by `degreesToStarboard` each
  // second (-15 to 15, negative to port) until Helm(0) or a recentring.
  CommandResult Helm(int degreesToStarboard);
  CommandResult BestHaul();

  // ---- One steering sentence read from a chart plotter (APB, RMB, XTE, HSC).
  // It is kept as the pilot's order; in NAV it moves the heading at the next
  // second, and the destination it gives (RMB: name and position) becomes the
  // waypoint as if typed. Accepted when the sentence can steer; `why` holds the
  // lines for the user ("Pilote NAV : destination VP", "Pilote NAV : arrivée à
  // VP"), which also go to the NMEA list. Nothing else changes.
  CommandResult Steer(const SteeringSentence& sentence);

  // ---- The sentence dialog's OK: exactly the listed types are sent ("GGA",
  // "RMC", ...), with those talkers.
  CommandResult SelectSentences(const std::vector<std::string>& types, const Talkers& talkers);

  // ---- The values of the last tick.
  BoatReadout Readout() const;

 private:
  struct FieldText {
    Field field;
    std::string text;
  };
  // Writes the texts (and radio choices), checks the number fields with the
  // start's reading; refused: everything put back. Accepted and running: "Démarrer".
  CommandResult TypeAndTake(std::vector<FieldText> texts, std::vector<std::pair<Field, int>> radios,
                            const std::vector<Field>& numbers, bool takeNow);
  bool Running() const;
  bool Busy() const;
  // While running: the values derived from the base wind, the current and the
  // heading of the state worked out again, as the tick would at this second.
  void TakeLive(bool windOrCurrent);

  VentrelProgram& program_;
  std::string arrivalTold_;  // the destination whose arrival was told
};

}  // namespace ventrel
