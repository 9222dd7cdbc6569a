#pragma once
// Reading a polar table (sim/polar_table.h) from its file.
//
// File format (".pol"): 8-bit text, lines ending CR LF, LF or CR. Blank lines
// (nothing, or only spaces, TABs and a stray CR) hold nothing and are skipped
// wherever they are: before the header, between rows and at the end (an editor or
// a spreadsheet export often adds one); line numbers in messages still count them.
// The first line that is not blank is the header: TAB-separated cells; every
// numeric cell is the wind speed of the next column, other cells are skipped. Each
// following line is a row: the angle before the first TAB, then the speeds of the
// columns in order. Data cells accept "." or "," and an empty cell reads 0. A row
// with fewer cells repeats its last cell.

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
  // The same reason without the leading "Polaire refusée : ", to be quoted in
  // another message.
  std::string reason;
  // Data cells that were not numbers (read as 0), one French line each; the file
  // is still accepted.
  std::vector<std::string> warnings;
};

// Parses the text of a polar file. Refused as a whole, with a French message that
// names the line and the cell when there is one: a file with no line that is not
// blank, fewer than 2 numeric header cells or fewer than 2 data rows, more than 41
// header cells or 51 rows, wind speeds that do not increase strictly from left to
// right or angles from top to bottom, a wind speed, angle or boat speed out of its
// range above, or written as a number too large for a real ("1e4000"). A data cell
// that is no number at all ("abc") reads 0 with a warning.
PolarParse ParsePolar(std::string_view fileText);

// Why `path` is not a regular file that a polar can be read from (missing, a
// folder, a FIFO, a device...), as a French sentence; "" when it is one. Nothing is
// opened.
std::string PolarFileProblem(const std::string& path);

// Reads and parses a polar file; a file that PolarFileProblem turns down, that is
// larger than 1 MiB or that cannot be read is refused with a message.
PolarParse LoadPolarFile(const std::string& path);

// File-name part of `path` without its last 4 characters, upper case:
// ".../First31_7.pol" gives "FIRST31_7"; "First 31.7.pol" gives "FIRST 31.7".
std::string NomPolaire(const std::string& path);

}  // namespace ventrel
