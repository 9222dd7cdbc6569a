#include "qt/port_names.h"

#include <algorithm>

namespace ventrel {
namespace {

constexpr std::string_view kDevicePrefix = R"(\\.\)";

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool is_port_name(std::string_view text) {
  return starts_with(text, "/") || starts_with(text, kDevicePrefix) || starts_with(text, "COM");
}

int com_number(std::string_view name) {
  if (starts_with(name, kDevicePrefix)) {
    name.remove_prefix(kDevicePrefix.size());
  }
  if (!starts_with(name, "COM")) {
    return 0;
  }
  name.remove_prefix(3);
  if (name.empty() || name.size() > 3 || name.front() == '0') {
    return 0;
  }
  int n = 0;
  for (char c : name) {
    if (c < '0' || c > '9') {
      return 0;
    }
    n = n * 10 + (c - '0');
  }
  return n <= 255 ? n : 0;
}

std::string canonical_port_name(std::string_view name) {
  if (starts_with(name, "COM") && com_number(name) > 0) {
    return std::string(kDevicePrefix) + std::string(name);
  }
  return std::string(name);
}

std::optional<std::string> device_for(std::string_view name, const PortOverrides& overrides,
                                      PortPlatform platform) {
  const int n = com_number(name);
  if (platform == PortPlatform::Windows) {
    if (n > 0) {
      return canonical_port_name(name);
    }
    if (name.empty()) {
      return std::nullopt;
    }
    return std::string(name);
  }
  if (n > 0) {
    if (n <= static_cast<int>(Pcom.size())) {
      const auto it = overrides.find("COM" + std::to_string(n));
      if (it != overrides.end() && !it->second.empty()) {
        return it->second;
      }
    }
    return "/dev/ttyS" + std::to_string(n - 1);
  }
  if (starts_with(name, "/")) {
    return std::string(name);
  }
  return std::nullopt;
}

std::vector<std::string> build_port_list(const std::vector<std::string>& detected,
                                         const PortOverrides& overrides, PortPlatform platform) {
  std::vector<std::string> list(Pcom.begin(), Pcom.end());
  std::vector<std::string> taken;
  for (std::string_view name : Pcom) {
    if (auto device = device_for(name, overrides, platform)) {
      taken.push_back(*device);
    }
  }
  for (const std::string& device : detected) {
    if (device.empty() || std::find(taken.begin(), taken.end(), device) != taken.end()) {
      continue;
    }
    taken.push_back(device);
    list.push_back(device);
  }
  return list;
}

}  // namespace ventrel
