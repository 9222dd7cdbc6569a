#pragma once
// The settings kept in a configuration file, one member per key, and their reading
// and writing.
//
// Sections and keys, in the order a save writes them:
//   [Version]      Name (always "Ventrel", never read), Version
//   [REPERTOIRES]  Polars                 polar folder, ending with "/"
//   [Parametres]   PolaireAct             polar file name inside that folder
//                  iOFFS_Keel, iOFFS_Surf depth sensor offsets, metres
//                  iPolPerc               polar percentage
//                  iModPil                "AUTO" or "STDBY"
//   [NavDATA]      iTWS, iTWD             true wind, knots and degrees (from)
//                  iHDG                   true heading, degrees
//                  iCUR, iCURDir          current, knots and degrees (towards)
//                  iPOSLat, iPOSLong      start position, packed DDMM.mm (see below)
//                  iWpID, iWpLat, iWpLong waypoint name and position, packed DDMM.mm
//                  iDeclMag               magnetic variation, degrees, east positive
//                  idTU                   UTC - local time, packed hours h.mm (h.mmss), or
//                                         "auto": the machine's own offset at each instant
//                  iHDGvar, iTWSvar, iTWDvar  the variation check boxes
//   [COM]          iVit                   serial speed, baud
//                  COM1 ... COM10         optional: the device that stands for that
//                                         port on this machine ("/dev/ttyUSB0")
//   [NMEA]         iAPB ... iZTG          the 31 sentence switches (kSentenceTypes)
//                  iDevPOS, iSound, iSpeedo, iWind   talker choices (kTalkerChoices)
//                  iInst, iPilot, iCompas always "II", "AP", "HC"
//   [RESEAU]       iTCP                   the TCP server on (1) or off (0)
//                  iTCPPort               its port, 1 to 65535 (10110)
//                  iTCPAdresse            its listening address; empty: every interface
//                                         (IPv4 and IPv6), 127.0.0.1 for this machine only
//                  iTCPRetard             KiB a client may fall behind before it is
//                                         disconnected, 1 to 65536 (64)
//                  iUDP                   the UDP datagrams on (1) or off (0)
//                  iUDPDest               destinations HOST:PORT, separated by commas
//                                         ("192.168.1.255:10110,[::1]:2000")
//                  iUDPTTL                hops of multicast datagrams, 1 to 255 (1)
//                  Missing keys are off and their defaults: a file without the
//                  section sends what it always did. A save writes the section
//                  only when the file has it or a setting differs from those.
//   [NAV]          iEntree                steering sentences read (1) or not (0)
//                  sEntree                their sources, separated by commas or spaces
//                                         ("serial", "tcp", "udp:10111", "tcp://HOST:PORT")
//                  iSansSomme             a sentence without checksum accepted (1) or dropped (0)
//                  dVirage                turn rate of the NAV pilot, degrees a second, 0.5 to 20 (3)
//                  dCouloir               cross-track error beyond which the NAV pilot tacks,
//                                         nautical miles, 0 to 10 (0.5; 0: none)
//                  dPerte                 seconds without a usable sentence before the NAV
//                                         pilot falls back to AUTO, 2 to 600 (10)
//                  Missing keys are off and their defaults, written back as
//                  [RESEAU] is.
//   [CONTROLE]     iControle              the control port on (1) or off (0)
//                  iControlePort          its TCP port, 1 to 65535 (10112)
//                  iControleAdresse       its listening address (127.0.0.1: this machine
//                                         only; "::1" in IPv6, "0.0.0.0" every interface)
//                  Missing keys are off and their defaults, written back as
//                  [RESEAU] is; a bad address is reported and leaves the port off.
//
// Packed coordinates: degrees x 100 + decimal minutes, negative for south or west;
// 51°04.14' N is 5104.14, 47°06.5' S is -4706.5.
//
// A missing key reads as its default. The defaults are fixed values, except where
// the key keeps the program's current setting (marked "current" below), and except
// the chained keys of [NMEA]: a missing sentence key takes the value just read for
// the sentence before it ("iAPB" false), leaving out iGGA, iROT, iRSA, iVLW and
// iXTE: those are false when missing and are not chained (a file without them
// selects what it selected before they existed); a missing talker key the text
// just read for the talker before it ("iDevPOS" empty). A value that is not a number keeps the
// program's current setting and its key is reported.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/ini_file.h"
#include "files/net_endpoint.h"
#include "files/nmea_source.h"
#include "nmea/registry.h"
#include "sim/sim_state.h"
#include "version.h"

