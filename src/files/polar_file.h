#pragma once
// Reading a polar table (sim/polar_table.h) from its file.
//
// File format (".pol"): 8-bit text, lines ending CR LF, LF or CR. Line 1 is the
// header: TAB-separated cells; every numeric cell is the wind speed of the next
// column, other cells are skipped. Each following line is a row: the angle before
// the first TAB, then the speeds of the columns in order. Data cells accept "." or
// "," and an empty cell reads 0. A row with fewer cells repeats its last cell.

#include <string>
#include <string_view>
#include <vector>

#include "sim/polar_table.h"

namespace ventrel {

// Outcome of parsing a polar file: the table, or a French message that says why
// the file is refused (the table in force is then left as it is by the caller).
struct PolarParse {
  bool ok = false;
  PolarTable table;
  std::string message;
  // Data cells that were not numbers (read as 0), one French line each; the file
  // is still accepted.
  std::vector<std::string> warnings;
};

// Parses the text of a polar file. Refused as a whole: an empty file, fewer than 2
// numeric header cells or fewer than 2 data rows, more than 41 header cells or 51
// rows, equal adjacent wind speeds or angles.
PolarParse ParsePolar(std::string_view fileText);

// Reads and parses a polar file; an unreadable file is refused with a message.
PolarParse LoadPolarFile(const std::string& path);

// File-name part of `path` without its last 4 characters, upper case:
// ".../First31_7.pol" gives "FIRST31_7"; "First 31.7.pol" gives "FIRST 31.7".
std::string NomPolaire(const std::string& path);

}  // namespace ventrel
