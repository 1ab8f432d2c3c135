#pragma once
// One found file: the record kept by the found-file collection.

#include <string>

class clsFile {
public:
  const std::string& path() const { return path_; }
  void path(std::string vData) { path_ = std::move(vData); }

private:
  std::string path_;
};
