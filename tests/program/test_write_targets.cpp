// Every writer of the program against every kind of thing that may stand where it
// writes: only a regular file (or a link to one) is replaced; anything else is left
// exactly as it was and the user is told why. Files the program reads are never
// written over, and a configuration that is too large or no file is not read.

#include <gtest/gtest.h>

#if defined(__unix__)

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "files/file_write.h"
#include "files/ini_file.h"
#include "program/program_fixture.h"
#include "files/startup.h"

namespace ventrel {
namespace {

namespace fs = std::filesystem;
using testing::ProgramRig;

const std::string kOld = "old content\n";

// What stands at a path, as far as a test can tell: its kind, where a link leads,
// the device numbers, the content of a regular file.
struct Snapshot {
  fs::file_type type = fs::file_type::none;
  std::string link;
  dev_t rdev = 0;
  std::string content;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const fs::path& p) {
  Snapshot s;
  std::error_code ec;
  s.type = fs::symlink_status(p, ec).type();
  if (s.type == fs::file_type::symlink) s.link = fs::read_symlink(p, ec).string();
  struct stat st {};
  if (::lstat(p.c_str(), &st) == 0) s.rdev = st.st_rdev;
  if (fs::is_regular_file(p, ec)) s.content = testing::ReadText(p);
  return s;
}

bool MakeSocket(const fs::path& p) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::strncpy(a.sun_path, p.c_str(), sizeof a.sun_path - 1);
  const bool ok = ::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
  ::close(fd);
  return ok;
}

// A folder where even this process cannot create a file (false when it can: root).
bool MakeLockedFolder(const fs::path& dir) {
  fs::create_directories(dir);
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  return ::access(dir.c_str(), W_OK) != 0;
}

enum class Outcome { replaced, refused, skipped };

struct Target {
  const char* name;
  // Makes what stands at `p` (in the folder `dir`); skipped when it cannot be made.
  std::function<Outcome(const fs::path& dir, const fs::path& p)> make;
  const char* why;        // in the message of a writer that writes at once
  const char* whyRead;    // in the message of one that reads the file first
};

const std::vector<Target>& Targets() {
  static const std::vector<Target> targets = {
      {"absent", [](const fs::path&, const fs::path&) { return Outcome::replaced; }, "", ""},
      {"regular file",
       [](const fs::path&, const fs::path& p) {
         testing::WriteText(p, kOld);
         return Outcome::replaced;
       },
       "", ""},
      {"link to a regular file",
       [](const fs::path& dir, const fs::path& p) {
         testing::WriteText(dir / "real.txt", kOld);
         fs::create_symlink("real.txt", p);
         return Outcome::replaced;
       },
       "", ""},
      {"dangling link",
       [](const fs::path&, const fs::path& p) {
         fs::create_symlink("nowhere/none.txt", p);
         return Outcome::refused;
       },
       "c'est un lien symbolique vers « nowhere/none.txt », qui n'existe pas", "qui n'existe pas"},
      {"looping link",
       [](const fs::path& dir, const fs::path& p) {
         fs::create_symlink(p.filename(), dir / "loop");
         fs::create_symlink("loop", p);
         return Outcome::refused;
       },
       "c'est un lien symbolique qui tourne en boucle", "tourne en boucle"},
      {"folder",
       [](const fs::path&, const fs::path& p) {
         testing::WriteText(p / "inside.txt", kOld);
         return Outcome::refused;
       },
       "c'est un dossier", "ne peut pas être lu"},
      {"named pipe",
       [](const fs::path&, const fs::path& p) {
         return ::mkfifo(p.c_str(), 0666) == 0 ? Outcome::refused : Outcome::skipped;
       },
       "c'est un tube nommé (FIFO)", "ce n'est pas un fichier ordinaire"},
      {"link to a named pipe",
       [](const fs::path& dir, const fs::path& p) {
         if (::mkfifo((dir / "pipe").c_str(), 0666) != 0) return Outcome::skipped;
         fs::create_symlink("pipe", p);
         return Outcome::refused;
       },
       "c'est un lien symbolique vers « pipe », qui est un tube nommé (FIFO)", "ce n'est pas un fichier ordinaire"},
      {"device node 1:3",
       [](const fs::path&, const fs::path& p) {
         return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 ? Outcome::refused : Outcome::skipped;
       },
       "c'est un périphérique", "ce n'est pas un fichier ordinaire"},
      {"full device 1:7",
       [](const fs::path&, const fs::path& p) {
         return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0 ? Outcome::refused : Outcome::skipped;
       },
       "c'est un périphérique", "ce n'est pas un fichier ordinaire"},
      {"socket",
       [](const fs::path&, const fs::path& p) { return MakeSocket(p) ? Outcome::refused : Outcome::skipped; },
       "c'est une socket", "ce n'est pas un fichier ordinaire"},
      {"read-only folder",
       [](const fs::path&, const fs::path& p) {
         return MakeLockedFolder(p.parent_path()) ? Outcome::refused : Outcome::skipped;
       },
       "est absent ou protégé en écriture", "est absent ou protégé en écriture"},
  };
  return targets;
}

struct Writer {
  const char* name;
  bool readsFirst;  // reads the file it writes (keeps its other lines)
  // Writes at `p`; the message given to the user, "" when it was written.
  std::function<std::string(ProgramRig& rig, const fs::path& p)> write;
  const char* mark;  // in what it writes
};

const std::vector<Writer>& Writers() {
  static const std::vector<Writer> writers = {
      {"WriteFileWhole", false,
       [](ProgramRig&, const fs::path& p) { return WriteFileWhole(p, "[NMEA]\niAPB=1\n").message; }, "iAPB=1"},
      {"IniFile::Save", false,
       [](ProgramRig&, const fs::path& p) { return IniFile("[NavDATA]\niHDG=120\n").Save(p).message; },
       "iHDG=120"},
      {"polar keys written back", true,
       [](ProgramRig& rig, const fs::path& p) {
         return WriteBackPolarKeys(p, rig.program.polarPaths(), rig.appli, nullptr).message;
       },
       "PolaireAct=FIRST31_7.pol"},
      {"configuration saved", true,
       [](ProgramRig& rig, const fs::path& p) {
         rig.dialogs.messages.clear();
         rig.dialogs.saveAnswers = {p};
         rig.program.Enregistrer2Click();
         return rig.dialogs.messages.empty() ? std::string() : rig.dialogs.messages.back();
       },
       "[NavDATA]"},
      {"raw list saved", false,
       [](ProgramRig& rig, const fs::path& p) { return rig.program.transmission().SaveNMEAbrut(p).message; }, ""},
      {"time-stamped list saved", false,
       [](ProgramRig& rig, const fs::path& p) { return rig.program.transmission().SaveNMEAHMS(p).message; }, ""},
  };
  return writers;
}

TEST(WriteTargets, OnlyARegularFileIsReplacedAndNothingElseIsTouched) {
  for (const Writer& w : Writers()) {
    for (const Target& t : Targets()) {
      SCOPED_TRACE(std::string(w.name) + " over " + t.name);
      ProgramRig rig;
      const fs::path dir = rig.root / "out";
      fs::create_directories(dir);
      const fs::path p = dir / "target.txt";
      const Outcome expected = t.make(dir, p);
      if (expected == Outcome::skipped) continue;  // not allowed to make it here
      const Snapshot before = Take(p);
      const std::string message = w.write(rig, p);
      if (expected == Outcome::replaced) {
        EXPECT_EQ(message, "");
        EXPECT_EQ(Take(p).type, before.type == fs::file_type::not_found ? fs::file_type::regular : before.type);
        EXPECT_EQ(Take(p).link, before.link);  // a link stays a link
        const std::string now = testing::ReadText(p);
        EXPECT_NE(now, kOld);
        EXPECT_NE(now.find(w.mark), std::string::npos) << now;
      } else {
        EXPECT_NE(message.find(w.readsFirst ? t.whyRead : t.why), std::string::npos) << message;
        EXPECT_EQ(Take(p), before);
        EXPECT_FALSE(fs::exists(dir / "nowhere"));
      }
      std::error_code ec;
      fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
      for (const auto& e : fs::directory_iterator(dir)) {
        EXPECT_NE(e.path().extension(), ".tmp") << "temporary file left: " << e.path();
      }
    }
  }
}

TEST(WriteTargets, FilesTheProgramReadsAreNeverWrittenOver) {
  ProgramRig rig;
  const fs::path polar = rig.appli / "DefPolars" / "First31_7.pol";
  const fs::path opened = rig.Write("opened.ini", "[NavDATA]\niTWS=12\n");
  rig.Open(opened);
  fs::create_symlink(polar, rig.root / "polar-link.txt");
  const struct {
    const char* name;
    fs::path file;
    bool configuration;  // saving a configuration
    const char* what;    // "" when the file may be written
  } cases[] = {
      {"the polar", polar, true, "la polaire en cours"},
      {"the polar spelt another way", rig.appli / "DefPolars" / ".." / "DefPolars" / "First31_7.pol", false,
       "la polaire en cours"},
      {"a link to the polar", rig.root / "polar-link.txt", false, "la polaire en cours"},
      {"the default configuration, for a list", rig.appli / "Ventrel.ini", false, "la configuration lue au démarrage"},
      {"the default configuration, for a configuration", rig.appli / "Ventrel.ini", true, ""},
      {"the configuration opened, for a list", opened, false, "la configuration ouverte"},
      {"the configuration opened, for a configuration", opened, true, ""},
      {"another file", rig.root / "list.txt", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<std::string> m = rig.program.InputFileAt(c.file, c.configuration);
    if (*c.what == '\0') {
      EXPECT_FALSE(m) << *m;
    } else {
      ASSERT_TRUE(m);
      EXPECT_NE(m->find(c.what), std::string::npos) << *m;
    }
  }
  // "Enregistrer" over the polar leaves it as it was.
  const std::string polarText = testing::ReadText(polar);
  rig.dialogs.saveAnswers = {polar};
  rig.program.Enregistrer2Click();
  EXPECT_EQ(testing::ReadText(polar), polarText);
  ASSERT_FALSE(rig.dialogs.messages.empty());
  EXPECT_EQ(rig.dialogs.messages.back(), "Le fichier « " + polar.string() + " » est la polaire en cours (« " +
                                             rig.program.NomFiPol() +
                                             " ») : il ne peut pas servir de fichier de sortie. "
                                             "La configuration n'est pas enregistrée.");
}

TEST(IniFileLoad, TooLargeOrNoFileIsNotRead) {
  testing::TempFolder dir;
  const std::string line = "[NavDATA]\niHDG=120\n";
  const auto filled = [&](std::size_t size) {
    std::string s = line;
    s.resize(size, ';');
    return s;
  };
  const std::string tooLarge = " est trop grand pour une configuration (plus de 1 Mio) : il n'est pas lu.";
  const std::string noFile = " ne peut pas être lu : ce n'est pas un fichier ordinaire.";
  ::mkfifo((dir / "pipe.ini").c_str(), 0666);
  fs::create_symlink("pipe.ini", dir / "link.ini");
  const struct {
    const char* name;
    fs::path file;
    std::string text;  // written to the file when not empty
    std::string message;
  } cases[] = {
      {"exactly the limit", dir / "limit.ini", filled(kMaxIniBytes), ""},
      {"one byte over", dir / "over.ini", filled(kMaxIniBytes + 1), "Le fichier « over.ini »" + tooLarge},
      {"2 MB", dir / "big.ini", filled(2'000'000), "Le fichier « big.ini »" + tooLarge},
      {"a named pipe", dir / "pipe.ini", "", "Le fichier « pipe.ini »" + noFile},
      {"a link to a named pipe", dir / "link.ini", "", "Le fichier « link.ini »" + noFile},
      {"a device", "/dev/null", "", "Le fichier « null »" + noFile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.text.empty()) testing::WriteText(c.file, c.text);
    IniFile ini("[Old]\nk=1\n");
    const IniLoad load = IniFile::Load(c.file, &ini);
    EXPECT_TRUE(load.found);
    EXPECT_EQ(load.readable, c.message.empty());
    EXPECT_EQ(load.message, c.message);
    EXPECT_EQ(ini.Find("NavDATA", "iHDG"), c.message.empty() ? std::optional<std::string>("120") : std::nullopt);
    EXPECT_FALSE(ini.HasSection("Old"));
  }
}

}  // namespace
}  // namespace ventrel

#endif  // __unix__
