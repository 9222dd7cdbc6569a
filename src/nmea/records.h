#pragma once
// The sentence records, their selection flags, the talkers and the slot table of
// one group of sentences. Everything lives in one owned object, NmeaModule.
//
// Each record keeps the values of the last build of its sentence: the encoder
// fills it from the simulated state, then writes the fields from it. Angles are
// kept as the state gives them (a magnetic heading may be -2 or 361.9); the field
// forms bring every angle written into [0, 360).
// Reals are long double; "char" fields hold one character; "text" fields a string.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "nav/geodesy.h"
#include "nmea/nmea_clock.h"
#include "sim/sim_state.h"

namespace ventrel {

// Selection flag of a sentence: ON is sent, OFF is not. The records start at ON,
// but for GGA, XTE, ROT, RSA and VLW, which start at OFF: they are sent only when
// chosen in the selection dialog or in a configuration.
enum class t_switch : std::uint8_t { ON = 0, OFF = 1 };

struct t_DPT {
  long double depth = 0.0L;   // metres below the transducer: the state's depthBelowTransducer
  long double offset = 0.0L;  // not filled: the sentence takes offset_surf from the state
  t_switch switch_ = t_switch::ON;
};

// Depth below surface (DBS) and below transducer (DBT); depths in feet, metres, fathoms.
struct t_DBS {
  long double Depth_feet = 0.0L;
  std::string f;  // not filled: the unit letters are constants of the sentence
  long double Depth_meters = 0.0L;
  std::string M;
  long double Depth_Fathoms = 0.0L;
  std::string Fath;
  t_switch switch_ = t_switch::ON;
};
using t_DBT = t_DBS;

struct t_DBK {
  long double Depth_feet = 0.0L;
  std::string f;
  long double Depth_meters = 0.0L;
  std::string M;
  long double Depth_Fathoms = 0.0L;
  char Fath = '\0';
  t_switch switch_ = t_switch::ON;
};

struct t_HDG {
  long double MSHDG = 0.0L;  // magnetic sensor heading, degrees
  long double MDG = 0.0L;    // deviation, degrees (stored, not sent)
  char MDD = ' ';            // deviation side (stored, not sent)
  long double MVDG = 0.0L;   // variation, degrees, unsigned
  char MVD = 'E';            // variation side
  t_switch switch_ = t_switch::ON;
};

struct t_HDM {
  long double HDGM = 0.0L;  // magnetic heading, degrees
  char typ = 'M';
  t_switch switch_ = t_switch::ON;
};

struct t_HDT {
  long double HDGT = 0.0L;  // true heading, degrees
  char typ = 'T';
  t_switch switch_ = t_switch::ON;
};

struct t_MWV {
  long double WANGL = 0.0L;  // apparent wind angle clockwise from the bow, degrees
  char WARF = 'R';           // reference: relative
  long double WSP = 0.0L;    // apparent wind speed, knots
  char WSU = 'N';
  char WST = 'A';            // status: valid
  t_switch switch_ = t_switch::ON;
};

struct t_MWD {
  long double WDIRT = 0.0L;  // true wind direction (from), degrees true
  char DIRTtyp = 'T';
  long double WDIRM = 0.0L;  // the same, degrees magnetic
  char DIRMtyp = 'M';
  long double WSpN = 0.0L;   // knots
  char WSUN = 'N';
  long double WSpMS = 0.0L;  // metres per second
  char WSUMS = 'M';
  t_switch switch_ = t_switch::ON;
};

struct t_VHW {
  long double HDGT = 0.0L;  // heading true, degrees
  char typt = 'T';
  long double HDGM = 0.0L;  // heading magnetic, degrees
  char typm = 'M';
  long double BSn = 0.0L;   // boat speed, knots
  char SUn = 'N';
  long double BSk = 0.0L;   // boat speed, km/h
  char SUk = 'K';
  t_switch switch_ = t_switch::ON;
};

struct t_GLL {
  long double BLat = 0.0L;   // packed DMD latitude, sign kept
  char NorS = 'S';
  long double BLong = 0.0L;  // packed DMD geographic longitude, sign kept
  char EorW = 'E';
  std::string UTC;
  char Stat = 'A';
  char FAAm = 'A';
  t_switch switch_ = t_switch::ON;
};

struct t_RMC {
  std::string UTC;
  char Stat = 'A';
  long double Lat = 0.0L;   // packed DMD
  char NorS = 'S';
  long double Long = 0.0L;  // packed DMD, geographic
  char EorW = 'E';
  long double SOG = 0.0L;   // knots
  long double COG = 0.0L;   // degrees true
  std::string Date;         // ddmmyy, UTC
  long double MV = 0.0L;    // variation, degrees, unsigned
  char DevEorW = 'E';
  char FAA = 'A';
  t_switch switch_ = t_switch::ON;
};

struct t_VWR {
  long double AWD = 0.0L;    // apparent wind angle off the bow, 0..180
  char LorR = 'R';           // side: R starboard tack, L port tack
  long double AWS = 0.0L;    // knots
  char UnN = 'N';
  long double AWSms = 0.0L;  // metres per second
  char Unms = 'M';
  long double AWSkm = 0.0L;  // km/h
  char UnK = 'K';
  t_switch switch_ = t_switch::ON;
};

// Bearing and distance to the waypoint (BWC by great circle, BWR by rhumb line).
struct t_BWC {
  std::string UTC;
  long double WpLat = 0.0L;   // packed DMD
  char WpNorS = 'S';
  long double WpLong = 0.0L;  // packed DMD, geographic
  char WpEorW = 'E';
  long double WpBrgT = 0.0L;  // great-circle bearing, degrees true
  char WpBrgTypT = 'T';
  long double WpBrgM = 0.0L;  // the same, degrees magnetic
  char WpBrgTypM = 'M';
  long double WpDTW = 0.0L;   // distance, nautical miles
  char WpDunit = 'N';
  std::string WpID;
  char WpFAA = 'A';
  t_switch switch_ = t_switch::ON;
};

struct t_RMB {
  char Stat = 'A';
  long double XTE = 0.0L;         // cross-track error, always 0
  char DirTo = 'L';
  std::string ToWpID;             // destination: the waypoint's name
  std::string FrWpID;             // origin: the second waypoint's name (empty)
  long double DestLat = 0.0L;     // packed DMD
  char NorS = 'S';
  long double DestLG = 0.0L;      // packed DMD, geographic
  char EorW = 'E';
  long double RgToDest = 0.0L;    // nautical miles
  long double BearToDest = 0.0L;  // degrees true
  long double DestWCV = 0.0L;     // knots, may be negative
  std::string ArrStat;
  char FAAmd = 'A';
  t_switch switch_ = t_switch::ON;
};

struct t_APB {
  char Stv = 'A';
  char Stv2 = 'A';
  long double XTE = 0.0L;
  char DirToSteer = 'L';
  char XTU = 'N';
  char Starr = 'V';                  // arrival circle not entered
  char StA = 'V';                    // perpendicular not passed
  long double BearOrToDest = 0.0L;   // degrees true; 65535 while not known
  char BearTyp = 'T';
  std::string WpDestID;
  long double BearPosToDest = 0.0L;  // degrees true
  char Bear2Typ = 'T';
  long double HdgToDest = 0.0L;      // heading to steer, degrees magnetic
  char HdgTyp = 'M';
  t_switch switch_ = t_switch::ON;
};

struct t_MTW {
  long double Deg = 0.0L;  // degrees Celsius
  char TempU = 'C';
  t_switch switch_ = t_switch::ON;
};

struct t_VTG {
  long double COGT = 0.0L;  // degrees true
  char COG_typT = 'T';
  long double COGM = 0.0L;  // degrees magnetic
  char COG_typM = 'M';
  long double SOG = 0.0L;   // knots
  char SOGU = 'N';
  long double SOGK = 0.0L;  // km/h
  char SOGKU = 'K';
  char FAAmd = 'A';
  t_switch switch_ = t_switch::ON;
};

struct t_ZDA {
  std::string UTC;
  std::string Day;    // UTC date, two digits
  std::string Month;  // two digits
  std::string Year;   // four digits
  long double dTU = 0.0L;    // whole hours of the offset, truncated toward zero
  long double dTUmn = 0.0L;  // minutes of the offset, signed like it
  t_switch switch_ = t_switch::ON;
};

struct t_ZTG {
  std::string UTC;
  long double Trem = 0.0L;  // time to go, packed DMS hours
  std::string WpDestID;
  t_switch switch_ = t_switch::ON;
};

struct t_WCV {
  long double WpWCV = 0.0L;  // closing speed, knots
  char Vunit = 'N';
  std::string WpID;
  t_switch switch_ = t_switch::ON;
};

struct t_WNC {
  long double Dist = 0.0L;  // always 0, sent as an empty field
  char Dunit = 'N';
  long double DistK = 0.0L;
  char DunitK = 'K';
  std::string WpToID;
  std::string WpFromID;
  t_switch switch_ = t_switch::ON;
};

struct t_WPL {
  long double WpLat = 0.0L;  // packed DMD
  char NorS = 'S';
  long double WpLG = 0.0L;   // packed DMD, geographic
  char EorW = 'E';
  std::string WpID;
  t_switch switch_ = t_switch::ON;
};

// Position fix: the position of GLL and RMC, and the fix quality that matches
// the satellites of GSA and GSV (constant: see the encoder).
struct t_GGA {
  std::string UTC;
  long double Lat = 0.0L;   // packed DMD
  char NorS = 'S';
  long double Long = 0.0L;  // packed DMD, geographic
  char EorW = 'E';
  std::int32_t Quality = 1;  // 1: a GPS fix
  std::int32_t SatUsed = 6;  // the six satellites of GSA
  long double HDOP = 3.1L;   // the HDOP of GSA
  long double Alt = 0.0L;    // antenna altitude above the geoid, metres: at sea level
  t_switch switch_ = t_switch::OFF;
};

// Cross-track error of the waypoint course: the value RMB and APB send.
struct t_XTE {
  char Stat = 'A';
  char Stat2 = 'A';
  long double XTE = 0.0L;  // nautical miles, always 0
  char DirToSteer = 'L';
  char XTU = 'N';
  char FAA = 'A';
  t_switch switch_ = t_switch::OFF;
};

// Rate of turn over the last tick.
struct t_ROT {
  long double Rate = 0.0L;  // degrees per minute, negative when the bow turns to port
  char Stat = 'A';
  t_switch switch_ = t_switch::OFF;
};

// Rudder angle of the helm bar; one rudder: the port sensor's fields say "not valid".
struct t_RSA {
  long double Stbd = 0.0L;  // degrees, -15..15, negative to port
  char StbdStat = 'A';
  char PortStat = 'V';
  t_switch switch_ = t_switch::OFF;
};

// Distance through the water, nautical miles.
struct t_VLW {
  long double Total = 0.0L;  // since the program started
  char TotU = 'N';
  long double Trip = 0.0L;   // since the last start of the run
  char TripU = 'N';
  t_switch switch_ = t_switch::OFF;
};

// GSA and GSV are fixed texts: only the flag is used.
struct t_GSA {
  char SecMod = 'A';
  char Mode = '3';
  std::array<std::int32_t, 12> ID{};  // ID1 ... ID12
  long double PDOP = 0.0L, HDOP = 0.0L, VDOP = 0.0L;
  t_switch switch_ = t_switch::ON;
};

struct t_GSV {
  std::int32_t TotNbMess = 0, OriNb = 0, SatInView = 0;
  t_switch switch_ = t_switch::ON;
};

// The sentence module: records, talkers, the date and time of the current build,
// and the slot table of one group of sentences.
class NmeaModule {
 public:
  // Slots 1 ... n hold the sentences of the last group build, without CR LF;
  // slot 0 is never filled.
  static constexpr int kSlots = 50;
  std::array<std::string, kSlots> sentenceSlots;
  // Why the sentences of the last group build that could not be framed were
  // left out (French, one per sentence); empty when every one was framed.
  std::vector<std::string> framingFaults;

