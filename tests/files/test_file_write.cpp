// Files are written whole or not at all.

#include "files/file_write.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "files/temp_folder.h"

#if defined(__unix__)
#include <sys/stat.h>
#endif

namespace ventrel {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "[NavDATA]\niHDG=335\n";
const std::string kCannot = "Impossible d'enregistrer le fichier « Ventrel.ini » : ";
const std::string kKept = " Le fichier existant est conservé tel quel.";
const std::string kFolder = " » est absent ou protégé en écriture.";

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
    *written += std::fwrite(chunk.data(), 1, n, f);
    if (n < chunk.size() && throws) throw std::runtime_error("power cut");
    return n == chunk.size();
  };
}

TEST(WriteFileWhole, AnInterruptedWriteLeavesTheOldFileAsItWas) {
  const struct {
    const char* name;
    std::size_t limit;
    bool throws;
  } cases[] = {{"nothing written", 0, false},           {"mid first chunk", 7, false},
               {"between chunks", kWriteChunk, false}, {"mid last chunk", 2 * kWriteChunk + 100, false},
               {"throws mid-write", kWriteChunk + 3, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder dir;
    const fs::path target = dir / "Ventrel.ini";
    testing::WriteText(target, kOld);
    if (c.throws) {
      EXPECT_THROW(WriteFileWhole(target, NewContent(), FailingAfter(c.limit, true)), std::runtime_error);
    } else {
      const WriteOutcome out = WriteFileWhole(target, NewContent(), FailingAfter(c.limit, false));
      EXPECT_FALSE(out.ok);
      EXPECT_EQ(out.message, kCannot + "l'écriture a échoué (disque plein ?)." + kKept);
    }
    EXPECT_EQ(testing::ReadText(target), kOld);
    EXPECT_FALSE(fs::exists(TemporaryPathFor(target)));
    ASSERT_TRUE(WriteFileWhole(target, NewContent()).ok);  // the next save goes through
    EXPECT_EQ(testing::ReadText(target), NewContent());
  }
}

TEST(WriteFileWhole, ReplacesCreatesKeepsTheModeAndFollowsALink) {
  testing::TempFolder dir;
  const fs::path target = dir / "Ventrel.ini";
  testing::WriteText(target, kOld);
  testing::WriteText(TemporaryPathFor(target), "[Nav");  // what a killed program left
  ASSERT_TRUE(WriteFileWhole(target, "[NMEA]\niAPB=1\n").ok);
  EXPECT_EQ(testing::ReadText(target), "[NMEA]\niAPB=1\n");
  EXPECT_FALSE(fs::exists(TemporaryPathFor(target)));

  const fs::path fresh = dir / "new.ini";
  ASSERT_TRUE(WriteFileWhole(fresh, "").ok);  // an empty file is a file too
  EXPECT_TRUE(fs::exists(fresh));
#ifdef _WIN32
  GTEST_SKIP() << "POSIX file modes and symbolic links: none for a program of Windows without privileges";
#endif
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(fresh, mode);
  ASSERT_TRUE(WriteFileWhole(fresh, "x").ok);
  EXPECT_EQ(fs::status(fresh).permissions(), mode);

  fs::create_symlink(target, dir / "link.ini");
  ASSERT_TRUE(WriteFileWhole(dir / "link.ini", "new").ok);
  EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
  EXPECT_EQ(testing::ReadText(target), "new");
}

TEST(WriteFileWhole, FailuresAreReportedInFrench) {
  testing::TempFolder dir;
  const fs::path absent = dir / "absent" / "Ventrel.ini";
  WriteOutcome out = WriteFileWhole(absent, kOld);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.message, kCannot + "le dossier « " + (dir / "absent").string() + kFolder);
  EXPECT_FALSE(fs::exists(absent));

  const fs::path folder = dir / "Ventrel.ini";  // a folder in place of the file
  fs::create_directories(folder / "inside");
  out = WriteFileWhole(folder, kOld);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.message, "Impossible d'écrire le fichier « " + folder.string() +
                             " » : c'est un dossier ; rien n'y est changé.");
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  EXPECT_FALSE(fs::exists(TemporaryPathFor(folder)));

  const fs::path locked = dir / "conf";
  testing::WriteText(locked / "Ventrel.ini", kOld);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  if (std::FILE* probe = std::fopen((locked / "probe").string().c_str(), "wb")) {
    std::fclose(probe);
    GTEST_SKIP() << "running with rights that ignore a read-only folder";
  }
  out = WriteFileWhole(locked / "Ventrel.ini", NewContent());
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.message, kCannot + "le dossier « " + locked.string() + kFolder + kKept);
  EXPECT_EQ(testing::ReadText(locked / "Ventrel.ini"), kOld);
}


