// The figures of the line-load meter for the sentence dialog, the port panel and
// the start of a headless run: the selection in force or the dialog's, at the
// speed chosen in the speed list; and the check of a run faster than real time.

#include <functional>

#include "files/value_ranges.h"
#include "program/program.h"

namespace ventrel {

namespace {

// The types the dialog's pending selection checks (its items are in the list's
// order, one per type).
std::function<bool(const SentenceEntry&)> PendingTypes(const NmeaSelection& pending) {
  return [&pending](const SentenceEntry& e) {
    for (std::size_t i = 0; i < kNmeaItemTable.size(); ++i) {
      if (kNmeaItemTable[i].type == e.type) return pending.checked[i];
    }
    return false;
  };
}

}  // namespace

std::string VentrelProgram::LineLoadReport(const NmeaSelection& pending) const {
  const std::int64_t baud = transmission_.ChosenSpeed();
  if (baud <= 0) return std::string(kMsgVitesseAbsente);
  const LineLoad load = transmission_.MeasureLoad(baud, PendingTypes(pending));
  const std::string warning = LineLoadWarning(load, kBaudSpeeds);
  return LineLoadText(load) + (warning.empty() ? "" : "\n" + warning);
}

std::string VentrelProgram::LineLoadLine(bool* warning) const {
  if (warning != nullptr) *warning = false;
  const std::int64_t baud = transmission_.ChosenSpeed();
  if (baud <= 0) return {};
  const LineLoad load = transmission_.MeasureLoad(baud);
  const std::string told = LineLoadWarning(load, kBaudSpeeds);
  if (told.empty()) return LineLoadSummary(load);
  if (warning != nullptr) *warning = true;
  return told;
}

std::string VentrelProgram::LineLoadWarningNow() const {
  const std::int64_t baud = transmission_.ChosenSpeed();
  if (baud <= 0) return {};
  return LineLoadWarning(transmission_.MeasureLoad(baud), kBaudSpeeds);
}

std::string VentrelProgram::RunSpeedRefusal(int times) const {
  const std::int64_t baud = transmission_.ChosenSpeed();
  if (baud <= 0) return {};
  return SpeedLoadRefusal(transmission_.MeasureLoad(baud), times, kBaudSpeeds);
}

}  // namespace ventrel
