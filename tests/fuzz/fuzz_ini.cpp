// Fuzz target: the INI reader with the configuration read, written and read again.
//
// Any text is kept as read (its text is the input, byte for byte). The configuration
// read from it, written back into it, gives a text that parses to that same text and
// reads back to the same configuration without a refused key; reals, written with 15
// significant digits, come back within that precision; idTU's word "auto" (any case)
// comes back as "auto"; the fixed identifiers of the
// instruments, the pilot and the compass come back as the ones a save always writes. Written a second time, the
// configuration read back changes nothing any more.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "files/config_values.h"
#include "files/ini_file.h"
#include "fuzz_check.h"

namespace {

using ventrel::Configuration;

// Every real of the configuration: written with 15 significant digits, read back
// close to what was written. A real added to Configuration and missing here shows as
// a difference in the exact comparison that follows.
constexpr long double Configuration::* kReals[] = {
    &Configuration::iOFFS_Keel, &Configuration::iOFFS_Surf, &Configuration::iTWS,
    &Configuration::iTWD,       &Configuration::iHDG,       &Configuration::iCUR,
    &Configuration::iCURDir,    &Configuration::iPOSLat,    &Configuration::iPOSLong,
    &Configuration::iWpLat,     &Configuration::iWpLong,    &Configuration::iDeclMag,
    &Configuration::idTU};

std::string Num(long double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.21Lg", x);
  return buf;
}

// The names of the members other than reals in which a and b differ.
std::string Differences(const Configuration& a, const Configuration& b) {
  std::string d;
  const auto note = [&d](bool same, const std::string& what) {
    if (!same) d += (d.empty() ? "" : ", ") + what;
  };
  note(a.Version == b.Version, "Version « " + a.Version + " » / « " + b.Version + " »");
  note(a.Polars == b.Polars, "Polars « " + a.Polars + " » / « " + b.Polars + " »");
  note(a.PolaireAct == b.PolaireAct, "PolaireAct « " + a.PolaireAct + " » / « " + b.PolaireAct + " »");
  note(a.iPolPerc == b.iPolPerc, "iPolPerc");
  note(a.iModPil == b.iModPil, "iModPil");
  note(a.iWpID == b.iWpID, "iWpID « " + a.iWpID + " » / « " + b.iWpID + " »");
  note(a.idTUAuto == b.idTUAuto, "idTU « auto »");
  note(a.iHDGvar == b.iHDGvar && a.iTWSvar == b.iTWSvar && a.iTWDvar == b.iTWDvar, "cases à cocher");
  note(a.iVit == b.iVit, "iVit");
  for (std::size_t i = 0; i < a.COM.size(); ++i) {
    note(a.COM[i] == b.COM[i], "COM" + std::to_string(i + 1) + " « " + a.COM[i] + " » / « " + b.COM[i] + " »");
  }
  for (std::size_t i = 0; i < a.sentences.size(); ++i) {
    note(a.sentences[i] == b.sentences[i], std::string(ventrel::kSentenceKeys[i]));
  }
  note(a.talkerItems == b.talkerItems, "émetteurs");
  return d.empty() ? "un membre sans nom ici" : d;
}

// first and again are equal but for reals that differ within 15 significant digits.
void CheckSame(const Configuration& first, const Configuration& again) {
  Configuration a = first;
  for (const auto member : kReals) {
    const long double x = first.*member;
    const long double y = again.*member;
    FUZZ_CHECK(std::isfinite(y) && std::fabs(x - y) <= std::fabs(x) * 1e-14L,
               "réel relu " + Num(y) + ", lu d'abord " + Num(x));
    a.*member = y;
  }
  // The fixed identifiers are read as the file gives them but always written as they
  // should be.
  FUZZ_CHECK(again.iInst == ventrel::kInstID && again.iPilot == ventrel::kPilotID &&
                 again.iCompas == ventrel::kCompasID,
             "identifiants relus : " + again.iInst + again.iPilot + again.iCompas);
  a.iInst = again.iInst;
  a.iPilot = again.iPilot;
  a.iCompas = again.iCompas;
  FUZZ_CHECK(a == again, "la configuration relue diffère de celle écrite : " + Differences(a, again));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ventrel::IniFile ini(text);
  FUZZ_CHECK(ini.Text() == text, std::string("le texte lu n'est pas rendu tel quel"));

  const Configuration current;
  ventrel::BadKeys bad;
  const Configuration first = ventrel::ReadConfiguration(ini, current, &bad);
  FUZZ_CHECK(bad.empty() == ventrel::BadKeysMessage(bad).empty(), "clés refusées sans message");

  ventrel::IniFile written = ini;
  ventrel::WriteConfiguration(written, first);
  const std::string saved = written.Text();
  const ventrel::IniFile reread(saved);
  FUZZ_CHECK(reread.Text() == saved, std::string("le texte écrit ne se relit pas à l'identique"));

  ventrel::BadKeys badAgain;
  const Configuration again = ventrel::ReadConfiguration(reread, current, &badAgain);
  FUZZ_CHECK(badAgain.empty(), "clés écrites puis refusées : " + ventrel::BadKeysMessage(badAgain));
  CheckSame(first, again);

  ventrel::IniFile rewritten = reread;
  ventrel::WriteConfiguration(rewritten, again);
  FUZZ_CHECK(rewritten.Text() == saved, std::string("une deuxième écriture change le texte"));
  return 0;
}
