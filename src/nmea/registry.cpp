#include "nmea/registry.h"

#include <array>

#include "nmea/frame.h"

namespace ventrel {
namespace {

template <auto Record>
t_switch& FlagOf(NmeaModule& m) {
  return (m.*Record).switch_;
}

using M = NmeaModule;
using T = Talker;

constexpr std::array<SentenceEntry, 26> kTable = {{
    // Group 1: depth, heading, wind.
    {"DPT", 1, "dptr", FlagOf<&M::dptr>, T::Sounder, enc::DPT},
    {"DBS", 1, "dbsr", FlagOf<&M::dbsr>, T::Sounder, enc::DBS},
    {"DBT", 1, "dbtr", FlagOf<&M::dbtr>, T::Sounder, enc::DBT},
    {"DBK", 1, "dbkr", FlagOf<&M::dbkr>, T::Sounder, enc::DBK},
    {"HDG", 1, "hdgr", FlagOf<&M::hdgr>, T::Compass, enc::HDG},
    {"HDM", 1, "hdmr", FlagOf<&M::hdmr>, T::Compass, enc::HDM},
    {"HDT", 1, "hdtr", FlagOf<&M::hdtr>, T::Compass, enc::HDT},
    {"MWV", 1, "mwvr", FlagOf<&M::mwvr>, T::Winst, enc::MWV},
    {"MWD", 1, "mwdr", FlagOf<&M::mwdr>, T::Winst, enc::MWD},
    // Group 2: water speed, position, apparent wind, waypoint, satellites used.
    {"VHW", 2, "vhwr", FlagOf<&M::vhwr>, T::Speedo, enc::VHW},
    {"GLL", 2, "gllr", FlagOf<&M::gllr>, T::DevPos, enc::GLL},
    {"RMC", 2, "rmcr", FlagOf<&M::rmcr>, T::DevPos, enc::RMC},
    {"VWR", 2, "vwrr", FlagOf<&M::vwrr>, T::Winst, enc::VWR},
    {"BWC", 2, "bwcr", FlagOf<&M::bwcr>, T::DevPos, enc::BWC},
    {"BWR", 2, "bwrr", FlagOf<&M::bwrr>, T::DevPos, enc::BWR},
    {"GSA", 2, "gsar", FlagOf<&M::gsar>, T::DevPos, enc::GSA},
    // Group 3: satellites in view, waypoint navigation, temperature, course, time.
    {"GSV", 3, "gsvr", FlagOf<&M::gsvr>, T::DevPos, enc::GSV},
    {"RMB", 3, "rmbr", FlagOf<&M::rmbr>, T::DevPos, enc::RMB},
    {"APB", 3, "apbr", FlagOf<&M::apbr>, T::DevPos, enc::APB},
    {"MTW", 3, "mtwr", FlagOf<&M::mtwr>, T::Sounder, enc::MTW},
    {"VTG", 3, "vtgr", FlagOf<&M::vtgr>, T::DevPos, enc::VTG},
    {"ZDA", 3, "zdar", FlagOf<&M::zdar>, T::DevPos, enc::ZDA},
    {"ZTG", 3, "ztgr", FlagOf<&M::ztgr>, T::DevPos, enc::ZTG},
    {"WCV", 3, "wcvr", FlagOf<&M::wcvr>, T::DevPos, enc::WCV},
    {"WNC", 3, "wncr", FlagOf<&M::wncr>, T::DevPos, enc::WNC},
    {"WPL", 3, "wplr", FlagOf<&M::wplr>, T::DevPos, enc::WPL},
}};

}  // namespace

std::string_view TalkerText(const NmeaModule& m, Talker t) {
  switch (t) {
    case Talker::Sounder: return m.Sounder;
    case Talker::Winst: return m.Winst;
    case Talker::Speedo: return m.Speedo;
    case Talker::DevPos: return m.DevPos;
    case Talker::Compass: break;
  }
  return "HC";
}

std::span<const SentenceEntry> SentenceTable() { return kTable; }

bool Selected(const NmeaModule& m, const SentenceEntry& e) {
  // The accessor takes a writable module; it is only read here.
  return e.flag(const_cast<NmeaModule&>(m)) == t_switch::ON;
}

const SentenceEntry* FindSentence(std::string_view type) {
  for (const auto& e : kTable) {
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
  for (const auto& e : kTable) {
    if (e.group != group || !Selected(c.m, e)) continue;
    out.clear();
    e.encode(c, out);
    const std::string_view talker = TalkerText(c.m, e.talker);
    for (const auto& s : out) {
      // A sentence that cannot be brought within 82 characters, or with a field
      // that is not a plain decimal, is not sent; why is noted for the error line.
      if (n + 1 >= NmeaModule::kSlots) continue;
      if (FrameSentenceInto(c.m.tab_PhNMEA[n + 1], talker, e.type, s.f, s.fit, s.names, &fault)) {
        ++n;
      } else {
        c.m.framingFaults.push_back(fault);
      }
    }
  }
  return n;
}

}  // namespace ventrel
