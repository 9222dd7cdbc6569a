#pragma once
// The table of the 26 sentence types: for each, its group, its record, its
// talker and its encoder. The group builds walk this table in its order; no
// other place lists the sentences.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/records.h"
#include "sim/sim_state.h"

namespace ventrel {

// Which talker a sentence carries.
enum class Talker { Sounder, Winst, Speedo, DevPos, Compass };

// The two letters of a talker in the module; Compass is always "HC".
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
};

// True when the sentence of entry e is selected in m.
bool Selected(const NmeaModule& m, const SentenceEntry& e);

// The 26 entries, group 1 then 2 then 3, each group in its sending order.
std::span<const SentenceEntry> SentenceTable();
// The entry of a sentence type ("RMC"), or nullptr.
const SentenceEntry* FindSentence(std::string_view type);

// Builds group g into slots 1 ... n from the table and returns n. The caller has
// set the clock and anything the whole group shares.
int BuildGroup(BuildContext& c, int group);

// Encoders, one per sentence type (group1.cpp, group2.cpp, group3.cpp).
namespace enc {
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

}  // namespace ventrel
