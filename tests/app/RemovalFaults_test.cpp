// Fault injection: Remove Drivers runs again and again while the n-th file
// operation fails, for every n and in each way it can fail. Whatever
// happens, no driver file may be lost, no other file touched, and the log's
// last line must tell the truth.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "platform/RuntimeError.h"
#include "platform/Shell.h"
#include "tests/app/RemovalScene.h"
#include "tests/support/FileSystemDecorator.h"

namespace {

namespace fs = std::filesystem;

const std::string Complete = "Removal Complete...Please Restart your Computer";
const std::string BackupFailed = "Backup Failed...No Driver Files were Deleted";
const std::string Incomplete = "Removal Incomplete...Some Driver Files were not Deleted";

// The two ways an operation can fail: refused with the access error (the
// shell: the copy refused), or another error (the shell: a copy left short
// that it still calls a success).
enum class Way { Refused, Other };

struct Plan {
  int failAt = -1; // 1-based number of the operation to fail; -1 none
  Way way = Way::Refused;
  int count = 0; // operations so far
  bool injected = false;

  bool Now() {
    if (++count != failAt) return false;
    injected = true;
    return true;
  }
  [[noreturn]] void Raise() const {
    throw RuntimeError(way == Way::Refused ? RuntimeError::PathFileAccessError
                                           : RuntimeError::DeviceIOError);
  }
};

class FaultyFiles : public FileSystemDecorator {
public:
  explicit FaultyFiles(Plan& plan) : plan_(plan) {}
  std::unique_ptr<platform::FileEnumeration> EnumerateFiles(const std::string& p) override {
    if (plan_.Now()) plan_.Raise();
    return inner_->EnumerateFiles(p);
  }
  std::string FirstEntry(const std::string& p, platform::EntryKinds k) override {
    if (plan_.Now()) plan_.Raise();
    return inner_->FirstEntry(p, k);
  }
  std::unique_ptr<platform::InputFile> OpenForReading(const std::string& p) override {
    if (plan_.Now()) plan_.Raise();
    return inner_->OpenForReading(p);
  }
  int OpenFileExist(const std::string& p) override {
    if (plan_.Now()) return -1;
    return inner_->OpenFileExist(p);
  }
  void MakeDirectory(const std::string& p) override {
    if (plan_.Now()) plan_.Raise();
    inner_->MakeDirectory(p);
  }
  void RemoveFile(const std::string& p) override {
    if (plan_.Now()) plan_.Raise();
    inner_->RemoveFile(p);
  }
  std::vector<std::string> FolderNames(const std::string& p) override {
    if (plan_.Now()) plan_.Raise();
    return inner_->FolderNames(p);
  }
  void RenameOnto(const std::string& from, const std::string& to) override {
    if (plan_.Now()) plan_.Raise();
    inner_->RenameOnto(from, to);
  }
  void RemoveFolder(const std::string& p) override {
    if (plan_.Now()) plan_.Raise();
    inner_->RemoveFolder(p);
  }
  void FlushToDisk(const std::string& p) override {
    if (plan_.Now()) plan_.Raise();
    inner_->FlushToDisk(p);
  }
  platform::EntryFacts Examine(const std::string& p) override {
    if (plan_.Now()) plan_.Raise();
    return inner_->Examine(p);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    if (plan_.Now()) plan_.Raise();
    return inner_->SameFile(a, b);
  }
  std::unique_ptr<platform::Folder> OpenFolder(const std::string& p) override {
    if (plan_.Now()) plan_.Raise();
    return inner_->OpenFolder(p);
  }
  std::unique_ptr<platform::Folder> OpenSubfolder(platform::Folder& parent,
                                                  const std::string& name) override {
    if (plan_.Now()) plan_.Raise();
    return inner_->OpenSubfolder(parent, name);
  }
  std::unique_ptr<platform::Folder> MakePrivateFolder(platform::Folder& parent,
                                                      const std::string& name) override {
    if (plan_.Now()) plan_.Raise();
    return inner_->MakePrivateFolder(parent, name);
  }
  std::unique_ptr<platform::InputFile> OpenPlainFile(const std::string& p) override {
    if (plan_.Now()) plan_.Raise();
    return inner_->OpenPlainFile(p);
  }

private:
  Plan& plan_;
};

class FaultyShell : public platform::Shell {
public:
  explicit FaultyShell(Plan& plan) : plan_(plan), inner_(Native()) {}
  int32_t SHFileOperationA(platform::SHFILEOPSTRUCTA& request) override {
    if (!plan_.Now()) return inner_->SHFileOperationA(request);
    if (plan_.way == Way::Refused) return 0x75;
    int32_t result = inner_->SHFileOperationA(request);
    // Cut the copy short behind the shell's back.
    std::string from = request.pFrom.c_str(), to = request.pTo.c_str();
    std::string target = testhost::ToHost(to + "\\" + from.substr(from.find_last_of('\\') + 1));
    std::error_code ignored;
    if (fs::exists(target)) fs::resize_file(target, fs::file_size(target) / 2, ignored);
    return result;
  }

private:
  Plan& plan_;
  std::shared_ptr<platform::Shell> inner_;
};

struct Layout {
  const char* name;
  std::vector<std::pair<std::string, std::string>> inf; // file -> bytes
  std::set<std::string> drivers;                        // the TALMIREX files and their companions
  bool oldBackup = false;
};

std::vector<Layout> Layouts() {
  const std::string talmirex = "[Strings]\r\nMfg=\"TALMIREX\"\r\n";
  const std::string other = "[Strings]\r\nMfg=\"Norvale\"\r\n";
  std::string big = std::string(9000, ';') + "talmirex" + std::string(3000, '.');
  return {
      {"one file and companion",
       {{"oem0.inf", other}, {"oem1.inf", talmirex + "1"}, {"oem1.pnf", "PNF1"}},
       {"oem1.inf", "oem1.pnf"}},
      {"two, one without companion, older backups",
       {{"oem2.inf", talmirex + "2"},
        {"oem3.inf", other},
        {"oem3.pnf", "PNF3"},
        {"oem4.inf", talmirex + "4"},
        {"oem4.pnf", "PNF4"}},
       {"oem2.inf", "oem4.inf", "oem4.pnf"},
       true},
      {"upper case and a large file",
       {{"OEM7.INF", talmirex + "7"}, {"OEM7.PNF", "PNF7"}, {"oem8.inf", big}, {"oem9.inf", other}},
       {"OEM7.INF", "OEM7.PNF", "oem8.inf"}},
  };
}

struct Outcome {
  bool injected = false;
  int lost = 0;
  std::vector<std::string> problems;
};

Outcome RunOnce(const Layout& layout, FakeSystem system, int failAt, Way way, int* operations) {
  Outcome out;
  RemovalScene scene(system);
  for (auto& [name, bytes] : layout.inf)
    scene.Put(name, bytes);
  if (layout.oldBackup) {
    scene.drive.MakeDir("app\\Backup");
    scene.drive.Write("app\\Backup\\oem4.inf", "an older copy");
    scene.drive.Write("app\\Backup\\notes.txt", "kept");
  }
  const auto before = scene.Snapshot();

  Plan plan{failAt, way};
  {
    ScopedService<platform::FileSystem> files(std::make_shared<FaultyFiles>(plan));
    ScopedService<platform::Shell> shell(std::make_shared<FaultyShell>(plan));
    scene.Remove(MessageAnswer::Yes, {MessageAnswer::Ok, MessageAnswer::Ok});
  }
  if (operations) *operations = plan.count;
  out.injected = plan.injected;

  auto problem = [&](const std::string& what) { out.problems.push_back(what); };
  const auto after = scene.Snapshot();
  bool anyDriverLeft = false, anyDeleted = false;
  for (auto& [name, bytes] : layout.inf) {
    if (scene.InInf(name)) {
      anyDriverLeft |= layout.drivers.count(name) > 0;
      if (ReadHost(scene.InfHost(name)) != bytes) problem(name + " changed in place");
      continue;
    }
    anyDeleted = true;
    if (!layout.drivers.count(name)) problem(name + " deleted but is no TALMIREX file");
    if (!fs::exists(scene.Backup(name)) || ReadHost(scene.Backup(name)) != bytes) {
      ++out.lost;
      problem(name + " deleted without a byte-identical backup");
    }
  }
  // Nothing outside the Backup folder appears or changes in the program's folder.
  for (auto& [path, bytes] : before)
    if (path.rfind("app/Backup/", 0) != 0 && path.rfind("inf/", 0) != 0 &&
        (!after.count(path) || after.at(path) != bytes))
      problem(path + " touched");
  for (auto& [path, bytes] : after)
    if (!before.count(path) && path.rfind("app/Backup/", 0) != 0) problem(path + " appeared");
  if (layout.oldBackup && ReadHost(scene.Backup("notes.txt")) != "kept")
    problem("notes.txt touched");

  const auto& log = scene.Log();
  const std::string last = log.empty() ? "" : log.back();
  if (last == Complete && anyDriverLeft) problem("says complete, but driver files are left");
  if (last == BackupFailed && anyDeleted) problem("says the backup failed, but files were deleted");
  if (last == Incomplete && !anyDriverLeft)
    problem("says incomplete, but every driver file is gone");
  if (!anyDriverLeft && last != Complete)
    problem("all gone, but the last line is \"" + last + "\"");
  // Before the last line: what made the backup fail, or each file left.
  if (last == BackupFailed) {
    const std::string why = log.size() >= 2 ? log[log.size() - 2] : "";
    if (why.rfind("... ", 0) != 0 || why.rfind("... File: ", 0) == 0 ||
        why == "... Backup not Complete")
      problem("no reason before the last line, but \"" + why + "\"");
  }
  if (last == Incomplete) {
    std::set<std::string> named;
    for (const std::string& line : log)
      if (line.rfind("... Not Deleted: ", 0) == 0) named.insert(line.substr(line.rfind('\\') + 1));
    for (auto& [name, bytes] : layout.inf)
      if (layout.drivers.count(name) && scene.InInf(name) && !named.count(name))
        problem(name + " left but not named");
    for (const std::string& name : named)
      if (!scene.InInf(name)) problem(name + " named as left, but gone");
  }
  if (scene.window.exitCode && last != "Ask User if Device Drivers removed from Device Manager")
    problem("ended by an error after the search");
  return out;
}

TEST(RemovalFaults, NothingIsLostWhateverOperationFails) {
  int runs = 0, injected = 0, lost = 0;
  for (const Layout& layout : Layouts()) {
    for (FakeSystem system : {WindowsXP(), Vista()}) {
      int operations = 0;
      Outcome clean = RunOnce(layout, system, -1, Way::Refused, &operations);
      ASSERT_TRUE(clean.problems.empty()) << layout.name << ": " << clean.problems.front();
      ASSERT_GT(operations, 10) << layout.name;
      for (int n = 1; n <= operations; ++n) {
        for (Way way : {Way::Refused, Way::Other}) {
          Outcome out = RunOnce(layout, system, n, way, nullptr);
          ++runs;
          injected += out.injected;
          lost += out.lost;
          for (const std::string& p : out.problems)
            ADD_FAILURE() << layout.name << (system.major == 6 ? ", Vista" : ", XP")
                          << ", operation " << n
                          << (way == Way::Refused ? " refused" : " failed otherwise") << ": " << p;
        }
      }
    }
  }
  std::printf("fault injection: %d runs, %d faults injected, %d files lost\n", runs, injected,
              lost);
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(injected, runs);
}

} // namespace
