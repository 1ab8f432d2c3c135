// How the Linux layer maps Windows paths and names.

#include "platform/posix/WinePath.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "platform/posix/Ansi.h"
#include "tests/support/TestDrive.h"

namespace fs = std::filesystem;
using namespace platform::posix;

namespace {

// A Wine prefix of its own, with WINEPREFIX pointing at it while it lives.
class PrefixEnv {
public:
  PrefixEnv() {
    char pattern[] = "/tmp/talmirex-prefix-XXXXXX";
    root_ = ::mkdtemp(pattern);
    old_ = std::getenv("WINEPREFIX") ? std::getenv("WINEPREFIX") : "";
    ::setenv("WINEPREFIX", root_.c_str(), 1);
  }
  ~PrefixEnv() {
    ::setenv("WINEPREFIX", old_.c_str(), 1);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  fs::path root_;

private:
  std::string old_;
};

TEST(Ansi, RoundTripsEverySingleByteCodePageThroughUtf8) {
  std::string all;
  for (int c = 1; c < 256; ++c)
    all += static_cast<char>(c);
  for (int page : {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 874}) {
    SCOPED_TRACE(page);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all, page), page, false), all);
  }
}

// The tests run in C.UTF-8, whose code page is 1252.
TEST(Ansi, TheTestsSpeakCodePage1252) {
  EXPECT_EQ(AnsiCodePage(), 1252);
  EXPECT_EQ(AnsiToUtf8("caf\xe9"), "caf\xc3\xa9");
}

TEST(Ansi, ConvertsInTheCodePageThroughIconv) {
  struct Case {
    int page;
    const char* ansi;
    const char* utf8;
  } cases[] = {
      {1252, "\x80 caf\xe9", "\u20ac caf\u00e9"},
      {1251, "\xc2\xf2\xee\xf0\xed\xe8\xea \xe4\xe5\xea",
       "\u0412\u0442\u043e\u0440\u043d\u0438\u043a \u0434\u0435\u043a"},
      {1253, "\xe1\xe2\xe3.inf", "\u03b1\u03b2\u03b3.inf"},
      {932, "\x83\x68\x83\x89\x83\x43\x83\x6f.inf", "\u30c9\u30e9\u30a4\u30d0.inf"},
      {932, "\xb6\xc5 a\\b", "\uff76\uff85 a\\b"}, // half-width kana, and the backslash
      {936, "\xd6\xd0\xce\xc4", "\u4e2d\u6587"},
      {949, "\xc7\xd1\xb1\xb9", "\ud55c\uad6d"},
      {950, "\xa4\xa4\xa4\xe5", "\u4e2d\u6587"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    EXPECT_EQ(AnsiToUtf8(c.ansi, c.page), c.utf8);
    EXPECT_EQ(Utf8ToAnsi(c.utf8, c.page, false), c.ansi);
  }
  // A lead byte without its trail byte stays a byte of its own.
  EXPECT_EQ(AnsiToUtf8("a\x83", 932), "a\u0083");
}

TEST(Ansi, WhatTheCodePageCannotHold) {
  struct Case {
    int page;
    const char* utf8;
    bool bestFit;
    const char* ansi;
  } cases[] = {
      {1252, "\u4e2d.inf", false, "?.inf"}, // no such character in 1252
      {1252, "bad\xff", false, "bad?"},     // not UTF-8, as Wine shows it
      {1252, "bad\xff", true, "bad?"},      {1251, "caf\u00e9", false, "caf?"},
      {1251, "caf\u00e9", true, "cafe"}, // its look-alike, as FindFirstFileA lists it
      {932, "caf\u00e9", true, "cafe"},     {1251, "\u4e2d", true, "?"},
      {1251, "\u00df", true, "?"}, // "ss" is two characters: no look-alike
  };
  for (const Case& c : cases)
    EXPECT_EQ(Utf8ToAnsi(c.utf8, c.page, c.bestFit), c.ansi)
        << c.page << (c.bestFit ? " best fit " : " ") << c.utf8;
}

TEST(Ansi, FoldersAreListedAsWineSortsThem) {
  // Wine lists by upper-cased characters: '_' after the letters, é after z.
  TestDrive d;
  for (const char* name : {"zz", "_u", "apple", "\xc3\xa9t\xc3\xa9", "Banana", "9", "Zed"})
    std::ofstream(d.Host(name)) << "x";
  std::vector<std::string> names;
  for (auto& entry : ListFolder(d.Host()))
    names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{"9", "apple", "Banana", "Zed", "zz", "_u",
                                             "\xc3\xa9t\xc3\xa9"}));
}

TEST(Ansi, NamesEqualWithoutRegardToCase) {
  EXPECT_TRUE(EqualNoCase("\xc3\xa9T\xc3\xa9", "\xc3\x89t\xc3\x89"));
  EXPECT_TRUE(EqualNoCase("\u0434\u0440\u0430\u0439\u0432\u0435\u0440",
                          "\u0414\u0420\u0410\u0419\u0412\u0415\u0420"));
  EXPECT_FALSE(EqualNoCase("ab", "abc"));
}

TEST(WinePath, DevicePrefixesAndNetworkPaths) {
  TestDrive d;
  d.Write("f", "x");
  EXPECT_TRUE(Resolve("\\\\?\\" + d.Win("f")).exists);
  EXPECT_TRUE(Resolve("\\\\.\\" + d.Win("f")).exists);
  HostPath unc = Resolve("\\\\srv\\share\\x.inf");
  EXPECT_TRUE(unc.driveFound); // no error: just nothing there
  EXPECT_FALSE(unc.exists);
}

