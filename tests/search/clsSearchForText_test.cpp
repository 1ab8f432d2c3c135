#include "search/clsSearchForText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/Events.h"
#include "platform/RuntimeError.h"
#include "tests/support/FileSystemDecorator.h"
#include "tests/support/ScopedService.h"
#include "tests/support/TestDrive.h"

struct SearchInternals {
  static bool FileContainsText(clsSearchForText& search, const std::string& file,
                               const std::string& text) {
    return search.FileContainsText(file, text);
  }
};

namespace {

using platform::FileSystem;

// Records the size of every read and can make the opening of one file fail.
class WatchedFileSystem : public FileSystemDecorator {
public:
  std::vector<size_t> reads;
  std::vector<std::string> opened;
  std::string failOpening; // file name (last component) whose opening fails
  int failWith = RuntimeError::PermissionDenied;

  std::unique_ptr<platform::InputFile> OpenForReading(const std::string& path) override {
    opened.push_back(path);
    if (!failOpening.empty() && path.size() >= failOpening.size() &&
        path.compare(path.size() - failOpening.size(), failOpening.size(), failOpening) == 0)
      throw RuntimeError(failWith);
    return std::make_unique<Reader>(inner_->OpenForReading(path), reads);
  }

private:
  struct Reader : platform::InputFile {
    Reader(std::unique_ptr<platform::InputFile> inner, std::vector<size_t>& log)
        : inner(std::move(inner)), log(log) {}
    uint64_t Length() const override { return inner->Length(); }
    size_t Read(unsigned char* buffer, size_t count) override {
      log.push_back(count);
      return inner->Read(buffer, count);
    }
    std::unique_ptr<platform::InputFile> inner;
    std::vector<size_t>& log;
  };
};

class SearchTest : public ::testing::Test {
protected:
  TestDrive drive;
  std::shared_ptr<WatchedFileSystem> watched = std::make_shared<WatchedFileSystem>();
  ScopedService<FileSystem> useWatched{watched};
  clsSearchForText search;

