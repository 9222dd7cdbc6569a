// Golden sentences: every example sentence of the sentence groups (amended
// where receivers misread the first forms: GSV series, ZDA two-digit day and
// month, RMB origin and destination, angles in [0, 360), APB unknown bearing,
// 82 characters, safe names, UTC date, carried minutes, ZTG as hhmmss.ss), and
// the edge cases of the builds. Each row starts from the example scene
// (scene.h), changes what it says, selects some sentences, builds one group and
// expects slots 1 ... n exactly.

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <set>

#include "nmea/frame.h"
#include "scene.h"

namespace ventrel::test {
namespace {

struct Golden {
  const char* what;
  int group;
  std::vector<std::string_view> selected;  // "*": the whole group
  void (*adjust)(Scene&);
  std::vector<std::string_view> expected;
};

void PrintTo(const Golden& g, std::ostream* os) { *os << g.what; }

// The bearing to steer allows for a drift of 2.6° to port with a current.
void DriftToPort(Scene& x) {
  x.s.CUR = {1.0L, 0.0L};
  x.s.Deriv = 2.6L;
  x.s.DerivTribord = false;
}

const std::vector<Golden> kGolden = {
    // --- Group 1 ---------------------------------------------------------------
    {"group 1, every sentence", 1, {"*"}, nullptr,
     {"$SDDPT,12.50,0.50*64", "$SDDBS,42.6,f,13.00,M,7.11,F*04", "$SDDBT,41.0,f,12.50,M,6.84,F*0F",
      "$SDDBK,37.1,f,11.30,M,6.18,F*10", "$HCHDG,44.00,,,1,E,*1A", "$HCHDM,44.00,M,*05",
      "$HCHDT,45.00,T,*04", "$HCROT,-12.0,A*33", "$APRSA,-4.0,A,,V*41", "$WIMWV,315.20,R,12.40,N,A*11",
      "$WIMWD,270.00,T,269.00,M,15.00,N,7.72,M*64"}},
    {"group 1, nothing selected", 1, {}, nullptr, {}},
    {"only DBT: its depth is the state's depth below the transducer", 1, {"DBT"},
     [](Scene& x) { x.m.dptr.depth = 99.0L; }, {"$SDDBT,41.0,f,12.50,M,6.84,F*0F"}},
    {"sounder II: depth sentences say II, heading keeps HC", 1, {"*"},
     [](Scene& x) { x.m.Sounder = "II"; },
     {"$IIDPT,12.50,0.50*73", "$IIDBS,42.6,f,13.00,M,7.11,F*13", "$IIDBT,41.0,f,12.50,M,6.84,F*18",
      "$IIDBK,37.1,f,11.30,M,6.18,F*07", "$HCHDG,44.00,,,1,E,*1A", "$HCHDM,44.00,M,*05",
      "$HCHDT,45.00,T,*04", "$HCROT,-12.0,A*33", "$APRSA,-4.0,A,,V*41", "$WIMWV,315.20,R,12.40,N,A*11",
      "$WIMWD,270.00,T,269.00,M,15.00,N,7.72,M*64"}},
    {"HDT of 123.4", 1, {"HDT"}, [](Scene& x) { x.s.BS.argt = 123.4L; }, {"$HCHDT,123.40,T,*31"}},
    {"variation 0: HDG writes 0 and E", 1, {"HDG"},
     [](Scene& x) { x.s.Declin = 0.0L; x.s.DeclinD = 'E'; },
     {"$HCHDG,45.00,,,0,E,*1A"}},
    {"MWV speed keeps 4 significant digits", 1, {"MWV"}, [](Scene& x) { x.s.AW.mdl = 123.456L; },
     {"$WIMWV,315.20,R,123.50,N,A*23"}},
    // Mend 4: angles were written as computed; receivers drop "-2.00" and misread 361.9.
    {"magnetic heading of heading 1, variation 3 E is 358, not -2", 1, {"HDG", "HDM"},
     [](Scene& x) { x.s.BS.argt = 1.0L; x.s.Declin = 3.0L; },
     {"$HCHDG,358.00,,,3,E,*26", "$HCHDM,358.00,M,*3B"}},
    {"heading 361.9 is written 1.90", 1, {"HDT"}, [](Scene& x) { x.s.BS.argt = 361.9L; },
     {"$HCHDT,1.90,T,*3D"}},
    {"heading 359.999 rounds to 0.00, never 360.00", 1, {"HDT"},
     [](Scene& x) { x.s.BS.argt = 359.999L; }, {"$HCHDT,0.00,T,*35"}},
    // The rate of turn: negative to port, positive to starboard, one decimal.
    {"ROT to starboard is positive", 1, {"ROT"}, [](Scene& x) { x.s.turnRate = 95.25L; }, {"$HCROT,95.3,A*12"}},
    {"ROT of a heading swung 180 degrees in one tick", 1, {"ROT"}, [](Scene& x) { x.s.turnRate = -10800.0L; },
     {"$HCROT,-10800.0,A*09"}},
    {"ROT under the last decimal is 0.0, never -0.0", 1, {"ROT"}, [](Scene& x) { x.s.turnRate = -0.04L; },
     {"$HCROT,0.0,A*2D"}},
    // The rudder: the bar at its left end is full starboard rudder; one rudder only.
    {"RSA with the bar at its left end", 1, {"RSA"}, [](Scene& x) { x.s.helm = 15.0L; }, {"$APRSA,15.0,A,,V*5C"}},
    {"RSA with the bar at the centre", 1, {"RSA"}, [](Scene& x) { x.s.helm = 0.0L; }, {"$APRSA,0.0,A,,V*68"}},
    {"ROT and RSA alone take slots 1 and 2", 1, {"RSA", "ROT"}, nullptr, {"$HCROT,-12.0,A*33", "$APRSA,-4.0,A,,V*41"}},
    {"true wind from 0.5, variation 1 E: magnetic 359.5", 1, {"MWD"},
     [](Scene& x) { x.s.TW.argt = 0.5L; }, {"$WIMWD,0.50,T,359.50,M,15.00,N,7.72,M*63"}},

    // --- Group 2 ---------------------------------------------------------------
    // Mend 6: BWC and BWR wrote 6 decimals of distance (85 and 83 characters).
    {"group 2, every sentence, wind on the starboard side", 2, {"*"},
     [](Scene& x) { x.s.TW.argt = 90.0L; },
     {"$DMVHW,45.00,T,44.00,M,6.50,N,12.04,K*69", "$DMVLW,1234.57,N,12.35,N*47",
      "$GPGLL,5030.0000,N,130.00000,W,101530.00,A,A*49",
      "$GPGGA,101530.00,5030.0000,N,130.00000,W,1,06,3.1,0.0,M,,M,,*56",
      "$GPRMC,101530.00,A,5030.0000,N,130.00000,W,6.80,48.30,061226,1.00,E,A*14",
      "$WIVWR,44.80,R,12.40,N,6.38,M,22.96,K*6A",
      "$GPBWC,101530.00,5106.1800,N,119.88000,E,52.70,T,51.70,M,36.40,N,Att_Dover,A*22",
      "$GPBWR,101530.00,5106.1800,N,119.88000,E,52.70,T,51.70,M,36.41,N,Att_Dover*5F",
      "$GPGSA,A,3,13,15,20,21,28,30,,,,,,,04.0,03.1,02.4*0C"}},
    {"group 2, nothing selected", 2, {}, nullptr, {}},
    {"VWR on port tack says L", 2, {"VWR"}, nullptr, {"$WIVWR,44.80,L,12.40,N,6.38,M,22.96,K*74"}},
    {"BWR alone takes slot 1 with the rhumb distance", 2, {"BWR"}, nullptr,
     {"$GPBWR,101530.00,5106.1800,N,119.88000,E,52.70,T,51.70,M,36.41,N,Att_Dover*5F"}},
    {"GSA from EC", 2, {"GSA"}, [](Scene& x) { x.m.DevPos = "EC"; },
     {"$ECGSA,A,3,13,15,20,21,28,30,,,,,,,04.0,03.1,02.4*1D"}},
    // The log: two decimals; the total and the trip are the state's own.
    {"VLW from the II speed log", 2, {"VLW"}, [](Scene& x) { x.m.Speedo = "II"; }, {"$IIVLW,1234.57,N,12.35,N*4E"}},
    {"VLW after a trip reset", 2, {"VLW"}, [](Scene& x) { x.s.logTotal = 168.035L; x.s.logTrip = 0.0L; },
     {"$DMVLW,168.04,N,0.00,N*4F"}},
    // GGA: the position of GLL with the fix of GSA (1, 6 satellites, HDOP 3.1).
    {"GGA from EC on the equator at the widest longitude", 2, {"GGA"},
     [](Scene& x) {
       x.m.DevPos = "EC";
       x.s.Memo_Pos.lat = 0.0L;
       x.s.Memo_Pos.long_ = 360.0L - (179.0L + 59.99L / 60.0L);
     },
     {"$ECGGA,101530.00,0.0000,S,17959.99000,W,1,06,3.1,0.0,M,,M,,*6D"}},
    {"latitude 0 is S, longitude 190 is 170 W", 2, {"GLL"},
     [](Scene& x) { x.s.Memo_Pos.lat = 0.0L; x.s.Memo_Pos.long_ = 190.0L; },
     {"$GPGLL,0.0000,S,17000.00000,W,101530.00,A,A*66"}},
    {"prime meridian (graphic 360) is 0 E", 2, {"GLL"}, [](Scene& x) { x.s.Memo_Pos.long_ = 360.0L; },
     {"$GPGLL,5030.0000,N,0.00000,E,101530.00,A,A*59"}},
    {"graphic 180 is 180 E", 2, {"GLL"}, [](Scene& x) { x.s.Memo_Pos.long_ = 180.0L; },
     {"$GPGLL,5030.0000,N,18000.00000,E,101530.00,A,A*50"}},
    {"graphic 180.5 is 179 30 W", 2, {"GLL"}, [](Scene& x) { x.s.Memo_Pos.long_ = 180.5L; },
     {"$GPGLL,5030.0000,N,17930.00000,W,101530.00,A,A*47"}},
    {"RMC speed keeps 4 significant digits", 2, {"RMC"}, [](Scene& x) { x.s.SOG = 123.456L; },
     {"$GPRMC,101530.00,A,5030.0000,N,130.00000,W,123.50,48.30,061226,1.00,E,A*1F"}},
    // Mend 8: RMC carried the local date beside the UTC time, a day off near midnight.
    {"23:30 local with dTU +1 is 00:30 UTC of the next day", 2, {"GLL", "RMC"},
     [](Scene& x) { x.clock = {2026, 12, 6, 23, 30, 0.0L, 1.0L}; },
     {"$GPGLL,5030.0000,N,130.00000,W,003000.00,A,A*4C",
      "$GPRMC,003000.00,A,5030.0000,N,130.00000,W,6.80,48.30,071226,1.00,E,A*10"}},
    {"00:30 local on 1 January with dTU -1 is 23:30 UTC on 31 December", 2, {"RMC"},
     [](Scene& x) { x.clock = {2027, 1, 1, 0, 30, 0.0L, -1.0L}; },
     {"$GPRMC,233000.00,A,5030.0000,N,130.00000,W,6.80,48.30,311226,1.00,E,A*14"}},
    {"23:59:59.7 UTC rounds to 00:00:00 of the next day", 2, {"RMC"},
     [](Scene& x) { x.clock = {2026, 12, 6, 23, 59, 59.7L, 0.0L}; },
     {"$GPRMC,000000.00,A,5030.0000,N,130.00000,W,6.80,48.30,071226,1.00,E,A*13"}},
    {"VHW heading 0.5, variation 1 E: magnetic 359.5", 2, {"VHW"},
     [](Scene& x) { x.s.BS.argt = 0.5L; }, {"$DMVHW,0.50,T,359.50,M,6.50,N,12.04,K*67"}},
    // Mend 4: a magnetic bearing below 0 was written negative.
    {"BWC bearing 0.5, variation 1 E: magnetic 359.5", 2, {"BWC"},
     [](Scene& x) { x.w.Wp.relev = 0.5L; },
     {"$GPBWC,101530.00,5106.1800,N,119.88000,E,0.50,T,359.50,M,36.40,N,Att_Dover,A*2E"}},
    // Mend 6: BWC reached 83 characters at the widest longitude.
    {"widest longitude in group 2; the name is cut to keep 82 characters", 2, {"BWC"},
     [](Scene& x) { x.w.Wp.P.long_ = 360.0L - (179.0L + 59.99L / 60.0L); },
     {"$GPBWC,101530.00,5106.1800,N,17959.99000,W,52.70,T,51.70,M,36.40,N,Att_Dove,A*48"}},
    // Mend 6: a long name made BWC and BWR longer than receivers accept.
    {"a long name is cut to what fits, only where needed", 2, {"BWC", "BWR"},
     [](Scene& x) { x.w.Wp.P.nom = "Pointe_de_Saint_Mathieu_Nord"; },
     {"$GPBWC,101530.00,5106.1800,N,119.88000,E,52.70,T,51.70,M,36.40,N,Pointe_de_,A*5E",
      "$GPBWR,101530.00,5106.1800,N,119.88000,E,52.70,T,51.70,M,36.41,N,Pointe_de_Sa*11"}},
    // Mend 9: minutes rounded after the split gave "1260.0000" for 12.999999999°.
    {"minutes rounded first, then carried: never 60 minutes", 2, {"GLL"},
     [](Scene& x) { x.s.Memo_Pos.lat = 12.999999999L; x.s.Memo_Pos.long_ = 12.999999999L; },
     {"$GPGLL,1300.0000,N,1300.00000,E,101530.00,A,A*6F"}},
    {"minutes just short of the carry", 2, {"GLL"},
     [](Scene& x) { x.s.Memo_Pos.lat = 12.9999L; x.s.Memo_Pos.long_ = 360.0L - 12.9999L; },
     {"$GPGLL,1259.9940,N,1259.99400,W,101530.00,A,A*7D"}},

    // A value the ranges keep out of the settings: the depth below the keel in
    // scientific notation is not sent at all.
    {"DBK with a keel offset of 1e20 is not sent", 1, {"DBK"}, [](Scene& x) { x.s.offset_keel = 1e20L; }, {}},

    // --- Group 3 ---------------------------------------------------------------
    // Mend 1: a lone GSV 3 of 3 was dropped or counted again each cycle: the whole series.
    // Mend 2: ZDA "06,12". Mend 3: RMB had the destination in the origin's field 4.
    // Mend 10: ZTG "070825.00".
    {"group 3, every sentence", 3, {"*"}, DriftToPort,
     {"$GPGSV,3,1,12,05,08,317,20,07,21,143,27,13,62,284,45,15,47,061,43*7B",
      "$GPGSV,3,2,12,18,11,201,24,20,38,126,41,21,29,228,38,23,09,022,19*75",
      "$GPGSV,3,3,12,24,17,252,32,28,55,093,46,30,34,068,39,33,,,00*4C",
      "$GPRMB,A,0.00,L,,Att_Dover,5106.1800,N,119.8800,E,36.40,52.70,5.10,,A*6E",
      "$GPAPB,A,A,0.00,L,N,V,V,50.00,T,Att_Dover,52.70,T,49.10,M*66", "$GPXTE,A,A,0.00,L,N,A*03",
      "$SDMTW,13.00,C*36",
      "$GPVTG,48.30,T,47.30,M,6.80,N,12.59,K,A*1D", "$GPZDA,101530.00,06,12,2026,-2,0*4C",
      "$GPZTG,101530.00,070825.00,Att_Dover*28", "$GPWCV,5.10,N,Att_Dover*79",
      "$GPWNC,,N,,K,Att_Dover,*1C", "$GPWPL,5106.1800,N,119.8800,E,Att_Dover*1D"}},
    {"group 3, nothing selected", 3, {}, nullptr, {}},
    {"APB and MTW take slots 1 and 2", 3, {"APB", "MTW"}, nullptr,
     {"$GPAPB,A,A,0.00,L,N,V,V,50.00,T,Att_Dover,52.70,T,51.70,M*69", "$SDMTW,13.00,C*36"}},
    {"XTE: the cross-track error of RMB and APB", 3, {"XTE", "RMB", "APB"}, nullptr,
     {"$GPRMB,A,0.00,L,,Att_Dover,5106.1800,N,119.8800,E,36.40,52.70,5.10,,A*6E",
      "$GPAPB,A,A,0.00,L,N,V,V,50.00,T,Att_Dover,52.70,T,51.70,M*69", "$GPXTE,A,A,0.00,L,N,A*03"}},
    {"MTW alone takes slot 1", 3, {"MTW"}, [](Scene& x) { x.s.WatrTemp = 15.5L; },
     {"$SDMTW,15.50,C*35"}},
    {"MTW from the II sounder", 3, {"MTW"}, [](Scene& x) { x.m.Sounder = "II"; },
     {"$IIMTW,13.00,C*21"}},
    {"GSV series from EC", 3, {"GSV"}, [](Scene& x) { x.m.DevPos = "EC"; },
     {"$ECGSV,3,1,12,05,08,317,20,07,21,143,27,13,62,284,45,15,47,061,43*6A",
      "$ECGSV,3,2,12,18,11,201,24,20,38,126,41,21,29,228,38,23,09,022,19*64",
      "$ECGSV,3,3,12,24,17,252,32,28,55,093,46,30,34,068,39,33,,,00*5D"}},
    // Mend 5: an unknown bearing was written "65535.00".
    {"APB: an unknown bearing origin to destination is an empty field", 3, {"APB"},
     [](Scene& x) { x.w.BearOrToDest = 65535.0L; },
     {"$GPAPB,A,A,0.00,L,N,V,V,,T,Att_Dover,52.70,T,51.70,M*42"}},
    {"APB: a name that fits is never cut", 3, {"APB"},
     [](Scene& x) { x.w.Wp.P.nom = "Pointe_de_Saint_Mathieu_Nord"; },
     {"$GPAPB,A,A,0.00,L,N,V,V,50.00,T,Pointe_de_Saint_Mathieu_Nord,52.70,T,51.70,M*2A"}},
    {"widest longitude in RMB and WPL", 3, {"RMB", "WPL"},
     [](Scene& x) { x.w.Wp.P.long_ = 360.0L - (179.0L + 59.99L / 60.0L); },
     {"$GPRMB,A,0.00,L,,Att_Dover,5106.1800,N,17959.9900,W,36.40,52.70,5.10,,A*76",
      "$GPWPL,5106.1800,N,17959.9900,W,Att_Dover*05"}},
    {"VTG course 0.4, variation 1 E: magnetic 359.4", 3, {"VTG"},
     [](Scene& x) { x.s.COG = 0.4L; }, {"$GPVTG,0.40,T,359.40,M,6.80,N,12.59,K,A*1D"}},
    // Mend 8: ZDA carried the local date beside the UTC time.
    {"ZDA at 23:30 local, dTU +1: the next day's UTC date", 3, {"ZDA"},
     [](Scene& x) { x.clock = {2026, 12, 6, 23, 30, 0.0L, 1.0L}; },
     {"$GPZDA,003000.00,07,12,2026,1,0*66"}},
    {"ZDA at 00:30 local on 1 January, dTU -1", 3, {"ZDA"},
     [](Scene& x) { x.clock = {2027, 1, 1, 0, 30, 0.0L, -1.0L}; },
     {"$GPZDA,233000.00,31,12,2026,-1,0*4F"}},
    {"ZDA at 23:59:59.7 UTC", 3, {"ZDA"},
     [](Scene& x) { x.clock = {2026, 12, 6, 23, 59, 59.7L, 0.0L}; },
     {"$GPZDA,000000.00,07,12,2026,0,0*64"}},
    // Mend 2: day and month without their zero ("1,1") were read as no date or year 20027.
    {"ZDA on 1 January writes 01,01; offset 0 writes 0,0", 3, {"ZDA"},
     [](Scene& x) { x.clock = {2027, 1, 1, 12, 0, 0.0L, 0.0L}; },
     {"$GPZDA,120000.00,01,01,2027,0,0*62"}},
    {"ZDA with an offset of 5.5 hours writes 5,30", 3, {"ZDA"},
     [](Scene& x) { x.clock = {2026, 12, 6, 15, 45, 30.0L, 5.5L}; },
     {"$GPZDA,211530.00,06,12,2026,5,30*57"}},
    // Mend 10: the time to go was written as hours and minutes "7.08", not hhmmss.ss.
    {"ZTG with no time to go yet", 3, {"ZTG"}, [](Scene& x) { x.w.ETE = 0.0L; },
     {"$GPZTG,101530.00,000000.00,Att_Dover*20"}},
    // Receivers read two digits of hours: 123 h was written "1230059.00" before;
    // from 100 h on the field is left empty.
    {"ZTG of 100 hours or more leaves the time to go empty", 3, {"ZTG"}, [](Scene& x) { x.w.ETE = 123.0059L; },
     {"$GPZTG,101530.00,,Att_Dover*0E"}},
    // The year has four digits: a clock that has run beyond 9999 or before year 1
    // leaves the date fields empty.
    {"ZDA in the year 10000 leaves the date empty", 3, {"ZDA"},
     [](Scene& x) { x.clock = {9999, 12, 31, 23, 30, 0.0L, 1.0L}; }, {"$GPZDA,003000.00,,,,1,0*64"}},
    {"ZDA in the year 0 leaves the date empty", 3, {"ZDA"},
     [](Scene& x) { x.clock = {1, 1, 1, 0, 0, 0.0L, -1.0L}; }, {"$GPZDA,230000.00,,,,-1,0*4B"}},
    {"RMB and WPL: a name that looks like a number is a name", 3, {"RMB", "WPL"},
     [](Scene& x) { x.w.Wp.P.nom = "1E5"; },
     {"$GPRMB,A,0.00,L,,1E5,5106.1800,N,119.8800,E,36.40,52.70,5.10,,A*7B", "$GPWPL,5106.1800,N,119.8800,E,1E5*08"}},
    // Mend 7: a name with "," or "*" shifted or broke the fields; accents are not ASCII.
    {"names: reserved and control characters become _, accents go", 3, {"WCV", "WPL"},
     [](Scene& x) { x.w.Wp.P.nom = "\u00cele d'Ol\u00e9ron*,$R\u00e9^~!\\\t"; },
     {"$GPWCV,5.10,N,Ile d'Oleron___Re_____*0C",
      "$GPWPL,5106.1800,N,119.8800,E,Ile d'Oleron___Re_____*68"}},
    {"names: letters with ligatures, signs outside ASCII", 3, {"WCV"},
     [](Scene& x) { x.w.Wp.P.nom = "Stra\u00dfe \u0152uvre\u20ac"; },
     {"$GPWCV,5.10,N,Strasse OEuvre_*1D"}},
};

// What a receiver checks first: the frame, the checksum by our own XOR, the length.
TEST(GoldenSentences, ChecksumsByOwnXorAndLength) {
  for (const auto& g : kGolden) {
    for (auto sentence : g.expected) {
      SCOPED_TRACE(std::string(g.what) + ": " + std::string(sentence));
      ASSERT_EQ(sentence.substr(0, 1), "$");
      const auto star = sentence.find('*');
      ASSERT_EQ(star, sentence.size() - 3);
      EXPECT_EQ(sentence.substr(star + 1), OwnChecksum(sentence));
      EXPECT_LE(sentence.size() + 2, 82u);
    }
  }
}

// Builds a golden row from the example scene: slots 1 ... n; slot 0 and the slots
// after n must be empty, whatever an earlier build left there.
std::vector<std::string_view> Built(Scene& x, const Golden& g) {
  if (g.adjust != nullptr) g.adjust(x);
  x.Select(g.selected);
  x.m.sentenceSlots[7] = "left over from another group";
  const int n = x.Build(g.group);
  EXPECT_TRUE(x.m.sentenceSlots[0].empty());
  for (int i = n + 1; i < NmeaModule::kSlots; ++i) EXPECT_TRUE(x.m.sentenceSlots[i].empty()) << i;
  return {x.m.sentenceSlots.begin() + 1, x.m.sentenceSlots.begin() + 1 + n};
}

class GoldenBuild : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenBuild, SlotsHoldExactlyTheExpectedSentences) {
  Scene x;
  EXPECT_EQ(Built(x, GetParam()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, GoldenBuild, ::testing::ValuesIn(kGolden),
                         [](const ::testing::TestParamInfo<Golden>& p) { return "row" + std::to_string(p.index); });

// The table of encoders and the golden table agree: exactly the 31 types, each in
// its group and sending order, each with at least one golden sentence.
TEST(SentenceRegistry, HoldsThe31TypesInTheirGroupsEachWithAGoldenSentence) {
  const std::vector<std::vector<std::string_view>> groups = {
      {"DPT", "DBS", "DBT", "DBK", "HDG", "HDM", "HDT", "ROT", "RSA", "MWV", "MWD"},
      {"VHW", "VLW", "GLL", "GGA", "RMC", "VWR", "BWC", "BWR", "GSA"},
      {"GSV", "RMB", "APB", "XTE", "MTW", "VTG", "ZDA", "ZTG", "WCV", "WNC", "WPL"}};
  std::set<std::string_view> golden;
  for (const auto& g : kGolden) {
    for (auto s : g.expected) golden.insert(s.substr(3, 3));
  }
  const auto table = SentenceTable();
  ASSERT_EQ(table.size(), 31u);
  std::size_t k = 0;
  std::set<std::string_view> seen;
  for (int g = 1; g <= 3; ++g) {
    for (auto type : groups[g - 1]) {
      ASSERT_LT(k, table.size());
      EXPECT_EQ(table[k].type, type);
      EXPECT_EQ(table[k].group, g) << type;
      EXPECT_NE(table[k].encode, nullptr) << type;
      EXPECT_TRUE(seen.insert(table[k].type).second) << "twice: " << type;
      EXPECT_TRUE(golden.count(type)) << "no golden sentence for " << type;
      EXPECT_EQ(FindSentence(type), &table[k]);
      ++k;
    }
  }
  EXPECT_EQ(FindSentence("XYZ"), nullptr);
}

// The columns the dialog and the configuration read: each entry's key is "i" and
// its type, its list item begins with its type, its description is a line of its
// own; the alphabetical view holds every entry once, in order.
TEST(SentenceRegistry, EachTypeHasItsKeyItemAndDescriptionAndTheAlphabeticalViewHoldsEachOnce) {
  std::set<std::string_view> keys, descriptions, byType;
  for (const auto& e : SentenceTable()) {
    SCOPED_TRACE(std::string(e.type));
    EXPECT_EQ(e.iniKey, "i" + std::string(e.type));
    EXPECT_TRUE(keys.insert(e.iniKey).second);
    EXPECT_EQ(e.listText.substr(0, 3), e.type);
    EXPECT_FALSE(e.description.empty());
    EXPECT_EQ(e.description.find('\n'), std::string_view::npos);
    descriptions.insert(e.description);
  }
  // RMB and RMC share their description, as the dialog shows them.
  EXPECT_EQ(descriptions.size(), 30u);
  EXPECT_EQ(FindSentence("RMB")->description, FindSentence("RMC")->description);
  for (std::size_t i = 0; i < kSentencesByType.size(); ++i) {
    const SentenceEntry* e = kSentencesByType[i];
    EXPECT_EQ(FindSentence(e->type), e);
    EXPECT_TRUE(byType.insert(e->type).second) << e->type;
    if (i > 0) {
      EXPECT_LT(kSentencesByType[i - 1]->type, e->type);
    }
  }
  EXPECT_EQ(byType.size(), 31u);
}

// A group number outside 1 ... 3 builds nothing and leaves no slot of a previous
// build; the depth below the transducer is worked out by group 1 only.
TEST(SentenceRegistry, GroupBuildReadsOnlyItsGroup) {
  struct Row {
    int group;
    int sentences;  // all 31 selected
    bool depthSet;
  };
  const Row rows[] = {{1, 11, true}, {2, 9, false}, {3, 13, false}, {0, 0, false}, {4, 0, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.group);
    Scene x;
    x.Select({"*"});
    ASSERT_GT(x.Build(3), 0);
    x.m.dptr.depth = -1.0L;
    EXPECT_EQ(x.Build(r.group), r.sentences);
    if (r.sentences == 0) {
      EXPECT_TRUE(x.m.sentenceSlots[1].empty());
    }
    EXPECT_EQ(x.m.dptr.depth != -1.0L, r.depthSet);
  }
}

// Each entry's flag is its own record's: switching one entry off leaves the others on.
TEST(SentenceRegistry, EachFlagBelongsToItsOwnRecord) {
  for (const auto& e : SentenceTable()) {
    NmeaModule m;
    for (const auto& other : SentenceTable()) other.flag(m) = t_switch::ON;
    e.flag(m) = t_switch::OFF;
    for (const auto& other : SentenceTable()) {
      EXPECT_EQ(Selected(m, other), &other != &e) << e.type << " / " << other.type;
    }
  }
  NmeaModule m;
  EXPECT_EQ(&FindSentence("BWR")->flag(m), &m.bwrr.switch_);
  EXPECT_EQ(&FindSentence("DBT")->flag(m), &m.dbtr.switch_);
}

// A new module sends what it sent before the five types that are off unless
// chosen: those five start off, every other type on; and a group build with all
// of them off gives the sentences of the other types only.
TEST(SentenceRegistry, TheTypesOffUnlessChosenStartOff) {
  const std::set<std::string_view> offUnlessChosen = {"GGA", "ROT", "RSA", "VLW", "XTE"};
  NmeaModule m;
  for (const auto& e : SentenceTable()) {
    EXPECT_EQ(Selected(m, e), !offUnlessChosen.count(e.type)) << e.type;
    EXPECT_EQ(e.offWithoutKey, offUnlessChosen.count(e.type) == 1) << e.type;
  }
  const struct {
    int group;
    int sentences;
  } kBefore[] = {{1, 9}, {2, 7}, {3, 12}};
  for (const auto& r : kBefore) {
    Scene x;
    x.m = NmeaModule{};
    EXPECT_EQ(x.Build(r.group), r.sentences) << r.group;
    for (int i = 1; i <= r.sentences; ++i) {
      EXPECT_FALSE(offUnlessChosen.count(std::string_view(x.m.sentenceSlots[i]).substr(3, 3))) << x.m.sentenceSlots[i];
    }
  }
}

// BWR takes bwcr's values but keeps its own flag: still selected at the next build.
TEST(GoldenExtras, BwrAloneStaysSelected) {
  Scene x;
  x.Select({"BWR"});
  ASSERT_EQ(x.Build(2), 1);
  EXPECT_EQ(x.m.bwrr.switch_, t_switch::ON);
  EXPECT_EQ(x.m.bwcr.switch_, t_switch::OFF);
  ASSERT_EQ(x.Build(2), 1);
  EXPECT_EQ(x.m.sentenceSlots[1].substr(0, 6), "$GPBWR");
  EXPECT_NEAR(static_cast<double>(x.m.bwrr.WpDTW), 36.41, 1e-9);  // due south: the minutes of latitude
  EXPECT_NEAR(static_cast<double>(x.m.bwcr.WpDTW), 36.4, 1e-12);
}

// A record keeps the values of its last build while its sentence is not selected.
TEST(GoldenExtras, RecordsKeepTheirLastBuild) {
  Scene x;
  x.Select({"*"});
  x.Build(2);
  x.Select({"GLL"});
  x.s.SOG = 9.9L;
  x.clock.day = 7;
  ASSERT_EQ(x.Build(2), 1);
  EXPECT_NEAR(static_cast<double>(x.m.rmcr.SOG), 6.8, 1e-12);
  EXPECT_EQ(x.m.rmcr.Date, "061226");
  EXPECT_EQ(x.m.vwrr.LorR, 'L');
  EXPECT_EQ(x.m.gllr.UTC, "101530.00");
  EXPECT_EQ(x.m.datact, "071226");  // the build's own date moves on
}

// The machine's decimal comma never reaches a sentence: the whole table again under one.
class CommaPunct : public std::numpunct<char> {
 protected:
  char do_decimal_point() const override { return ','; }
};

TEST(GoldenExtras, TheMachinesDecimalCommaNeverReachesASentence) {
  const std::locale before = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  const std::string cBefore = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) std::setlocale(LC_ALL, "fr_FR.utf8");
  for (const auto& g : kGolden) {
    Scene x;
    EXPECT_EQ(Built(x, g), g.expected) << g.what;
  }
  std::setlocale(LC_ALL, cBefore.c_str());
  std::locale::global(before);
}

}  // namespace
}  // namespace ventrel::test
