#include "search/colFile.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/RuntimeError.h"

namespace {

int ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

TEST(colFile, NewCollectionIsEmptyAndPositionOneIsOutOfRange) {
  colFile files;
  EXPECT_EQ(files.Count(), 0);
  EXPECT_EQ(ErrorOf([&] { files.Item(1); }), RuntimeError::SubscriptOutOfRange);
  EXPECT_TRUE(files.NewEnum().empty());
  EXPECT_EQ(files.begin(), files.end());
}

TEST(colFile, PositionsFollowAdditionAndCloseUpOnRemove) {
  colFile files;
  auto a = files.Add("c:\\a.inf");
  auto b = files.Add("c:\\b.inf");
  auto c = files.Add("c:\\c.inf");
  EXPECT_EQ(files.Item(1), a);
  EXPECT_EQ(files.Item(2), b);
  EXPECT_EQ(files[3], c);
  files.Remove(1);
  EXPECT_EQ(files.Count(), 2);
  EXPECT_EQ(files.Item(1), b);
  EXPECT_EQ(files.Item(2), c);
  std::vector<std::string> seen;
  for (const auto& record : files)
    seen.push_back(record->path());
  EXPECT_EQ(seen, (std::vector<std::string>{"c:\\b.inf", "c:\\c.inf"}));
}

TEST(colFile, SamePathTwiceWithoutKeyGivesTwoRecords) {
  colFile files;
  auto first = files.Add("x", "");
  auto second = files.Add("x", "");
  EXPECT_EQ(files.Count(), 2);
  EXPECT_NE(first, second);
}

TEST(colFile, KeysAreUniqueWithoutRegardToCase) {
  colFile files;
  auto abc = files.Add("first", "ABC");
  EXPECT_EQ(ErrorOf([&] { files.Add("second", "abc"); }), RuntimeError::DuplicateKey);
  EXPECT_EQ(files.Count(), 1);
  EXPECT_EQ(files.Item("abc"), abc);
  EXPECT_EQ(files.Item(std::string("aBc")), abc);
}

TEST(colFile, ADigitTextIsAKeyNotAPosition) {
  colFile files;
  files.Add("one");
  auto keyed = files.Add("two", "1");
  EXPECT_EQ(files.Item("1"), keyed);
  EXPECT_EQ(files.Item(1)->path(), "one");
}

TEST(colFile, ErrorsLeaveTheCollectionAsItWas) {
  struct Case {
    const char* what;
    std::function<void(colFile&)> action;
    int error;
  } cases[] = {
      {"position 0", [](colFile& f) { f.Item(0); }, RuntimeError::SubscriptOutOfRange},
      {"position -1", [](colFile& f) { f.Item(-1); }, RuntimeError::SubscriptOutOfRange},
      {"position past Count", [](colFile& f) { f.Item(3); }, RuntimeError::SubscriptOutOfRange},
      {"remove past Count", [](colFile& f) { f.Remove(3); }, RuntimeError::SubscriptOutOfRange},
      {"missing key", [](colFile& f) { f.Item("nope"); }, RuntimeError::ElementNotFound},
      {"remove missing key", [](colFile& f) { f.Remove("nope"); }, RuntimeError::ElementNotFound},
      {"empty key", [](colFile& f) { f.Item(""); }, RuntimeError::ElementNotFound},
  };
  for (const auto& c : cases) {
    colFile files;
    files.Add("a", "K1");
    files.Add("b");
    EXPECT_EQ(ErrorOf([&] { c.action(files); }), c.error) << c.what;
    EXPECT_EQ(files.Count(), 2) << c.what;
    EXPECT_EQ(files.Item(1)->path(), "a") << c.what;
  }
}

TEST(colFile, RemoveByKeyFreesTheKey) {
  colFile files;
  files.Add("a", "K");
  files.Add("b");
  files.Remove("k");
  EXPECT_EQ(files.Count(), 1);
  EXPECT_EQ(files.Item(1)->path(), "b");
  EXPECT_NO_THROW(files.Add("c", "K"));
}

TEST(colFile, RecordsAreSharedNotCopied) {
  colFile::Record kept;
  {
    colFile files;
    auto added = files.Add("before");
    files.Item(1)->path("after");
    EXPECT_EQ(added->path(), "after");
    kept = files.Item(1);
    files.Remove(1);
  }
  EXPECT_EQ(kept->path(), "after"); // outlives both removal and collection
}

} // namespace