  // Talkers, two letters each, set by the selection dialog's OK.
  std::string DevPos = "GP";   // position device: "EC" or "GP"
  std::string Sounder = "SD";  // echo sounder: "SD" or "II"
  std::string Speedo = "DM";   // speed log: "DM" or "II"
  std::string Winst = "WI";    // wind instruments: "WI" or "II"
  // Read from the configuration and kept; no sentence uses them.
  std::string InstID = "II", PilotID = "AP", CompasID = "HC";

  // UTC date (ddmmyy) and time (hhmmss.ss) of the last build, the same instant.
  std::string datact;
  std::string timUTC;
  // The UTC instant behind them (ZDA writes its fields from it).
  UtcStamp utc;

  t_DPT dptr;
  t_DBS dbsr;
  t_DBT dbtr;
  t_DBK dbkr;
  t_HDG hdgr;
  t_HDM hdmr;
  t_HDT hdtr;
  t_MWV mwvr;
  t_MWD mwdr;
  t_VHW vhwr;
  t_GLL gllr;
  t_RMC rmcr;
  t_VWR vwrr;
  t_BWC bwcr;
  t_BWC bwrr;
  t_RMB rmbr;
  t_APB apbr;
  t_MTW mtwr;
  t_VTG vtgr;
  t_ZDA zdar;
  t_ZTG ztgr;
  t_WCV wcvr;
  t_WNC wncr;
  t_WPL wplr;
  t_GSA gsar;
  t_GSV gsvr;
  t_GGA ggar;
  t_XTE xter;
  t_ROT rotr;
  t_RSA rsar;
  t_VLW vlwr;

  // The rhumb line of BWR, kept from one build to the next: it remembers the
  // Mercator latitude of the waypoint, which does not change.
  Mercator rhumb;

  // Empties every slot; the first step of every group build.
  void ClearTabNMEA();

  // Builds group g (1, 2 or 3) of the sentence table: fills slots 1 ... n with
  // the selected sentences of the group in their sending order and returns n (0
  // when none of the group is selected, or for another g). The clock gives the
  // local date and time and the UTC offset of this build, so that the same inputs
  // give the same sentences to the byte.
  //   Group 1: depth, heading, rate of turn, rudder, wind.
  //   Group 2: water speed and log, position and fix, apparent wind, waypoint
  //            bearing, satellites used.
  //   Group 3: satellites in view, navigation to the waypoint and cross-track
  //            error, temperature, course, date and time, waypoint.
  int BuildSentenceGroup(int group, const SimState& s, const WaypointState& w, const NmeaClock& clock);

  // Sets timUTC, datact and utc from the clock.
  void SetClock(const NmeaClock& clock);
};

}  // namespace ventrel
