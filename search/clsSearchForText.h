#pragma once
// Finds, among the files that match a path pattern, those that contain a
// text without regard to case, and keeps their full paths in a colFile.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "search/colFile.h"

class TextFinder;
namespace platform {
class FileEnumeration;
}

class clsSearchForText {
public:
  clsSearchForText();
  ~clsSearchForText();
  clsSearchForText(const clsSearchForText&) = delete;
  clsSearchForText& operator=(const clsSearchForText&) = delete;

  void FilesFound(std::shared_ptr<colFile> vData) { FilesFound_ = std::move(vData); }
  std::shared_ptr<colFile> FilesFound() const { return FilesFound_; }

  void path(std::string vData) { path_ = std::move(vData); }
  const std::string& path() const { return path_; }

  void SearchText(std::string vData) { SearchText_ = std::move(vData); }
  const std::string& SearchText() const { return SearchText_; }

  int16_t FilesSearched() const { return FilesSearched_; }
  int16_t FileFoundCount() const;
  // The full path of the FileIndex-th found file (1 = first); empty for 0 or less.
  std::string FileFoundName(int16_t FileIndex) const;
  bool PathOK(const std::string& PassedPath) const;
  // Runs the search; returns the number of files found.
  int16_t Search();

private:
  friend struct SearchInternals; // lets the tests reach the private routines

  void ResetFilesFound();
  bool FileContainsText(const std::string& filePath, const std::string& text);
  bool FileContainsText(const std::string& filePath, const TextFinder& finder,
                        platform::FileEnumeration* listing = nullptr);

  std::shared_ptr<colFile> FilesFound_;
  std::string path_;
  std::string SearchText_;
  int16_t FilesSearched_ = 0;
};
