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
  bool ChkB_HDG = false;
  bool ChkB_TWS = false;
  bool ChkB_TWD = false;
  // Saved states of the three boxes, in that order.
  std::array<bool, 3> StatData{};

  void MemoStData() { StatData = {ChkB_HDG, ChkB_TWS, ChkB_TWD}; }
  void RestStData() {
    ChkB_HDG = StatData[0];
    ChkB_TWS = StatData[1];
    ChkB_TWD = StatData[2];
  }
  // A manoeuvre freezes the variations: remember the boxes, then uncheck them.
  void FigeData() {
    MemoStData();
    ChkB_HDG = ChkB_TWS = ChkB_TWD = false;
  }
};

}  // namespace ventrel
