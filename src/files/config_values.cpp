#include "files/config_values.h"

#include <cmath>

#include "files/value_ranges.h"
#include "nav/number_forms.h"

namespace ventrel {

namespace {

// The longest waypoint name kept.
constexpr std::size_t kMaxNameLength = 255;

std::string PortKey(int i) { return "COM" + std::to_string(i + 1); }

// A value read, then held to the key's range: out of it, the key is reported and
// `ifInvalid` kept.
template <class T>
T Checked(const IniFile& ini, std::string_view section, std::string_view key, T value, T ifInvalid, BadKeys* bad) {
  const ValueRange* r = RangeOfKey(section, key);
  if (r == nullptr) return value;
  const std::optional<std::string> problem = RangeProblem(*r, static_cast<long double>(value));
  if (!problem) return value;
  if (bad != nullptr) bad->push_back({std::string(section), std::string(key), ini.Find(section, key).value_or(""), *problem});
  return ifInvalid;
}

long double Real(const IniFile& ini, std::string_view section, std::string_view key, long double ifInvalid,
                 BadKeys* bad) {
  return Checked(ini, section, key, ini.ReadReal(section, key, 0.0L, ifInvalid, bad), ifInvalid, bad);
}

// [RESEAU]: a value refused keeps the default (off) and is reported.
NetworkSettings ReadNetwork(const IniFile& ini, BadKeys* bad) {
  NetworkSettings n;
  const auto integer = [&](std::string_view key, std::int32_t ifMissing) {
    return Checked(ini, kSecReseau, key, ini.ReadInteger(kSecReseau, key, ifMissing, ifMissing, bad), ifMissing, bad);
  };
  n.tcp = ini.ReadBool(kSecReseau, "iTCP", false, false, bad);
  n.tcpPort = static_cast<std::uint16_t>(integer("iTCPPort", kDefaultTcpPort));
  n.tcpAddress = ini.ReadString(kSecReseau, "iTCPAdresse", "");
  if (!n.tcpAddress.empty()) {
    if (!IsListenHost(n.tcpAddress)) {
      if (bad != nullptr) bad->push_back({std::string(kSecReseau), "iTCPAdresse", n.tcpAddress, "n'est pas une adresse"});
      n.tcpAddress.clear();
      n.tcp = false;
    }
  }
  n.tcpMaxBehindKiB = integer("iTCPRetard", n.tcpMaxBehindKiB);
  n.udp = ini.ReadBool(kSecReseau, "iUDP", false, false, bad);
  const std::string dest = ini.ReadString(kSecReseau, "iUDPDest", "");
  std::string error;
  if (std::optional<std::vector<NetEndpoint>> list = ParseDestinationList(dest, error)) {
    n.udpDestinations = std::move(*list);
  } else {
    if (bad != nullptr) {
      bad->push_back({std::string(kSecReseau), "iUDPDest", dest, "n'est pas une liste de destinations HOTE:PORT"});
    }
    n.udp = false;
  }
  n.udpTtl = integer("iUDPTTL", n.udpTtl);
  return n;
}

void WriteNetwork(IniFile& ini, const NetworkSettings& n) {
  if (!ini.HasSection(kSecReseau) && n == NetworkSettings{}) return;
  ini.WriteBool(kSecReseau, "iTCP", n.tcp);
  ini.WriteInteger(kSecReseau, "iTCPPort", n.tcpPort);
  ini.WriteString(kSecReseau, "iTCPAdresse", n.tcpAddress);
  ini.WriteInteger(kSecReseau, "iTCPRetard", n.tcpMaxBehindKiB);
  ini.WriteBool(kSecReseau, "iUDP", n.udp);
  ini.WriteString(kSecReseau, "iUDPDest", DestinationListText(n.udpDestinations));
  ini.WriteInteger(kSecReseau, "iUDPTTL", n.udpTtl);
}

// [NAV]: a value refused keeps the default (the input off for its sources) and is
// reported.
NavSettings ReadNav(const IniFile& ini, BadKeys* bad) {
  NavSettings n;
  const auto real = [&](std::string_view key, long double ifMissing) {
    return Checked(ini, kSecNav, key, ini.ReadReal(kSecNav, key, ifMissing, ifMissing, bad), ifMissing, bad);
  };
  n.input = ini.ReadBool(kSecNav, "iEntree", false, false, bad);
  const std::string sources = ini.ReadString(kSecNav, "sEntree", "");
  std::string error;
  if (std::optional<std::vector<NmeaSource>> list = ParseNmeaSourceList(sources, error)) {
    n.sources = std::move(*list);
  } else {
    if (bad != nullptr) bad->push_back({std::string(kSecNav), "sEntree", sources, "n'est pas une liste de sources"});
    n.input = false;
  }
  n.allowMissingChecksum = ini.ReadBool(kSecNav, "iSansSomme", false, false, bad);
  n.turnRate = real("dVirage", n.turnRate);
  n.corridorNm = real("dCouloir", n.corridorNm);
  n.lossDelay = real("dPerte", n.lossDelay);
  return n;
}

void WriteNav(IniFile& ini, const NavSettings& n) {
  if (!ini.HasSection(kSecNav) && n == NavSettings{}) return;
  ini.WriteBool(kSecNav, "iEntree", n.input);
  ini.WriteString(kSecNav, "sEntree", NmeaSourceListText(n.sources));
  ini.WriteBool(kSecNav, "iSansSomme", n.allowMissingChecksum);
  ini.WriteReal(kSecNav, "dVirage", n.turnRate);
  ini.WriteReal(kSecNav, "dCouloir", n.corridorNm);
  ini.WriteReal(kSecNav, "dPerte", n.lossDelay);
}

// [CONTROLE]: a value refused keeps the default and is reported; a bad address
// also leaves the port off.
ControlSettings ReadControl(const IniFile& ini, BadKeys* bad) {
  ControlSettings c;
  c.on = ini.ReadBool(kSecControle, "iControle", false, false, bad);
  const std::int32_t port = c.port;
  c.port = static_cast<std::uint16_t>(
      Checked(ini, kSecControle, "iControlePort", ini.ReadInteger(kSecControle, "iControlePort", port, port, bad), port, bad));
  const std::string address = ini.ReadString(kSecControle, "iControleAdresse", c.address);
  // An empty address would be every interface: never for the control port.
  if (IsListenHost(address)) {
    c.address = address;
  } else {
    if (bad != nullptr) bad->push_back({std::string(kSecControle), "iControleAdresse", address, "n'est pas une adresse"});
    c.on = false;
  }
  return c;
}

void WriteControl(IniFile& ini, const ControlSettings& c) {
  if (!ini.HasSection(kSecControle) && c == ControlSettings{}) return;
  ini.WriteBool(kSecControle, "iControle", c.on);
  ini.WriteInteger(kSecControle, "iControlePort", c.port);
  ini.WriteString(kSecControle, "iControleAdresse", c.address);
}

}  // namespace

TModPil ModPilFromText(std::string_view text) {
  return text == "AUTO" ? TModPil::AUTO : TModPil::STDBY;
}

std::string_view ModPilText(TModPil mode) { return mode == TModPil::AUTO ? "AUTO" : "STDBY"; }

int TalkerItem(TalkerGroup group, std::string_view stored) {
  return stored.substr(0, 2) == kTalkerChoices[group].item0 ? 0 : 1;
}

std::string_view TalkerOfItem(TalkerGroup group, int item) {
  return item == 0 ? kTalkerChoices[group].item0 : kTalkerChoices[group].item1;
}

CoordFields SplitPackedCoord(long double packed) {
  CoordFields f;
  f.item = packed >= 0.0L ? 0 : 1;
  const long double a = std::fabs(packed);
  const long double deg = std::trunc(a / 100.0L);
  // The minutes are the rest of the packed value: the same as the fraction of
  // a / 100 times 100, without the rounding that division and product add.
  f.deg = generalForm(deg);
  f.min = generalForm(a - deg * 100.0L);
  return f;
}

long double PackCoord(long double deg, long double min, int item) {
  const long double v = deg * 100.0L + min;
  return item == 0 ? v : -v;
}

Configuration ReadConfiguration(const IniFile& ini, const Configuration& cur, BadKeys* bad) {
  Configuration c;
  c.Version = ini.ReadString(kSecVersion, "Version", kVersion);
  c.Polars = ini.ReadString(kSecRepertoires, "Polars", cur.Polars);
  c.PolaireAct = ini.ReadString(kSecParametres, "PolaireAct", cur.PolaireAct);
  c.iOFFS_Keel = Real(ini, kSecParametres, "iOFFS_Keel", cur.iOFFS_Keel, bad);
  c.iOFFS_Surf = Real(ini, kSecParametres, "iOFFS_Surf", cur.iOFFS_Surf, bad);
  c.iPolPerc = Checked(ini, kSecParametres, "iPolPerc",
                       ini.ReadInteger(kSecParametres, "iPolPerc", cur.iPolPerc, cur.iPolPerc, bad), cur.iPolPerc, bad);
  c.iModPil = ModPilFromText(ini.ReadString(kSecParametres, "iModPil", "AUTO"));

  const auto real = [&](std::string_view key, long double current) {
    return Real(ini, kSecNavData, key, current, bad);
  };
  c.iTWS = real("iTWS", cur.iTWS);
  c.iTWD = real("iTWD", cur.iTWD);
  c.iHDG = real("iHDG", cur.iHDG);
  c.iCUR = real("iCUR", cur.iCUR);
  c.iCURDir = real("iCURDir", cur.iCURDir);
  c.iPOSLat = real("iPOSLat", cur.iPOSLat);
  c.iPOSLong = real("iPOSLong", cur.iPOSLong);
  c.iWpID = ini.ReadString(kSecNavData, "iWpID", cur.iWpID);
  if (c.iWpID.size() > kMaxNameLength) c.iWpID.resize(kMaxNameLength);
  c.iWpLat = real("iWpLat", cur.iWpLat);
  c.iWpLong = real("iWpLong", cur.iWpLong);
  c.iDeclMag = real("iDeclMag", cur.iDeclMag);
  // "auto": the machine's offset; the number in force stays for a later choice.
  c.idTUAuto = IsAutoOffset(ini.Find(kSecNavData, "idTU").value_or(""));
  c.idTU = c.idTUAuto ? cur.idTU : real("idTU", cur.idTU);
  c.iHDGvar = ini.ReadBool(kSecNavData, "iHDGvar", cur.iHDGvar, cur.iHDGvar, bad);
  c.iTWSvar = ini.ReadBool(kSecNavData, "iTWSvar", cur.iTWSvar, cur.iTWSvar, bad);
  c.iTWDvar = ini.ReadBool(kSecNavData, "iTWDvar", cur.iTWDvar, cur.iTWDvar, bad);

  c.iVit = ini.ReadInteger(kSecCom, "iVit", cur.iVit, cur.iVit, bad);
  for (int i = 0; i < kNbPorts; ++i) {
    c.COM[static_cast<std::size_t>(i)] = ini.ReadString(kSecCom, PortKey(i), cur.COM[static_cast<std::size_t>(i)]);
  }

  // Chained defaults: a missing (or unreadable) switch repeats the one before it;
  // the sentences that are off unless chosen are off when missing and skipped by
  // the chain.
  bool previous = false;
  for (std::size_t i = 0; i < kSentenceKeys.size(); ++i) {
    if (kSentencesByType[i]->offWithoutKey) {
      c.sentences[i] = ini.ReadBool(kSecNmea, kSentenceKeys[i], false, false, bad);
      continue;
    }
    previous = ini.ReadBool(kSecNmea, kSentenceKeys[i], previous, previous, bad);
    c.sentences[i] = previous;
  }
  std::string talker;
  for (std::size_t g = 0; g < kTalkerChoices.size(); ++g) {
    talker = ini.ReadString(kSecNmea, kTalkerChoices[g].key, talker);
    c.talkerItems[g] = TalkerItem(static_cast<TalkerGroup>(g), talker);
  }
  c.iInst = ini.ReadString(kSecNmea, "iInst", kInstID);
  c.iPilot = ini.ReadString(kSecNmea, "iPilot", kPilotID);
  c.iCompas = ini.ReadString(kSecNmea, "iCompas", kCompasID);
  c.network = ReadNetwork(ini, bad);
  c.nav = ReadNav(ini, bad);
  c.control = ReadControl(ini, bad);
  return c;
}

void WriteConfiguration(IniFile& ini, const Configuration& c) {
  ini.WriteString(kSecVersion, "Name", kProgramName);
  ini.WriteString(kSecVersion, "Version", c.Version);
  ini.WriteString(kSecRepertoires, "Polars", c.Polars);
  ini.WriteString(kSecParametres, "PolaireAct", c.PolaireAct);
  ini.WriteReal(kSecParametres, "iOFFS_Keel", c.iOFFS_Keel);
  ini.WriteReal(kSecParametres, "iOFFS_Surf", c.iOFFS_Surf);
  ini.WriteInteger(kSecParametres, "iPolPerc", c.iPolPerc);
  ini.WriteString(kSecParametres, "iModPil", ModPilText(c.iModPil));

  ini.WriteReal(kSecNavData, "iTWS", c.iTWS);
  ini.WriteReal(kSecNavData, "iTWD", c.iTWD);
  ini.WriteReal(kSecNavData, "iHDG", c.iHDG);
  ini.WriteReal(kSecNavData, "iCUR", c.iCUR);
  ini.WriteReal(kSecNavData, "iCURDir", c.iCURDir);
  ini.WriteReal(kSecNavData, "iPOSLat", c.iPOSLat);
  ini.WriteReal(kSecNavData, "iPOSLong", c.iPOSLong);
  ini.WriteString(kSecNavData, "iWpID", c.iWpID);
  ini.WriteReal(kSecNavData, "iWpLat", c.iWpLat);
  ini.WriteReal(kSecNavData, "iWpLong", c.iWpLong);
  ini.WriteReal(kSecNavData, "iDeclMag", c.iDeclMag);
  if (c.idTUAuto) {
    ini.WriteString(kSecNavData, "idTU", kAutoOffset);
  } else {
    ini.WriteReal(kSecNavData, "idTU", c.idTU);
  }
  ini.WriteBool(kSecNavData, "iHDGvar", c.iHDGvar);
  ini.WriteBool(kSecNavData, "iTWSvar", c.iTWSvar);
  ini.WriteBool(kSecNavData, "iTWDvar", c.iTWDvar);

  ini.WriteInteger(kSecCom, "iVit", c.iVit);
  for (int i = 0; i < kNbPorts; ++i) {
    const std::string& device = c.COM[static_cast<std::size_t>(i)];
    if (!device.empty()) ini.WriteString(kSecCom, PortKey(i), device);
  }

  for (std::size_t i = 0; i < kSentenceKeys.size(); ++i) {
    ini.WriteBool(kSecNmea, kSentenceKeys[i], c.sentences[i]);
  }
  for (std::size_t g = 0; g < kTalkerChoices.size(); ++g) {
    ini.WriteString(kSecNmea, kTalkerChoices[g].key, TalkerOfItem(static_cast<TalkerGroup>(g), c.talkerItems[g]));
  }
  ini.WriteString(kSecNmea, "iInst", kInstID);
  ini.WriteString(kSecNmea, "iPilot", kPilotID);
  ini.WriteString(kSecNmea, "iCompas", kCompasID);
  WriteNetwork(ini, c.network);
  WriteNav(ini, c.nav);
  WriteControl(ini, c.control);
}

}  // namespace ventrel
