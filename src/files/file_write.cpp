#include "files/file_write.h"

#include <system_error>
#include <utility>

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

std::string TargetMessage(const fs::path& target, const std::string& why) {
  return "Impossible d'écrire le fichier « " + target.string() + " » : " + why + " ; rien n'y est changé.";
}

std::string KindName(fs::file_type type) {
  switch (type) {
    case fs::file_type::directory: return "un dossier";
    case fs::file_type::character: return "un périphérique";
    case fs::file_type::block: return "un périphérique de stockage";
    case fs::file_type::fifo: return "un tube nommé (FIFO)";
    case fs::file_type::socket: return "une socket";
    default: return "un fichier spécial, pas un fichier ordinaire";
  }
}

// The file that a write to `target` replaces, or why there is none.
struct Resolved {
  fs::path file;                   // the target, links followed
  bool exists = false;             // a regular file is there
  std::optional<std::string> why;  // French: what stands there instead
};

Resolved Resolve(const fs::path& target) {
  Resolved r;
  r.file = target;
  if (target.empty() || !target.has_filename()) {
    r.why = "ce chemin ne nomme pas un fichier";
    return r;
  }
  std::error_code ec;
  const fs::file_type type = fs::symlink_status(target, ec).type();
  switch (type) {
    case fs::file_type::not_found: return r;
    case fs::file_type::regular: r.exists = true; return r;
    case fs::file_type::symlink: break;
    case fs::file_type::none:
    case fs::file_type::unknown: r.why = "son état ne peut pas être lu"; return r;
    default: r.why = "c'est " + KindName(type); return r;
  }
  std::error_code ecLink;
  const std::string dest = fs::read_symlink(target, ecLink).string();
  const fs::path real = fs::canonical(target, ec);
  if (ec) {
    r.why = ec == std::errc::too_many_symbolic_link_levels
                ? "c'est un lien symbolique qui tourne en boucle"
                : "c'est un lien symbolique vers « " + dest + " », qui n'existe pas";
    return r;
  }
  const fs::file_type to = fs::status(real, ec).type();
  if (to == fs::file_type::regular) {
    r.file = real;
    r.exists = true;
    return r;
  }
  r.why = "c'est un lien symbolique vers « " + dest + " », qui est " + KindName(to);
  return r;
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

// A new file, never one that is there already (nor what a link there leads to).
std::FILE* CreateNew(const fs::path& p) { return std::fopen(p.string().c_str(), "wbx"); }

std::string FolderText(const fs::path& file) {
  const fs::path dir = file.parent_path();
  return dir.empty() ? std::string(".") : dir.string();
}

}  // namespace

fs::path TemporaryPathFor(const fs::path& target) {
  fs::path t = target;
  t += ".tmp";
  return t;
}

std::optional<std::string> CheckWritableTarget(const fs::path& target) {
  const Resolved r = Resolve(target);
  if (!r.why) return std::nullopt;
  return TargetMessage(target, *r.why);
}

bool SameFile(const fs::path& a, const fs::path& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code ec;
  const bool aThere = fs::exists(a, ec);
  const bool bThere = fs::exists(b, ec);
  if (aThere && bThere) return fs::equivalent(a, b, ec) && !ec;
  if (aThere != bThere) return false;
  // Neither is there yet: the same path once spelt out.
  const fs::path wa = fs::weakly_canonical(fs::absolute(a, ec), ec);
  const fs::path wb = fs::weakly_canonical(fs::absolute(b, ec), ec);
  return !wa.empty() && wa == wb;
}

std::optional<std::string> CheckNotSameFile(const fs::path& output, const fs::path& input, std::string_view what) {
  if (!SameFile(output, input)) return std::nullopt;
  return "Le fichier « " + output.string() + " » est " + std::string(what) + " (« " + input.string() +
         " ») : il ne peut pas servir de fichier de sortie.";
}

WholeFileWriter::WholeFileWriter(fs::path target, ChunkWriter writer)
    : given_(std::move(target)), target_(given_), writer_(std::move(writer)) {
  if (!writer_) {
    writer_ = [](std::FILE* f, std::string_view chunk) {
      return std::fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size();
    };
  }
}

WholeFileWriter::~WholeFileWriter() { Discard(); }

void WholeFileWriter::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_.empty() && !keepTemp_) {
    std::error_code ec;
    fs::remove(temp_, ec);
  }
  temp_.clear();
}

WriteOutcome WholeFileWriter::Fail(const std::string& message) {
  failed_ = true;
  error_ = message;
  Discard();
  return {false, message};
}

WriteOutcome WholeFileWriter::Open() {
  const Resolved r = Resolve(given_);
  if (r.why) return Fail(TargetMessage(given_, *r.why));
  target_ = r.file;
  oldExists_ = r.exists;
  const fs::path temp = TemporaryPathFor(target_);
  file_ = CreateNew(temp);
  std::error_code ec;
  if (file_ == nullptr && fs::symlink_status(temp, ec).type() == fs::file_type::regular) {
    // What a program stopped while writing left behind.
    if (fs::remove(temp, ec)) file_ = CreateNew(temp);
  }
  if (file_ == nullptr) {
    const fs::file_type there = fs::symlink_status(temp, ec).type();
    if (there != fs::file_type::not_found && there != fs::file_type::regular) {
      return Fail(Failure(given_, "son fichier temporaire « " + temp.string() + " » est déjà pris par " +
                                      (there == fs::file_type::symlink ? "un lien symbolique" : KindName(there)),
                          oldExists_));
    }
    return Fail(Failure(given_, "le dossier « " + FolderText(target_) + " » est absent ou protégé en écriture",
                        oldExists_));
  }
  temp_ = temp;
  return {};
}

bool WholeFileWriter::Write(std::string_view bytes) {
  if (failed_ || file_ == nullptr) {
    failed_ = true;
    return false;
  }
  for (std::size_t at = 0; at < bytes.size(); at += kWriteChunk) {
    if (!writer_(file_, bytes.substr(at, kWriteChunk))) {
      failed_ = true;
      return false;
    }
  }
  return true;
}

WriteOutcome WholeFileWriter::Commit() {
  if (!error_.empty()) return {false, error_};
  const std::string writeFailed = Failure(given_, "l'écriture a échoué (disque plein ?)", oldExists_);
  if (failed_ || file_ == nullptr) return Fail(writeFailed);
  if (!SyncFile(file_)) return Fail(writeFailed);
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) return Fail(writeFailed);

  // The target again: it may have been changed while the file was written. What
  // was written whole stays in the temporary file then.
  const Resolved now = Resolve(given_);
  const std::string kept = " Le texte écrit est conservé dans « " + temp_.string() + " ».";
  if (now.why) {
    keepTemp_ = true;
    return Fail(TargetMessage(given_, *now.why) + kept);
  }
  std::error_code ec;
  if (now.exists) {
    const fs::perms old = fs::status(now.file, ec).permissions();
    if (!ec) fs::permissions(temp_, old, ec);
  }
  fs::rename(temp_, now.file, ec);
  if (ec) {
    keepTemp_ = true;
    return Fail(Failure(given_, "il ne peut pas être remplacé", now.exists) + kept);
  }
  temp_.clear();
  SyncFolder(now.file.parent_path());
  return {};
}

WriteOutcome WriteFileWhole(const fs::path& target, std::string_view bytes, const ChunkWriter& writer) {
  WholeFileWriter file(target, writer);
  const WriteOutcome opened = file.Open();
  if (!opened.ok) return opened;
  file.Write(bytes);
  return file.Commit();
}

}  // namespace ventrel