TEST(WinePath, DrivesComeFromTheDosdevicesFolder) {
  PrefixEnv env;
  fs::create_directories(env.root_ / "dosdevices");
  fs::create_directories(env.root_ / "drive_c" / "Windows" / "INF");
  fs::create_directories(env.root_ / "elsewhere");
  fs::create_symlink("../elsewhere", env.root_ / "dosdevices" / "d:");

  // No c: link: the prefix's drive_c stands in.
  HostPath c = Resolve("C:\\windows\\inf\\oem1.inf");
  EXPECT_TRUE(c.driveFound);
  EXPECT_TRUE(c.parentExists);
  EXPECT_FALSE(c.exists);
  EXPECT_EQ(c.path, (env.root_ / "drive_c" / "Windows" / "INF" / "oem1.inf").string());

  HostPath d = Resolve("d:\\");
  EXPECT_TRUE(d.exists);
  EXPECT_TRUE(d.isDirectory);

  HostPath z = Resolve("z:\\tmp");
  EXPECT_TRUE(z.exists);
  EXPECT_EQ(z.path, "/tmp");

  EXPECT_FALSE(Resolve("q:\\x").driveFound);

  HostPath missingFolder = Resolve("c:\\nowhere\\x.inf");
  EXPECT_FALSE(missingFolder.parentExists);

  EXPECT_EQ(WindowsPathOf((env.root_ / "elsewhere" / "sub").string()), "D:\\sub");
  EXPECT_EQ(WindowsPathOf((env.root_ / "drive_c").string()), "C:\\");
  EXPECT_EQ(WindowsPathOf("/usr/bin"), "Z:\\usr\\bin");
  EXPECT_EQ(WindowsPathOf("/"), "Z:\\");
}

// A file that a listing named is read as the listing opened it, through
// the listing's folder: a name that has changed meanwhile does not matter.
TEST(WinePath, AListedFileIsHandedOverAsTheListingOpenedIt) {
  TestDrive d;
  d.MakeDir("Inf");
  d.Write("Inf\\oem1.inf", "first");
  d.Write("Inf\\oem2.inf", "second");
  auto files = platform::FileSystem::Native();
  const std::string folder = d.Win("inf"); // not spelt as on disk
  auto names = files->EnumerateFiles(folder + "\\oem*.inf");
  const std::string first = names->Next();
  ASSERT_FALSE(first.empty());
  fs::rename(d.Host("Inf/" + first), d.Host("Inf/moved.txt"));
  auto file = files->OpenListed(*names, folder + "\\" + first);
  EXPECT_EQ(file->Length(), first == "oem1.inf" ? 5u : 6u);
  EXPECT_EQ(names->TakeOpened(), nullptr); // handed over once
  // A file the listing could not open is opened by its path, with its error.
  const std::string second = names->Next();
  ASSERT_FALSE(second.empty());
  fs::remove(d.Host("Inf/" + second));
  names->TakeOpened(); // what the listing opened, given up unused
  try {
    files->OpenListed(*names, folder + "\\" + second);
    ADD_FAILURE() << "opened " << second << " after it went";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), RuntimeError::FileNotFound);
  }
}

TEST(WinePath, AnUnreadableFolderIsRefused) {
  TestDrive d;
  d.MakeDir("locked");
  std::filesystem::permissions(d.Host("locked"), std::filesystem::perms::none);
  auto error = [&] {
    try {
      ListFolder(d.Host("locked"));
    } catch (const RuntimeError& e) {
      return e.Number();
    }
    return 0;
  };
  if (::geteuid() != 0) {
    EXPECT_EQ(error(), RuntimeError::PathFileAccessError);
  } else {
    // Root reads every folder: look as an ordinary user, in a child process.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
      ::_exit(dropped && error() == RuntimeError::PathFileAccessError ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::filesystem::permissions(d.Host("locked"), std::filesystem::perms::owner_all);
}

TEST(WinePath, ForbiddenCharactersAreBadNames) {
  TestDrive d;
  for (const char* bad : {"a|b", "a\"b", "a<b", "a:b", "a*b", "a?b"}) {
    try {
      Resolve(d.Win(bad));
      FAIL() << bad;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Number(), RuntimeError::BadFileName) << bad;
    }
  }
}

TEST(WinePath, TrailingDotsAndBlanksAreCutAsWindowsDoes) {
  TestDrive d;
  d.MakeDir("dir");
  d.Write("dir\\name", "x");
  EXPECT_TRUE(Resolve(d.Win("dir\\name.")).exists); // the last name loses them all
  EXPECT_TRUE(Resolve(d.Win("dir\\name. .")).exists);
  EXPECT_TRUE(Resolve(d.Win("DIR\\NAME")).exists);
  EXPECT_TRUE(Resolve(d.Win("dir.\\name")).exists);   // the others one single dot
  EXPECT_FALSE(Resolve(d.Win("dir \\name")).exists);  // but not a blank
  EXPECT_FALSE(Resolve(d.Win("dir..\\name")).exists); // nor two dots
  EXPECT_EQ(FullPath(d.Win("dir\\x\\..\\name. ")), "C" + d.Win("dir\\name").substr(1));
}

} // namespace
