// How fast the text search goes, side by side with the tools a user would
// otherwise reach for. It lays out a folder of INF-like files behind a
// throwaway Wine-style prefix, checks that every tool finds the same files,
// and prints the best of several runs of each. The folder is measured
// spelt windows/inf and then Windows/INF (as a copied Windows tree or other
// tools leave it), while the program always asks for c:\windows\inf. Our
// search is timed in-process and as a whole process (this program run
// again for one search), as the other tools are; our process and ripgrep
// run in turn, and each is given with its processor time beside the wall
// time, which a shared machine disturbs more. Not a test: nothing here
// passes or fails on speed.
//
//   build/release/bench/search_bench [files=2000] [large-MB=200]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "search/clsSearchForText.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* kLines[] = {
    "HKR,,EnumPropPages32,,\"serui.dll,SerialPortPropPageProvider\"\r\n",
    "HKR,,PortSubClass,1,01\r\n",
    "HKLM,%ServiceKey%,ConfigData,1,11,00,3F,3F,10,27,00,00,88,13,00,00\r\n",
    "[SourceDisksFiles]\r\n",
    "ser2pl.sys=1,,\r\n",
    "%USB\\VID_067B&PID_2303.DeviceDesc%=ComPort,USB\\VID_067B&PID_2303\r\n",
    "AddService = Serenum,,Serenum_Service_Inst\r\n",
    "DisplayName    = %Serenum.SVCDESC%\r\n",
    "ServiceType    = 1                  ; SERVICE_KERNEL_DRIVER\r\n",
    "StartType      = 3                  ; SERVICE_DEMAND_START\r\n",
    "ErrorControl   = 1                  ; SERVICE_ERROR_NORMAL\r\n",
    "; Copyright (c) vendor. All rights reserved.\r\n",
    "Signature=\"$Windows NT$\"\r\n",
    "DriverVer=03/06/2009,2.4.16.0\r\n",
};

std::string Pool(std::mt19937& random, size_t size) {
  std::string pool;
  while (pool.size() < size)
    pool += kLines[random() % (sizeof kLines / sizeof *kLines)];
  return pool;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Best wall time of `runs` runs, in seconds.
double Best(int runs, const std::function<void()>& run) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

// The cost of one run of a program: wall time and the processor time it
// used (user and system), in seconds.
struct Cost {
  double wall = 1e9, cpu = 1e9;
  void KeepBest(const Cost& other) {
    wall = std::min(wall, other.wall);
    cpu = std::min(cpu, other.cpu);
  }
};

// Runs a program directly (no shell between), its output into a pipe;
// returns the number of lines it printed and what the run cost.
int Spawn(const std::vector<std::string>& args, Cost& cost) {
  int out[2];
  if (::pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, out[1]);
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  auto start = Clock::now();
  pid_t pid = -1;
  int failed = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  int lines = 0;
  char chunk[4096];
  for (ssize_t n; (n = ::read(out[0], chunk, sizeof chunk)) > 0;)
    lines += static_cast<int>(std::count(chunk, chunk + n, '\n'));
  ::close(out[0]);
  if (failed != 0) return -1;
  int status = 0;
  struct rusage usage {};
  ::wait4(pid, &status, 0, &usage);
  cost.wall = std::chrono::duration<double>(Clock::now() - start).count();
  cost.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
             static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return lines;
}

// Runs a shell command; returns the number of lines it printed.
int Lines(const std::string& command) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return -1;
  int lines = 0;
  for (int c; (c = std::fgetc(pipe)) != EOF;)
    if (c == '\n') ++lines;
  ::pclose(pipe);
  return lines;
}

bool Have(const char* tool) {
  return Lines(std::string("command -v ") + tool + " 2>/dev/null") > 0;
}

uint64_t FolderBytes(const fs::path& folder) {
  uint64_t total = 0;
  for (auto& e : fs::directory_iterator(folder))
    total += e.file_size();
  return total;
}

