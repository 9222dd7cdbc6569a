#pragma once
// The program's version: the project's version in the top CMakeLists.txt
// (project(ventrel VERSION ...)), given to every floor as VENTREL_VERSION.
#ifndef VENTREL_VERSION
#error "VENTREL_VERSION manque : compilez avec CMake, qui le tire de project(VERSION) dans CMakeLists.txt."
#endif
namespace ventrel {
// Shown in the title and written in the configuration ("Version=2.3").
inline constexpr const char* kVersion = VENTREL_VERSION;
const char* Version();
}  // namespace ventrel