  int16_t Run(const std::string& pattern, const std::string& text) {
    search.path(pattern);
    search.SearchText(text);
    return search.Search();
  }
  std::vector<std::string> Found() {
    std::vector<std::string> names;
    for (int16_t i = 1; i <= search.FileFoundCount(); ++i)
      names.push_back(search.FileFoundName(i));
    return names;
  }
};

std::string Filler(size_t n, char c = '.') {
  return std::string(n, c);
}

TEST(SearchNew, StartsEmpty) {
  clsSearchForText search;
  EXPECT_EQ(search.path(), "");
  EXPECT_EQ(search.SearchText(), "");
  EXPECT_EQ(search.FilesSearched(), 0);
  EXPECT_EQ(search.FileFoundCount(), 0);
  ASSERT_NE(search.FilesFound(), nullptr);
  EXPECT_EQ(search.FileFoundName(0), "");
  EXPECT_EQ(search.FileFoundName(-1), "");
}

TEST_F(SearchTest, FindsTheWordInAnyCaseAndStoresFullPaths) {
  drive.Write("oem1.inf", "[Version]\r\nProvider=talmirex\r\n");
  drive.Write("oem2.inf", "[Version]\r\nProvider=Other\r\n");
  drive.Write("oem12.inf", "; TalMiRex USB\r\n");
  drive.Write("other.inf", "TALMIREX");
  EXPECT_EQ(Run(drive.Win("oem*.inf"), "TALMIREX"), 2);
  EXPECT_EQ(Found(), (std::vector<std::string>{drive.Win("oem1.inf"), drive.Win("oem12.inf")}));
  EXPECT_EQ(search.FilesSearched(), 3);
  EXPECT_EQ(search.FileFoundName(1), drive.Win("oem1.inf"));
}

TEST_F(SearchTest, ResultsComeInListingOrder) {
  // Both Windows and Wine list a folder sorted without regard to case.
  for (const char* name : {"oemZ.inf", "oem_b.inf", "oema.inf", "OEMB.INF", "oem9.inf"})
    drive.Write(name, "talmirex");
  EXPECT_EQ(Run(drive.Win("oem*.inf"), "TALMIREX"), 5);
  EXPECT_EQ(Found(), (std::vector<std::string>{drive.Win("oem9.inf"), drive.Win("oema.inf"),
                                               drive.Win("OEMB.INF"), drive.Win("oemZ.inf"),
                                               drive.Win("oem_b.inf")}));
}

TEST_F(SearchTest, BlockSizesAndBoundaries) {
  const std::string word = "TALMIREX";
  struct Case {
    const char* name;
    std::string content;
    bool found;
    std::vector<size_t> reads;
  } cases[] = {
      {"empty", "", false, {}},
      {"hundred", Filler(92) + "talmirex", true, {100}},
      {"exact block", Filler(4096 - 8) + word, true, {4096}},
      {"block and rest", Filler(4992) + word, true, {4096, 904}},
      {"straddles", Filler(4093) + word + Filler(995), true, {4096, 1000}},
      {"stops at first hit", word + Filler(20000), true, {4096}},
      {"not there", Filler(5000), false, {4096, 904}},
      {"almost", Filler(4093) + "TALMIRE" + Filler(996), false, {4096, 1000}},
      {"utf16", std::string("T\0A\0L\0M\0I\0R\0E\0X\0", 16), false, {16}},
  };
  for (auto& c : cases) {
    TestDrive one;
    one.Write("oem1.inf", c.content);
    watched->reads.clear();
    EXPECT_EQ(Run(one.Win("oem1.inf"), word), c.found ? 1 : 0) << c.name;
    EXPECT_EQ(watched->reads, c.reads) << c.name;
  }
}

TEST_F(SearchTest, TextLongerThanABlock) {
  std::string text;
  for (int i = 0; text.size() < 6000; ++i)
    text += "Talmirex" + std::to_string(i) + ";";
  std::string upper = text;
  for (char& ch : upper)
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  drive.Write("oem1.inf", Filler(3000) + text + Filler(3000));
  drive.Write("oem2.inf", Filler(3000) + text.substr(0, text.size() - 1) + Filler(3000));
  EXPECT_EQ(Run(drive.Win("oem*.inf"), upper), 1);
  EXPECT_EQ(search.FileFoundName(1), drive.Win("oem1.inf"));
}

TEST_F(SearchTest, SkipsDirectoriesAndHiddenFiles) {
  drive.MakeDir("oem1.inf");
  drive.Write(".oem2.inf", "talmirex");
  drive.Write("oem3.inf", "talmirex");
  EXPECT_EQ(Run(drive.Win("*oem*.inf"), "TALMIREX"), 1);
  EXPECT_EQ(search.FilesSearched(), 1);
  EXPECT_EQ(search.FileFoundName(1), drive.Win("oem3.inf"));
}

TEST_F(SearchTest, PatternNamingOneFileOrAFolder) {
  drive.Write("oem1.inf", "talmirex");
  drive.Write("oem2.inf", "talmirex");
  EXPECT_EQ(Run(drive.Win("OEM2.INF"), "TALMIREX"), 1);
  EXPECT_EQ(search.FilesSearched(), 1);
  EXPECT_EQ(watched->opened, std::vector<std::string>{drive.Win("oem2.inf")}); // as listed
  EXPECT_EQ(Run(drive.Win(), "TALMIREX"), 0);                                  // the folder itself
  EXPECT_EQ(Run(drive.Win() + "\\", "TALMIREX"), 0);                           // no file-name part
  EXPECT_EQ(search.FilesSearched(), 0);
}

TEST_F(SearchTest, UnusablePatternsFindNothing) {
  drive.Write("oem1.inf", "talmirex");
  for (std::string pattern : {std::string(), drive.Win("none*.inf"), drive.Win("missing\\*.inf")}) {
    EXPECT_EQ(Run(pattern, "TALMIREX"), 0) << pattern;
    EXPECT_EQ(search.FilesSearched(), 0) << pattern;
    EXPECT_FALSE(search.PathOK(pattern)) << pattern;
  }
  EXPECT_TRUE(search.PathOK(drive.Win("oem*.inf")));
}

TEST_F(SearchTest, MissingDriveIsAnError) {
  search.path("q:\\windows\\inf\\oem*.inf");
  search.SearchText("TALMIREX");
  try {
    search.Search();
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), RuntimeError::DeviceUnavailable);
  }
}

TEST_F(SearchTest, EmptyTextVisitsButOpensNothing) {
  drive.Write("oem1.inf", "x");
  drive.Write("oem2.inf", "y");
  EXPECT_EQ(Run(drive.Win("oem*.inf"), ""), 0);
  EXPECT_EQ(search.FilesSearched(), 2);
  EXPECT_TRUE(watched->opened.empty());
}

