#pragma once
// Settings that are not on the main window: depth sensor offsets and draft, the
// three variation switches, the offset between local time and UTC.
// Depths and offsets in metres; dTU in decimal hours (UTC = local time + dTU).

#include <array>

namespace ventrel {

struct Params {
  long double dTU = 0.0L;   // UTC - local time, decimal hours
  // True: the offset is the machine's own at each instant (summer time included),
  // dTU is not used ("idTU=auto", an empty field in the window).
  bool dTUAuto = false;
  long double Teau = 1.9L;  // draft of the boat
  long double PC = 0.3L;    // depth of the sensor below the surface
  long double CS = 0.3L;    // surface sensor offset
  long double CQ = 1.6L;    // keel sensor offset

  // The variation check boxes: heading, true wind speed, true wind direction.
  bool varyHeading = false;
  bool varyWindSpeed = false;
  bool varyWindDirection = false;
  // Saved states of the three boxes, in that order.
  std::array<bool, 3> StatData{};

  void MemoStData() { StatData = {varyHeading, varyWindSpeed, varyWindDirection}; }
  void RestStData() {
    varyHeading = StatData[0];
    varyWindSpeed = StatData[1];
    varyWindDirection = StatData[2];
  }
  // A manoeuvre freezes the variations: remember the boxes, then uncheck them.
  void FigeData() {
    MemoStData();
    varyHeading = varyWindSpeed = varyWindDirection = false;
  }
};

}  // namespace ventrel
