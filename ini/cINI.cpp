#include "ini/cINI.h"

#include <cmath>
#include <cstdlib>

#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/Program.h"
#include "platform/RuntimeError.h"

namespace {
// The size of every buffer handed to the platform, its NUL included.
constexpr uint32_t kBufferSize = 50;
} // namespace

bool cINI::Delete() {
  if (!Exists()) return false;
  platform::fileSystem().RemoveFile(FullPath_);
  return true;
}

bool cINI::Exists() {
  return !FullPath_.empty() && FileExists(FullPath_);
}

void cINI::FullPath(const std::string& vData) {
  if (vData.empty()) {
    FullPath_.clear();
    FilePath_.clear();
    FileName_.clear();
    return;
  }
  platform::PathParts parts = platform::SplitWindowsPath(vData);
  FilePath_ = std::move(parts.folder);
  FileName_ = std::move(parts.name);
  FullPath_ = vData;
  if (!FileExists(vData)) LocateFile();
}

void cINI::Command(int32_t iCommand) {
  Command_ = ToInt16(iCommand);
}

void cINI::FilePath(const std::string& vData) {
  FilePath_ = vData;
  if (FileName_.empty()) {
    FullPath_.clear();
    return;
  }
  if (Command_ == 3) {
    std::string path = FilePath_ + "\\" + FileName_;
    CreateIfMissing(path);
    FullPath_ = path;
  }
}

void cINI::FileName(const std::string& vData) {
  FileName_ = vData;
  LocateFile();
}

void cINI::Data(const std::string& ItemData) {
  WriteData(ItemData);
}

std::string cINI::Data() {
  if (Exists() && !Item_.empty() && !Section_.empty()) return INIRead(FullPath_, Section_, Item_);
  return {};
}

std::string cINI::INIRead(const std::string& sIniPath, const std::string& sSection,
                          const std::string& sItem) {
  std::string buffer(kBufferSize, ' ');
  platform::profile().GetPrivateProfileStringA(sSection, sItem, "", buffer.data(), kBufferSize,
                                               sIniPath);
  return TrimAtNull(buffer);
}

bool cINI::INIWrite(const std::string& sIniPath, const std::string& sSection,
                    const std::string& sItem, const std::string& sData) {
  if (sData.empty()) return false;
  platform::profile().WritePrivateProfileStringA(sSection, sItem, sData, sIniPath);
  return true;
}

std::string cINI::DataRetrieve(const std::string& IniItem, const std::string& vDefaultValue) {
  Item_ = IniItem;
  std::string value = Data();
  return value.empty() ? vDefaultValue : value;
}

std::string cINI::FloatingText(double value, int digits) {
  if (std::isnan(value)) return "-1.#IND";
  if (std::isinf(value)) return value > 0 ? "1.#INF" : "-1.#INF";
  if (value == 0) return "0";
  // d.ddd...e±x, correctly rounded to `digits` significant digits.
  char text[64];
  char* end = std::to_chars(text, text + sizeof text, std::fabs(value),
                            std::chars_format::scientific, digits - 1)
                  .ptr;
  std::string scientific(text, end);
  size_t e = scientific.find('e');
  int exponent = std::atoi(scientific.c_str() + e + 1);
  std::string mantissa = scientific.substr(0, 1);
  if (e > 2) mantissa.append(scientific, 2, e - 2);
  while (mantissa.size() > 1 && mantissa.back() == '0')
    mantissa.pop_back();

  std::string out = value < 0 ? "-" : "";
  if (exponent >= digits || exponent < -4) {
    out += mantissa[0];
    if (mantissa.size() > 1) out.append(".").append(mantissa, 1);
    int power = exponent < 0 ? -exponent : exponent;
    out += exponent < 0 ? "E-" : "E+";
    if (power < 10) out += '0';
    out += std::to_string(power);
  } else if (exponent >= 0) {
    size_t whole = static_cast<size_t>(exponent) + 1;
    if (mantissa.size() < whole) mantissa.append(whole - mantissa.size(), '0');
    out.append(mantissa, 0, whole);
    if (mantissa.size() > whole) out.append(".").append(mantissa, whole);
  } else {
    out += "0.";
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += mantissa;
  }
  return out;
}

bool cINI::DataSave(const std::string& IniItem, const std::string& ItemData) {
  Item_ = IniItem;
  return WriteData(ItemData);
}

std::string cINI::TrimAtNull(const std::string& text) {
  return text.substr(0, text.find('\0'));
}

void cINI::CreateIfMissing(const std::string& path) {
  if (FileExists(path)) return;
  auto& files = platform::fileSystem();
  try {
    files.CreateNewFile(path);
    return;
  } catch (const RuntimeError& error) {
    if (error.Number() != RuntimeError::PathNotFound) return; // the file stays missing
  }
  std::string folder = platform::SplitWindowsPath(path).folder;
  if (folder.empty()) return;
  files.MakeDirectory(folder); // only the last level; its failure goes to the caller
  try {
    files.CreateNewFile(path);
  } catch (const RuntimeError&) {
    // The file stays missing; the caller's existence test notices.
  }
}

bool cINI::FileExists(const std::string& path) {
  return platform::fileSystem().OpenFileExist(path) == 1;
}

void cINI::LocateFile() {
  if (FileName_.empty()) {
    FullPath_.clear();
    return;
  }
  std::string folder;
  switch (Command_) {
  case 3: {
    std::string path = FilePath_ + "\\" + FileName_;
    CreateIfMissing(path);
    if (FileExists(path))
      FullPath_ = path;
    else
      FullPath_.clear();
    return;
  }
  case 1:
    folder = platform::program().Folder();
    break;
  case 2: {
    std::string buffer(kBufferSize, ' ');
    uint32_t length = platform::profile().GetSystemDirectoryA(buffer.data(), kBufferSize);
    // A name that does not fit the buffer leaves no usable folder in it.
    if (length == 0 || length >= kBufferSize) {
      FilePath_.clear();
      FullPath_.clear();
      return;
    }
    folder = TrimAtNull(buffer);
    break;
  }
  default:
    return;
  }
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  std::string path = folder + FileName_;
  CreateIfMissing(path);
  if (FileExists(path)) {
    FilePath_ = folder.substr(0, folder.size() - 1);
    FullPath_ = FilePath_ + "\\" + FileName_;
  } else {
    FilePath_.clear();
    FullPath_.clear();
  }
}

bool cINI::WriteData(const std::string& value) {
  if (Exists() && !Item_.empty() && !Section_.empty())
    return INIWrite(FullPath_, Section_, Item_, value);
  return false;
}
