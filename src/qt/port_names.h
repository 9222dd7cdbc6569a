#pragma once
// The names of the serial ports offered for the NMEA output and the devices they open.
//
// The port list always starts with the ten names "\\.\COM1" ... "\\.\COM10" (Pcom).
// On Windows each of them is the port itself. Elsewhere COMn opens /dev/ttyS(n-1)
// unless the "COM" section of the default configuration names another device for it
// (keys "COM1" ... "COM10", e.g. COM3=/dev/ttyUSB0). The list then offers the serial
// ports the system detects, and the user may type a device path by hand.
//
// Plain functions of text: no port is touched here.

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ventrel {

// The ten port names; index k names COM(k + 1).
inline constexpr std::array<std::string_view, 10> Pcom = {
    R"(\\.\COM1)", R"(\\.\COM2)", R"(\\.\COM3)", R"(\\.\COM4)", R"(\\.\COM5)",
    R"(\\.\COM6)", R"(\\.\COM7)", R"(\\.\COM8)", R"(\\.\COM9)", R"(\\.\COM10)"};

// Devices given to some of the ten names, keyed "COM1" ... "COM10" (other keys and
// empty values are ignored).
using PortOverrides = std::map<std::string, std::string>;

enum class PortPlatform { Windows, Unix };
#ifdef _WIN32
inline constexpr PortPlatform kThisPlatform = PortPlatform::Windows;
#else
inline constexpr PortPlatform kThisPlatform = PortPlatform::Unix;
#endif

// A name the user may type: it starts with "/", "\\.\" or "COM".
bool is_port_name(std::string_view text);

// n for "COMn" or "\\.\COMn" (n a decimal number from 1 to 255, no leading zero); 0 otherwise.
int com_number(std::string_view name);

// "COMn" becomes "\\.\COMn", so that typing "COM3" picks the entry of "\\.\COM3";
// every other name is kept as it is.
std::string canonical_port_name(std::string_view name);

// The device to open for a port name: on Windows "\\.\COMn" (from "COMn" or
// "\\.\COMn") or the name as typed; elsewhere the override of COM1..COM10, else
// /dev/ttyS(n-1) for COMn, else a path starting with "/" as it is. No device for
// any other name.
std::optional<std::string> device_for(std::string_view name, const PortOverrides& overrides,
                                      PortPlatform platform = kThisPlatform);

// The entries of the port list: the ten Pcom names in order, then each detected
// device (system location, e.g. "/dev/ttyUSB0" or "\\.\COM12") that none of the ten
// opens already, once, in the order given.
std::vector<std::string> build_port_list(const std::vector<std::string>& detected,
                                         const PortOverrides& overrides,
                                         PortPlatform platform = kThisPlatform);

}  // namespace ventrel
