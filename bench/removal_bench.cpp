// Remove Drivers over an INF folder of 500, 2,000 and 8,000 matching files,
// each with its companion: the time of the backup-and-delete pass (the whole
// command less its search, which the Test command times alone). Runs on a
// throwaway drive C: of its own.
//
//   cmake --preset release && cmake --build --preset release -j2 &&
//   build/release/bench/removal_bench [matches...]
//
// Each copy is made a new file, the copies are flushed to disk once, each
// original deleted. Creating files soon after many deletes costs the file
// system itself (ext4 without a journal looks through every recently freed
// inode of the group at each new file), so each count gets a drive of its
// own and nothing is deleted until the last count is done: the figures then
// do not carry the cost of the earlier counts' deletes.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/frmTop.h"
#include "platform/Program.h"
#include "platform/Service.h"

namespace fs = std::filesystem;

namespace {

class ProgramIn : public platform::Program {
public:
  explicit ProgramIn(std::string folder) : folder_(std::move(folder)) {}
  std::string Folder() override { return folder_; }
  std::string ExeName() override { return "TALMIREXRemove"; }

private:
  std::string folder_;
};

// A window that is never drawn and answers every question Yes.
class QuietView final : public FormView {
public:
  int FrameWidthPixels() override { return 0; }
  int FrameHeightPixels() override { return 0; }
  void Create(Form&, FormEvents& events) override { events_ = &events; }
  void Update(int) override {}
  void ListCleared(int) override { last.clear(); }
  void ListAppended(int, const std::string& line) override { last = line; }
  void Repaint(int) override {}
  void Focus(int) override {}
  std::uintptr_t NativeHandle() override { return 1; }
  MessageAnswer ShowMessage(const std::string&, const std::string&, MessageButtons,
                            MessageIcon) override {
    return MessageAnswer::Yes;
  }
  void Show() override {}
  int Run() override { return 0; }
  [[noreturn]] void EndProgram(int code) override { std::exit(code); }
  void Click(const std::string& control) { events_->Click(control); }

  std::string last;

private:
  FormEvents* events_ = nullptr;
};

double Seconds(const std::function<void()>& run) {
  auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i)
    counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {500, 2000, 8000};
  char pattern[] = "/tmp/talmirex-removal-bench-XXXXXX";
  const fs::path root = ::mkdtemp(pattern);
  fs::create_directories(root / "prefix" / "dosdevices");
  ::setenv("WINEPREFIX", (root / "prefix").c_str(), 1);

  std::printf("%8s %12s %12s %14s\n", "matches", "search s", "command s", "backup+delete s");
  for (size_t round = 0; round < counts.size(); ++round) {
    const int matches = counts[round];
    const std::string drive = "drive-" + std::to_string(round);
    fs::remove(root / "prefix" / "dosdevices" / "c:");
    fs::create_symlink("../../" + drive, root / "prefix" / "dosdevices" / "c:");
    const fs::path inf = root / drive / "windows" / "inf";
    fs::create_directories(inf);
    fs::create_directories(root / drive / "app");
    for (int i = 0; i < matches; ++i) {
      std::string n = std::to_string(i);
      std::ofstream(inf / ("oem" + n + ".inf")) << "[Version]\r\nProvider=TALMIREX " << n << "\r\n";
      std::ofstream(inf / ("oem" + n + ".pnf")) << "PNF " << n;
    }
    auto program =
        platform::Service<platform::Program>::Replace(std::make_shared<ProgramIn>("c:\\app"));
    QuietView view;
    frmTop form(view);
    view.Create(form.Window(), form);
    form.Form_Load();
    double search = Seconds([&] { view.Click("cmdTest"); });
    double command = Seconds([&] { view.Click("cmdRemove"); });
    platform::Service<platform::Program>::Replace(program);
    size_t left = 0;
    for (auto& e : fs::directory_iterator(inf))
      left += e.is_regular_file();
    std::printf("%8d %12.3f %12.3f %14.3f   %s, %zu files left\n", matches, search, command,
                command - search, view.last.c_str(), left);
  }
  fs::remove_all(root);
  return 0;
}
