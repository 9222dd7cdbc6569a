#pragma once
// Whether a configuration file can be one, and whether a configuration sends
// anything: the checks behind the messages of a start on a file that is empty,
// binary, in UTF-16, or selects no sentence.

#include <string>
#include <string_view>

#include "files/ini_file.h"

namespace ventrel {

// Why the bytes of a file cannot be read as a configuration, in French ("il est
// vide", ...); "" when they are text. Text is any 8-bit encoding without control
// characters other than tab, line breaks, form feed and a final Ctrl+Z; a UTF-8
// mark is allowed. A file holding nothing but spaces, line breaks and that mark is
// empty; a mark of UTF-16 or a NUL byte tells a wide or binary file.
std::string ConfigTextProblem(std::string_view bytes);

// Why a configuration selects no sentence, in French: no [NMEA] section, or every
// switch of it off. `anySelected` tells whether the configuration in force selects
// at least one sentence; "" then.
std::string NoSentenceProblem(const IniFile& ini, bool anySelected);

}  // namespace ventrel
