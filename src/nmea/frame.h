#pragma once
// The frame of a sentence ("$", talker, type, fields, "*", checksum), its
// checksum, and the forms in which numbers, positions, times and names are
// written into fields. No form ever writes "nan" or "inf": a value that is not
// finite gives an empty field.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ventrel {

inline constexpr std::string_view hex_v = "0123456789ABCDEF";
inline constexpr std::string_view CRLF = "\r\n";
// Longest sentence a receiver accepts, counting "$" and CR LF.
inline constexpr std::size_t kMaxSentence = 82;

// Two upper-case hexadecimal digits of b, high nibble first.
std::string hexa(std::uint8_t b);

// XOR of the characters of s strictly between the first `start` and the first
// `end` after it (to the end of s when `end` is missing); 0 when `start` is missing.
std::uint8_t Check_XOR(std::string_view s, char start, char end);

// The two checksum characters of a sentence holding "$" and "*".
std::string Chksum_Add(std::string_view sentence);
// The three letters of a framed sentence's type ("$GPRMC,..." gives "RMC"); "" when
// the text is not "$", two talker letters and three type letters.
std::string SentenceType(std::string_view sentence);

// The one framing function: "$" + talker + type, then "," before each field,
// then "*" and the checksum. When the sentence with its CR LF would be longer
// than 82 characters, field `fit` (a name) is cut to what fits; without such a
// field, or when even an empty one does not fit, the result is empty.
// Every field but the names (`fit` and the fields whose bit is set in `names`,
// bit i for field i) that starts like a number (a digit, a sign or a point) must
// be a plain decimal, digits with at most one point ("12", "-0.40", "070825.00"):
// a field such as "1E+20" or "1e-05", which no receiver reads as a number, gives
// an empty result too. A name may be anything ("1E5" is a waypoint's name).
std::optional<std::string> FrameSentence(std::string_view talker, std::string_view type,
                                         std::span<const std::string> fields, int fit = -1,
                                         std::uint64_t names = 0);
// The same written into out, whose room is reused; false (out empty) when the
// sentence cannot be brought within 82 characters or a field is not a plain
// decimal; `fault` (when given) then receives why, in French.
bool FrameSentenceInto(std::string& out, std::string_view talker, std::string_view type,
                       std::span<const std::string> fields, int fit = -1, std::uint64_t names = 0,
                       std::string* fault = nullptr);

// True when `field` is empty or does not start like a number, or is a plain
// decimal: an optional sign, digits with at most one point, at least one digit.
bool PlainDecimalOrText(std::string_view field);

// fixed(x, P, D) of a compass angle (degrees): x brought into [0, 360) first,
// and a value that rounds to 360 written as 0 ("0.00", never "360.00").
std::string AngleField(long double x, int P, int D);

// Latitude and longitude fields: the value ddmm.mmm and its letter.
struct PosField {
  std::string value;
  std::string letter;
};
// Latitude in degrees, north positive: fixed(|dec_dmd(lat)| x 100, 9, 4) with the
// minutes rounded first and then carried (never 60 minutes); "N" when lat > 0,
// otherwise "S" (0 is "S").
PosField LatField(long double lat);
// Longitude in degrees, graphic or geographic: brought into (-180, 180] with
// LongGeo, then written like the latitude with P, D; "W" below 0, otherwise "E".
// Group 2 writes (10, 5), RMB and WPL (9, 4).
PosField LonField(long double lon, int P, int D);
// The letters of those fields alone ('N' or 'S', 'E' or 'W'); ' ' for a value that
// is not finite (whose field is empty).
char LatLetter(long double lat);
char LonLetter(long double lon);
// The ddmm.mmm text of a packed DMD value (degrees + minutes/100), rounded to D
// decimals of the minutes, then carried: 12.5999999994 gives "1300.0000".
std::string DmdField(long double dmd, int P, int D);

// "hhmmss.00", two digits each.
std::string TimeText(int hours, int minutes, int seconds);
// "ddmmyy".
std::string DateText(int day, int month, int year);
// A duration held in packed DMS hours (7.0825 is 7 h 08 min 25 s) as
// "hhmmss.00" ("070825.00"), two digits of hours as receivers read them; empty
// when negative, not finite, or kMaxDurationHours or more once rounded to the
// second (a time to go of 398 h cannot be written in the field).
inline constexpr long long kMaxDurationHours = 100;
std::string DurationText(long double packedHours);

// A waypoint name made safe for a field: the characters that NMEA reserves
// ($ ! * , \ ^ ~) and the control characters become "_", accented Latin letters
// (UTF-8) lose their accent ("é" is "e", "Æ" is "AE", "ß" is "ss"), and any other
// character outside printable ASCII becomes "_".
std::string SanitizeName(std::string_view utf8);

}  // namespace ventrel