TEST_F(SearchTest, SecondSearchReplacesTheFirst) {
  drive.Write("oem1.inf", "talmirex");
  drive.Write("oem2.inf", "TALMIREX");
  EXPECT_EQ(Run(drive.Win("oem*.inf"), "TALMIREX"), 2);
  auto first = Found();
  auto kept = search.FilesFound();
  EXPECT_EQ(Run(drive.Win("oem*.inf"), "TALMIREX"), 2);
  EXPECT_EQ(Found(), first);
  EXPECT_NE(search.FilesFound(), kept);
  EXPECT_EQ(kept->Count(), 2); // a caller's reference keeps the old results
  EXPECT_EQ(Run("", "TALMIREX"), 0);
  EXPECT_EQ(search.FileFoundCount(), 0);
  EXPECT_EQ(kept->Count(), 2);
}

TEST_F(SearchTest, AnUnreadableFileEndsTheSearchKeepingEarlierMatches) {
  drive.Write("oem1.inf", "talmirex");
  drive.Write("oem2.inf", "talmirex");
  drive.Write("oem3.inf", "talmirex");
  watched->failOpening = "oem2.inf";
  search.path(drive.Win("oem*.inf"));
  search.SearchText("TALMIREX");
  try {
    search.Search();
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), RuntimeError::PermissionDenied);
  }
  EXPECT_EQ(search.FileFoundCount(), 1);
  EXPECT_EQ(search.FileFoundName(1), drive.Win("oem1.inf"));
  EXPECT_EQ(search.FilesSearched(), 2); // the failing file counts as visited
}

TEST_F(SearchTest, FoundNamePastTheEndIsOutOfRange) {
  drive.Write("oem1.inf", "talmirex");
  Run(drive.Win("oem*.inf"), "TALMIREX");
  try {
    search.FileFoundName(2);
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), RuntimeError::SubscriptOutOfRange);
  }
}

TEST_F(SearchTest, HandedInCollectionServesUntilTheNextSearch) {
  drive.Write("oem1.inf", "talmirex");
  auto mine = std::make_shared<colFile>();
  mine->Add("a");
  mine->Add("b");
  search.FilesFound(mine);
  EXPECT_EQ(search.FileFoundCount(), 2);
  EXPECT_EQ(search.FileFoundName(2), "b");
  Run(drive.Win("oem*.inf"), "TALMIREX");
  EXPECT_EQ(mine->Count(), 2); // a search never fills a handed-in collection
  search.FilesFound(nullptr);
  EXPECT_EQ(search.FileFoundName(0), "");
  for (auto action : {std::function<void()>([&] { search.FileFoundCount(); }),
                      std::function<void()>([&] { search.FileFoundName(1); })}) {
    try {
      action();
      FAIL() << "no error";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Number(), RuntimeError::ObjectNotSet);
    }
  }
  Run(drive.Win("oem*.inf"), "TALMIREX");
  EXPECT_EQ(search.FileFoundCount(), 1);
}

TEST_F(SearchTest, PendingEventsAreProcessedOncePerFile) {
  for (int i = 1; i <= 4; ++i)
    drive.Write("oem" + std::to_string(i) + ".inf", "x");
  int calls = 0;
  platform::SetPendingEventsHandler([&] { ++calls; });
  Run(drive.Win("oem*.inf"), "TALMIREX");
  platform::SetPendingEventsHandler(nullptr);
  EXPECT_EQ(calls, 4);
}

