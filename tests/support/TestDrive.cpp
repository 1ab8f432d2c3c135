#include "tests/support/TestDrive.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {
std::string Unique() {
  static std::atomic<int> counter{0};
  std::random_device random;
  return "tt" + std::to_string(random() % 100000) + "_" + std::to_string(counter++);
}
} // namespace

TestDrive::TestDrive() : name_(Unique()) {
  fs::create_directories(fs::path(Host()));
}

TestDrive::~TestDrive() {
  std::error_code ignored;
  // What only Linux can make, only Linux can remove (links go as links).
  if (linux_) testhost::RunOnLinux(Host(), "find . -mindepth 1 -delete");
  // Read-only files would stop the removal on Windows.
  for (auto& entry : fs::recursive_directory_iterator(fs::path(Host()), ignored))
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  fs::remove_all(fs::path(Host()), ignored);
}

std::string TestDrive::Win(const std::string& relative) const {
  std::string path = "c:\\" + name_;
  if (!relative.empty()) path += "\\" + relative;
  return path;
}

std::string TestDrive::Host(const std::string& relative) const {
  return testhost::ToHost(Win(relative));
}

void TestDrive::Write(const std::string& relative, const std::string& bytes) const {
  std::ofstream out(fs::path(Host(relative)), std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + Host(relative));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TestDrive::Read(const std::string& relative) const {
  std::ifstream in(fs::path(Host(relative)), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + Host(relative));
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool TestDrive::Exists(const std::string& relative) const {
  return fs::exists(fs::path(Host(relative)));
}

bool TestDrive::IsDirectory(const std::string& relative) const {
  return fs::is_directory(fs::path(Host(relative)));
}

void TestDrive::MakeDir(const std::string& relative) const {
  fs::create_directories(fs::path(Host(relative)));
}

void TestDrive::SetReadOnly(const std::string& relative, bool readOnly) const {
  testhost::SetReadOnly(Host(relative), readOnly);
}

bool TestDrive::OnLinux(const std::string& script) const {
  linux_ = true;
  return testhost::RunOnLinux(Host(), script);
}
