// What the Linux layer says about the running program and its failures.

#include "platform/Program.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "tests/support/posix/OwnBinary.h"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable (or removes it) while it lives.
class EnvVar {
public:
  EnvVar(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value->c_str(), 1);
    else
      ::unsetenv(name);
  }
  ~EnvVar() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(PosixProgram, AMissingDriveCIsExplainedByThePrefixItWasLookedFor) {
  char pattern[] = "/tmp/talmirex-home-XXXXXX";
  const std::string home = ::mkdtemp(pattern);
  fs::create_directories(home + "/with-c/drive_c");
  fs::create_directories(home + "/empty");
  fs::create_directories(home + "/linked/dosdevices");
  fs::create_directory_symlink(home + "/with-c/drive_c", home + "/linked/dosdevices/c:");
  auto program = platform::Program::Native();
  struct Case {
    std::optional<std::string> prefix; // WINEPREFIX; unset for none
    int number;
    std::string expected; // empty: nothing to add
  };
  const Case cases[] = {
      {home + "/empty", 68,
       "Drive C: was looked for in the Wine prefix " + home +
           "/empty (named by WINEPREFIX). Drive C: is that prefix's drive_c folder, " + home +
           "/empty/drive_c, and it does not exist."},
      {std::nullopt, 68,
       "Drive C: was looked for in the Wine prefix " + home +
           "/.wine (~/.wine, as WINEPREFIX is not set). Drive C: is that prefix's drive_c "
           "folder, " +
           home + "/.wine/drive_c, and it does not exist."},
      {std::string(), 68,
       "Drive C: was looked for in the Wine prefix " + home +
           "/.wine (~/.wine, as WINEPREFIX is not set). Drive C: is that prefix's drive_c "
           "folder, " +
           home + "/.wine/drive_c, and it does not exist."},
      {home + "/with-c", 68, ""}, // the drive is there: 68 came from elsewhere
      {home + "/linked", 68, ""}, // drive C: through dosdevices
      {home + "/empty", 75, ""},
      {home + "/empty", 53, ""},
  };
  EnvVar homeVar("HOME", home);
  for (const auto& c : cases) {
    SCOPED_TRACE((c.prefix ? "WINEPREFIX=" + *c.prefix : std::string("no WINEPREFIX")) + ", " +
                 std::to_string(c.number));
    EnvVar prefix("WINEPREFIX", c.prefix);
    EXPECT_EQ(program->AboutError(c.number), c.expected);
    if (!c.expected.empty()) {
      // It is the very case in which the file system raises 68.
      try {
        platform::FileSystem::Native()->EnumerateFiles("c:\\windows\\inf\\oem*.inf");
        ADD_FAILURE() << "no error for a missing drive C:";
      } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), RuntimeError::DeviceUnavailable);
      }
    }
  }
  fs::remove_all(home);
}

// The version line finds the program's own file as folder\name.exe; beside
// a Linux binary that is the link the build puts there, dated as the binary.
TEST(PosixProgram, TheBinaryIsFoundAsItsNameWithExe) {
  auto program = platform::Program::Native();
  std::string folder = program->Folder();
  if (folder.back() != '\\') folder += '\\';
  const std::string exe = folder + program->ExeName() + ".exe";
  auto files = platform::FileSystem::Native();
  ASSERT_EQ(files->OpenFileExist(exe), 1) << exe;
  const std::tm tm = testhost::OwnBinaryModified();
  const platform::LocalTime t = files->LastModified(exe);
  EXPECT_EQ(t.year, tm.tm_year + 1900);
  EXPECT_EQ(t.month, tm.tm_mon + 1);
  EXPECT_EQ(t.day, tm.tm_mday);
}

const char* const StrangeFolder = "TALMIREX_STRANGE_FOLDER";

// Run by the test below, from a copy of this program in such a folder.
TEST(PosixProgram, InAStrangeFolder) {
  if (!std::getenv(StrangeFolder)) GTEST_SKIP() << "run by AFolderThatNoWindowsPathNamesStops";
  try {
    std::string folder = platform::Program::Native()->Folder();
    ADD_FAILURE() << "no error for " << folder;
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), RuntimeError::BadFileName) << e.what();
  }
}

// A program folder whose name a Windows path cannot hold as it is would be
// written as another place ("a\\..\\..\\x" climbs out of it): the program
// stops with a run-time error before anything is made, copied or deleted.
TEST(PosixProgram, AFolderThatNoWindowsPathNamesStops) {
  if (std::getenv(StrangeFolder)) GTEST_SKIP() << "a second run";
  char pattern[] = "/tmp/talmirex-folder-XXXXXX";
  const std::string base = ::mkdtemp(pattern);
  struct {
    const char* name;
    bool stops;
  } cases[] = {{"a\\..\\..\\x", true},     {"what?", true},
               {"pipe|name", true},        {"tab\tname", true},
               {"\xce\xb1\xce\xb2", true}, {"trailing dot.", true},
               {"plain name", false}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = base + "/" + c.name;
    fs::create_directories(folder);
    fs::copy_file("/proc/self/exe", folder + "/platform_tests");
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::setenv(StrangeFolder, "1", 1);
      // Its own report is not wanted here; its exit code says it all.
      if (FILE* null = std::freopen("/dev/null", "w", stdout); !null) ::_exit(126);
      const std::string exe = folder + "/platform_tests";
      ::execl(exe.c_str(), exe.c_str(), "--gtest_filter=PosixProgram.InAStrangeFolder",
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.stops ? 0 : 1);
  }
  fs::remove_all(base);
}

} // namespace
