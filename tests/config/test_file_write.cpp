// Files are written whole or not at all.

#include "config/file_write.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "config/temp_folder.h"

namespace ventrel {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "[NavDATA]\niHDG=335\n";

// New content longer than one chunk, so that a failure can fall between chunks.
std::string NewContent() {
  std::string s = "[NavDATA]\n";
  while (s.size() < 3 * kWriteChunk) s += "iHDG=120\n";
  return s;
}

// Writes at most `limit` bytes in all, then fails (or throws, like a program that dies).
ChunkWriter FailingAfter(std::size_t limit, bool throws) {
  auto written = std::make_shared<std::size_t>(0);
  return [=](std::FILE* f, std::string_view chunk) {
    const std::size_t n = std::min(chunk.size(), limit - *written);
    std::fwrite(chunk.data(), 1, n, f);
    *written += n;
    if (n < chunk.size()) {
      if (throws) throw std::runtime_error("power cut");
      return false;
    }
    return true;
  };
}

struct CrashCase {
  const char* name;
  std::size_t limit;
  bool throws;
};

class WriteInterrupted : public ::testing::TestWithParam<CrashCase> {};

TEST_P(WriteInterrupted, LeavesTheOldFileAsItWas) {
  testing::TempFolder dir;
  const fs::path target = dir / "Ventrel.ini";
  testing::WriteText(target, kOld);
  const CrashCase& c = GetParam();
  WriteOutcome out;
  if (c.throws) {
    EXPECT_THROW(WriteFileWhole(target, NewContent(), FailingAfter(c.limit, true)), std::runtime_error);
  } else {
    out = WriteFileWhole(target, NewContent(), FailingAfter(c.limit, false));
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message,
              "Impossible d'enregistrer le fichier « Ventrel.ini » : l'écriture a échoué (disque plein ?). "
              "Le fichier existant est conservé tel quel.");
  }
  EXPECT_EQ(testing::ReadText(target), kOld);
  EXPECT_FALSE(fs::exists(TemporaryPathFor(target)));
  // The next save goes through.
  ASSERT_TRUE(WriteFileWhole(target, NewContent()).ok);
  EXPECT_EQ(testing::ReadText(target), NewContent());
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteInterrupted,
                         ::testing::Values(CrashCase{"NothingWritten", 0, false},
                                           CrashCase{"MidFirstChunk", 7, false},
                                           CrashCase{"BetweenChunks", kWriteChunk, false},
                                           CrashCase{"MidLastChunk", 2 * kWriteChunk + 100, false},
                                           CrashCase{"ThrowsMidWrite", kWriteChunk + 3, true}),
                         [](const ::testing::TestParamInfo<CrashCase>& tpi) { return std::string(tpi.param.name); });

TEST(WriteFileWhole, AStrayTemporaryFileFromACrashDoesNotHurt) {
  testing::TempFolder dir;
  const fs::path target = dir / "Ventrel.ini";
  testing::WriteText(target, kOld);
  testing::WriteText(TemporaryPathFor(target), "[Nav");  // what a killed program left
  ASSERT_TRUE(WriteFileWhole(target, "[NMEA]\niAPB=1\n").ok);
  EXPECT_EQ(testing::ReadText(target), "[NMEA]\niAPB=1\n");
  EXPECT_FALSE(fs::exists(TemporaryPathFor(target)));
}

TEST(WriteFileWhole, CreatesANewFileAndKeepsTheModeOfAnOldOne) {
  testing::TempFolder dir;
  const fs::path target = dir / "new.ini";
  ASSERT_TRUE(WriteFileWhole(target, "").ok);  // an empty file is a file too
  EXPECT_TRUE(fs::exists(target));
  EXPECT_EQ(testing::ReadText(target), "");

  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(WriteFileWhole(target, "x").ok);
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(WriteFileWhole, FollowsALinkAndKeepsIt) {
  testing::TempFolder dir;
  const fs::path real = dir / "real.ini";
  const fs::path link = dir / "Ventrel.ini";
  testing::WriteText(real, kOld);
  fs::create_symlink(real, link);
  ASSERT_TRUE(WriteFileWhole(link, "new").ok);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(testing::ReadText(real), "new");
}

TEST(WriteFileWhole, AMissingFolderIsReportedInFrench) {
  testing::TempFolder dir;
  const fs::path target = dir / "absent" / "Ventrel.ini";
  const WriteOutcome out = WriteFileWhole(target, kOld);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.message, "Impossible d'enregistrer le fichier « Ventrel.ini » : le dossier « " +
                             (dir / "absent").string() + " » est absent ou protégé en écriture.");
  EXPECT_FALSE(fs::exists(target));
}

TEST(WriteFileWhole, AReadOnlyFolderLeavesTheOldFile) {
  testing::TempFolder dir;
  const fs::path folder = dir / "conf";
  const fs::path target = folder / "Ventrel.ini";
  testing::WriteText(target, kOld);
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  // The super-user writes anywhere: the folder cannot be made read-only for it.
  if (std::FILE* probe = std::fopen((folder / "probe").string().c_str(), "wb")) {
    std::fclose(probe);
    GTEST_SKIP() << "running with rights that ignore a read-only folder";
  }
  const WriteOutcome out = WriteFileWhole(target, NewContent());
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.message, "Impossible d'enregistrer le fichier « Ventrel.ini » : le dossier « " + folder.string() +
                             " » est absent ou protégé en écriture. Le fichier existant est conservé tel quel.");
  EXPECT_EQ(testing::ReadText(target), kOld);
}

TEST(WriteFileWhole, AFolderInPlaceOfTheFileCannotBeReplaced) {
  testing::TempFolder dir;
  const fs::path target = dir / "Ventrel.ini";
  fs::create_directories(target / "inside");
  const WriteOutcome out = WriteFileWhole(target, kOld);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.message,
            "Impossible d'enregistrer le fichier « Ventrel.ini » : il ne peut pas être remplacé. "
            "Le fichier existant est conservé tel quel.");
  EXPECT_TRUE(fs::is_directory(target / "inside"));
  EXPECT_FALSE(fs::exists(TemporaryPathFor(target)));
}

}  // namespace
}  // namespace ventrel
