// The removal's rules without a window: whose an entry is among names that
// differ in letter case only, and which names in the Backup folder are the
// program's own temporary ones.

#include "app/RemovalRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FileSystemDecorator.h"
#include "tests/support/ScopedService.h"

namespace {

// A folder that lists the given names, whatever is on the disk.
class ListedFolder : public FileSystemDecorator {
public:
  explicit ListedFolder(std::vector<std::string> names) : names_(std::move(names)) {}
  std::vector<std::string> FolderNames(const std::string&) override { return names_; }

private:
  std::vector<std::string> names_;
};

const char* OwnerName(removal::Owner owner) {
  switch (owner) {
  case removal::Owner::Ours:
    return "ours";
  case removal::Owner::Doubtful:
    return "doubtful";
  default:
    return "none";
  }
}

TEST(RemovalRules, WhoseAnEntryIsAmongCaseTwins) {
  struct {
    const char* what;
    std::vector<std::string> folder;
    const char* inf;
    const char* companion; // null: the INF file's own claim
    removal::Owner owner;
    const char* name;
  } cases[] = {
      {"the INF file as found",
       {"OEM1.INF", "OEM1.PNF"},
       "OEM1.INF",
       nullptr,
       removal::Owner::Ours,
       "OEM1.INF"},
      {"an INF file only in another case",
       {"OEM1.INF"},
       "oem1.inf",
       nullptr,
       removal::Owner::None,
       ""},
      {"the companion of exactly its spelling",
       {"OEM1.INF", "OEM1.PNF"},
       "OEM1.INF",
       "OEM1.PNF",
       removal::Owner::Ours,
       "OEM1.PNF"},
      {"a companion in another case, of this INF file alone",
       {"oem1.inf", "OEM1.PNF"},
       "oem1.inf",
       "oem1.pnf",
       removal::Owner::Ours,
       "OEM1.PNF"},
      {"a companion of the INF twin of its own base name",
       {"oem1.inf", "OEM1.INF", "OEM1.PNF"},
       "oem1.inf",
       "oem1.pnf",
       removal::Owner::None,
       ""},
      {"that twin's own",
       {"oem1.inf", "OEM1.INF", "OEM1.PNF"},
       "OEM1.INF",
       "OEM1.PNF",
       removal::Owner::Ours,
       "OEM1.PNF"},
      {"a companion two INF files may own",
       {"oem1.inf", "Oem1.Inf", "OEM1.PNF"},
       "oem1.inf",
       "oem1.pnf",
       removal::Owner::Doubtful,
       ""},
      {"two companions in other cases",
       {"oem1.inf", "Oem1.pnf", "OEM1.PNF"},
       "oem1.inf",
       "oem1.pnf",
       removal::Owner::Doubtful,
       ""},
      {"no companion", {"oem1.inf"}, "oem1.inf", "oem1.pnf", removal::Owner::None, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedService<platform::FileSystem> listed(std::make_shared<ListedFolder>(c.folder));
    const removal::FolderIndex index("c:\\windows\\inf");
    const removal::Claim claim = c.companion ? removal::CompanionClaim(index, c.inf, c.companion)
                                             : removal::InfClaim(index, c.inf);
    EXPECT_STREQ(OwnerName(claim.owner), OwnerName(c.owner));
    EXPECT_EQ(claim.name, c.name);
  }
}

TEST(RemovalRules, OnlyTheProgramsOwnTemporaryNames) {
  struct {
    const char* name;
    bool ours;
  } cases[] = {
      {".talmirex-new-0123abcd", true},
      {".talmirex-new-0123abcg", false},
      {".talmirex-new-0123abc", false},
      {".talmirex-new-0123ABCD", false},
      {".talmirex-copy-aB3xYz", true},
      {".talmirex-copy-aB3xY", false},
      {".talmirex-copy-aB3x.z", false},
      {"Backup", false},
      {"oem1.inf", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(removal::IsOurTemporary(c.name), c.ours) << c.name;
}

} // namespace
