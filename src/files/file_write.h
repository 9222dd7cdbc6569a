#pragma once
// Every file the program writes (configurations, the polar keys written back at
// close, saved sentence lists, the lists of a run without a window) is written whole
// or not at all: the bytes go to a temporary file in the same folder, which is
// flushed to the disk and then renamed over the old file. A failure at any step
// leaves the old file as it was and is reported with a French message.
//
// Only a regular file is ever replaced. A symbolic link that leads to a regular file
// is followed (the file it names is replaced, the link stays); a folder, a device, a
// named pipe, a socket, a link that leads nowhere or to anything but a regular file
// is refused before anything is written, and left as it is.

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ventrel {

// Writes one chunk of bytes to an open file; false when the write fails. The default
// is std::fwrite; tests inject one that fails or throws part way through.
using ChunkWriter = std::function<bool(std::FILE* file, std::string_view chunk)>;

struct WriteOutcome {
  bool ok = true;
  std::string message;  // French, for the user, when !ok
};

// Size of the chunks handed to the writer.
inline constexpr std::size_t kWriteChunk = 4096;

// Why no file can be written at `target`: a French message that names it (as given)
// and says what stands there; nothing when `target` is absent, a regular file or a
// link that leads to one.
std::optional<std::string> CheckWritableTarget(const std::filesystem::path& target);

// True when `a` and `b` name one file: for two files that are there, one file (a
// link, another spelling); otherwise the same path once made absolute and its links
// followed as far as they lead.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// A French message when `output` is the file `input` (another spelling of its path or
// a link to it included); `what` names the input for the user ("la configuration
// lue"). Nothing when either is absent or they are two files.
std::optional<std::string> CheckNotSameFile(const std::filesystem::path& output, const std::filesystem::path& input,
                                            std::string_view what);

// A file written as it goes into its temporary file, which replaces the target only
// at Commit. Destroyed without a Commit (or after a failure), it removes its
// temporary file and leaves the target as it was.
class WholeFileWriter {
 public:
  explicit WholeFileWriter(std::filesystem::path target, ChunkWriter writer = {});
  WholeFileWriter(const WholeFileWriter&) = delete;
  WholeFileWriter& operator=(const WholeFileWriter&) = delete;
  ~WholeFileWriter();

  // Checks the target and creates the temporary file.
  WriteOutcome Open();
  // Appends bytes, handed to the writer in chunks of kWriteChunk at most; false
  // once a write has failed (what follows is dropped, Commit reports it).
  bool Write(std::string_view bytes);
  // Flushes the temporary file to the disk and renames it over the target, whose
  // permissions it takes. The target is checked again first: when it has changed
  // into something that is not replaced, or the rename fails, the temporary file,
  // written whole, is kept and named in the message.
  WriteOutcome Commit();
  // A write has failed (or the file could not be opened).
  bool failed() const { return failed_; }

 private:
  WriteOutcome Fail(const std::string& why);
  void Discard();

  std::filesystem::path given_;   // the target as named
  std::filesystem::path target_;  // the file replaced: the target, links followed
  std::filesystem::path temp_;
  ChunkWriter writer_;
  std::FILE* file_ = nullptr;
  std::string error_;  // the failure already reported, given again by Commit
  bool oldExists_ = false;
  bool failed_ = false;
  bool keepTemp_ = false;
};

// Writes `bytes` to `target` whole or not at all (see above). The new file keeps the
// permissions of the old one. When `writer` throws, the temporary file is removed,
// the old file is untouched and the exception goes on to the caller.
WriteOutcome WriteFileWhole(const std::filesystem::path& target, std::string_view bytes,
                            const ChunkWriter& writer = {});

// The temporary file used while writing `target`.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target);

}  // namespace ventrel
