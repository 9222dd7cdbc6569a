#pragma once
// Every file the program writes (configurations, the polar keys written back at
// close, saved sentence lists) is written whole or not at all: the bytes go to a
// temporary file in the same folder, which is flushed to the disk and then renamed
// over the old file. A failure at any step leaves the old file as it was and is
// reported with a French message.

#include <cstdio>
#include <filesystem>
#include <functional>
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

// Writes `bytes` to `target` whole or not at all (see above). The new file keeps the
// permissions of the old one. When `writer` throws, the temporary file is removed,
// the old file is untouched and the exception goes on to the caller.
WriteOutcome WriteFileWhole(const std::filesystem::path& target, std::string_view bytes,
                            const ChunkWriter& writer = {});

// The temporary file used while writing `target`.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target);

}  // namespace ventrel
