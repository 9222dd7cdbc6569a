#pragma once
// The range and unit of every number the program reads: the keys of a
// configuration file, the window fields that hold the same quantities, and the
// values of the command line. One table, ValueRanges(), in the order below.
//
//   where                     key or field           range                unit
//   [Parametres]              iOFFS_Keel             0 to 5               metres
//                             iOFFS_Surf             0 to 2               metres
//                             (the simulated water is 7 to 19 m deep: the depth
//                             below the keel never goes below 0)
//   [Parametres]              iPolPerc               0 to 100 (integer)   percent
//   [NavDATA]                 iTWS                   0 to 100             knots
//   [NavDATA]                 iTWD, iHDG, iCURDir    -360 to 360          degrees (kept as given)
//   [NavDATA]                 iCUR                   0 to 20              knots
//   [NavDATA]                 iPOSLat, iWpLat        -9000 to 9000        packed DDMM.mm, minutes < 60
//   [NavDATA]                 iPOSLong, iWpLong      -18000 to 18000      packed DDDMM.mm, minutes < 60
//   [NavDATA]                 iDeclMag               -90 to 90            degrees, east positive
//   [NavDATA]                 idTU                   -14 to 14            packed hours h.mm, minutes < 60,
//                                                    or "auto"            the machine's own offset
//   [COM]                     iVit                   one of the speeds    baud (150 ... 230400)
//   fields of the window      boat speed             0 to 100             knots
//                             latitude degrees       0 to 90              degrees (start, waypoint)
//                             longitude degrees      0 to 180             degrees (start, waypoint)
//                             minutes of a position  0 to 60 (excluded)   minutes
//                             magnetic variation     -90 to 90            degrees (its size; the side apart)
//                             draft                  0 to 7               metres
//                             sensor depth           0 to 2               metres
//                             (the draft less the sensor depth as iOFFS_Keel)
//   command line              --duration             0 to 1000000000      simulated seconds
//                             --start-time (year)    1 to 9999            years
//                             --baud                 one of the speeds    baud
//                             --percent              0 to 100             percent
//
// The directions are accepted from -360 to 360 as they are (a file holding -10 or
// 360 keeps being read as before); the model and the sentences bring them into
// [0, 360) where they need to. A packed value's minutes (its last two whole digits
// and their fraction) must stay below 60.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ventrel {

// The window fields whose numbers have a range (the window model maps its panel
// fields to these): the edit fields of the quantities above and the parameters
// dialog's fields.
enum class FieldRange : unsigned char {
  none,
  keelOffset,
  surfaceOffset,
  polarPercent,
  trueWindSpeed,
  trueWindDirection,
  heading,
  currentSpeed,
  currentDirection,
  utcOffset,
  boatSpeed,
  latitudeDegrees,
  waypointLatitudeDegrees,
  longitudeDegrees,
  waypointLongitudeDegrees,
  latitudeMinutes,
  longitudeMinutes,
  waypointLatitudeMinutes,
  waypointLongitudeMinutes,
  variation,  // its size: the side (east, west) is apart
  draft,
  sensorDepth,
};

enum class RangeForm {
  real,         // any value within [min, max]
  integer,      // a whole number within [min, max]
  packed,       // degrees x 100 + minutes (or hours + minutes / 100 when `hoursPacked`)
  oneOfSpeeds,  // one of the serial speeds (kBaudSpeeds)
};

struct ValueRange {
  std::string_view section;  // configuration section; "" when not a key of the file
  std::string_view key;      // configuration key or option ("--duration"); "" for a field alone
  FieldRange field;          // window field holding the same quantity; none when none
  long double min;
  long double max;
  bool maxExcluded;          // the minutes: 60 itself is outside
  std::string_view unit;     // French, as the messages write it
  RangeForm form;
  bool hoursPacked = false;  // packed h.mm: the minutes are the fraction x 100
  std::string_view word = {};  // a word taken in place of a number ("auto"); "" when none
};

// The word of idTU (and of an empty UTC-offset field in the window) that stands
// for the machine's own offset at each instant, summer time included.
inline constexpr std::string_view kAutoOffset = "auto";
// True when `text` is that word, in any case, blanks around it ignored.
bool IsAutoOffset(std::string_view text);

// The serial speeds, in bauds, as the speed list offers them.
inline constexpr long double kBaudSpeeds[] = {150,  300,  600,   1200,  2400,  4800,
                                              9600, 19200, 38400, 57600, 115200, 230400};

std::span<const ValueRange> ValueRanges();

// The entry of a configuration key (section and key without regard to case), of
// an option ("" as section, "--duration" as key), or of a window field.
const ValueRange* RangeOfKey(std::string_view section, std::string_view key);
const ValueRange* RangeOfField(FieldRange field);

// "0 à 100 nœuds", "-9000 à 9000 (DDMM.mm, minutes < 60)", "150 à 230400 bauds, ...",
// "... ou « auto »" for a range with its word.
std::string RangeText(const ValueRange& r);

// Nothing when v is within the range; otherwise the French reason,
// "hors limites (0 à 100 nœuds)" or "n'est pas un nombre fini".
std::optional<std::string> RangeProblem(const ValueRange& r, long double v);

// A value taken from a file or typed, made fit for a message: control characters
// and bytes that are not UTF-8 shown as "\xHH", and cut after `max` bytes ("…").
std::string ShownValue(std::string_view raw, std::size_t max = 40);

}  // namespace ventrel
