#pragma once
// The found-file collection: an ordered store of shared clsFile records,
// positions 1 to Count in order of addition, optionally keyed by a text that
// is unique without regard to case.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "search/clsFile.h"

class colFile {
public:
  using Record = std::shared_ptr<clsFile>;

  // Appends a new record for `path`, under `sKey` unless it is empty.
  // A key already present raises 457 and nothing is added.
  Record Add(const std::string& path, const std::string& sKey = "");

  // By 1-based position (9 when out of range) or by key (5 when missing).
  Record Item(int32_t vntIndexKey) const;
  Record Item(std::string_view vntIndexKey) const;
  Record operator[](int32_t vntIndexKey) const { return Item(vntIndexKey); }
  Record operator[](std::string_view vntIndexKey) const { return Item(vntIndexKey); }

  int32_t Count() const { return static_cast<int32_t>(records_.size()); }

  void Remove(int32_t vntIndexKey);
  void Remove(std::string_view vntIndexKey);

  // The records in position order, for iteration over the whole collection.
  std::vector<Record> NewEnum() const;
  std::vector<Record>::const_iterator begin() const { return records_.begin(); }
  std::vector<Record>::const_iterator end() const { return records_.end(); }

private:
  size_t PositionOf(int32_t position) const;
  size_t PositionOf(std::string_view key) const;
  void Erase(size_t index);

  std::vector<Record> records_;
  std::vector<std::string> keys_; // upper-cased; empty for a record without a key
};
