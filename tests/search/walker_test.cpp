#include "search/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "platform/path.h"
#include "platform/file.h"
#include "search/listing.h"
#include "search/read_ahead.h"
#include "support/allocation_limit.h"
#include "support/collecting_sink.h"
#include "support/temp_tree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vudo {
namespace {

using testing_sink::CollectingSink;
using testing_tree::TempTree;
constexpr char kSep = platform::kSeparator;

class WalkerTest : public ::testing::Test {
 protected:
  // Walks `directory` with the given pattern and Contains text; the rows, sorted.
  std::vector<std::string> Walk(const std::string& directory, const std::string& pattern,
                                const std::string& contains = "", unsigned jobs = 1) {
    sink_ = CollectingSink{};
    sink_.on_poll = on_poll_;
    outcome_ = testing_sink::Search(sink_, directory, pattern, contains, jobs);
    auto rows = sink_.rows;
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  std::string Row(const std::string& name, const std::string& relative_directory) {
    std::string dir = tree_.Root() + kSep;
    for (char c : relative_directory) dir += c == '/' ? kSep : c;
    return name + "\n" + dir;
  }

  TempTree tree_;
  CollectingSink sink_;
  SearchOutcome outcome_;
  std::function<bool()> on_poll_;
};

TEST_F(WalkerTest, TrailingSeparatorOrNotGivesTheSameRows) {
  tree_.Write("Notes.TXT", "n");
  tree_.Write("Old/Notes.txt", "o");
  tree_.Write("Old/readme.md", "r");
  const std::vector<std::string> expected = {Row("Notes.TXT", ""), Row("Notes.txt", "Old/")};
  EXPECT_EQ(Walk(tree_.Root(), "*.txt"), expected);
  EXPECT_EQ(Walk(tree_.Root() + kSep, "*.txt"), expected);
}

TEST_F(WalkerTest, ListsEveryFileOnceAndNeverADirectoryOrDotEntry) {
  tree_.Write("a.txt", "");
  tree_.Write("b/c.txt", "");
  tree_.Write("b/d/e.txt", "");
  tree_.MakeDir("dir.txt");          // a directory whose name fits
  tree_.MakeDir("empty/deeper");
  tree_.Write(".hidden", "");
  const std::vector<std::string> expected = {Row(".hidden", ""), Row("a.txt", ""), Row("c.txt", "b/"),
                                             Row("e.txt", "b/d/")};
  EXPECT_EQ(Walk(tree_.Root(), "*"), expected);
  EXPECT_EQ(Walk(tree_.Root(), ""), expected);  // no pattern: every file
  EXPECT_EQ(Walk(tree_.Root(), "*.txt").size(), 3u);
}

TEST_F(WalkerTest, TheSameNameInTwoDirectoriesGivesTwoRows) {
  tree_.Write("one/x.log", "");
  tree_.Write("two/x.log", "");
  EXPECT_EQ(Walk(tree_.Root(), "x.log"), (std::vector<std::string>{Row("x.log", "one/"), Row("x.log", "two/")}));
}

TEST_F(WalkerTest, AMissingStartDirectoryGivesNoRows) {
  EXPECT_TRUE(Walk(tree_.Path("missing"), "*").empty());
}

TEST_F(WalkerTest, ContentConditionKeepsOnlyFilesHoldingTheText) {
  tree_.Write("a.txt", "Hello World");
  tree_.Write("b.txt", "goodbye");
  tree_.Write("c.md", "hello");
  EXPECT_EQ(Walk(tree_.Root(), "*.txt", "hello"), (std::vector<std::string>{Row("a.txt", "")}));
}

TEST_F(WalkerTest, TheSinkIsPolledAfterEveryEntry) {
  tree_.Write("a", "");
  tree_.Write("b", "");
  tree_.Write("sub/c", "");
  Walk(tree_.Root(), "*");
  // a, b, sub, and c inside sub.
  EXPECT_EQ(sink_.polls, 4);
}

// Several start folders list what searching each alone, in turn, lists,
// every file once: the union of the single searches, in their order. A file
// is one file however its folder was spelled (on Windows in any letter case).
TEST_F(WalkerTest, SeveralStartFoldersListEachFileOnceInTheOrderGiven) {
  for (const char* file : {"top.txt", "src/a.txt", "src/lib/b.txt", "src/lib/deep/c.txt", "src/lib2/d.txt",
                           "docs/e.txt", "semi;colon/f.txt"})
    tree_.Write(file, "");
  const struct {
    std::string text;  // '@' stands for the tree's root and a separator
    std::vector<std::string> alone;  // the folders it names, each searched alone for the expected rows
  } table[] = {
      {"@src;@docs", {"@src", "@docs"}},
      {"@src;@src/lib", {"@src", "@src/lib"}},
      {"@src/lib;@src", {"@src/lib", "@src"}},
      {"@src/lib/deep;@docs;@src/lib;@src;@src/lib2", {"@src/lib/deep", "@docs", "@src/lib", "@src", "@src/lib2"}},
      {"@src/lib;@;@docs", {"@src/lib", "@", "@docs"}},
      {"@src;@src/;@SRC;@Src/LIB/", {"@src", "@src/", "@SRC", "@Src/LIB/"}},
      {" @docs ; ;@src/lib\t;", {"@docs", "@src/lib"}},
      {"@missing;@docs", {"@missing", "@docs"}},
      {"@missing;@missing/too", {"@missing", "@missing/too"}},
      {"@docs;@semi;colon", {"@docs", "@semi", "colon"}},
      {" @semi;colon ;", {"@semi", "colon"}},  // not a folder as a whole
  };
  const auto place = [&](std::string text) {
    for (std::size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, tree_.Root() + kSep);
    return text;
  };
  // A row as the file it names, in the form the platform compares.
  const auto file = [](const std::string& row) {
    const std::size_t end = row.find('\n');
    std::string path = row.substr(end + 1) + row.substr(0, end);
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
    path = LowerCase(path);
#endif
    return path;
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.text);
    std::vector<std::string> expected, seen;
    bool listed = false;
    for (const std::string& folder : row.alone) {
      listed |= testing_sink::Search(sink_ = {}, place(folder), "*").start_listed;
      for (const std::string& hit : sink_.rows)
        if (std::find(seen.begin(), seen.end(), file(hit)) == seen.end()) {
          seen.push_back(file(hit));
          expected.push_back(hit);
        }
    }
    for (unsigned jobs : {1u, 4u}) {
      SCOPED_TRACE(std::to_string(jobs) + " jobs");
      const SearchOutcome outcome = testing_sink::Search(sink_ = {}, place(row.text), "*", "", jobs);
      EXPECT_EQ(sink_.rows, expected);
      EXPECT_EQ(outcome.start_listed, listed);
    }
  }
  // A folder whose own name holds a ';' is one folder, spaces around it
  // dropped from the hits' directories.
  for (const std::string text : {"@semi;colon", " @semi;colon\t"})
    for (unsigned jobs : {1u, 4u})
      EXPECT_EQ(Walk(place(text), "*", "", jobs), (std::vector<std::string>{Row("f.txt", "semi;colon/")})) << text;
}

// Windows: the walk reaches any depth (the platform goes by the extended path
// form). POSIX: a path past PATH_MAX is passed over, with its reason.
TEST_F(WalkerTest, APathBeyondTheOldLimitsIsWalkedOrPassedOverWithAReason) {
  tree_.Write("shallow.txt", "");
  // Build a chain of directories whose full path is longer than the platform
  // accepts, with a file at the bottom.
#ifdef _WIN32
  std::wstring deep = L"\\\\?\\";
  for (char c : tree_.Root()) deep += static_cast<wchar_t>(c);
  const std::size_t levels = 40;  // 40 x 10 bytes: well beyond 260
  for (std::size_t i = 0; i < levels; ++i) {
    deep += L"\\deepdir";
    deep += static_cast<wchar_t>(L'0' + i % 10);
    deep += L"x";
    if (!CreateDirectoryW(deep.c_str(), nullptr)) GTEST_SKIP() << "cannot create long paths here";
  }
  HANDLE f = CreateFileW((deep + L"\\deep.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
#else
  // Relative steps, so that each call stays short while the whole path grows
  // beyond PATH_MAX.
  const std::string name(200, 'd');
  std::string cwd(4096, '\0');
  ASSERT_NE(getcwd(cwd.data(), cwd.size()), nullptr);
  ASSERT_EQ(chdir(tree_.Root().c_str()), 0);
  for (int i = 0; i < 25; ++i) {
    ASSERT_EQ(mkdir(name.c_str(), 0755), 0);
    ASSERT_EQ(chdir(name.c_str()), 0);
  }
  FILE* f = fopen("deep.txt", "w");
  ASSERT_NE(f, nullptr);
  fclose(f);
  ASSERT_EQ(chdir(cwd.c_str()), 0);
#endif
  // Workers reading ahead meet the directory they cannot read as the walk
  // alone does: the same rows, the same reason.
  const auto ahead_rows = Walk(tree_.Root(), "*.txt", "", 4);
  const auto ahead_unreadable = sink_.unreadable;
  const auto rows = Walk(tree_.Root(), "*.txt");
  const auto unreadable = sink_.unreadable;
  EXPECT_EQ(ahead_rows, rows);
  EXPECT_EQ(ahead_unreadable, unreadable);
  EXPECT_NE(std::find(rows.begin(), rows.end(), Row("shallow.txt", "")), rows.end());
  const auto deep_rows = std::count_if(rows.begin(), rows.end(), [](const std::string& row) {
    return row.rfind("deep.txt\n", 0) == 0;
  });
#ifdef _WIN32
  EXPECT_EQ(deep_rows, 1);
  EXPECT_TRUE(unreadable.empty());
#else
  EXPECT_EQ(deep_rows, 0);
  // Passed over, but not in silence for whoever asks: the reason comes along.
  ASSERT_EQ(unreadable.size(), 1u);
  EXPECT_FALSE(unreadable[0].second.empty());
#endif
}

TEST_F(WalkerTest, DeepTreesKeepOnlySoManyDirectoriesOpen) {
  // Far deeper than the levels kept open, within the path limit of Windows.
  std::string path;
  for (int level = 0; level < 90; ++level) path += "d/";
  tree_.Write(path + "bottom.txt", "");
  tree_.Write("d/d/top.txt", "");
  int most_open = 0;
  on_poll_ = [&] {
    most_open = std::max(most_open, platform::DirectoryReader::OpenCount());
    return false;
  };
  const auto rows = Walk(tree_.Root(), "*.txt");
  EXPECT_EQ(rows, (std::vector<std::string>{Row("bottom.txt", path), Row("top.txt", "d/d/")}));
  EXPECT_LE(most_open, 33);  // the levels kept open, and the one being read
  EXPECT_EQ(platform::DirectoryReader::OpenCount(), 0);
}

TEST_F(WalkerTest, HitsReachTheSinkAsDirectoryAndName) {
  const std::string odd = platform::kSeparator == '/' ? "a\nb.txt" : "a b.txt";  // a line feed where names may hold one
  tree_.Write(odd, "");
  tree_.Write("x.txt", "");
  struct Hits final : SearchSink {
    std::vector<std::string> seen;
    void Hit(std::string_view directory, std::string_view name) override {
      seen.push_back(std::string(directory) + "|" + std::string(name));
    }
    bool Poll() override { return false; }
  } hits;
  SearchRequest request;
  request.directory = tree_.Root();
  request.pattern = "*.txt";
  request.jobs = 1;
  RunSearch(request, hits);
  std::sort(hits.seen.begin(), hits.seen.end());
  const std::string root = tree_.Root() + kSep;
  EXPECT_EQ(hits.seen, (std::vector<std::string>{root + "|" + odd, root + "|x.txt"}));
}

// Memory that runs out partway ends the search as a Stop would: the hits
// before it are kept, in their order, nothing stays open or running, and the
// next search runs whole. With workers too, whose memory runs out as well.
TEST_F(WalkerTest, MemoryThatRunsOutEndsTheSearchLikeAStop) {
  for (int d = 0; d < 8; ++d)
    for (int f = 0; f < 100; ++f) tree_.Write("d" + std::to_string(d) + "/f" + std::to_string(f) + ".txt", "needle");
  // Keeps 4 KiB for every hit, as a list of rows grows.
  struct GrowingSink final : SearchSink {
    std::vector<std::string> rows;
    std::vector<std::vector<char>> kept;
    void Hit(std::string_view directory, std::string_view name) override {
      kept.emplace_back(4096);
      rows.push_back(std::string(directory) + std::string(name));
    }
    bool Poll() override { return false; }
  };
  for (const char* contains : {"", "needle"}) {
    for (unsigned jobs : {1u, 4u}) {
      SCOPED_TRACE(std::string(contains) + " with " + std::to_string(jobs) + " jobs");
      SearchRequest request;
      request.directory = tree_.Root();
      request.contains = contains;
      request.jobs = jobs;
      GrowingSink whole;
      RunSearch(request, whole);
      ASSERT_EQ(whole.rows.size(), 800u);
      GrowingSink cut;
      cut.rows.reserve(800);
      cut.kept.reserve(800);
      // Room for about a quarter of the hits, beside what the walk needs.
      testing_memory::LimitAllocations(testing_memory::BytesInUse() + 800 * 1024);
      const SearchOutcome outcome = RunSearch(request, cut);
      testing_memory::LimitAllocations(0);
      EXPECT_TRUE(outcome.out_of_memory);
      EXPECT_GT(cut.rows.size(), 50u);
      ASSERT_LT(cut.rows.size(), whole.rows.size());
      EXPECT_TRUE(std::equal(cut.rows.begin(), cut.rows.end(), whole.rows.begin()));
      EXPECT_EQ(read_ahead::Busy(), 0);
      EXPECT_EQ(platform::DirectoryReader::OpenCount(), 0);
      EXPECT_EQ(platform::FileReader::OpenCount(), 0);
      GrowingSink again;
      EXPECT_FALSE(RunSearch(request, again).out_of_memory);
      EXPECT_EQ(again.rows, whole.rows);
    }
  }
}

#ifndef _WIN32
TEST_F(WalkerTest, LinksToDirectoriesAreNotFollowedAndLinksToFilesAreFiles) {
  tree_.Write("real/file.txt", "x");
  ASSERT_EQ(symlink(tree_.Root().c_str(), tree_.Path("real/loop").c_str()), 0);  // a cycle
  ASSERT_EQ(symlink(tree_.Path("real").c_str(), tree_.Path("alias").c_str()), 0);
  ASSERT_EQ(symlink(tree_.Path("real/file.txt").c_str(), tree_.Path("link.txt").c_str()), 0);
  ASSERT_EQ(symlink(tree_.Path("nowhere").c_str(), tree_.Path("dangling.txt").c_str()), 0);
  EXPECT_EQ(Walk(tree_.Root(), "*"), (std::vector<std::string>{Row("file.txt", "real/"), Row("link.txt", "")}));
}

TEST_F(WalkerTest, FifosAndOtherSpecialFilesAreNotFiles) {
  tree_.Write("plain.txt", "x");
  ASSERT_EQ(mkfifo(tree_.Path("pipe.txt").c_str(), 0644), 0);
  // With a Contains text a FIFO would block the scan if it were opened.
  EXPECT_EQ(Walk(tree_.Root(), "*.txt", "x"), (std::vector<std::string>{Row("plain.txt", "")}));
}

TEST_F(WalkerTest, AnUnreadableDirectoryIsPassedOver) {
  tree_.Write("open/a.txt", "");
  tree_.Write("closed/b.txt", "");
  tree_.Write("z.txt", "");
  ASSERT_EQ(chmod(tree_.Path("closed").c_str(), 0), 0);
  // The superuser reads every directory; walk as an ordinary user then.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (chmod(tree_.Root().c_str(), 0755) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
      _exit(3);
    const auto rows = Walk(tree_.Root(), "*.txt");
    const bool ok = rows == std::vector<std::string>{Row("a.txt", "open/"), Row("z.txt", "")};
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot switch to an ordinary user here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the walk listed a file of the unreadable directory or missed others";
}
#else
TEST_F(WalkerTest, LinksToDirectoriesAreNotFollowed) {
  tree_.Write("real/file.txt", "x");
  if (!CreateSymbolicLinkA(tree_.Path("real/loop").c_str(), tree_.Root().c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY))
    GTEST_SKIP() << "directory links cannot be created here (error " << GetLastError() << ")";
  EXPECT_EQ(Walk(tree_.Root(), "*"), (std::vector<std::string>{Row("file.txt", "real/")}));
}
#endif

// A Stop at the first poll ends the reading of a large directory within a few
// hundred entries, wherever a directory is read in pieces: the start folder
// with workers (read by a worker or by the walk, in pieces here of 256
// entries), or a folder below the levels the walk keeps open. Read entry by
// entry, the walk polls after each one anyway (the second case). The stopped
// search does not say that its start folder could not be listed.
TEST_F(WalkerTest, AStopEndsTheReadingOfALargeDirectoryWithinAFewHundredEntries) {
  listing_piece = 256;
  constexpr int kFiles = 2000, kLevels = 33;  // few enough to write quickly under Wine
  std::string huge;
  for (int level = 0; level < kLevels; ++level) huge += "l" + std::to_string(level) + "/";
  huge += "huge";
  for (int f = 0; f < kFiles; ++f) tree_.Write(huge + "/f" + std::to_string(f) + ".txt", "needle");
  const struct {
    bool from_huge;  // or from the root, kLevels above it
    unsigned jobs;
    const char* contains;
  } cases[] = {{false, 1, ""}, {true, 1, ""}, {true, 4, ""}, {true, 4, "needle"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.from_huge ? "huge" : "root") + " -j " + std::to_string(c.jobs) + " " + c.contains);
    on_poll_ = [] { return true; };
    const std::size_t before = platform::DirectoryReader::EntriesRead();
    Walk(c.from_huge ? tree_.Path(huge) : tree_.Root(), "*", c.contains, c.jobs);
    // Every level's entry and its "." and "..", and one pace of polls.
    EXPECT_LE(platform::DirectoryReader::EntriesRead() - before, 3 * (kLevels + 1) + 256u);
    EXPECT_EQ(sink_.polls, 1);
    EXPECT_LE(sink_.rows.size(), 1u);  // the entry before the poll
    EXPECT_TRUE(outcome_.start_listed);
    EXPECT_TRUE(outcome_.ended_by_poll);
  }
  listing_piece = kListingPiece;
}

}  // namespace
}  // namespace vudo
