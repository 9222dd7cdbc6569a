#pragma once
// Colours of the panel and of the dial, 8 bits per channel.

#include <cstdint>

namespace ventrel {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace colours {
inline constexpr Rgb kCream{255, 251, 240};    // dial background; every erase draws in it
inline constexpr Rgb kGrey{128, 128, 128};     // true wind arrow, scale rings, grey fonts
inline constexpr Rgb kGreen{0, 128, 0};        // current arrow
inline constexpr Rgb kBlack{0, 0, 0};          // surface wind arrow, compass card, waypoint line
inline constexpr Rgb kBlue{0, 0, 255};         // boat speed arrow, its construction line, depth box
inline constexpr Rgb kRed{255, 0, 0};          // apparent wind arrow
inline constexpr Rgb kFuchsia{255, 0, 255};    // ground arrow and its construction line
inline constexpr Rgb kOlive{128, 128, 0};      // depth bars
inline constexpr Rgb kYellow{255, 255, 0};     // depth box texts
inline constexpr Rgb kWhite{255, 255, 255};
}  // namespace colours

// Backgrounds of the tack indicator: port tack, starboard tack.
inline constexpr Rgb MonRouge{226, 58, 40};
inline constexpr Rgb MonVert{122, 212, 122};

}  // namespace ventrel
