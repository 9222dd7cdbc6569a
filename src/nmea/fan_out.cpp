#include "nmea/fan_out.h"

#include <algorithm>

namespace ventrel {

void OutputFanOut::Add(NmeaOutput& out) {
  outputs_.push_back(&out);
  refused_.push_back(false);
}

void OutputFanOut::BeginGroup() {
  anyInUse_ = false;
  for (std::size_t i = 0; i < outputs_.size(); ++i) {
    const bool inUse = outputs_[i]->active();
    refused_[i] = !inUse;
    anyInUse_ = anyInUse_ || inUse;
    if (inUse) outputs_[i]->beginGroup();
  }
}

OutputFanOut::Outcome OutputFanOut::Write(std::string_view bytes) {
  Outcome r;
  r.taken = !anyInUse_;
  for (std::size_t i = 0; i < outputs_.size(); ++i) {
    if (refused_[i]) continue;
    if (outputs_[i]->write(bytes)) {
      r.taken = true;
    } else {
      refused_[i] = true;
      r.refused = true;
    }
  }
  return r;
}

void OutputFanOut::EndGroup() {
  for (NmeaOutput* out : outputs_) {
    if (out->active()) out->endGroup();
  }
}

bool OutputFanOut::AllRefused() const {
  return anyInUse_ && std::all_of(refused_.begin(), refused_.end(), [](bool r) { return r; });
}

}  // namespace ventrel
