#include "nmea/registry.h"

#include "nmea/frame.h"

namespace ventrel {
namespace {

// What a whole group shares, done before its sentences are built: DBT and DBK
// need the depth below the transducer even when DPT is not sent.
void PrepareGroup(BuildContext& c, int group) {
  if (group == 1) c.m.dptr.depth = c.s.depthBelowTransducer;
}

}  // namespace

std::string_view TalkerText(const NmeaModule& m, Talker t) {
  switch (t) {
    case Talker::Sounder: return m.Sounder;
    case Talker::Winst: return m.Winst;
    case Talker::Speedo: return m.Speedo;
    case Talker::DevPos: return m.DevPos;
    case Talker::Autopilot: return "AP";
    case Talker::Compass: break;
  }
  return "HC";
}

std::span<const SentenceEntry> SentenceTable() { return kSentenceTable; }

bool Selected(const NmeaModule& m, const SentenceEntry& e) {
  // The accessor takes a writable module; it is only read here.
  return e.flag(const_cast<NmeaModule&>(m)) == t_switch::ON;
}

const SentenceEntry* FindSentence(std::string_view type) {
  for (const auto& e : kSentenceTable) {
    if (e.type == type) return &e;
  }
  return nullptr;
}

int BuildGroup(BuildContext& c, int group) {
  c.m.ClearTabNMEA();
  c.m.framingFaults.clear();
  std::string fault;
  int n = 0;
  std::vector<SentenceFields> out;
  for (const auto& e : kSentenceTable) {
    if (e.group != group || !Selected(c.m, e)) continue;
    out.clear();
    e.encode(c, out);
    const std::string_view talker = TalkerText(c.m, e.talker);
    for (const auto& s : out) {
      // A sentence that cannot be brought within 82 characters, or with a field
      // that is not a plain decimal, is not sent; why is noted for the error line.
      if (n + 1 >= NmeaModule::kSlots) continue;
      if (FrameSentenceInto(c.m.sentenceSlots[n + 1], talker, e.type, s.f, s.fit, s.names, &fault)) {
        ++n;
      } else {
        c.m.framingFaults.push_back(fault);
      }
    }
  }
  return n;
}

int NmeaModule::BuildSentenceGroup(int group, const SimState& s, const WaypointState& w,
                                   const NmeaClock& clock) {
  SetClock(clock);
  BuildContext c{*this, s, w, clock};
  PrepareGroup(c, group);
  return BuildGroup(c, group);
}

}  // namespace ventrel
