// What the Linux layer says about the running program and its failures.

#include "platform/Program.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
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

} // namespace
