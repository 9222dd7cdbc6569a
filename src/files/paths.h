#pragma once
// File lookup that ignores the case of names, and the folder forms kept in the
// configuration files.
//
// The configuration names files the way a user typed them, or in upper case
// (a polar is saved as its display name "FIRST31_7" + ".pol"), and the default
// configuration is spelled both "Ventrel.ini" and "Ventrel.INI". On a file
// system that distinguishes case these must still find the file on disk.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ventrel {

// True when a and b are equal once ASCII letters are folded to lower case.
bool EqualsNoCase(std::string_view a, std::string_view b);

// The existing file or folder that `p` names, each component that does not exist
// as spelled being matched to a sibling whose name differs only in case (the
// exact spelling wins; among several case variants the first in byte order).
// nullopt when some component has no match. An empty path gives nullopt.
std::optional<std::filesystem::path> ResolveNoCase(const std::filesystem::path& p);

// The existing regular file `p` names, ignoring case (see ResolveNoCase).
std::optional<std::filesystem::path> FindFileNoCase(const std::filesystem::path& p);
// The existing folder `p` names, ignoring case.
std::optional<std::filesystem::path> FindDirNoCase(const std::filesystem::path& p);

// A folder or file name as read from a configuration: "\" becomes "/" (a file
// written on Windows names "DefPolars\" or "C:\...\Polars\"), except on Windows.
std::string NormaliseSeparators(std::string_view text);

// A folder as the program holds it: absolute (a relative folder is taken inside
// `base`), "/" separators, ending with "/". An empty text gives "".
std::string AbsoluteFolder(std::string_view folder, const std::filesystem::path& base);

// A folder as written into a configuration: relative to `base` ("DefPolars/")
// when it lies inside `base`, absolute otherwise; "/" separators, ending with "/".
std::string PortableFolder(std::string_view folder, const std::filesystem::path& base);

// The folder part of a file path, with its trailing "/" ("" when there is none).
std::string FolderOf(std::string_view filePath);

}  // namespace ventrel
