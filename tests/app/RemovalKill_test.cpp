// The program killed in the middle of a removal: a second run of this test
// program carries out Remove Drivers and ends itself at once, without any
// clean-up, at the n-th file operation (before it, or in the middle of a
// copy, with half of the file written where the copy goes), for every n.
// What it leaves must hold every original, in the INF folder or as a
// byte-identical copy in Backup, and every older backup, as it was or
// replaced by a checked copy; a clean run afterwards completes the removal
// and leaves no temporary file.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>

#include "platform/Shell.h"
#include "tests/app/HostProcess.h"
#include "tests/app/RemovalScene.h"
#include "tests/support/FileSystemDecorator.h"

namespace {

namespace fs = std::filesystem;

const char* const KillVariable = "TALMIREX_REMOVAL_KILL";
const std::string Complete = "Removal Complete...Please Restart your Computer";
constexpr int KilledCode = 77;

// When to end: at operation `at` (1-based; 0 never), before it or, for a
// copy, halfway through it. Counts the operations either way.
struct Kill {
  std::string hostRoot; // testhost::DriveRootHost() of the first run
  int at = 0;
  bool halfway = false;
  int operations = 0;
  std::set<int> copies; // the numbers of the operations that were copies

  void Boundary() {
    if (++operations == at && !halfway) std::_Exit(KilledCode);
  }
};

class KillingFiles : public FileSystemDecorator {
public:
  explicit KillingFiles(Kill& kill) : kill_(kill) {}
  std::unique_ptr<platform::FileEnumeration> EnumerateFiles(const std::string& p) override {
    kill_.Boundary();
    return inner_->EnumerateFiles(p);
  }
  std::string FirstEntry(const std::string& p, platform::EntryKinds k) override {
    kill_.Boundary();
    return inner_->FirstEntry(p, k);
  }
  std::unique_ptr<platform::InputFile> OpenForReading(const std::string& p) override {
    kill_.Boundary();
    return inner_->OpenForReading(p);
  }
  void MakeDirectory(const std::string& p) override {
    kill_.Boundary();
    inner_->MakeDirectory(p);
  }
  void RemoveFile(const std::string& p) override {
    kill_.Boundary();
    inner_->RemoveFile(p);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    kill_.Boundary();
    return inner_->SameFile(a, b);
  }
  platform::EntryFacts Examine(const std::string& p) override {
    kill_.Boundary();
    return inner_->Examine(p);
  }
  std::vector<std::string> FolderNames(const std::string& p) override {
    kill_.Boundary();
    return inner_->FolderNames(p);
  }
  void RenameOnto(const std::string& from, const std::string& to) override {
    kill_.Boundary();
    inner_->RenameOnto(from, to);
  }
  // What changes the disk: the run's own copy folder made and removed.
  std::unique_ptr<platform::Folder> MakePrivateFolder(platform::Folder& parent,
                                                      const std::string& name) override {
    kill_.Boundary();
    return inner_->MakePrivateFolder(parent, name);
  }
  void RemoveFolder(const std::string& p) override {
    kill_.Boundary();
    inner_->RemoveFolder(p);
  }

private:
  Kill& kill_;
};

class KillingShell : public platform::Shell {
public:
  explicit KillingShell(Kill& kill) : kill_(kill) {}
  int32_t SHFileOperationA(platform::SHFILEOPSTRUCTA& request) override {
    kill_.Boundary();
    kill_.copies.insert(kill_.operations);
    if (kill_.halfway && kill_.operations == kill_.at) {
      // Half of the file where the shell writes it (into a folder under the
      // source's name, else onto the name given), then the end.
      std::string from = request.pFrom.c_str(), to = request.pTo.c_str();
      std::string target = Host(to);
      if (fs::is_directory(target))
        target = Host(to + "\\" + from.substr(from.find_last_of('\\') + 1));
      std::string bytes = ReadHost(Host(from));
      std::ofstream(target, std::ios::binary | std::ios::trunc)
          .write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
      std::_Exit(KilledCode);
    }
    return inner_->SHFileOperationA(request);
  }

private:
  // testhost::ToHost as the first run maps the drive (a second run of the
  // test program would make a drive of its own); a path through this
  // process's own held folders ("\\?\unix\proc\self\fd\...") is one
  // of this process.
  std::string Host(const std::string& windowsPath) const {
    if (kill_.hostRoot == testhost::DriveRootHost() || kill_.hostRoot.empty() ||
        windowsPath.rfind("\\\\?\\", 0) == 0)
      return testhost::ToHost(windowsPath);
    std::string host = kill_.hostRoot;
    for (char c : windowsPath.substr(2))
      host += c == '\\' ? '/' : c;
    return host;
  }