#if defined(__unix__)
// The temporary file's name taken by something else: never followed nor removed.
TEST(WholeFileWriter, ATemporaryNameTakenByAnythingButAFileIsLeftAlone) {
  const struct {
    const char* name;
    bool fifo;  // else a link to another file
  } cases[] = {{"named pipe", true}, {"link to another file", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder dir;
    const fs::path target = dir / "Ventrel.ini";
    const fs::path temp = TemporaryPathFor(target);
    testing::WriteText(target, kOld);
    testing::WriteText(dir / "other.txt", "other");
    if (c.fifo) {
      ASSERT_EQ(::mkfifo(temp.c_str(), 0666), 0);
    } else {
      fs::create_symlink("other.txt", temp);
    }
    const WriteOutcome out = WriteFileWhole(target, NewContent());
    EXPECT_FALSE(out.ok);
    EXPECT_NE(out.message.find("son fichier temporaire « " + temp.string() + " » est déjà pris par"),
              std::string::npos)
        << out.message;
    EXPECT_EQ(testing::ReadText(target), kOld);
    EXPECT_EQ(testing::ReadText(dir / "other.txt"), "other");
    EXPECT_EQ(fs::symlink_status(temp).type(), c.fifo ? fs::file_type::fifo : fs::file_type::symlink);
  }
}

// A target that turns into something else while a long list is written keeps it,
// and what was written stays whole in the temporary file.
TEST(WholeFileWriter, ATargetChangedWhileWritingIsNotReplaced) {
  testing::TempFolder dir;
  const fs::path target = dir / "list.txt";
  WholeFileWriter file(target);
  ASSERT_TRUE(file.Open().ok);
  EXPECT_TRUE(file.Write("$GPGGA\r\n"));
  ASSERT_EQ(::mkfifo(target.c_str(), 0666), 0);
  EXPECT_TRUE(file.Write("$GPRMC\r\n"));
  const WriteOutcome out = file.Commit();
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.message, "Impossible d'écrire le fichier « " + target.string() +
                             " » : c'est un tube nommé (FIFO) ; rien n'y est changé. Le texte écrit est conservé dans « " +
                             TemporaryPathFor(target).string() + " ».");
  EXPECT_TRUE(fs::is_fifo(target));
  EXPECT_EQ(testing::ReadText(TemporaryPathFor(target)), "$GPGGA\r\n$GPRMC\r\n");
  EXPECT_EQ(file.Commit().message, out.message);  // told again, nothing more done
}
#endif

TEST(SameFile, OneFileUnderAnySpellingIsTheSameFile) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links: none for a program of Windows without privileges";
#endif
  testing::TempFolder dir;
  testing::WriteText(dir / "a.ini", kOld);
  testing::WriteText(dir / "b.ini", kOld);
  fs::create_symlink("a.ini", dir / "link.ini");
  fs::create_directory(dir / "x");
  const struct {
    const char* name;
    fs::path a, b;
    bool same;
  } cases[] = {
      {"itself", dir / "a.ini", dir / "a.ini", true},
      {"through a link", dir / "link.ini", dir / "a.ini", true},
      {"another spelling", dir / "x" / ".." / "a.ini", dir / "./a.ini", true},
      {"two files alike", dir / "a.ini", dir / "b.ini", false},
      {"one absent", dir / "new.ini", dir / "a.ini", false},
      {"both absent, one path", dir / "new.ini", dir / "." / "new.ini", true},
      {"both absent, two paths", dir / "new.ini", dir / "new2.ini", false},
      {"nothing named", dir / "a.ini", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SameFile(c.a, c.b), c.same);
    EXPECT_EQ(CheckNotSameFile(c.a, c.b, "la configuration lue").has_value(), c.same);
  }
}

}  // namespace
}  // namespace ventrel
