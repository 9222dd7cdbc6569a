#pragma once
// File names between Qt and the standard library. QString::toStdString gives UTF-8,
// and on Windows a std::filesystem::path built from a narrow string may read it in
// the ANSI code page (MinGW's does): "C:/Users/Frédéric" would name another folder.
// The wide string is exact there; elsewhere the narrow one is the file's own bytes.

#include <QString>

#include <filesystem>

namespace ventrel {

inline std::filesystem::path PathOf(const QString& name) {
#ifdef _WIN32
  return std::filesystem::path(name.toStdWString());
#else
  return std::filesystem::path(name.toStdString());
#endif
}

inline QString NameOf(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.wstring());
#else
  return QString::fromStdString(path.string());
#endif
}

}  // namespace ventrel