// One search as a process of its own: `search_bench --search PATTERN`
// prints the number of files found.
int SearchOnce(const char* pattern) {
  clsSearchForText search;
  search.SearchText("TALMIREX");
  search.path(pattern);
  std::printf("%d\n", static_cast<int>(search.Search()));
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--search") return SearchOnce(argv[2]);
  const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
  const size_t largeMB = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 200;
  const int runs = 5;

  char pattern[] = "/tmp/talmirex-bench-XXXXXX";
  fs::path root = ::mkdtemp(pattern);
  fs::path drive = root / "drive_c";
  fs::path inf = drive / "windows" / "inf";
  fs::create_directories(inf);
  fs::create_directories(root / "dosdevices");
  fs::create_symlink("../drive_c", root / "dosdevices" / "c:");
  ::setenv("WINEPREFIX", root.c_str(), 1);

  std::mt19937 random(2009);
  const std::string pool = Pool(random, 1 << 20);
  std::uniform_real_distribution<double> logSize(std::log(1024.0), std::log(400.0 * 1024));
  int planted = 0;
  for (int i = 0; i < files; ++i) {
    size_t size = static_cast<size_t>(std::exp(logSize(random)));
    size_t from = random() % (pool.size() - size);
    std::string content = pool.substr(from, size);
    if (i % 400 == 17) { // a few files name the device, in mixed case
      const char* word[] = {"TALMIREX", "talmirex", "TalMirex", "tALMIREx", "TaLmIrEx"};
      content.replace(random() % (size - 16), 8, word[planted++ % 5]);
    }
    WriteFile(inf / ("oem" + std::to_string(i) + ".inf"), content);
  }
  const double folderMB = static_cast<double>(FolderBytes(inf)) / 1e6;

  std::string large(largeMB << 20, '\0');
  for (size_t at = 0; at < large.size(); at += pool.size())
    large.replace(at, std::min(pool.size(), large.size() - at),
                  pool.substr(0, std::min(pool.size(), large.size() - at)));
  fs::path big = drive / "big.inf";
  WriteFile(big, large);
  large.clear();
  large.shrink_to_fit();

  // Warm the page cache so every tool reads from memory.
  Lines("cat " + inf.string() + "/* " + big.string() + " > /dev/null");

  std::printf(
      "Folder: %d INF-like files, %.1f MB, %d hold the word (page cache warm; best of %d)\n", files,
      folderMB, planted, runs);
  const std::string self = fs::canonical("/proc/self/exe").string();
  clsSearchForText search;
  search.SearchText("TALMIREX");
  for (const char* layout : {"windows/inf", "Windows/INF"}) {
    if (std::string(layout) == "Windows/INF") {
      fs::rename(drive / "windows", drive / "Windows");
      fs::rename(drive / "Windows" / "inf", drive / "Windows" / "INF");
      inf = drive / "Windows" / "INF";
    }
    std::printf("\n  folder spelt %s, searched as c:\\windows\\inf\\oem*.inf\n", layout);
    std::printf("  %-38s %10s %10s %7s\n", "tool", "seconds", "MB/s", "found");
    int ours = 0;
    search.path("c:\\windows\\inf\\oem*.inf");
    double tOurs = Best(runs, [&] { ours = search.Search(); });
    std::printf("  %-38s %10.4f %10.0f %7d\n", "clsSearchForText, in-process", tOurs,
                folderMB / tOurs, ours);
    // Our whole process and ripgrep's, one run of each in turn, so that
    // both meet the same load of a shared machine.
    const std::vector<std::string> oursArgs = {self, "--search", "c:\\windows\\inf\\oem*.inf"};
    const std::vector<std::string> rgArgs = {"rg", "-j1",      "-i",        "-l",
                                             "-F", "TALMIREX", inf.string()};
    const bool haveRg = Have("rg");
    Cost process, rg;
    int oursProcess = 0, rgFound = 0;
    for (int i = 0; i < 3 * runs; ++i) {
      Cost once; // our process prints the number of files found: one line
      if (Spawn(oursArgs, once) == 1) process.KeepBest(once);
      if (haveRg) {
        Cost other;
        rgFound = Spawn(rgArgs, other);
        rg.KeepBest(other);
      }
    }
    FILE* pipe = ::popen(("'" + self + "' --search 'c:\\windows\\inf\\oem*.inf'").c_str(), "r");
    if (pipe) {
      if (std::fscanf(pipe, "%d", &oursProcess) != 1) oursProcess = -1;
      ::pclose(pipe);
    }
    std::printf("  %-38s %10.4f %10.0f %7d   cpu %.4f\n", "clsSearchForText, whole process",
                process.wall, folderMB / process.wall, oursProcess, process.cpu);
    if (haveRg)
      std::printf("  %-38s %10.4f %10.0f %7d   cpu %.4f\n", "rg -j1 -i -l -F", rg.wall,
                  folderMB / rg.wall, rgFound, rg.cpu);
    else
      std::printf("  %-38s %10s\n", "rg -j1 -i -l -F", "(not installed)");
    if (Have("grep")) {
      int found = 0;
      double t = Best(runs, [&] { found = Lines("grep -r -i -l -F TALMIREX " + inf.string()); });
      std::printf("  %-38s %10.4f %10.0f %7d\n", "grep -r -i -l -F", t, folderMB / t, found);
    }
    if (haveRg)
      std::printf("  our whole process takes %.2fx ripgrep's time (processor time: %.2fx; "
                  "in-process: %.2fx)\n",
                  process.wall / rg.wall, process.cpu / rg.cpu, tOurs / rg.wall);
  }

  const double bigMB = static_cast<double>(fs::file_size(big)) / 1e6;
  std::printf("\nOne %.0f MB file without the word (read to its end)\n\n", bigMB);
  std::printf("  %-38s %10s %10s\n", "tool", "seconds", "MB/s");
  search.path("c:\\big.inf");
  double tBig = Best(runs, [&] { search.Search(); });
  std::printf("  %-38s %10.4f %10.0f\n", "clsSearchForText (4096-byte blocks)", tBig, bigMB / tBig);
  double tDd =
      Best(runs, [&] { Lines("dd if=" + big.string() + " bs=4096 of=/dev/null 2>/dev/null"); });
  std::printf("  %-38s %10.4f %10.0f\n", "dd bs=4096 of=/dev/null", tDd, bigMB / tDd);
  if (Have("rg")) {
    double tRg = Best(runs, [&] { Lines("rg -j1 -i -l -F TALMIREX " + big.string()); });
    std::printf("  %-38s %10.4f %10.0f\n", "rg -j1 -i -l -F", tRg, bigMB / tRg);
  }
  std::printf("\n  our search reads at %.0f%% of dd's speed\n", 100.0 * tDd / tBig);

  fs::remove_all(root);
  return 0;
}
