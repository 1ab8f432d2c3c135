#pragma once
// A scene for the removal commands: the window, headless, with the program
// in a throwaway folder on C: and driver files in C:\windows\inf, on a
// Windows version of the test's choosing.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/frmTop.h"
#include "platform/Program.h"
#include "tests/support/HeadlessWindow.h"
#include "tests/support/ScopedService.h"
#include "tests/support/TestDrive.h"
#include "tests/winver/FakeVersionInfo.h"

class ProgramIn : public platform::Program {
public:
  explicit ProgramIn(std::string folder) : folder_(std::move(folder)) {}
  std::string Folder() override { return folder_; }
  std::string ExeName() override { return "TALMIREXRemove"; }

private:
  std::string folder_;
};

inline FakeSystem Vista() {
  FakeSystem s;
  s.major = 6;
  s.build = 6002;
  s.productType = 1;
  return s;
}

inline FakeSystem WindowsXP() {
  FakeSystem s;
  s.major = 5;
  s.minor = 1;
  s.build = 2600;
  s.productType = 1;
  return s;
}

class RemovalScene {
public:
  static constexpr const char* Inf = "c:\\windows\\inf";

  // The program lies in `app`, a folder of the drive.
  explicit RemovalScene(FakeSystem system = WindowsXP(), std::string app = "app");
  ~RemovalScene();

  // Files in the INF folder (name -> bytes), written now.
  void Put(const std::string& name, const std::string& bytes);
  std::string InfHost(const std::string& name = "") const;
  bool InInf(const std::string& name) const;
  std::string Backup(const std::string& name = "") const {
    return drive.Host(app + "\\Backup\\" + name);
  }
  // Every file under the INF folder and the program's folder: relative path -> bytes.
  std::map<std::string, std::string> Snapshot() const;

  // Starts the window and clicks Remove Drivers; the question gets `answer`,
  // any later message box the next of `later`.
  void Remove(MessageAnswer answer = MessageAnswer::Yes, std::vector<MessageAnswer> later = {});
  const std::vector<std::string>& Log();

  TestDrive drive;
  std::string app;
  HeadlessWindow window;
  std::unique_ptr<frmTop> form;

private:
  ScopedService<platform::Program> program_;
  ScopedService<platform::VersionInfo> version_;
  std::vector<std::string> written_;
};

std::string ReadHost(const std::filesystem::path& path);
