// Sparse driver files on Linux: the holes stay holes in a copy, and the
// search passes over them unread (they hold only zero bytes, never the
// product word).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "search/clsSearchForText.h"
#include "tests/support/FileSystemDecorator.h"
#include "tests/support/ScopedService.h"
#include "tests/support/TestDrive.h"

namespace {

constexpr off_t MiB = 1 << 20;

// Writes `parts` at their offsets into a new file of `length` bytes; what
// lies between them is a hole.
void WriteSparse(const std::string& host, off_t length,
                 const std::vector<std::pair<off_t, std::string>>& parts) {
  int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, length), 0);
  for (auto& [at, bytes] : parts)
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), at), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

off_t BytesOnDisk(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 ? st.st_blocks * 512 : -1;
}

TEST(SparseFiles, ACopyKeepsTheHoles) {
  TestDrive d;
  d.MakeDir("out");
  WriteSparse(d.Host("oem1.pnf"), 64 * MiB, {{0, "PNF"}, {64 * MiB - 3, "end"}});
  if (BytesOnDisk(d.Host("oem1.pnf")) >= MiB) GTEST_SKIP() << "no sparse files here";
  platform::SHFILEOPSTRUCTA request;
  request.wFunc = platform::FO_COPY;
  request.fFlags = platform::FOF_NOCONFIRMATION | platform::FOF_FILESONLY;
  request.pFrom = d.Win("oem1.pnf") + '\0';
  request.pTo = d.Win("out") + '\0';
  ASSERT_EQ(platform::Shell::Native()->SHFileOperationA(request), 0);
  EXPECT_EQ(d.Read("out\\oem1.pnf"), d.Read("oem1.pnf"));
  EXPECT_LT(BytesOnDisk(d.Host("out\\oem1.pnf")), MiB);
}

// Counts the bytes that the files opened for reading hand out.
class CountedFile final : public platform::InputFile {
public:
  CountedFile(std::unique_ptr<platform::InputFile> inner, uint64_t& count)
      : inner_(std::move(inner)), count_(count) {}
  uint64_t Length() const override { return inner_->Length(); }
  size_t Read(unsigned char* buffer, size_t count) override {
    size_t got = inner_->Read(buffer, count);
    count_ += got;
    return got;
  }
  const unsigned char* ReadOn(size_t count, size_t behind, size_t& got) override {
    const unsigned char* at = inner_->ReadOn(count, behind, got);
    count_ += got;
    return at;
  }
  uint64_t SkipHole() override { return inner_->SkipHole(); }

private:
  std::unique_ptr<platform::InputFile> inner_;
  uint64_t& count_;
};

class CountedReads : public FileSystemDecorator {
public:
  std::unique_ptr<platform::InputFile> OpenForReading(const std::string& path) override {
    return std::make_unique<CountedFile>(inner_->OpenForReading(path), read);
  }
  uint64_t read = 0;
};

TEST(SparseFiles, TheSearchPassesOverTheHoles) {
  struct {
    const char* name;
    std::vector<std::pair<off_t, std::string>> parts;
    bool found;
  } cases[] = {
      {"the word behind a hole", {{0, "[Strings]"}, {256 * MiB - 8, "talmirex"}}, true},
      {"the word before a hole", {{0, "Mfg=TALMIREX"}, {256 * MiB - 4, "end."}}, true},
      {"the word's halves on either side of a hole",
       {{0, "x"}, {128 * MiB - 4, "TALM"}, {192 * MiB, "IREX"}, {256 * MiB - 1, "."}},
       false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDrive d;
    WriteSparse(d.Host("oem1.inf"), 256 * MiB, c.parts);
    if (BytesOnDisk(d.Host("oem1.inf")) >= MiB) GTEST_SKIP() << "no sparse files here";
    auto counted = std::make_shared<CountedReads>();
    ScopedService<platform::FileSystem> files(counted);
    clsSearchForText search;
    search.path(d.Win("oem*.inf"));
    search.SearchText("TALMIREX");
    EXPECT_EQ(search.Search(), c.found ? 1 : 0);
    EXPECT_LT(counted->read, static_cast<uint64_t>(MiB)) << "bytes read";
  }
}

} // namespace
