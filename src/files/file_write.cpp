#include "files/file_write.h"

#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#define VENTREL_POSIX_SYNC 1
#endif

namespace ventrel {

namespace fs = std::filesystem;

namespace {

std::string Failure(const fs::path& target, const std::string& why, bool oldExists) {
  std::string m = "Impossible d'enregistrer le fichier « " + target.filename().string() + " » : " + why + ".";
  if (oldExists) m += " Le fichier existant est conservé tel quel.";
  return m;
}

// Pushes the file's data to the disk, not only to the system's cache.
bool SyncFile(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef VENTREL_POSIX_SYNC
  if (::fsync(::fileno(f)) != 0) return false;
#endif
  return true;
}

// Makes the rename itself durable. Best effort: a folder that cannot be opened is left.
void SyncFolder(const fs::path& dir) {
#ifdef VENTREL_POSIX_SYNC
  const int fd = ::open(dir.empty() ? "." : dir.string().c_str(), O_RDONLY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
#else
  (void)dir;
#endif
}

// Removes the temporary file unless released: also when the writer throws.
class TempGuard {
 public:
  explicit TempGuard(fs::path p) : path_(std::move(p)) {}
  TempGuard(const TempGuard&) = delete;
  TempGuard& operator=(const TempGuard&) = delete;
  ~TempGuard() {
    if (file_ != nullptr) std::fclose(file_);
    if (!released_) {
      std::error_code ec;
      fs::remove(path_, ec);
    }
  }
  std::FILE* file_ = nullptr;
  void Release() { released_ = true; }

 private:
  fs::path path_;
  bool released_ = false;
};

}  // namespace

fs::path TemporaryPathFor(const fs::path& target) {
  fs::path t = target;
  t += ".tmp";
  return t;
}

WriteOutcome WriteFileWhole(const fs::path& target0, std::string_view bytes, const ChunkWriter& writer) {
  std::error_code ec;
  // A link is followed: the file it names is replaced, the link stays.
  fs::path target = target0;
  if (fs::is_symlink(target, ec)) {
    fs::path real = fs::canonical(target, ec);
    if (!ec) target = real;
  }
  const bool oldExists = fs::exists(target, ec);
  const fs::path temp = TemporaryPathFor(target);

  TempGuard guard(temp);
  guard.file_ = std::fopen(temp.string().c_str(), "wb");
  if (guard.file_ == nullptr) {
    return {false, Failure(target, "le dossier « " + target.parent_path().string() +
                                       " » est absent ou protégé en écriture", oldExists)};
  }
  const ChunkWriter write = writer ? writer : [](std::FILE* f, std::string_view chunk) {
    return std::fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size();
  };
  for (std::size_t at = 0; at < bytes.size(); at += kWriteChunk) {
    if (!write(guard.file_, bytes.substr(at, kWriteChunk))) {
      return {false, Failure(target, "l'écriture a échoué (disque plein ?)", oldExists)};
    }
  }
  if (!SyncFile(guard.file_)) {
    return {false, Failure(target, "l'écriture a échoué (disque plein ?)", oldExists)};
  }
  const int closed = std::fclose(guard.file_);
  guard.file_ = nullptr;
  if (closed != 0) {
    return {false, Failure(target, "l'écriture a échoué (disque plein ?)", oldExists)};
  }
  if (oldExists) {
    const fs::perms old = fs::status(target, ec).permissions();
    if (!ec) fs::permissions(temp, old, ec);
  }
  fs::rename(temp, target, ec);
  if (ec) {
    return {false, Failure(target, "il ne peut pas être remplacé", oldExists)};
  }
  guard.Release();
  SyncFolder(target.parent_path());
  return {};
}

}  // namespace ventrel
