#include "nmea/selection.h"

#include "nmea/registry.h"

namespace ventrel {

const std::array<NmeaItem, kNmeaItems> kNmeaItemTable = {{
    {"APB\t", "APB", "apbr", "Pilote automatique phrase B"},
    {"BWC\t", "BWC", "bwcr", "Relevé et distance au waypoint - orthodromie"},
    {"BWR\t", "BWR", "bwrr", "Relevé et distance au waypoint - loxodromie"},
    {"DBK *\t", "DBK", "dbkr", "Profondeur sous la quille"},
    {"DBS *\t", "DBS", "dbsr", "Profondeur sous la surface"},
    {"DBT\t", "DBT", "dbtr", "Profondeur sous le capteur"},
    {"DPT\t", "DPT", "dptr", "Profondeur d'eau  (sous le capteur)"},
    {"GLL\t", "GLL", "gllr", "Position géographique   Latitude/Longitude"},
    {"GSA\t", "GSA", "gsar", "GPS DOP et satellites actifs (précision du système)"},
    {"GSV\t", "GSV", "gsvr", "Satellites en vue"},
    {"HDG\t", "HDG", "hdgr", "Cap magnétique - déviation et déclinaison"},
    {"HDM *\t", "HDM", "hdmr", "Cap magnétique "},
    {"HDT *\t", "HDT", "hdtr", "Cap vrai"},
    {"MTW", "MTW", "mtwr", "Température moyenne de l'eau"},
    {"MWD\t", "MWD", "mwdr", "Vitesse et direction du vent réel"},
    {"MWV\t", "MWV", "mwvr", "Vitesse et angle du vent"},
    {"RMB\t", "RMB", "rmbr", "Information minimale de navigation demandée"},
    {"RMC\t", "RMC", "rmcr", "Information minimale de navigation demandée"},
    {"VHW \t", "VHW", "vhwr", "Vitesse sur l'eau et cap"},
    {"VTG\t", "VTG", "vtgr", "Route et vitesse sur le fond"},
    {"VWR *\t", "VWR", "vwrr", "Vent apparent en vitesse et angle"},
    {"WCV\t", "WCV", "wcvr", "VMG d'approche du waypoint"},
    {"WNC\t", "WNC", "wncr", "Distance de waypoint à waypoint"},
    {"WPL\t", "WPL", "wplr", "Localisation du waypoint"},
    {"ZDA\t", "ZDA", "zdar", "Date et heure en TU , jour, mois, année et zone d'horaire local"},
    {"ZTG", "ZTG", "ztgr", "TU et temps restant pour atteindre le waypoint"},
}};

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
  for (int i = 0; i < kNmeaItems; ++i) {
    const SentenceEntry* e = FindSentence(kNmeaItemTable[i].type);
    if (e != nullptr) e->flag(m) = checked[i] ? t_switch::ON : t_switch::OFF;
  }
  const std::array<int, 4> item = {RdGDevPos, RdGDevSond, RdGInst, RdGWI};
  const std::array<std::string*, 4> id = {&m.DevPos, &m.Sounder, &m.Speedo, &m.Winst};
  for (int g = 0; g < 4; ++g) {
    if (item[g] == 0 || item[g] == 1) *id[g] = std::string(kTalkerRadios[g].ids[item[g]]);
  }
}

void NmeaSelection::RefreshNMEAParam(const NmeaModule& m) {
  for (int i = 0; i < kNmeaItems; ++i) {
    const SentenceEntry* e = FindSentence(kNmeaItemTable[i].type);
    checked[i] = e != nullptr && Selected(m, *e);
  }
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