namespace ventrel {

inline constexpr std::string_view kSecVersion = "Version";
inline constexpr std::string_view kSecRepertoires = "REPERTOIRES";
inline constexpr std::string_view kSecParametres = "Parametres";
inline constexpr std::string_view kSecNavData = "NavDATA";
inline constexpr std::string_view kSecCom = "COM";
inline constexpr std::string_view kSecNmea = "NMEA";
inline constexpr std::string_view kSecReseau = "RESEAU";
inline constexpr std::string_view kSecNav = "NAV";
inline constexpr std::string_view kSecControle = "CONTROLE";

inline constexpr std::string_view kProgramName = "Ventrel";

// The 31 sentences, in the order of the [NMEA] keys and of the sentence dialog's list
// (item i of the list is sentence i), read from the sentence table.
inline constexpr int kNbSentences = kSentenceCount;
inline constexpr std::array<std::string_view, kNbSentences> kSentenceTypes = [] {
  std::array<std::string_view, kNbSentences> types{};
  for (std::size_t i = 0; i < types.size(); ++i) types[i] = kSentencesByType[i]->type;
  return types;
}();
inline constexpr std::array<std::string_view, kNbSentences> kSentenceKeys = [] {
  std::array<std::string_view, kNbSentences> keys{};
  for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = kSentencesByType[i]->iniKey;
  return keys;
}();

// The four talker choices of the sentence dialog: radio item 0 or 1 of each group,
// the identifier each item stands for, and the key that stores it.
enum TalkerGroup : int { kTalkerDevPos = 0, kTalkerSounder = 1, kTalkerSpeedo = 2, kTalkerWinst = 3 };
struct TalkerChoice {
  std::string_view key;
  std::string_view item0;
  std::string_view item1;
};
inline constexpr std::array<TalkerChoice, 4> kTalkerChoices = {{
    {"iDevPOS", "EC", "GP"},  // position device
    {"iSound", "SD", "II"},   // depth sounder
    {"iSpeedo", "DM", "II"},  // speed log
    {"iWind", "WI", "II"},    // wind instruments
}};
// The fixed identifiers of the integrated instruments, the autopilot and the compass.
inline constexpr std::string_view kInstID = "II";
inline constexpr std::string_view kPilotID = "AP";
inline constexpr std::string_view kCompasID = "HC";

// Number of serial ports, COM1 to COM10.
inline constexpr int kNbPorts = 10;

// The network outputs of [RESEAU]; the defaults are "off".
struct NetworkSettings {
  bool tcp = false;
  std::uint16_t tcpPort = kDefaultTcpPort;  // 1..65535
  std::string tcpAddress;                   // "" : every interface
  std::int32_t tcpMaxBehindKiB = 64;        // 1..65536 KiB
  bool udp = false;
  std::vector<NetEndpoint> udpDestinations;
  std::int32_t udpTtl = 1;                  // 1..255 hops
  friend bool operator==(const NetworkSettings&, const NetworkSettings&) = default;
};

// The steering input of [NAV] and the NAV pilot's settings; the defaults are "off".
struct NavSettings {
  bool input = false;                 // steering sentences read from `sources`
  std::vector<NmeaSource> sources;
  bool allowMissingChecksum = false;  // a sentence without checksum is used (else dropped)
  long double turnRate = 3.0L;        // degrees a second, 0.5..20
  long double corridorNm = 0.5L;      // nautical miles, 0..10; 0: no corridor
  long double lossDelay = 10.0L;      // seconds, 2..600
  friend bool operator==(const NavSettings&, const NavSettings&) = default;
};

// The control port of [CONTROLE] (commands and read-out over TCP, one JSON object
// a line); the defaults are "off", on this machine only.
struct ControlSettings {
  bool on = false;
  std::uint16_t port = 10112;          // 1..65535
  std::string address = "127.0.0.1";  // never empty
  friend bool operator==(const ControlSettings&, const ControlSettings&) = default;
};

struct Configuration {
  // [Version]
  std::string Version = kVersion;  // of the program that wrote the file
  // [REPERTOIRES]
  std::string Polars;           // current; the polar folder, ending with "/"
  // [Parametres]
  std::string PolaireAct;       // current; the polar's display name + ".pol"
  long double iOFFS_Keel = 0.0L;  // metres
  long double iOFFS_Surf = 0.0L;  // metres
  std::int32_t iPolPerc = 0;      // current; percent
  TModPil iModPil = TModPil::AUTO;
  // [NavDATA]
  long double iTWS = 0.0L;      // knots
  long double iTWD = 0.0L;      // degrees, from
  long double iHDG = 0.0L;      // degrees true
  long double iCUR = 0.0L;      // knots
  long double iCURDir = 0.0L;   // degrees, towards
  long double iPOSLat = 0.0L;   // packed DDMM.mm, negative south
  long double iPOSLong = 0.0L;  // packed DDDMM.mm, negative west
  std::string iWpID = "Att_Dover";  // current; at most 255 characters
  long double iWpLat = 0.0L;
  long double iWpLong = 0.0L;
  long double iDeclMag = 0.0L;  // degrees, east positive
  long double idTU = 0.0L;      // packed hours h.mm: dTU = dms_dec(idTU)
  bool idTUAuto = false;        // "auto" (any case, blanks around): idTU is then kept as it was
  bool iHDGvar = false;         // current
  bool iTWSvar = false;         // current
  bool iTWDvar = false;         // current
  // [COM]
  std::int32_t iVit = 4800;     // current; baud
  std::array<std::string, kNbPorts> COM{};  // current; "" when the port keeps its usual device
  // [NMEA]
  std::array<bool, kNbSentences> sentences{};  // in kSentenceTypes order; true: sent
  std::array<int, 4> talkerItems{1, 1, 1, 1};  // radio item, 0 or 1, in kTalkerChoices order
  std::string iInst = std::string(kInstID);
  std::string iPilot = std::string(kPilotID);
  std::string iCompas = std::string(kCompasID);
  // [RESEAU]
  NetworkSettings network;
  // [NAV]
  NavSettings nav;
  // [CONTROLE]
  ControlSettings control;