  Kill& kill_;
  std::shared_ptr<platform::Shell> inner_ = Native();
};

// Runs Remove Drivers, answered Yes, for a program in `folder`.
std::vector<std::string> RemoveDrivers(const std::string& folder, Kill& kill) {
  ScopedService<platform::Program> program(std::make_shared<ProgramIn>(folder));
  ScopedService<platform::VersionInfo> version(std::make_shared<FakeVersionInfo>(WindowsXP()));
  ScopedService<platform::FileSystem> files(std::make_shared<KillingFiles>(kill));
  ScopedService<platform::Shell> shell(std::make_shared<KillingShell>(kill));
  HeadlessWindow window;
  frmTop form(window);
  window.Start(form);
  window.answers.push_front(MessageAnswer::Yes);
  window.Click("cmdRemove");
  return form["lstFiles"].Lines();
}

// The second run: "<at> <halfway> <drive's host root>|<program folder>" in
// the variable.
TEST(RemovalKill, Child) {
  const char* plan = std::getenv(KillVariable);
  if (!plan) GTEST_SKIP() << "run by NothingIsLostWherever";
  Kill kill;
  int halfway = 0, used = 0;
  ASSERT_EQ(std::sscanf(plan, "%d %d %n", &kill.at, &halfway, &used), 2);
  kill.halfway = halfway != 0;
  std::string rest = plan + used;
  kill.hostRoot = rest.substr(0, rest.find('|'));
  RemoveDrivers(rest.substr(rest.find('|') + 1), kill);
}

struct Driver {
  std::string name, bytes;
  bool ours;
};

std::vector<Driver> Drivers() {
  const std::string t = "[Strings]\r\nMfg=\"TALMIREX\"\r\n";
  std::string large = t + std::string(1 << 20, ';'); // 1 MB
  return {{"oem1.inf", t + "1", true},
          {"oem1.pnf", "PNF1", true},
          {"oem2.inf", large, true},
          {"oem3.inf", "[Strings]\r\nMfg=\"Norvale\"\r\n", false},
          {"oem3.pnf", "PNF3", false},
          {"oem4.inf", t + "4", true},
          {"oem4.pnf", std::string(70000, 'p'), true}};
}

// Backup as an earlier run left it.
const std::map<std::string, std::string> OlderBackups = {{"oem1.inf", "an older oem1.inf"},
                                                         {"oem4.pnf", std::string(90000, 'o')},
                                                         {"notes.txt", "the user's notes"}};

void Lay(RemovalScene& scene) {
  std::error_code ignored;
  for (auto& e : fs::directory_iterator(scene.InfHost()))
    if (e.path().filename().string().rfind("oem", 0) == 0) fs::remove(e.path(), ignored);
  fs::remove_all(scene.Backup(), ignored);
  for (const Driver& d : Drivers())
    scene.Put(d.name, d.bytes);
  scene.drive.MakeDir(scene.app + "\\Backup");
  for (auto& [name, bytes] : OlderBackups)
    std::ofstream(scene.Backup(name), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct Tally {
  int lost = 0, olderDestroyed = 0;
  std::vector<std::string> problems;
};

void CheckNothingLost(RemovalScene& scene, Tally& tally, const std::string& when) {
  for (const Driver& d : Drivers()) {
    if (scene.InInf(d.name)) {
      if (ReadHost(scene.InfHost(d.name)) != d.bytes)
        tally.problems.push_back(when + ": " + d.name + " changed");
      continue;
    }
    if (!d.ours) tally.problems.push_back(when + ": another vendor's " + d.name + " deleted");
    if (!fs::exists(scene.Backup(d.name)) || ReadHost(scene.Backup(d.name)) != d.bytes) {
      ++tally.lost;
      tally.problems.push_back(when + ": " + d.name + " lost");
    }
  }
  for (auto& [name, older] : OlderBackups) {
    std::string now = fs::exists(scene.Backup(name)) ? ReadHost(scene.Backup(name)) : "(gone)";
    std::string fresh;
    for (const Driver& d : Drivers())
      if (d.name == name) fresh = d.bytes;
    if (now != older && (fresh.empty() || now != fresh)) {
      ++tally.olderDestroyed;
      tally.problems.push_back(when + ": the older Backup\\" + name + " destroyed");
    }
  }
}

TEST(RemovalKill, NothingIsLostWherever) {
  if (std::getenv(KillVariable)) GTEST_SKIP() << "a second run";
  RemovalScene scene;
  const std::string folder = scene.drive.Win(scene.app);

  Lay(scene);
  Kill count;
  ASSERT_EQ(RemoveDrivers(folder, count).back(), Complete);
  ASSERT_GT(count.operations, 20);
  const int boundaries = count.operations;

  Tally tally;
  int runs = 0, killed = 0;
  size_t halfCopies = 0;
  std::vector<std::string> orphans;
  const std::regex temporary(R"(\.talmirex-(new-[0-9a-f]{8}|copy-[A-Za-z0-9]{6}))");
  for (int halfway = 0; halfway < 2; ++halfway) {
    for (int at = 1; at <= boundaries; ++at) {
      if (halfway && !count.copies.count(at)) continue;
      Lay(scene);
      std::string plan = std::to_string(at) + " " + std::to_string(halfway) + " " +
                         testhost::DriveRootHost() + "|" + folder;
      int code = hostprocess::RunSelf("--gtest_filter=RemovalKill.Child", KillVariable, plan);
      ++runs;
      killed += code == KilledCode;
      if (code != KilledCode)
        tally.problems.push_back(plan + ": ended with " + std::to_string(code));
      const std::string when =
          std::string(halfway ? "halfway through" : "before") + " operation " + std::to_string(at);
      CheckNothingLost(scene, tally, when);
      // A kill halfway through a copy leaves the half file in the run's own
      // copy folder.
      if (halfway)
        for (auto& e : fs::recursive_directory_iterator(scene.Backup()))
          if (e.is_regular_file() &&
              e.path().parent_path().filename().string().rfind(".talmirex-new-", 0) == 0) {
            ++halfCopies;
            break;
          }
      Kill none;
      std::vector<std::string> log = RemoveDrivers(folder, none);
      if (log.back() != Complete)
        tally.problems.push_back(when + ", then a clean run: \"" + log.back() + "\"");
      CheckNothingLost(scene, tally, when + ", then a clean run");
      // A companion whose INF file went before the kill is found no more:
      // it stays, with its copy in Backup.
      for (const Driver& d : Drivers())
        if (d.ours && scene.InInf(d.name)) {
          bool orphan = d.name.substr(d.name.size() - 3) == "pnf" &&
                        !scene.InInf(d.name.substr(0, d.name.size() - 3) + "inf");
          (orphan ? orphans : tally.problems)
              .push_back(when + ", then a clean run: " + d.name + " left");
        }
      for (auto& e : fs::directory_iterator(scene.Backup()))
        if (std::regex_match(e.path().filename().string(), temporary))
          tally.problems.push_back(when + ", then a clean run: " + e.path().filename().string() +
                                   " left in Backup");
    }
  }
  std::printf("kill test: %d boundaries, %d runs killed (%zu of them halfway through a copy), "
              "%zu files and %zu older backups, %d originals lost, %d older backups destroyed, "
              "%zu runs left a companion whose INF file had gone\n",
              boundaries, killed, count.copies.size(), Drivers().size(), OlderBackups.size(),
              tally.lost, tally.olderDestroyed, orphans.size());
  for (const std::string& p : tally.problems)
    ADD_FAILURE() << p;
  EXPECT_EQ(killed, runs);
  EXPECT_EQ(halfCopies, count.copies.size()) << "runs killed halfway that left half a copy";
  EXPECT_EQ(tally.lost, 0);
  EXPECT_EQ(tally.olderDestroyed, 0);
}

} // namespace
