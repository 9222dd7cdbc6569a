#pragma once
namespace ventrel {
// The program's version, shown in the title and written in the configuration.
inline constexpr const char* kVersion = "2.3";
const char* Version();
}  // namespace ventrel
