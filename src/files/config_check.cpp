#include "files/config_check.h"

#include "files/config_values.h"

namespace ventrel {

std::string ConfigTextProblem(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return "il est en UTF-16 (enregistrez-le en UTF-8 ou en ANSI)";
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  bool blank = true;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == 0) return "il contient des octets nuls (fichier binaire ou en UTF-16)";
    const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
    const bool finalEof = c == 0x1A && i + 1 == bytes.size();
    if (!space && !finalEof && (c < 0x20 || c == 0x7F)) {
      return "il contient des caractères de contrôle (octet " + std::to_string(c) + " à la position " +
             std::to_string(i + 1) + ") : ce n'est pas un fichier texte";
    }
    if (!space && !finalEof) blank = false;
  }
  if (blank) return "il est vide";
  return {};
}

std::string NoSentenceProblem(const IniFile& ini, bool anySelected) {
  if (anySelected) return {};
  if (!ini.HasSection(kSecNmea)) return "il n'a pas de section [NMEA]";
  return "toutes les phrases de sa section [NMEA] sont à 0";
}

}  // namespace ventrel
