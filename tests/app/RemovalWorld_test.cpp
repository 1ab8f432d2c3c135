// Remove Drivers while the world moves under it: names that differ only in
// letter case, files changed after their backup was checked, deletes that
// say more than they did, copies that fail over an older backup, links,
// pipes and folders where files are expected, and a program folder below a
// hidden one. Each case states what must come of it; every case also holds
// the rules of all: no file is gone from the INF folder without a
// byte-identical copy in Backup, and nothing else is touched.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <thread>

#include "platform/Shell.h"
#include "tests/app/HostProcess.h"
#include "tests/app/RemovalScene.h"
#include "tests/support/FileSystemDecorator.h"

namespace {

namespace fs = std::filesystem;

const std::string Complete = "Removal Complete...Please Restart your Computer";
const std::string BackupFailed = "Backup Failed...No Driver Files were Deleted";
const std::string Incomplete = "Removal Incomplete...Some Driver Files were not Deleted";

const std::string T = "[Strings]\r\nMfg=\"TALMIREX\"\r\n";
const std::string Other = "[Strings]\r\nMfg=\"Norvale\"\r\n";
const std::string P = std::string("PNF\x01\0\xfe", 6);

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void WriteHost(const std::string& host, const std::string& bytes) {
  std::ofstream(host, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The drive as the Linux file system sees it. Under Wine the Windows calls
// take a name for an entry of that name in another letter case and do not
// see pipes: these look and write through the Linux shell, in both builds.
std::string Q(const std::string& host) {
  // The last name as written: Wine would take it for another of its case.
  size_t cut = host.find_last_of("\\/");
  std::string quoted = "'";
  quoted += hostprocess::UnixPath(host.substr(0, cut));
  quoted += '/';
  quoted += host.substr(cut + 1);
  quoted += '\'';
  return quoted;
}

void UnixWrite(const RemovalScene& s, const std::string& host, const std::string& bytes) {
  if (!hostprocess::UnixShellAvailable()) return WriteHost(host, bytes);
  const std::string staged = s.drive.Host("staged.tmp");
  WriteHost(staged, bytes);
  hostprocess::UnixShell("mv -f " + Q(staged) + " " + Q(host));
}

std::optional<std::string> UnixRead(const RemovalScene& s, const std::string& host) {
  if (!hostprocess::UnixShellAvailable())
    return fs::is_regular_file(host) ? std::optional(ReadHost(host)) : std::nullopt;
  const std::string copy = s.drive.Host("read.tmp");
  std::error_code ignored;
  fs::remove(copy, ignored);
  hostprocess::UnixShell("[ -f " + Q(host) + " ] && cp " + Q(host) + " " + Q(copy));
  if (!fs::exists(copy)) return std::nullopt;
  std::string bytes = ReadHost(copy);
  fs::remove(copy, ignored);
  return bytes;
}

// test(1) of the Linux shell: `-L`, `-e`, ...
bool UnixTest(const RemovalScene& s, const std::string& test, const std::string& host) {
  const std::string flag = s.drive.Host("flag.tmp");
  std::error_code ignored;
  fs::remove(flag, ignored);
  hostprocess::UnixShell("[ " + test + " " + Q(host) + " ] && : > " + Q(flag));
  bool yes = fs::exists(flag);
  fs::remove(flag, ignored);
  return yes;
}

std::set<std::string> UnixNames(const RemovalScene& s, const std::string& folder) {
  if (!hostprocess::UnixShellAvailable()) {
    std::set<std::string> names;
    std::error_code ignored;
    for (auto& e : fs::directory_iterator(folder, ignored))
      names.insert(e.path().filename().string());
    return names;
  }
  const std::string list = s.drive.Host("names.tmp");
  hostprocess::UnixShell("ls -A " + Q(folder) + " > " + Q(list) + " 2>/dev/null");
  std::set<std::string> names;
  std::ifstream in(list);
  for (std::string name; std::getline(in, name);)
    names.insert(name);
  in.close();
  std::error_code ignored;
  fs::remove(list, ignored);
  return names;
}

// Runs `action` once, at the first file query that the delete pass makes
// for a path ending in `name`: after every backup was checked.
class BeforeTheDelete : public FileSystemDecorator {
public:
  BeforeTheDelete(std::string name, std::function<void()> action)
      : name_(std::move(name)), action_(std::move(action)) {}
  std::string FirstEntry(const std::string& path, platform::EntryKinds kinds) override {
    if (kinds == platform::EntryKinds::FilesOnly && EndsWith(path, "\\" + name_) && action_) {
      auto action = std::move(action_);
      action_ = nullptr;
      action();
    }
    return inner_->FirstEntry(path, kinds);
  }

private:
  std::string name_;
  std::function<void()> action_;
};

// Deletes nothing and says it did, as Wine does on a read-only mount.
class DeletesThatDoNothing : public FileSystemDecorator {
public:
  void RemoveFile(const std::string&) override {}
};

// Writes half of a file onto the name the copy goes to, as the Windows
// shell does in place, then reports the disk full.
class CopiesThatFailHalfway : public platform::Shell {
public:
  explicit CopiesThatFailHalfway(std::string name) : name_(std::move(name)) {}
  int32_t SHFileOperationA(platform::SHFILEOPSTRUCTA& request) override {
    std::string from = request.pFrom.c_str(), to = request.pTo.c_str();
    if (!EndsWith(from, "\\" + name_)) return inner_->SHFileOperationA(request);
    std::string target = testhost::ToHost(to);
    if (fs::is_directory(target))
      target = testhost::ToHost(to + "\\" + from.substr(from.find_last_of('\\') + 1));
    std::string bytes = ReadHost(testhost::ToHost(from));
    WriteHost(target, bytes.substr(0, bytes.size() / 2));
    return 0x70; // ERROR_DISK_FULL
  }

private:
  std::string name_;
  std::shared_ptr<platform::Shell> inner_ = Native();
};

struct WorldCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> inf; // INF folder: name -> bytes
  std::string last;                                     // the log's last line
  std::set<std::string> deleted;                        // what is gone from the INF folder
  std::function<void(RemovalScene&)> setup = nullptr;
  std::function<std::shared_ptr<platform::FileSystem>(RemovalScene&)> files = nullptr;
  std::function<std::shared_ptr<platform::Shell>(RemovalScene&)> shell = nullptr;
  std::function<void(RemovalScene&)> check = nullptr;
  std::map<std::string, std::string> changed = {}; // INF files the case itself rewrites
};

// The names in the Backup folder.
std::set<std::string> BackupNames(const RemovalScene& scene) {
  return UnixNames(scene, scene.Backup());
}

void RunCase(const WorldCase& c) {
  SCOPED_TRACE(c.name);
  RemovalScene scene;
  for (auto& [name, bytes] : c.inf)
    UnixWrite(scene, scene.InfHost(name), bytes);
  if (c.setup) c.setup(scene);
  {
    std::optional<ScopedService<platform::FileSystem>> files;
    std::optional<ScopedService<platform::Shell>> shell;
    if (c.files) files.emplace(c.files(scene));
    if (c.shell) shell.emplace(c.shell(scene));
    scene.Remove();
  }
  EXPECT_EQ(scene.Log().back(), c.last);
  const std::set<std::string> left = UnixNames(scene, scene.InfHost());
  // Before the last line: why the backup failed, or each file that is left.
  const std::vector<std::string>& log = scene.Log();
  if (c.last == BackupFailed && log.size() >= 2) {
    const std::string& why = log[log.size() - 2];
    EXPECT_TRUE(why.rfind("... ", 0) == 0 && why.rfind("... File: ", 0) != 0) << why;
  }
  if (c.last == Incomplete) {
    const std::string prefix = "... Not Deleted: ";
    size_t named = 0;
    for (const std::string& line : log) {
      if (line.rfind(prefix, 0) != 0) continue;
      ++named;
      const std::string name = line.substr(line.find_last_of('\\') + 1);
      EXPECT_TRUE(left.count(name)) << line << ", but it is gone";
    }
    EXPECT_GT(named, 0u) << "no file named as left";
  }
  for (auto& [name, original] : c.inf) {
    std::string bytes = c.changed.count(name) ? c.changed.at(name) : original;
    if (c.deleted.count(name)) {
      EXPECT_FALSE(left.count(name)) << name << " left";
      EXPECT_EQ(UnixRead(scene, scene.Backup(name)), bytes)
          << name << " deleted without a byte-identical backup";
    } else {
      EXPECT_TRUE(left.count(name)) << name << " deleted";
      if (left.count(name)) {
        EXPECT_EQ(UnixRead(scene, scene.InfHost(name)), bytes) << name;
      }
    }
  }
  const std::regex temporary(R"(\.talmirex-(new-[0-9a-f]{8}|copy-[A-Za-z0-9]{6}))");
  for (const std::string& name : BackupNames(scene))
    EXPECT_FALSE(std::regex_match(name, temporary)) << "a temporary copy left: " << name;
  if (c.check) c.check(scene);
  if (::testing::Test::HasFailure())
    for (const std::string& line : scene.Log())
      std::printf("  log: %s\n", line.c_str());
  // What the case made in the INF folder.
  if (hostprocess::UnixShellAvailable()) {
    hostprocess::UnixShell("rm -rf " + Q(scene.InfHost()) + "/oem* " + Q(scene.InfHost()) +
                           "/OEM*");
  } else {
    std::error_code ignored;
    for (auto& e : fs::directory_iterator(scene.InfHost()))
      if (e.path().filename().string().rfind("oem", 0) == 0) fs::remove_all(e.path(), ignored);
  }
}

TEST(RemovalWorld, NamesThatDifferOnlyInLetterCase) {
  if (!hostprocess::UnixShellAvailable())
    GTEST_SKIP() << "needs the Linux shell beneath the drive, which the Windows build under Wine "
                    "cannot wait for";
  const WorldCase cases[] = {
      {"two found files, one name in two cases: one copy cannot hold both",
       {{"OEM1.INF", T + "upper"}, {"oem1.inf", T + "lower"}},
       BackupFailed,
       {},
       nullptr,
       nullptr,
       nullptr,
       [](RemovalScene& s) {
         // Whichever came first has its copy; the other was not copied over it.
         auto names = BackupNames(s);
         ASSERT_EQ(names.size(), 1u);
         const std::string name = *names.begin();
         EXPECT_EQ(UnixRead(s, s.Backup(name)), UnixRead(s, s.InfHost(name)));
         const std::string other = name == "OEM1.INF" ? "oem1.inf" : "OEM1.INF";
         EXPECT_EQ(s.Log().at(s.Log().size() - 2),
                   "... Backup Name Taken by Another File: " + std::string(RemovalScene::Inf) +
                       "\\" + other);
       }},
      {"another vendor's twin and its companion are not the found file's",
       {{"OEM1.INF", T}, {"oem1.inf", Other}, {"oem1.pnf", P}},
       Complete,
       {"OEM1.INF"},
       nullptr,
       nullptr,
       nullptr,
       [](RemovalScene& s) { EXPECT_EQ(BackupNames(s), std::set<std::string>{"OEM1.INF"}); }},
      {"twin files with twin companions",
       {{"OEM2.INF", T + "A"}, {"OEM2.PNF", P + "A"}, {"oem2.inf", T + "B"}, {"oem2.pnf", P + "B"}},
       BackupFailed,
       {}},
  };
  for (const WorldCase& c : cases)
    RunCase(c);
}

TEST(RemovalWorld, WhatChangesAfterTheBackupIsNotDeleted) {
  const std::string appended = T + "; written after the check\r\n";
  const WorldCase cases[] = {
      {"the original is written to",
       {{"oem3.inf", T}, {"oem3.pnf", P}},
       Incomplete,
       {"oem3.pnf"},
       nullptr,
       [&](RemovalScene& s) {
         return std::make_shared<BeforeTheDelete>(
             "oem3.inf", [&s, appended] { WriteHost(s.InfHost("oem3.inf"), appended); });
       },
       nullptr,
       nullptr,
       {{"oem3.inf", appended}}},
      {"the copy is emptied (another run killed while copying over it)",
       {{"oem3.inf", T}, {"oem3.pnf", P}},
       Incomplete,
       {"oem3.pnf"},
       nullptr,
       [](RemovalScene& s) {
         return std::make_shared<BeforeTheDelete>("oem3.inf",
                                                  [&s] { WriteHost(s.Backup("oem3.inf"), ""); });
       }},
      {"the copy gets other bytes of the same length",
       {{"oem3.inf", T}, {"oem3.pnf", P}},
       Incomplete,
       {"oem3.inf"},
       nullptr,
       [](RemovalScene& s) {
         return std::make_shared<BeforeTheDelete>(
             "oem3.pnf", [&s] { WriteHost(s.Backup("oem3.pnf"), std::string(P.size(), 'x')); });
       }},
      {"the copy is taken away",
       {{"oem3.inf", T}},
       Incomplete,
       {},
       nullptr,
       [](RemovalScene& s) {
         return std::make_shared<BeforeTheDelete>("oem3.inf",
                                                  [&s] { fs::remove(s.Backup("oem3.inf")); });
       },
       nullptr,
       [](RemovalScene& s) { EXPECT_EQ(UnixRead(s, s.InfHost("oem3.inf")), T); }},
      {"the deletes say they deleted, and nothing went",
       {{"oem3.inf", T}, {"oem3.pnf", P}},
       Incomplete,
       {},
       nullptr,
       [](RemovalScene&) { return std::make_shared<DeletesThatDoNothing>(); }},
  };
  for (const WorldCase& c : cases)
    RunCase(c);
}

TEST(RemovalWorld, AnOlderBackupOutlivesANewCopyThatFails) {
  const WorldCase cases[] = {
      {"the copy over the older one breaks off halfway",
       {{"oem4.inf", T + std::string(5000, ';')}, {"oem4.pnf", P}},
       BackupFailed,
       {},
       [](RemovalScene& s) {
         s.drive.MakeDir(s.app + "\\Backup");
         WriteHost(s.Backup("oem4.inf"), "the only copy left of an older driver");
       },
       nullptr,
       [](RemovalScene&) { return std::make_shared<CopiesThatFailHalfway>("oem4.inf"); },
       [](RemovalScene& s) {
         EXPECT_EQ(UnixRead(s, s.Backup("oem4.inf")), "the only copy left of an older driver");
         const auto& log = s.Log();
         EXPECT_EQ(log.at(log.size() - 2),
                   "... Copy does not Match: " + std::string(RemovalScene::Inf) + "\\oem4.inf");
       }},
      {"temporary copies of a run that was cut off go, look-alikes stay",
       {{"oem5.inf", T}},
       Complete,
       {"oem5.inf"},
       [](RemovalScene& s) {
         s.drive.MakeDir(s.app + "\\Backup");
         for (const char* name :
              {".talmirex-copy-Ab12Cd", ".talmirex-new-0123abcd", ".talmirex-copy-Ab12Cd.txt",
               ".talmirex-new-0123ABCE", "talmirex-new-0123abcd", ".talmirex-new-0123abc",
               ".talmirex-copy-Ab1Cd", "x.talmirex-copy-Ab12Cd"})
           WriteHost(s.Backup(name), name);
         // The folder a cut-off run made its copies in, with one in it.
         s.drive.MakeDir(s.app + "\\Backup\\.talmirex-new-89abcdef");
         WriteHost(s.Backup(".talmirex-new-89abcdef\\oem5.inf"), "half a co");
       },
       nullptr,
       nullptr,
       [](RemovalScene& s) {
         EXPECT_EQ(
             BackupNames(s),
             (std::set<std::string>{".talmirex-copy-Ab12Cd.txt", ".talmirex-copy-Ab1Cd",
                                    ".talmirex-new-0123ABCE", ".talmirex-new-0123abc", "oem5.inf",
                                    "talmirex-new-0123abcd", "x.talmirex-copy-Ab12Cd"}));
       }},
  };
  for (const WorldCase& c : cases)
    RunCase(c);
}

// Links, pipes and folders are made by the Linux shell beneath the drive
// (the Windows build cannot make them under Wine).

TEST(RemovalWorld, OnlyPlainFilesAreCopiedOrDeleted) {
  if (!hostprocess::UnixShellAvailable())
    GTEST_SKIP() << "needs the Linux shell beneath the drive, which the Windows build under Wine "
                    "cannot wait for";
  const WorldCase cases[] = {
      {"a companion that is a pipe",
       {{"oem6.inf", T}},
       Incomplete,
       {"oem6.inf"},
       [](RemovalScene& s) { hostprocess::UnixShell("mkfifo " + Q(s.InfHost("oem6.pnf"))); },
       nullptr,
       nullptr,
       [](RemovalScene& s) {
         EXPECT_TRUE(UnixNames(s, s.InfHost()).count("oem6.pnf"));
         EXPECT_FALSE(BackupNames(s).count("oem6.pnf"));
       }},
      {"a companion linked to an endless device",
       {{"oem6.inf", T}},
       Incomplete,
       {"oem6.inf"},
       [](RemovalScene& s) {
         hostprocess::UnixShell("ln -s /dev/zero " + Q(s.InfHost("oem6.pnf")));
       },
       nullptr,
       nullptr,
       [](RemovalScene& s) {
         EXPECT_TRUE(UnixNames(s, s.InfHost()).count("oem6.pnf"));
         EXPECT_FALSE(BackupNames(s).count("oem6.pnf"));
       }},
      {"a companion that is a folder holding a link to its parent",
       {{"oem6.inf", T}},
       Incomplete,
       {"oem6.inf"},
       [](RemovalScene& s) {
         fs::create_directory(s.InfHost("oem6.pnf"));
         WriteHost(s.InfHost("oem6.pnf") + "/inside.txt", "inside");
         hostprocess::UnixShell("ln -s .. " + Q(s.InfHost("oem6.pnf")) + "/loop");
       },
       nullptr,
       nullptr,
       [](RemovalScene& s) {
         EXPECT_EQ(UnixRead(s, s.InfHost("oem6.pnf") + "/inside.txt"), "inside");
         EXPECT_FALSE(UnixTest(s, "-e", s.Backup("oem6.pnf") + "/inside.txt"));
       }},
      {"a companion linked to a file that only its owner may read",
       {{"oem6.inf", T}},
       Incomplete,
       {"oem6.inf"},
       [](RemovalScene& s) {
         s.drive.Write("secret.txt", "the owner's alone");
         hostprocess::UnixShell("chmod 600 " + Q(s.drive.Host("secret.txt")) + " && ln -s " +
                                Q(s.drive.Host("secret.txt")) + " " + Q(s.InfHost("oem6.pnf")));
       },
       nullptr,
       nullptr,
       [](RemovalScene& s) {
         EXPECT_TRUE(UnixTest(s, "-L", s.InfHost("oem6.pnf")));
         EXPECT_FALSE(UnixTest(s, "-e", s.Backup("oem6.pnf")));
         EXPECT_EQ(s.drive.Read("secret.txt"), "the owner's alone");
       }},
      {"a copy in Backup that is a link is replaced, not written through",
       {{"oem7.inf", T}},
       Complete,
       {"oem7.inf"},
       [](RemovalScene& s) {
         s.drive.MakeDir(s.app + "\\Backup");
         s.drive.Write("mine.txt", "a file of the user's");
         hostprocess::UnixShell("ln -s " + Q(s.drive.Host("mine.txt")) + " " +
                                Q(s.Backup("oem7.inf")));
       },
       nullptr,
       nullptr,
       [](RemovalScene& s) {
         EXPECT_EQ(s.drive.Read("mine.txt"), "a file of the user's");
         EXPECT_FALSE(UnixTest(s, "-L", s.Backup("oem7.inf")));
       }},
  };
  for (const WorldCase& c : cases)
    RunCase(c);
}

// A found file that is a link to a file of the user's (or to one the user
// may not read): it is never followed, so neither copied into Backup nor
// deleted; the link and what it leads to stay, and the removal is
// incomplete.
TEST(RemovalWorld, AFoundFileThatIsALink) {
  if (!hostprocess::UnixShellAvailable())
    GTEST_SKIP() << "needs the Linux shell beneath the drive, which the Windows build under Wine "
                    "cannot wait for";
  RemovalScene scene;
  scene.drive.Write("user.inf", T + "; the user's own");
  hostprocess::UnixShell("ln -s " + Q(scene.drive.Host("user.inf")) + " " +
                         Q(scene.InfHost("oem8.inf")));
  ASSERT_TRUE(fs::exists(scene.InfHost("oem8.inf")));
  scene.Remove();
  EXPECT_FALSE(UnixTest(scene, "-e", scene.Backup("oem8.inf")));
  EXPECT_TRUE(UnixTest(scene, "-L", scene.InfHost("oem8.inf")));
  EXPECT_EQ(scene.Log().back(), Incomplete);
  EXPECT_EQ(scene.window.messages.size(), 1u); // the question; no call for administrator rights
  EXPECT_EQ(scene.drive.Read("user.inf"), T + "; the user's own");
  hostprocess::UnixShell("rm -f " + Q(scene.InfHost("oem8.inf")));
}

// Does what another user does, once, at one moment of the removal: when
// the folder whose last name matches `name` is listed ("list"), or a file
// whose name matches it is deleted ("delete").
class AtTheMoment : public FileSystemDecorator {
public:
  AtTheMoment(std::string operation, std::string name, std::function<void(std::string)> action)
      : operation_(std::move(operation)), name_(std::move(name)), action_(std::move(action)) {}
  std::vector<std::string> FolderNames(const std::string& folder) override {
    Now("list", folder);
    return inner_->FolderNames(folder);
  }
  void RemoveFile(const std::string& path) override {
    Now("delete", path);
    inner_->RemoveFile(path);
  }

private:
  void Now(const char* operation, const std::string& path) {
    const std::string last = path.substr(path.find_last_of('\\') + 1);
    if (!action_ || operation_ != operation || !std::regex_match(last, name_)) return;
    auto action = std::move(action_);
    action_ = nullptr;
    action(last);
  }

  std::string operation_;
  std::regex name_;
  std::function<void(std::string)> action_;
};

// Puts a link to `target` where `host` was; what was there moves aside.
void SwapForALink(const std::string& host, const std::string& target) {
  hostprocess::UnixShell("mv " + Q(host) + " " + Q(host + ".moved") + " && ln -s " + Q(target) +
                         " " + Q(host));
}

// Whether another process can rename a folder that the program holds. On
// Linux it can, and the program must go on working in the folder it holds.
// Windows refuses it for as long as the folder is held, so there no one can
// swap such a folder at all (the Linux shell beneath Wine could, but it is
// no Windows user and Windows' rules do not bind it).
bool HeldFoldersCanBeRenamed(const RemovalScene& s) {
  s.drive.MakeDir("probe");
  std::error_code refused;
  {
    auto held = platform::fileSystem().OpenFolder(s.drive.Win("probe"));
    fs::rename(s.drive.Host("probe"), s.drive.Host("probed"), refused);
  }
  std::error_code ignored;
  fs::remove(s.drive.Host(refused ? "probe" : "probed"), ignored);
  return !refused;
}

// Another user who may write the program's folder (and, on Linux, the Wine
// prefix) plants links or swaps a folder for one while the removal runs.
// Nothing outside the driver files and Backup may change for it: above all
// not `victim`, a folder of someone else's holding files of driver files'
// names.
TEST(RemovalWorld, AnotherUsersLinksLeadNowhere) {
  if (!hostprocess::UnixShellAvailable())
    GTEST_SKIP() << "needs the Linux shell beneath the drive, which the Windows build under Wine "
                    "cannot wait for";
  using Action = std::function<std::shared_ptr<platform::FileSystem>(RemovalScene&)>;
  struct {
    const char* name;
    std::function<void(RemovalScene&)> setup;
    Action files;
    std::string last; // the log's last line; empty: either
    std::function<void(RemovalScene&)> check;
    bool swapsAHeldFolder = false;
  } cases[] = {
      {"Backup is a link to another folder",
       [](RemovalScene& s) {
         hostprocess::UnixShell("ln -s " + Q(s.drive.Host("victim")) + " " +
                                Q(s.drive.Host(s.app + "\\Backup")));
       },
       nullptr, BackupFailed,
       [](RemovalScene& s) {
         EXPECT_TRUE(s.InInf("oem1.inf"));
         EXPECT_TRUE(s.InInf("oem3.inf"));
       }},
      {"a leftover copy folder is swapped for a link while it is emptied",
       [](RemovalScene& s) {
         s.drive.MakeDir(s.app + "\\Backup\\.talmirex-new-0123abcd");
         s.drive.Write(s.app + "\\Backup\\.talmirex-new-0123abcd\\oem1.inf", "half a co");
       },
       [](RemovalScene& s) -> std::shared_ptr<platform::FileSystem> {
         return std::make_shared<AtTheMoment>(
             "list", R"(\.talmirex-new-0123abcd)", [&s](const std::string& name) {
               SwapForALink(s.Backup(name), s.drive.Host("victim"));
             });
       },
       Complete,
       [](RemovalScene& s) { EXPECT_TRUE(UnixTest(s, "-L", s.Backup(".talmirex-new-0123abcd"))); },
       true},
      {"the run's own copy folder is swapped for a link while it is emptied", nullptr,
       [](RemovalScene& s) -> std::shared_ptr<platform::FileSystem> {
         return std::make_shared<AtTheMoment>(
             "list", R"(\.talmirex-new-[0-9a-f]{8})", [&s](const std::string& name) {
               SwapForALink(s.Backup(name), s.drive.Host("victim"));
             });
       },
       Complete, nullptr, true},
      {"the INF folder is swapped for a link between the last comparison and the delete", nullptr,
       [](RemovalScene& s) -> std::shared_ptr<platform::FileSystem> {
         return std::make_shared<AtTheMoment>("delete", "oem3.inf", [&s](const std::string&) {
           SwapForALink(s.InfHost(), s.drive.Host("victim"));
         });
       },
       "",
       [](RemovalScene& s) {
         EXPECT_EQ(UnixRead(s, s.InfHost() + ".moved/oem1.inf"), std::nullopt);
         hostprocess::UnixShell("rm " + Q(s.InfHost()) + " && mv " + Q(s.InfHost() + ".moved") +
                                " " + Q(s.InfHost()));
       },
       true},
      {"a set-user-ID driver file",
       [](RemovalScene& s) { hostprocess::UnixShell("chmod 4755 " + Q(s.InfHost("oem1.inf"))); },
       nullptr, Complete,
       [](RemovalScene& s) {
         auto rights = fs::status(s.Backup("oem1.inf")).permissions();
         EXPECT_EQ(rights & (fs::perms::set_uid | fs::perms::set_gid), fs::perms::none);
       }},
  };
  const std::map<std::string, std::string> victim = {{"oem1.inf", "someone else's oem1.inf"},
                                                     {"oem3.inf", "someone else's oem3.inf"}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    RemovalScene scene;
    if (c.swapsAHeldFolder && !HeldFoldersCanBeRenamed(scene)) {
      std::printf("a held folder cannot be renamed here: \"%s\" cannot happen\n", c.name);
      continue;
    }
    scene.Put("oem1.inf", T);
    scene.Put("oem1.pnf", P);
    scene.Put("oem3.inf", T + "3");
    scene.drive.MakeDir("victim");
    for (auto& [name, bytes] : victim)
      scene.drive.Write("victim\\" + name, bytes);
    if (c.setup) c.setup(scene);
    {
      std::optional<ScopedService<platform::FileSystem>> files;
      if (c.files) files.emplace(c.files(scene));
      scene.Remove();
    }
    if (!c.last.empty()) {
      EXPECT_EQ(scene.Log().back(), c.last);
    }
    if (c.check) c.check(scene);
    EXPECT_EQ(UnixNames(scene, scene.drive.Host("victim")),
              (std::set<std::string>{"oem1.inf", "oem3.inf"}));
    for (auto& [name, bytes] : victim)
      EXPECT_EQ(UnixRead(scene, scene.drive.Host("victim\\" + name)), bytes) << name;
    hostprocess::UnixShell("rm -rf " + Q(scene.InfHost()) + "/oem*");
  }
}

// The same for real: the program's folder belongs to an unprivileged user,
// whose own process swaps every copy folder of a run that shows in Backup
// for a link to a folder of root's, and now and then Backup itself, while
// root runs the removal again and again.
TEST(RemovalWorld, AnotherUserRacingRealRunsChangesNothingElse) {
  if (!hostprocess::UnixShellAvailable())
    GTEST_SKIP() << "needs the Linux shell beneath the drive, which the Windows build under Wine "
                    "cannot wait for";
  RemovalScene scene;
  const std::string backup = scene.drive.Host(scene.app + "\\Backup");
  const std::string victim = scene.drive.Host("victim");
  scene.drive.MakeDir(scene.app + "\\Backup");
  scene.drive.MakeDir("victim");
  const std::map<std::string, std::string> theirs = {{"oem1.inf", "root's oem1.inf"},
                                                     {"oem1.pnf", "root's oem1.pnf"}};
  for (auto& [name, bytes] : theirs)
    scene.drive.Write("victim\\" + name, bytes);
  // The way to the program's folder is open to the other user, and the
  // folder is theirs.
  const std::string top = fs::path(testhost::DriveRootHost()).parent_path().string();
  hostprocess::UnixShell("chmod o+x " + Q(top) + " && chown -R " +
                         std::to_string(hostprocess::OtherUser::Id) + " " +
                         Q(scene.drive.Host(scene.app)));
  unsigned moved = 0, turn = 0;
  hostprocess::OtherUser other([&] {
    std::error_code e;
    for (auto& entry : fs::directory_iterator(backup, e)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(".talmirex-new-", 0) != 0 || entry.is_symlink(e)) continue;
      fs::rename(entry.path(), backup + "/.moved-" + std::to_string(++moved), e);
      fs::create_directory_symlink(victim, entry.path(), e);
    }
    if (++turn % 64 == 0 && !fs::is_symlink(backup, e)) {
      fs::rename(backup, backup + ".away", e);
      fs::create_directory_symlink(victim, backup, e);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      fs::remove(backup, e);
      fs::rename(backup + ".away", backup, e);
      if (e) { // the program made a Backup of its own meanwhile: it goes aside
        fs::rename(backup, backup + ".made-" + std::to_string(turn), e);
        fs::rename(backup + ".away", backup, e);
      }
    }
  });
  if (!other.Running()) {
    hostprocess::UnixShell("chmod o-x " + Q(top));
    GTEST_SKIP() << "needs root rights, to race the program as another user";
  }
  // At least 40 runs, and on until the other user has swapped ten copy
  // folders of runs.
  int runs = 0, complete = 0, swapped = 0;
  for (; runs < 400 && (runs < 40 || swapped < 10) && !::testing::Test::HasFailure(); ++runs) {
    scene.Put("oem1.inf", T + std::to_string(runs));
    scene.Put("oem1.pnf", P + std::to_string(runs));
    HeadlessWindow window;
    frmTop form(window);
    window.Start(form);
    window.answers.push_front(MessageAnswer::Yes);
    window.Click("cmdRemove");
    complete += form["lstFiles"].Lines().back() == Complete;
    SCOPED_TRACE(runs);
    EXPECT_EQ(UnixNames(scene, victim), (std::set<std::string>{"oem1.inf", "oem1.pnf"}));
    for (auto& [name, bytes] : theirs)
      EXPECT_EQ(UnixRead(scene, victim + "/" + name), bytes) << name;
    swapped = 0;
    for (const std::string& name : UnixNames(scene, backup))
      swapped += name.rfind(".moved-", 0) == 0;
  }
  hostprocess::UnixShell("chmod o-x " + Q(top));
  std::printf("%d runs raced by another user: %d complete, %d copy folders swapped\n", runs,
              complete, swapped);
  EXPECT_GE(swapped, 10);
}

// Backup beside a program whose folder lies below a hidden or system one.
TEST(RemovalWorld, AProgramBelowAHiddenFolderBacksUp) {
  struct {
    const char* app;
    const char* marked; // the folder to mark hidden and system, if any
  } cases[] = {{".local\\share\\app", nullptr}, {"AppData\\Local\\app", "AppData"}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.app);
    RemovalScene scene(WindowsXP(), c.app);
    if (c.marked && !testhost::SetHiddenOrSystem(scene.drive.Host(c.marked), true, true)) {
      std::printf("no hidden mark on this file system: %s not tried\n", c.app);
      continue;
    }
    scene.Put("oem9.inf", T);
    scene.Remove();
    EXPECT_EQ(scene.Log().back(), Complete);
    EXPECT_EQ(ReadHost(scene.Backup("oem9.inf")), T);
    EXPECT_FALSE(scene.InInf("oem9.inf"));
  }
}

} // namespace