// A window event handled between two files sets FilesFound: to none, or to
// a collection of its own. The search goes on into the collection it made,
// raises nothing, and returns that collection's count; afterwards FilesFound
// holds what the event put there.
TEST_F(SearchTest, FilesFoundSetDuringTheSearchLeavesItsResultsAlone) {
  for (int i = 1; i <= 3; ++i)
    drive.Write("oem" + std::to_string(i) + ".inf", "talmirex");
  drive.Write("oem4.inf", "other");
  struct Case {
    const char* what;
    int atFile; // the event that sets FilesFound: 1 = before the first file
    bool handIn;
  };
  for (const Case& c :
       {Case{"none before the first file", 1, false}, Case{"none between files", 2, false},
        Case{"none before the last file", 4, false},
        Case{"a collection before the first file", 1, true},
        Case{"a collection between files", 3, true}}) {
    SCOPED_TRACE(c.what);
    auto mine = std::make_shared<colFile>();
    mine->Add("c:\\mine.inf");
    std::shared_ptr<colFile> own;
    int calls = 0;
    platform::SetPendingEventsHandler([&] {
      if (++calls != c.atFile) return;
      own = search.FilesFound();
      search.FilesFound(c.handIn ? mine : nullptr);
    });
    int16_t found = -1;
    int error = 0;
    try {
      found = Run(drive.Win("oem*.inf"), "TALMIREX");
    } catch (const RuntimeError& e) {
      error = e.Number();
    }
    platform::SetPendingEventsHandler(nullptr);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(found, 3);
    EXPECT_EQ(calls, 4);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->Count(), 3);
    EXPECT_EQ(search.FilesSearched(), 4);
    EXPECT_EQ(mine->Count(), 1);
    EXPECT_EQ(mine->Item(1)->path(), "c:\\mine.inf");
    if (c.handIn) {
      EXPECT_EQ(search.FilesFound(), mine);
      EXPECT_EQ(search.FileFoundCount(), 1);
      EXPECT_EQ(search.FileFoundName(1), "c:\\mine.inf");
    } else {
      EXPECT_EQ(search.FilesFound(), nullptr);
      try {
        search.FileFoundCount();
        ADD_FAILURE() << "no error";
      } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), RuntimeError::ObjectNotSet);
      }
    }
  }
  // The next search puts a collection of its own in place again.
  EXPECT_EQ(Run(drive.Win("oem*.inf"), "TALMIREX"), 3);
  EXPECT_EQ(search.FileFoundCount(), 3);
}

TEST(SearchCounts, AHandedInCollectionOfMoreThan32767RecordsOverflows) {
  clsSearchForText search;
  auto big = std::make_shared<colFile>();
  for (int i = 0; i < 32768; ++i)
    big->Add("x");
  search.FilesFound(big);
  try {
    search.FileFoundCount();
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), RuntimeError::Overflow);
  }
  EXPECT_EQ(search.FileFoundName(32767), "x");
}

TEST_F(SearchTest, FileContainsTextRefusesEmptyArguments) {
  drive.Write("a.inf", "x");
  EXPECT_FALSE(SearchInternals::FileContainsText(search, drive.Win("a.inf"), ""));
  EXPECT_FALSE(SearchInternals::FileContainsText(search, "", "x"));
  EXPECT_TRUE(watched->opened.empty());
  EXPECT_TRUE(SearchInternals::FileContainsText(search, drive.Win("a.inf"), "X"));
}

} // namespace

namespace {

// A folder of `count` files that all hold the word, without touching a disk.
class ManyFiles : public FileSystemDecorator {
public:
  explicit ManyFiles(int count) : count_(count) {}
  std::unique_ptr<platform::FileEnumeration> EnumerateFiles(const std::string&) override {
    struct Names : platform::FileEnumeration {
      int left;
      explicit Names(int n) : left(n) {}
      std::string Next() override {
        return left-- > 0 ? "oem" + std::to_string(left) + ".inf" : "";
      }
    };
    return std::make_unique<Names>(count_);
  }
  std::unique_ptr<platform::InputFile> OpenForReading(const std::string&) override {
    struct Word : platform::InputFile {
      uint64_t Length() const override { return 8; }
      size_t Read(unsigned char* buffer, size_t count) override {
        std::memcpy(buffer, "talmirex", 8);
        return count;
      }
    };
    return std::make_unique<Word>();
  }

private:
  int count_;
};

int SearchError(int files, const std::string& text, clsSearchForText& search) {
  ScopedService<platform::FileSystem> fake(std::make_shared<ManyFiles>(files));
  search.path("c:\\windows\\inf\\oem*.inf");
  search.SearchText(text);
  try {
    search.Search();
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

TEST(SearchCounts, SixteenBitLimits) {
  clsSearchForText search;
  EXPECT_EQ(SearchError(32767, "", search), 0);
  EXPECT_EQ(search.FilesSearched(), 32767);
  EXPECT_EQ(SearchError(32768, "", search), RuntimeError::Overflow); // the 32768th file
  EXPECT_EQ(search.FilesSearched(), 32767);
  EXPECT_EQ(SearchError(32767, "TALMIREX", search), 0);
  EXPECT_EQ(search.FileFoundCount(), 32767);
}

} // namespace
