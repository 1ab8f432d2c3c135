#include "search/colFile.h"

#include "platform/RuntimeError.h"
#include "platform/TextCase.h"

colFile::Record colFile::Add(const std::string& path, const std::string& sKey) {
  auto record = std::make_shared<clsFile>();
  record->path(path);
  std::string folded = platform::ToUpper(sKey);
  if (!folded.empty())
    for (const std::string& key : keys_)
      if (key == folded) throw RuntimeError(RuntimeError::DuplicateKey);
  records_.push_back(record);
  keys_.push_back(std::move(folded));
  return record;
}

size_t colFile::PositionOf(int32_t position) const {
  if (position < 1 || position > Count()) throw RuntimeError(RuntimeError::SubscriptOutOfRange);
  return static_cast<size_t>(position - 1);
}

size_t colFile::PositionOf(std::string_view key) const {
  std::string folded = platform::ToUpper(key);
  if (!folded.empty())
    for (size_t i = 0; i < keys_.size(); ++i)
      if (keys_[i] == folded) return i;
  throw RuntimeError(RuntimeError::ElementNotFound);
}

colFile::Record colFile::Item(int32_t vntIndexKey) const {
  return records_[PositionOf(vntIndexKey)];
}

colFile::Record colFile::Item(std::string_view vntIndexKey) const {
  return records_[PositionOf(vntIndexKey)];
}

void colFile::Erase(size_t index) {
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
  keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(index));
}

void colFile::Remove(int32_t vntIndexKey) {
  Erase(PositionOf(vntIndexKey));
}

void colFile::Remove(std::string_view vntIndexKey) {
  Erase(PositionOf(vntIndexKey));
}

std::vector<colFile::Record> colFile::NewEnum() const {
  return records_;
}
