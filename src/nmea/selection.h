#pragma once
// The model of the sentence-selection dialog: the 31 items of its check list with
// their records and description lines, the pending check states and the four
// talker radio groups. The flags and talkers of the sentence module change only
// when OK is applied.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "nmea/records.h"
#include "nmea/registry.h"

namespace ventrel {

// One item of the check list, read from the sentence table. `name` is the list
// text; `type` is the sentence; `record` the record whose flag the item sets;
// `description` the line shown beside it.
struct NmeaItem {
  std::string_view name;
  std::string_view type;
  std::string_view record;
  std::string_view description;
};
inline constexpr int kNmeaItems = kSentenceCount;
// The items in the list's (alphabetical) order.
inline constexpr std::array<NmeaItem, kNmeaItems> kNmeaItemTable = [] {
  std::array<NmeaItem, kNmeaItems> items{};
  for (std::size_t i = 0; i < items.size(); ++i) {
    const SentenceEntry& e = *kSentencesByType[i];
    items[i] = {e.listText, e.type, e.record, e.description};
  }
  return items;
}();

// A talker radio group: its caption, its two item texts and the identifiers they set.
struct TalkerRadio {
  std::string_view caption;
  std::array<std::string_view, 2> items;
  std::array<std::string_view, 2> ids;
};
// RdGDevPos, RdGDevSond, RdGInst, RdGWI, in that order.
extern const std::array<TalkerRadio, 4> kTalkerRadios;

inline constexpr std::string_view kNmeaDialogCaption = "Sélection des phrases NMEA à générer";
inline constexpr std::string_view kNmeaDialogNote =
    "* phrases réputées obsolètes pour le matériel postérieur à 2010 mais utilsées sur le "
    "matériel antérieur";

class NmeaSelection {
 public:
  // Pending check state of each item of the list, in the list's order.
  std::array<bool, kNmeaItems> checked{};
  // Selected item (0 or 1, -1 for none) of the radio groups.
  int RdGDevPos = 1;   // "EC" / "GP"
  int RdGDevSond = 0;  // "SD" / "II"
  int RdGInst = 0;     // "DM" / "II"
  int RdGWI = 0;       // "WI" / "II"

  // "Sélectionner tout" / "Désélectionner tout": the checks only.
  void BtSelAllClick();
  void BtDeselALLClick();
  // OK: every record's flag from its item's check; each talker from its radio
  // group (a group with no item selected leaves its talker as it is).
  void BtParNMEA_OKClick(NmeaModule& m) const;
  // After a configuration is read: item i checked exactly when its record's flag is ON.
  void RefreshNMEAParam(const NmeaModule& m);
  // After a configuration is read: each radio group on item 0 when the stored
  // talker begins with "EC", "SD", "DM" or "WI" respectively, otherwise item 1.
  // The module's talkers are not changed.
  void SetTalkerRadios(std::string_view devPos, std::string_view sounder, std::string_view speedo,
                       std::string_view wind);

  // The text beside the list: the description lines, each begun with two spaces.
  static std::string DescriptionText();
};

}  // namespace ventrel
