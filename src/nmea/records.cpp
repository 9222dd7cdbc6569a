#include "nmea/records.h"

#include "nmea/frame.h"

namespace ventrel {

void NmeaModule::ClearTabNMEA() {
  for (auto& s : sentenceSlots) s.clear();
}

void NmeaModule::SetClock(const NmeaClock& clock) {
  utc = UtcOf(clock);
  timUTC = TimeText(utc.hours, utc.minutes, utc.seconds);
  datact = DateText(utc.day, utc.month, utc.year);
}

}  // namespace ventrel
