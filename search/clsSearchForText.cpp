#include "search/clsSearchForText.h"

#include <cstring>

#include "platform/Events.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "platform/TextCase.h"
#include "search/TextFinder.h"

namespace {
constexpr size_t kBlock = 4096;
}

clsSearchForText::clsSearchForText() {
  ResetFilesFound();
}

clsSearchForText::~clsSearchForText() = default;

int16_t clsSearchForText::FileFoundCount() const {
  if (!FilesFound_) throw RuntimeError(RuntimeError::ObjectNotSet);
  return ToInt16(FilesFound_->Count());
}

std::string clsSearchForText::FileFoundName(int16_t FileIndex) const {
  if (FileIndex <= 0) return {};
  if (!FilesFound_) throw RuntimeError(RuntimeError::ObjectNotSet);
  return FilesFound_->Item(FileIndex)->path();
}

bool clsSearchForText::PathOK(const std::string& PassedPath) const {
  if (PassedPath.empty()) return false;
  return !platform::fileSystem().EnumerateFiles(PassedPath)->Next().empty();
}

// The matches go to the collection this search made, whatever a window event
// handled between two files does with FilesFound meanwhile: a collection
// handed in then serves FileFoundCount and FileFoundName after the search,
// but is never filled by it.
int16_t clsSearchForText::Search() {
  ResetFilesFound();
  const std::shared_ptr<colFile> results = FilesFound_;
  FilesSearched_ = 0;
  if (!PathOK(path_)) return 0;
  const std::string folder = platform::SplitWindowsPath(path_).folder;
  const TextFinder finder(SearchText_, platform::UpperCaseTable());
  auto names = platform::fileSystem().EnumerateFiles(path_);
  for (std::string name = names->Next(); !name.empty(); name = names->Next()) {
    platform::DoEvents();
    FilesSearched_ = ToInt16(FilesSearched_ + 1);
    std::string fullPath = platform::JoinWindowsPath(folder, name);
    if (FileContainsText(fullPath, finder, names.get())) results->Add(fullPath, "");
  }
  return ToInt16(results->Count());
}

void clsSearchForText::ResetFilesFound() {
  FilesFound_ = std::make_shared<colFile>();
}

bool clsSearchForText::FileContainsText(const std::string& filePath, const std::string& text) {
  return FileContainsText(filePath, TextFinder(text, platform::UpperCaseTable()));
}

// A file that `listing` has just named is taken from it as it opened it.
// Reads the file in 4096-byte blocks. Each block comes right behind the last
// L bytes of the window before it (the carry), so a text that straddles two
// blocks, or is longer than one, lies whole inside one window. The holes of
// a sparse file hold only zero bytes: for a text without one (the product
// word) they are passed over unread, and no text straddles one.
bool clsSearchForText::FileContainsText(const std::string& filePath, const TextFinder& finder,
                                        platform::FileEnumeration* listing) {
  const size_t L = finder.Length();
  if (L == 0 || filePath.empty()) return false;
  auto file = listing ? platform::fileSystem().OpenListed(*listing, filePath)
                      : platform::fileSystem().OpenForReading(filePath);
  const uint64_t N = file->Length();
  const bool skipHoles = !finder.HoldsZero();
  size_t carry = 0;
  for (uint64_t done = 0; done < N;) {
    if (uint64_t hole = skipHoles ? file->SkipHole() : 0) {
      done += hole;
      carry = 0;
      continue;
    }
    const size_t want = N - done < kBlock ? static_cast<size_t>(N - done) : kBlock;
    size_t got = 0;
    const unsigned char* block = file->ReadOn(want, carry, got);
    const size_t size = carry + got;
    if (finder.FoundIn(block - carry, size)) return true;
    if (got < want) break; // the file became shorter while it was read
    done += got;
    carry = size < L ? size : L;
  }
  return false;
}
