#pragma once
// The table of the 31 sentence types: for each, its group, its record, its
// talker, its encoder, its item and description in the selection dialog and its
// configuration key. The group builds walk this table in its order; the dialog's
// list and the configuration keys are read from it; no other place lists the
// sentences.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/records.h"
#include "sim/sim_state.h"

namespace ventrel {

// Which talker a sentence carries.
enum class Talker { Sounder, Winst, Speedo, DevPos, Compass, Autopilot };

// The two letters of a talker in the module; Compass is always "HC", Autopilot
// always "AP".
std::string_view TalkerText(const NmeaModule& m, Talker t);

// What an encoder reads and writes: the module (its records, timUTC, datact), the
// simulated state and the clock of the build.
struct BuildContext {
  NmeaModule& m;
  const SimState& s;
  const WaypointState& w;
  const NmeaClock& clock;
};

// The fields of one sentence (after the type, in order), and the field that may
// be shortened to keep the sentence within 82 characters (a name; -1: none).
struct SentenceFields {
  std::vector<std::string> f;
  int fit = -1;
  std::uint64_t names = 0;  // other fields holding names: bit i for field i
};

// Fills the sentence's record from the state, then appends the fields of its
// sentence (GSV appends the three sentences of its series).
using Encoder = void (*)(BuildContext& c, std::vector<SentenceFields>& out);

struct SentenceEntry {
  std::string_view type;    // "DPT"
  int group;                // 1, 2 or 3
  std::string_view record;  // "dptr"
  t_switch& (*flag)(NmeaModule& m);  // the record's selection flag
  Talker talker;
  Encoder encode;
  // The item of the selection dialog's list: five carry " *", the mark of
  // sentences held obsolete for equipment after 2010; all but "MTW" and "ZTG"
  // end with a tab.
  std::string_view listText;
  std::string_view description;  // the line shown beside the item
  std::string_view iniKey;       // its switch in the [NMEA] section of a configuration
  // Off unless chosen: a configuration without its key leaves it off, and its
  // key takes no part in the chained defaults of the other keys (config_values).
  bool offWithoutKey = false;
};

// True when the sentence of entry e is selected in m.
bool Selected(const NmeaModule& m, const SentenceEntry& e);

// Builds group g into slots 1 ... n from the table and returns n. The caller has
// set the clock and anything the whole group shares.
int BuildGroup(BuildContext& c, int group);

// Encoders, one per sentence type (group1.cpp, group2.cpp, group3.cpp).
namespace enc {
void GGA(BuildContext&, std::vector<SentenceFields>&);
void XTE(BuildContext&, std::vector<SentenceFields>&);
void ROT(BuildContext&, std::vector<SentenceFields>&);
void RSA(BuildContext&, std::vector<SentenceFields>&);
void VLW(BuildContext&, std::vector<SentenceFields>&);
void DPT(BuildContext&, std::vector<SentenceFields>&);
void DBS(BuildContext&, std::vector<SentenceFields>&);
void DBT(BuildContext&, std::vector<SentenceFields>&);
void DBK(BuildContext&, std::vector<SentenceFields>&);
void HDG(BuildContext&, std::vector<SentenceFields>&);
void HDM(BuildContext&, std::vector<SentenceFields>&);
void HDT(BuildContext&, std::vector<SentenceFields>&);
void MWV(BuildContext&, std::vector<SentenceFields>&);
void MWD(BuildContext&, std::vector<SentenceFields>&);
void VHW(BuildContext&, std::vector<SentenceFields>&);
void GLL(BuildContext&, std::vector<SentenceFields>&);
void RMC(BuildContext&, std::vector<SentenceFields>&);
void VWR(BuildContext&, std::vector<SentenceFields>&);
void BWC(BuildContext&, std::vector<SentenceFields>&);
void BWR(BuildContext&, std::vector<SentenceFields>&);
void GSA(BuildContext&, std::vector<SentenceFields>&);
void GSV(BuildContext&, std::vector<SentenceFields>&);
void RMB(BuildContext&, std::vector<SentenceFields>&);
void APB(BuildContext&, std::vector<SentenceFields>&);
void MTW(BuildContext&, std::vector<SentenceFields>&);
void VTG(BuildContext&, std::vector<SentenceFields>&);
void ZDA(BuildContext&, std::vector<SentenceFields>&);
void ZTG(BuildContext&, std::vector<SentenceFields>&);
void WCV(BuildContext&, std::vector<SentenceFields>&);
void WNC(BuildContext&, std::vector<SentenceFields>&);
void WPL(BuildContext&, std::vector<SentenceFields>&);
}  // namespace enc

inline constexpr int kSentenceCount = 31;

namespace registry_detail {
template <auto Record>
t_switch& FlagOf(NmeaModule& m) {
  return (m.*Record).switch_;
}
}  // namespace registry_detail

// The one table of the sentence types: group 1 then 2 then 3, each group in its
// sending order. The selection dialog, the configuration keys and the cycle all
// read it; nothing else lists the sentences.
inline constexpr std::array<SentenceEntry, kSentenceCount> kSentenceTable = [] {
  using M = NmeaModule;
  using T = Talker;
  using registry_detail::FlagOf;
  return std::array<SentenceEntry, kSentenceCount>{{
      // Group 1: depth, heading, rate of turn, rudder, wind.
      {"DPT", 1, "dptr", FlagOf<&M::dptr>, T::Sounder, enc::DPT, "DPT\t", "Profondeur d'eau  (sous le capteur)", "iDPT"},
      {"DBS", 1, "dbsr", FlagOf<&M::dbsr>, T::Sounder, enc::DBS, "DBS *\t", "Profondeur sous la surface", "iDBS"},
      {"DBT", 1, "dbtr", FlagOf<&M::dbtr>, T::Sounder, enc::DBT, "DBT\t", "Profondeur sous le capteur", "iDBT"},
      {"DBK", 1, "dbkr", FlagOf<&M::dbkr>, T::Sounder, enc::DBK, "DBK *\t", "Profondeur sous la quille", "iDBK"},
      {"HDG", 1, "hdgr", FlagOf<&M::hdgr>, T::Compass, enc::HDG, "HDG\t", "Cap magnétique - déviation et déclinaison", "iHDG"},
      {"HDM", 1, "hdmr", FlagOf<&M::hdmr>, T::Compass, enc::HDM, "HDM *\t", "Cap magnétique ", "iHDM"},
      {"HDT", 1, "hdtr", FlagOf<&M::hdtr>, T::Compass, enc::HDT, "HDT *\t", "Cap vrai", "iHDT"},
      {"ROT", 1, "rotr", FlagOf<&M::rotr>, T::Compass, enc::ROT, "ROT\t", "Taux de giration", "iROT", true},
      {"RSA", 1, "rsar", FlagOf<&M::rsar>, T::Autopilot, enc::RSA, "RSA\t", "Angle de barre", "iRSA", true},
      {"MWV", 1, "mwvr", FlagOf<&M::mwvr>, T::Winst, enc::MWV, "MWV\t", "Vitesse et angle du vent", "iMWV"},
      {"MWD", 1, "mwdr", FlagOf<&M::mwdr>, T::Winst, enc::MWD, "MWD\t", "Vitesse et direction du vent réel", "iMWD"},
      // Group 2: water speed and log, position and fix, apparent wind, waypoint,
      // satellites used.
      {"VHW", 2, "vhwr", FlagOf<&M::vhwr>, T::Speedo, enc::VHW, "VHW \t", "Vitesse sur l'eau et cap", "iVHW"},
      {"VLW", 2, "vlwr", FlagOf<&M::vlwr>, T::Speedo, enc::VLW, "VLW\t", "Distance parcourue sur l'eau (totale et partielle)", "iVLW", true},
      {"GLL", 2, "gllr", FlagOf<&M::gllr>, T::DevPos, enc::GLL, "GLL\t", "Position géographique   Latitude/Longitude", "iGLL"},
      {"GGA", 2, "ggar", FlagOf<&M::ggar>, T::DevPos, enc::GGA, "GGA\t", "Données du point GPS (qualité, satellites, altitude)", "iGGA", true},
      {"RMC", 2, "rmcr", FlagOf<&M::rmcr>, T::DevPos, enc::RMC, "RMC\t", "Information minimale de navigation demandée", "iRMC"},
      {"VWR", 2, "vwrr", FlagOf<&M::vwrr>, T::Winst, enc::VWR, "VWR *\t", "Vent apparent en vitesse et angle", "iVWR"},
      {"BWC", 2, "bwcr", FlagOf<&M::bwcr>, T::DevPos, enc::BWC, "BWC\t", "Relevé et distance au waypoint - orthodromie", "iBWC"},
      {"BWR", 2, "bwrr", FlagOf<&M::bwrr>, T::DevPos, enc::BWR, "BWR\t", "Relevé et distance au waypoint - loxodromie", "iBWR"},
      {"GSA", 2, "gsar", FlagOf<&M::gsar>, T::DevPos, enc::GSA, "GSA\t", "GPS DOP et satellites actifs (précision du système)", "iGSA"},
      // Group 3: satellites in view, waypoint navigation and cross-track error,
      // temperature, course, time.
      {"GSV", 3, "gsvr", FlagOf<&M::gsvr>, T::DevPos, enc::GSV, "GSV\t", "Satellites en vue", "iGSV"},
      {"RMB", 3, "rmbr", FlagOf<&M::rmbr>, T::DevPos, enc::RMB, "RMB\t", "Information minimale de navigation demandée", "iRMB"},
      {"APB", 3, "apbr", FlagOf<&M::apbr>, T::DevPos, enc::APB, "APB\t", "Pilote automatique phrase B", "iAPB"},
      {"XTE", 3, "xter", FlagOf<&M::xter>, T::DevPos, enc::XTE, "XTE\t", "Écart latéral à la route du waypoint", "iXTE", true},
      {"MTW", 3, "mtwr", FlagOf<&M::mtwr>, T::Sounder, enc::MTW, "MTW", "Température moyenne de l'eau", "iMTW"},
      {"VTG", 3, "vtgr", FlagOf<&M::vtgr>, T::DevPos, enc::VTG, "VTG\t", "Route et vitesse sur le fond", "iVTG"},
      {"ZDA", 3, "zdar", FlagOf<&M::zdar>, T::DevPos, enc::ZDA, "ZDA\t", "Date et heure en TU , jour, mois, année et zone d'horaire local", "iZDA"},
      {"ZTG", 3, "ztgr", FlagOf<&M::ztgr>, T::DevPos, enc::ZTG, "ZTG", "TU et temps restant pour atteindre le waypoint", "iZTG"},
      {"WCV", 3, "wcvr", FlagOf<&M::wcvr>, T::DevPos, enc::WCV, "WCV\t", "VMG d'approche du waypoint", "iWCV"},
      {"WNC", 3, "wncr", FlagOf<&M::wncr>, T::DevPos, enc::WNC, "WNC\t", "Distance de waypoint à waypoint", "iWNC"},
      {"WPL", 3, "wplr", FlagOf<&M::wplr>, T::DevPos, enc::WPL, "WPL\t", "Localisation du waypoint", "iWPL"},
  }};
}();

// The entries in the alphabetical order of their types: the order of the
// selection dialog's list and of the [NMEA] keys of a configuration.
inline constexpr std::array<const SentenceEntry*, kSentenceCount> kSentencesByType = [] {
  std::array<const SentenceEntry*, kSentenceCount> by{};
  for (std::size_t i = 0; i < by.size(); ++i) by[i] = &kSentenceTable[i];
  std::sort(by.begin(), by.end(), [](const SentenceEntry* a, const SentenceEntry* b) { return a->type < b->type; });
  return by;
}();

// The 31 entries, group 1 then 2 then 3, each group in its sending order.
std::span<const SentenceEntry> SentenceTable();
// The entry of a sentence type ("RMC"), or nullptr.
const SentenceEntry* FindSentence(std::string_view type);

}  // namespace ventrel
