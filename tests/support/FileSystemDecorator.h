#pragma once
// A file-system service that hands every call on to another one; tests
// derive from it to watch calls or to make chosen ones fail.

#include <memory>
#include <string>

#include "platform/FileSystem.h"

class FileSystemDecorator : public platform::FileSystem {
public:
  explicit FileSystemDecorator(std::shared_ptr<platform::FileSystem> inner = Native())
      : inner_(std::move(inner)) {}

  std::unique_ptr<platform::FileEnumeration> EnumerateFiles(const std::string& pattern) override {
    return inner_->EnumerateFiles(pattern);
  }
  std::string FirstEntry(const std::string& path, platform::EntryKinds kinds) override {
    return inner_->FirstEntry(path, kinds);
  }
  std::unique_ptr<platform::InputFile> OpenForReading(const std::string& path) override {
    return inner_->OpenForReading(path);
  }
  // Through OpenForReading, where a test watches or fails openings; what
  // the listing opened is closed unused.
  std::unique_ptr<platform::InputFile> OpenListed(platform::FileEnumeration&,
                                                  const std::string& path) override {
    return OpenForReading(path);
  }
  int OpenFileExist(const std::string& path) override { return inner_->OpenFileExist(path); }
  void MakeDirectory(const std::string& path) override { inner_->MakeDirectory(path); }
  void CreateNewFile(const std::string& path) override { inner_->CreateNewFile(path); }
  void RemoveFile(const std::string& path) override { inner_->RemoveFile(path); }
  platform::LocalTime LastModified(const std::string& path) override {
    return inner_->LastModified(path);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return inner_->SameFile(a, b);
  }
  platform::EntryFacts Examine(const std::string& path) override { return inner_->Examine(path); }
  std::vector<std::string> FolderNames(const std::string& folder) override {
    return inner_->FolderNames(folder);
  }
  void RenameOnto(const std::string& from, const std::string& to) override {
    inner_->RenameOnto(from, to);
  }
  void RemoveFolder(const std::string& path) override { inner_->RemoveFolder(path); }
  void FlushToDisk(const std::string& folder) override { inner_->FlushToDisk(folder); }
  std::unique_ptr<platform::Folder> OpenFolder(const std::string& path) override {
    return inner_->OpenFolder(path);
  }
  std::unique_ptr<platform::Folder> OpenSubfolder(platform::Folder& parent,
                                                  const std::string& name) override {
    return inner_->OpenSubfolder(parent, name);
  }
  std::unique_ptr<platform::Folder> ClaimSubfolder(platform::Folder& parent,
                                                   const std::string& name) override {
    return inner_->ClaimSubfolder(parent, name);
  }
  std::unique_ptr<platform::Folder> MakePrivateFolder(platform::Folder& parent,
                                                      const std::string& name) override {
    return inner_->MakePrivateFolder(parent, name);
  }
  std::unique_ptr<platform::InputFile> OpenPlainFile(const std::string& path) override {
    return inner_->OpenPlainFile(path);
  }

protected:
  std::shared_ptr<platform::FileSystem> inner_;
};
