#pragma once
// Sentences read from outside (a plotter's or an autopilot server's NMEA 0183
// output): a line reader with bounds, and the steering sentences it understands
// (APB, RMB, XTE, HSC, from any talker). Everything else is counted and ignored.
//
// Bounds: a line over kMaxLineBytes is dropped whole (its bytes are skipped up to
// the next end of line, never stored); a sentence over 82 characters, without
// "$" or "!", with a wrong checksum, or without one unless allowed, is dropped.
// Memory never grows with the input: at most one line is held.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ventrel {

// Whether a bearing or heading is true (T) or magnetic (M).
enum class NorthRef { True, Magnetic };

struct Bearing {
  long double degrees = 0;  // 0 to 360
  NorthRef ref = NorthRef::True;
};

// Autopilot sentence B.
struct ApbSentence {
  bool valid = false;                      // both status fields A
  std::optional<long double> crossTrackNm; // negative: steer left (the boat is right of the course)
  bool arrivalCircle = false;              // arrival circle entered
  bool perpendicular = false;              // perpendicular passed at the waypoint
  std::optional<Bearing> originToDestination;
  std::string destination;                 // waypoint name; may be empty
  std::optional<Bearing> presentToDestination;
  std::optional<Bearing> headingToSteer;
};

// Recommended minimum navigation information.
struct RmbSentence {
  bool valid = false;                      // status A
  std::optional<long double> crossTrackNm; // negative: steer left
  std::string origin;
  std::string destination;
  std::optional<long double> latitude;     // decimal degrees, north positive
  std::optional<long double> longitude;    // decimal degrees, east positive
  std::optional<long double> rangeNm;
  std::optional<long double> bearingTrue;  // degrees
  std::optional<long double> closingKnots;
  bool arrived = false;                    // arrival status A
};

// Cross-track error, measured.
struct XteSentence {
  bool valid = false;                      // both status fields A
  std::optional<long double> crossTrackNm; // negative: steer left
};

// Heading steering command.
struct HscSentence {
  std::optional<long double> headingTrue;
  std::optional<long double> headingMagnetic;
};

using SteeringSentence = std::variant<ApbSentence, RmbSentence, XteSentence, HscSentence>;

// Counts of a reader, since it was made.
struct InputCounts {
  std::uint64_t lines = 0;         // lines read, dropped ones included
  std::uint64_t used = 0;          // steering sentences understood
  std::uint64_t ignored = 0;       // well-formed sentences of other types
  std::uint64_t tooLong = 0;       // lines over the bound, sentences over 82 characters
  std::uint64_t badChecksum = 0;   // wrong or missing checksum
  std::uint64_t malformed = 0;     // not a sentence, or a steering sentence with unreadable fields
  std::uint64_t dropped() const { return tooLong + badChecksum + malformed; }
};

// One sentence, checked and split: nothing when it is dropped (counted in `counts`).
std::optional<SteeringSentence> ParseSteeringSentence(std::string_view line, bool allowMissingChecksum,
                                                      InputCounts& counts);

class NmeaLineReader {
 public:
  static constexpr std::size_t kMaxLineBytes = 512;

  // The line's room is taken once, at its bound: the reader never grows.
  explicit NmeaLineReader(bool allowMissingChecksum = false) : allowMissingChecksum_(allowMissingChecksum) {
    line_.reserve(kMaxLineBytes);
  }

  // Reads bytes as they come (any split, CR, LF or CR LF); returns the steering
  // sentences completed by them, in order.
  std::vector<SteeringSentence> Feed(std::string_view bytes);
  const InputCounts& counts() const { return counts_; }
  // Bytes of memory the reader holds for the line being read (its fixed room).
  std::size_t held() const { return line_.capacity(); }

 private:
  void EndOfLine(std::vector<SteeringSentence>& out);

  bool allowMissingChecksum_;
  std::string line_;
  bool overflowing_ = false;  // the current line went over the bound: skipped to its end
  InputCounts counts_;
};

}  // namespace ventrel
