// How the Linux layer takes Linux paths apart and puts them together.

#include "platform/posix/HostFiles.h"

#include <gtest/gtest.h>

using namespace platform::posix;

namespace {

TEST(HostFiles, PathsSplitAndJoinAtSlashesOnly) {
  struct Case {
    const char* host;
    const char* name;   // HostName
    const char* parent; // HostParent
  } cases[] = {
      {"/a/b/c", "c", "/a/b"},                                 // a path the layer makes
      {"/p/drive_c/dir.d/f.inf", "f.inf", "/p/drive_c/dir.d"}, // dots are no separators
      {"/x", "x", "/"},                                        // a top-level entry is in the root
      {"/", "", "/"},                                          // the root is its own folder
      {"/a\\b", "a\\b", "/"}, // a backslash is part of a Linux name
      {"x", "x", "x"},        // no '/': nothing above it to climb to
      {"", "", ""},           // nor above an empty path
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.host);
    EXPECT_EQ(HostName(c.host), c.name);
    EXPECT_EQ(HostParent(c.host), c.parent);
  }

  struct Joined {
    const char* folder;
    const char* name;
    const char* host; // HostJoin
  } joins[] = {
      {"/a/b", "c", "/a/b/c"}, // one slash between
      {"/", "x", "/x"},        // and none added after the root's
      {"/a/", "x", "/a/x"},    // nor after a folder's that has one
      {"", "x", "/x"},         // an empty folder stands for the root
      {"1", "held", "1/held"}, // a path relative to an open folder stays relative
  };
  for (const Joined& j : joins) {
    SCOPED_TRACE(std::string(j.folder) + " + " + j.name);
    EXPECT_EQ(HostJoin(j.folder, j.name), j.host);
  }
}

} // namespace