  friend bool operator==(const Configuration&, const Configuration&) = default;
};

// Reads every key of the file. `current` gives the defaults marked "current" and the
// value kept when a value is not a number; keys that could not be read go to `bad`.
Configuration ReadConfiguration(const IniFile& ini, const Configuration& current, BadKeys* bad = nullptr);

// Writes every key, in the order above: keys already in the file are changed in place,
// missing ones are added, other lines are kept. "Name" is "Ventrel"; the talker keys
// hold the identifier of their item; "iInst", "iPilot", "iCompas" are always "II",
// "AP", "HC"; "COMn" is written only when it names a device.
void WriteConfiguration(IniFile& ini, const Configuration& cfg);

// "AUTO" exactly gives AUTO, any other text STDBY; and the text written for a mode.
TModPil ModPilFromText(std::string_view text);
std::string_view ModPilText(TModPil mode);

// Radio item of a stored talker: 0 when its first two characters are the group's item 0
// identifier ("EC", "SD", "DM", "WI"), otherwise 1.
int TalkerItem(TalkerGroup group, std::string_view stored);
// The identifier of a radio item (item 0 or anything else for item 1).
std::string_view TalkerOfItem(TalkerGroup group, int item);

// The panel's fields of a packed coordinate: hemisphere item (0 for N or E when the
// value is zero or positive, 1 for S or W), whole degrees and minutes, both in the
// general number form. -4706.5 gives item 1, "47", "6.5".
struct CoordFields {
  int item = 0;
  std::string deg;
  std::string min;
};
CoordFields SplitPackedCoord(long double packed);
// The packed value of the fields: degrees x 100 + minutes, negated for item 1 (S or W).
// 51 and 4.14, N, give 5104.14.
long double PackCoord(long double deg, long double min, int item);

}  // namespace ventrel
