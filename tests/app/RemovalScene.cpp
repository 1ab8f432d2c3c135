#include "tests/app/RemovalScene.h"

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string ReadHost(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

RemovalScene::RemovalScene(FakeSystem system, std::string app)
    : app(std::move(app)), program_(std::make_shared<ProgramIn>(drive.Win(this->app))),
      version_(std::make_shared<FakeVersionInfo>(std::move(system))) {
  drive.MakeDir(this->app);
  fs::create_directories(InfHost());
  // Under Wine the INF folder is the test prefix's own: start from no OEM files.
  for (auto& e : fs::directory_iterator(InfHost())) {
    std::string name = e.path().filename().string();
    if (name.rfind("oem", 0) == 0 || name.rfind("OEM", 0) == 0) fs::remove(e.path());
  }
  form = std::make_unique<frmTop>(window);
}

RemovalScene::~RemovalScene() {
  std::error_code ignored;
  for (const std::string& name : written_) {
    fs::permissions(InfHost(name), fs::perms::owner_write, fs::perm_options::add, ignored);
    fs::remove(InfHost(name), ignored);
  }
}

std::string RemovalScene::InfHost(const std::string& name) const {
  std::string host = testhost::ToHost(Inf);
  return name.empty() ? host : (fs::path(host) / name).string();
}

void RemovalScene::Put(const std::string& name, const std::string& bytes) {
  std::ofstream(InfHost(name), std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  written_.push_back(name);
}

bool RemovalScene::InInf(const std::string& name) const {
  return fs::exists(InfHost(name));
}

std::map<std::string, std::string> RemovalScene::Snapshot() const {
  std::map<std::string, std::string> files;
  for (const fs::path& root : {fs::path(InfHost()), fs::path(drive.Host(app))})
    for (auto& e : fs::recursive_directory_iterator(root))
      if (e.is_regular_file())
        files[root.filename().string() + "/" + fs::relative(e.path(), root).generic_string()] =
            ReadHost(e.path());
  return files;
}

void RemovalScene::Remove(MessageAnswer answer, std::vector<MessageAnswer> later) {
  if (!window.shown) window.Start(*form);
  window.answers.push_front(answer);
  for (MessageAnswer a : later)
    window.answers.push_back(a);
  window.Click("cmdRemove");
}

const std::vector<std::string>& RemovalScene::Log() {
  return (*form)["lstFiles"].Lines();
}
