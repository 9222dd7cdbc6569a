#pragma once
// Every element of the main window and of its dialogs that the model reads or
// writes: edit fields, labels, buttons, radio groups, menu items, the helm bar.
// One table, below, gives each its identifier, its design text and alignment (the
// state before any configuration is read), the caption that messages about its
// number use, and the range of that number. The panel is an array indexed by
// `Field`: a misspelt field does not compile.
//
// Only the Qt binding layer (ui/panel_binder.cpp) knows which widget shows which
// field.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/value_ranges.h"

namespace ventrel {

enum class Align { Left, Centre, Right };

// X(identifier, design text, alignment, caption in messages, range of its number)
#define VENTREL_PANEL_FIELDS(X) \
  /* Input data: heading, true wind, polar percentage, boat speed, start position, current. */ \
  X(HeadingInput, "335", Centre, "Cap vrai", heading) \
  X(TrueWindSpeedInput, "10", Centre, "Force du vent réel", trueWindSpeed) \
  X(TrueWindDirectionInput, "220", Centre, "Direction du vent réel", trueWindDirection) \
  X(PolarPercentInput, "100", Left, "Polaire %", polarPercent) \
  X(BoatSpeed, "6.2", Centre, "Vitesse du bateau", boatSpeed) \
  X(LatitudeDegrees, "51", Right, "Position - LAT deg", latitudeDegrees) \
  X(LatitudeMinutes, "4.14", Left, "Position - LAT min", latitudeMinutes) \
  X(LongitudeDegrees, "2", Right, "Position - LG deg", longitudeDegrees) \
  X(LongitudeMinutes, "23.08", Left, "Position - LG min", longitudeMinutes) \
  X(CurrentSpeedInput, "0", Centre, "Courant - Force", currentSpeed) \
  X(CurrentDirectionInput, "70", Centre, "Courant - Direct.", currentDirection) \
  /* The waypoint and the distance and bearing to it. */ \
  X(WaypointName, "Att_Dover", Centre, "", none) \
  X(WaypointLatitudeDegrees, "51", Right, "Waypoint - LAT deg", waypointLatitudeDegrees) \
  X(WaypointLatitudeMinutes, "06.18", Left, "Waypoint - LAT min", waypointLatitudeMinutes) \
  X(WaypointLongitudeDegrees, "1", Right, "Waypoint - LG deg", waypointLongitudeDegrees) \
  X(WaypointLongitudeMinutes, "19.88", Left, "Waypoint - LG min", waypointLongitudeMinutes) \
  X(WaypointDistance, "", Centre, "", none) \
  X(WaypointBearing, "", Centre, "", none) \
  /* Computed data: the reference wind (true, or surface with a current), apparent wind, best upwind */ \
  /* angle and its VMG, ground track, drift, distances to the waypoint. */ \
  X(WindKindCaption, "Vent réel TW", Left, "", none) \
  X(ReferenceWindSpeed, "", Centre, "", none) \
  X(ReferenceWindDirection, "", Centre, "", none) \
  X(ReferenceWindAngle, "", Centre, "", none) \
  X(ApparentWindSpeed, "", Centre, "", none) \
  X(ApparentWindDirection, "", Centre, "", none) \
  X(ApparentWindAngle, "", Centre, "", none) \
  X(BestUpwindAngle, "", Centre, "", none) \
  X(BestUpwindVmg, "", Centre, "", none) \
  X(VmgToWind, "", Left, "", none) \
  X(CourseOverGround, "", Right, "", none) \
  X(SpeedOverGround, "", Right, "", none) \
  X(DriftAngle, "", Right, "", none) \
  X(DriftSide, "°", Left, "", none) \
  X(GreatCircleDistance, "", Right, "", none) \
  X(RhumbLineDistance, "", Right, "", none) \
  X(WaypointClosingSpeed, "", Right, "", none) \
  X(TimeEnRoute, "", Left, "", none) \
  /* Magnetic variation and the headings of the dial. */ \
  X(VariationInput, "1", Right, "Déclinaison magnétique locale", variation) \
  X(TrueHeading, "", Left, "", none) \
  X(MagneticHeading, "", Left, "", none) \
  /* Pilot mode, heading box, tack indicator, polar name. */ \
  X(PilotMode, " AUTO", Centre, "", none) \
  X(NavOrder, "", Left, "", none) \
  X(NavArrival, "", Left, "", none) \
  X(HeadingBox, " 335", Left, "", none) \
  X(TackIndicator, "", Left, "", none) \
  X(PolarName, "NOM DE LA POLAIRE", Left, "", none) \
  X(PolarNameOnDial, "NOM DE LA POLAIRE", Left, "", none) \
  /* Buttons and menu items of the main window. */ \
  X(StartButton, "", Left, "", none) \
  X(WaypointChangeButton, "Modif.", Left, "", none) \
  X(PauseResumeButton, "", Left, "", none) \
  X(BestHaulButton, "", Left, "", none) \
  X(TackButton, "VIRER !", Left, "", none) \
  X(GybeButton, "EMPANNER", Left, "", none) \
  X(AutoButton, "", Left, "", none) \
  X(StandbyButton, "", Left, "", none) \
  X(NavButton, "", Left, "", none) \
  X(HelmIndicator, "", Left, "", none) \
  X(ParametersMenuItem, "Paramètres", Left, "", none) \
  X(ConfigurationMenu, "Configuration", Left, "", none) \
  /* Radio groups: hemispheres, side of the variation, kind of current (constant, alternating). */ \
  X(LatitudeHemisphere, "", Left, "", none) \
  X(LongitudeHemisphere, "", Left, "", none) \
  X(WaypointLatitudeHemisphere, "", Left, "", none) \
  X(WaypointLongitudeHemisphere, "", Left, "", none) \
  X(VariationSide, "", Left, "", none) \
  X(CurrentKind, "", Left, "", none) \
  /* The up-down control of the polar percentage; the helm bar (0 to 30, centre 15). */ \
  X(PolarPercentUpDown, "", Left, "", none) \
  X(HelmBar, "", Left, "", none) \
  /* The NMEA output panel: port list, speed list, "Activer", "Raz". */ \
  X(PortList, "", Left, "", none) \
  X(SpeedList, "", Left, "", none) \
  X(ActivateButton, "", Left, "", none) \
  X(ResetPortButton, "", Left, "", none) \
  /* The window itself and the "Configuration" menu. */ \
  X(MainWindow, "", Left, "", none) \
  X(OpenConfigurationItem, "", Left, "", none) \
  X(SaveConfigurationItem, "", Left, "", none) \
  X(AutomaticReloadItem, "", Left, "", none) \
  /* The parameters dialog and its fields. */ \
  X(ParametersDialog, "", Left, "", none) \
  X(PolarFolder, "", Left, "", none) \
  X(SelectedPolar, "", Left, "", none) \
  X(SurfaceSensorOffset, "", Left, "", surfaceOffset) \
  X(KeelSensorOffset, "", Left, "", keelOffset) \
  X(Draft, "", Left, "", draft) \
  X(SensorDepth, "", Left, "", sensorDepth) \
  X(UtcOffset, "", Left, "", utcOffset) \
  X(VariesHeading, "", Left, "", none) \
  X(VariesWindSpeed, "", Left, "", none) \
  X(VariesWindDirection, "", Left, "", none) \
  /* The sentence selection dialog. */ \
  X(SentenceDialog, "", Left, "", none)

enum class Field : std::uint8_t {
#define VENTREL_FIELD_ID(id, text, align, caption, range) id,
  VENTREL_PANEL_FIELDS(VENTREL_FIELD_ID)
#undef VENTREL_FIELD_ID
};

inline constexpr std::size_t kFieldCount = 0
#define VENTREL_FIELD_COUNT(id, text, align, caption, range) +1
    VENTREL_PANEL_FIELDS(VENTREL_FIELD_COUNT)
#undef VENTREL_FIELD_COUNT
    ;

struct FieldDesign {
  Field id;
  std::string_view identifier;  // the enumerator's name, for diagnostics
  std::string_view text;        // design text (UTF-8)
  Align align;
  std::string_view caption;     // French, in "Champ « ... »" messages; "" when none
  FieldRange range;             // the range its number must stay in; none when free
};

inline constexpr std::array<FieldDesign, kFieldCount> kFieldDesigns = {{
#define VENTREL_FIELD_DESIGN(id, text, align, caption, range) \
  {Field::id, #id, text, Align::align, caption, FieldRange::range},
    VENTREL_PANEL_FIELDS(VENTREL_FIELD_DESIGN)
#undef VENTREL_FIELD_DESIGN
}};

constexpr const FieldDesign& DesignOf(Field f) { return kFieldDesigns[static_cast<std::size_t>(f)]; }
// "TrueWindSpeedInput": the field's name in the table, for diagnostics and tests.
constexpr std::string_view IdentifierOf(Field f) { return DesignOf(f).identifier; }

// Every field, in the order of the table.
constexpr std::array<Field, kFieldCount> AllFields() {
  std::array<Field, kFieldCount> out{};
  for (std::size_t i = 0; i < kFieldCount; ++i) out[i] = static_cast<Field>(i);
  return out;
}

}  // namespace ventrel
