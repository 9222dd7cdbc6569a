#include "nmea/selection.h"

namespace ventrel {

const std::array<TalkerRadio, 4> kTalkerRadios = {{
    {"Sélection du positionneur",
     {"EC      Electronic Cartography", "GP      Global Positioning System"},
     {"EC", "GP"}},
    {"Sondeur", {"SD      Sondeur", "II         Integrated Instrumentation"}, {"SD", "II"}},
    {"Speedomètre", {"DM     Speedomètre", "II         Integrated Instrumentation"}, {"DM", "II"}},
    {"Instruments météo",
     {"WI      Weather Instruments", "II         Integrated Instrumentation"},
     {"WI", "II"}},
}};

void NmeaSelection::BtSelAllClick() { checked.fill(true); }

void NmeaSelection::BtDeselALLClick() { checked.fill(false); }

void NmeaSelection::BtParNMEA_OKClick(NmeaModule& m) const {
  for (std::size_t i = 0; i < kSentencesByType.size(); ++i) {
    kSentencesByType[i]->flag(m) = checked[i] ? t_switch::ON : t_switch::OFF;
  }
  const std::array<int, 4> item = {RdGDevPos, RdGDevSond, RdGInst, RdGWI};
  const std::array<std::string*, 4> id = {&m.DevPos, &m.Sounder, &m.Speedo, &m.Winst};
  for (int g = 0; g < 4; ++g) {
    if (item[g] == 0 || item[g] == 1) *id[g] = std::string(kTalkerRadios[g].ids[item[g]]);
  }
}

void NmeaSelection::RefreshNMEAParam(const NmeaModule& m) {
  for (std::size_t i = 0; i < kSentencesByType.size(); ++i) checked[i] = Selected(m, *kSentencesByType[i]);
}

void NmeaSelection::SetTalkerRadios(std::string_view devPos, std::string_view sounder,
                                    std::string_view speedo, std::string_view wind) {
  const auto pick = [](std::string_view stored, int g) {
    return stored.substr(0, 2) == kTalkerRadios[g].ids[0] ? 0 : 1;
  };
  RdGDevPos = pick(devPos, 0);
  RdGDevSond = pick(sounder, 1);
  RdGInst = pick(speedo, 2);
  RdGWI = pick(wind, 3);
}

std::string NmeaSelection::DescriptionText() {
  std::string text;
  for (const auto& item : kNmeaItemTable) {
    if (!text.empty()) text += '\n';
    text += "  ";
    text += item.description;
  }
  return text;
}

}  // namespace ventrel
