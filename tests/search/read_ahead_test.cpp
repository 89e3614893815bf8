// The walk with workers reading ahead gives exactly the rows of the walk
// without them, in the same order, and leaves nothing open or running behind
// however often a search is stopped and started again.
#include "search/read_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/directory.h"
#include "platform/file.h"
#include "search/engine.h"
#include "search/scanner.h"
#include "support/collecting_sink.h"
#include "support/temp_tree.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace vudo {
namespace {

using testing_sink::CollectingSink;
using testing_tree::TempTree;

// A tree of every shape the walk meets: deep (past the levels the plain walk
// keeps open), wide, names in mixed case, texts across block borders, empty
// files and folders, links where the platform has them.
void MakeTree(const TempTree& tree) {
  std::string deep;
  for (int level = 0; level < 40; ++level) {
    deep += "level" + std::to_string(level) + "/";
    tree.Write(deep + "Note" + std::to_string(level) + ".txt", level % 3 ? "nothing" : "a Needle here");
  }
  for (int i = 0; i < 300; ++i)
    tree.Write("wide/file" + std::to_string(i) + (i % 2 ? ".TXT" : ".log"),
               std::string(static_cast<std::size_t>(i * 211), 'x') + (i % 5 ? "" : "needle"));
  for (int d = 0; d < 30; ++d)
    for (int f = 0; f < 3; ++f)
      tree.Write("many/d" + std::to_string(d) + "/f" + std::to_string(f) + ".txt", d % 4 ? "no" : "NEEDLE");
  tree.MakeDir("empty/inner");
  tree.Write("empty.txt", "");
#ifndef _WIN32
  symlink(tree.Path("many").c_str(), tree.Path("many/d1/loop").c_str());
  symlink(tree.Path("wide/file0.log").c_str(), tree.Path("link.txt").c_str());
  symlink("/no/such/target", tree.Path("dangling.txt").c_str());
#endif
}

// The rows of a search with `workers` reading ahead (0: none), in the order
// found; `on_poll` is told the number of every poll.
std::vector<std::string> Search(const std::string& root, const std::string& pattern, const std::string& contains,
                                unsigned workers, std::function<void(int)> on_poll = nullptr, unsigned most = 0) {
  CollectingSink sink;
  if (on_poll) sink.on_poll = [&] {
    on_poll(sink.polls);
    return false;
  };
  testing_sink::Search(sink, root, pattern, contains, workers == 0 ? 1 : workers, most);
  return sink.rows;
}

class ReadAhead : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tree_ = new TempTree;
    MakeTree(*tree_);
  }
  static void TearDownTestSuite() { delete tree_; }
  void TearDown() override {
    EXPECT_EQ(read_ahead::Busy(), 0);
    EXPECT_EQ(read_ahead::Outstanding(), 0);
    EXPECT_EQ(platform::DirectoryReader::OpenCount(), 0);
    EXPECT_EQ(platform::DirectoryHandle::OpenCount(), 0);
    EXPECT_EQ(platform::FileReader::OpenCount(), 0);
  }
  static TempTree* tree_;
};
TempTree* ReadAhead::tree_ = nullptr;

TEST_F(ReadAhead, TheRowsAndTheirOrderAreTheWalksWithoutWorkers) {
  const struct {
    const char* pattern;
    const char* contains;
  } searches[] = {{"*", ""}, {"*.txt", ""}, {"*.txt", "needle"}, {"*", "needle"}, {"f?.txt", "needle"},
                  {"*", "a needle h"}, {"nothing matches", ""}};
  for (const auto& search : searches) {
    SCOPED_TRACE(std::string(search.pattern) + " / " + search.contains);
    const auto alone = Search(tree_->Root(), search.pattern, search.contains, 0);
    EXPECT_FALSE(alone.empty() && std::string(search.pattern) != "nothing matches");
    for (unsigned workers : {2u, 4u, 8u})
      EXPECT_EQ(Search(tree_->Root(), search.pattern, search.contains, workers), alone);
    // Growing and shrinking on the way, as the disk makes it.
    EXPECT_EQ(Search(tree_->Root(), search.pattern, search.contains, 2, nullptr, 16), alone);
  }
}

// The window slides with the walk whatever the tree's shape: wider than the
// window, deep below a wide level, and with the walk held still for a while
// (a modal loop on the window's thread), the walk finds nearly every entry
// it wants done asked for ahead, and lists the rows of a walk without
// workers. A window that did not slide leaves most of them to the walk.
TEST_F(ReadAhead, TheWindowSlidesWithTheWalkWhateverTheTreesShape) {
  constexpr std::size_t kWindow = 64;
  TempTree wide, deep;
  for (std::size_t f = 0; f < 10 * kWindow; ++f) wide.Write("f" + std::to_string(f) + ".txt", "x");
  for (int d = 0; d < 160; ++d) {
    const std::string dir = "d" + std::to_string(d) + "/";
    deep.MakeDir(dir + "inner");
    for (int f = 0; f < 3; ++f) deep.Write(dir + "f" + std::to_string(f) + ".txt", d % 7 ? "x" : "needle");
  }
  const struct {
    const TempTree& tree;
    const char* contains;
    int pause_ms;  // at the first poll
  } cases[] = {{wide, "needle", 0}, {deep, "", 0}, {deep, "needle", 0}, {deep, "", 100}, {deep, "needle", 100}};
  read_ahead::SetWindow(kWindow);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(&c.tree == &wide ? "wide" : "deep") + " / " + c.contains + " / pause " +
                 std::to_string(c.pause_ms));
    const auto alone = Search(c.tree.Root(), "*", c.contains, 0);
    read_ahead::TakenSince();
    const auto rows = Search(c.tree.Root(), "*", c.contains, 4, [&](int poll) {
      if (poll == 1) std::this_thread::sleep_for(std::chrono::milliseconds(c.pause_ms));
    });
    const read_ahead::TakeCounts counts = read_ahead::TakenSince();
    EXPECT_EQ(rows, alone);
    EXPECT_GT(counts.wanted, 150u);
    EXPECT_LE(counts.unasked, 1 + counts.wanted / 50) << "of " << counts.wanted;
  }
  read_ahead::SetWindow(0);
}

// Windows of a few tasks and listings of a few entries a piece keep the rows
// and their order: the farthest queued tasks give way again and again, and
// the walk and the workers go from piece to piece.
TEST_F(ReadAhead, SmallWindowsAndPiecesKeepTheRowsAndTheirOrder) {
  const struct {
    const char* pattern;
    const char* contains;
  } searches[] = {{"*", ""}, {"*", "needle"}, {"*.txt", "needle"}};
  for (const auto& search : searches) {
    const auto alone = Search(tree_->Root(), search.pattern, search.contains, 0);
    for (std::size_t window : {3u, 16u, 64u}) {
      for (std::size_t piece : {2u, 7u, 100000u}) {
        SCOPED_TRACE(std::string(search.pattern) + " / " + search.contains + " / window " + std::to_string(window) +
                     " / piece " + std::to_string(piece));
        read_ahead::SetWindow(window);
        listing_piece = piece;
        EXPECT_EQ(Search(tree_->Root(), search.pattern, search.contains, 4), alone);
      }
    }
  }
  read_ahead::SetWindow(0);
  listing_piece = kListingPiece;
}

// A start folder whose first listing takes long (a folder of a million files
// under Wine): a worker lists it while the walk polls its caller, and after a
// Stop the caller is called on to handle its events until the worker lets
// go, and asked nothing more. The search does not say the folder cannot be
// opened.
TEST_F(ReadAhead, ASlowFirstListingLeavesTheCallerAnswering) {
  TempTree tree;
  tree.Write("slow/a.txt", "x");
  struct EndingSink final : SearchSink {
    int polls = 0, while_ending = 0, after_end = 0;
    void Hit(std::string_view, std::string_view) override { after_end += polls >= 3; }
    bool Poll() override {
      after_end += polls >= 3;
      return ++polls == 3;
    }
    void WhileEnding() override { ++while_ending; }
  } sink;
  platform::testing::SlowDirectoriesNamed("slow", 300);
  SearchRequest request;
  request.directory = tree.Path("slow");
  request.jobs = 4;
  const SearchOutcome outcome = RunSearch(request, sink);
  platform::testing::SlowDirectoriesNamed("", 0);
  EXPECT_EQ(sink.polls, 3);
  EXPECT_GE(sink.while_ending, 1);
  EXPECT_EQ(sink.after_end, 0);
  EXPECT_TRUE(outcome.ended_by_poll);
  EXPECT_TRUE(outcome.start_listed);
}

// Threads the system will not start leave the pool with those it has, none
// included: the rows are still the walk's without workers, and the pool asks
// for no thread past the first refused, not even as it grows.
TEST_F(ReadAhead, ThreadsTheSystemWillNotStartLeaveThePoolSmaller) {
  for (const char* contains : {"", "needle"}) {
    const auto alone = Search(tree_->Root(), "*", contains, 0);
    for (std::size_t limit : {0u, 1u, 3u}) {
      SCOPED_TRACE(std::string(contains) + " / threads " + std::to_string(limit));
      read_ahead::LimitThreads(limit);
      EXPECT_EQ(Search(tree_->Root(), "*", contains, 8), alone);
      EXPECT_EQ(read_ahead::Threads(), limit);
      EXPECT_EQ(Search(tree_->Root(), "*", contains, 2, nullptr, 16), alone);
      EXPECT_EQ(read_ahead::Threads(), limit);
    }
  }
  read_ahead::LimitThreads(SIZE_MAX);
  EXPECT_EQ(Search(tree_->Root(), "*", "needle", 4), Search(tree_->Root(), "*", "needle", 0));
  EXPECT_EQ(read_ahead::Threads(), 4u);
}

TEST_F(ReadAhead, AMissingStartFolderIsAFolderThatCannotBeOpened) {
  CollectingSink sink;
  EXPECT_FALSE(testing_sink::Search(sink, tree_->Path("no such folder"), "*", "", 4).start_listed);
  EXPECT_TRUE(sink.rows.empty());
  EXPECT_TRUE(testing_sink::Search(sink, tree_->Root(), "*", "", 4).start_listed);
}

// Searches ended again and again while workers are inside large files: every
// search ends with nothing open, and the last one, left to run, lists what a
// search without workers lists.
TEST_F(ReadAhead, SearchesEndedAgainAndAgainLeaveNothingOpenOrRunning) {
  TempTree big;
  for (int i = 0; i < 12; ++i) {
    std::ofstream out(big.Path("big" + std::to_string(i) + ".bin"), std::ios::binary);
    out << std::string(3 << 20, 'y') << (i % 3 ? "" : "needle");
  }
  big.Write("sub/small.txt", "needle");
  const auto alone = Search(big.Root(), "*", "needle", 0);
  int ended = 0;
  for (int round = 0; round < 20; ++round) {
    CollectingSink sink;
    // Each search ends at a poll between its second and fourth.
    sink.on_poll = [&] { return sink.polls == 2 + round % 3; };
    if (testing_sink::Search(sink, big.Root(), "*", "needle", 4).ended_by_poll) ++ended;
    EXPECT_EQ(sink.polls, 2 + round % 3);
    EXPECT_EQ(read_ahead::Busy(), 0);
    EXPECT_EQ(platform::FileReader::OpenCount(), 0);
    EXPECT_EQ(platform::DirectoryReader::OpenCount(), 0);
  }
  EXPECT_EQ(ended, 20);
  EXPECT_EQ(Search(big.Root(), "*", "needle", 4), alone);
}

// Files that vanish or shrink while the search runs (a worker may have
// listed or scanned them already): the search ends as always, lists only
// files that hold the text, and leaves nothing open.
TEST_F(ReadAhead, FilesThatVanishOrShrinkDuringTheSearch) {
  TempTree tree;
  for (int d = 0; d < 20; ++d)
    for (int f = 0; f < 5; ++f)
      tree.Write("d" + std::to_string(d) + "/f" + std::to_string(f) + ".txt", std::string(50000, 'x') + "needle");
  int changed = 0;
  const auto rows = Search(tree.Root(), "*", "needle", 4, [&](int) {
    if (changed >= 40) return;
    const int d = 19 - changed / 2;
    const std::string file = tree.Path("d" + std::to_string(d) + "/f" + std::to_string(changed % 5) + ".txt");
    if (changed % 2) std::remove(file.c_str());
    else std::ofstream(file, std::ios::binary | std::ios::trunc) << "short";
    ++changed;
  });
  EXPECT_GT(changed, 0);
  for (const std::string& row : rows) {
    const std::string path = row.substr(row.find('\n') + 1) + row.substr(0, row.find('\n'));
    std::ifstream in(path, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A file changed after its verdict may be listed; one never was, before.
    EXPECT_TRUE(!in || content.find("needle") != std::string::npos || content == "short") << path;
  }
  EXPECT_LE(rows.size(), 100u);
}

// While the walk stands still, the workers list ahead only up to the bound
// on the entries they hold, then wait for the walk; it still lists all.
TEST_F(ReadAhead, ListingsDoneAheadStopAtTheirBound) {
  TempTree tree;
  constexpr std::size_t kFiles = 200, kBound = 1000;
  for (int d = 0; d < 20; ++d)
    for (std::size_t f = 0; f < kFiles; ++f) tree.Write("d" + std::to_string(d) + "/f" + std::to_string(f), "");
  const auto alone = Search(tree.Root(), "*", "", 0);
  read_ahead::SetHeldEntriesBound(kBound);
  std::size_t held = 0;
  const auto rows = Search(tree.Root(), "*", "", 4, [&](int poll) {
    if (poll != 1) return;
    // The walk is in the first directory: give the workers time to reach the bound.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (read_ahead::HeldEntries() < kBound && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    held = read_ahead::HeldEntries();
    while (read_ahead::Busy() > 0 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    held = std::max(held, read_ahead::HeldEntries());
  });
  read_ahead::SetHeldEntriesBound(0);
  EXPECT_GE(held, kBound);
  // Each worker may finish one listing past the bound; none starts another.
  EXPECT_LE(held, kBound + 4 * kFiles);
  EXPECT_EQ(rows, alone);
}

// Workers past the active count wait: a pool that once had eight runs only
// the two a later search asks for, and that search still lists all.
TEST_F(ReadAhead, WorkersPastTheActiveCountWait) {
  // Files large enough that the workers are inside them for a while.
  TempTree big;
  for (int i = 0; i < 8; ++i)
    std::ofstream(big.Path("big" + std::to_string(i) + ".bin"), std::ios::binary) << std::string(8 << 20, 'y');
  EXPECT_TRUE(Search(big.Root(), "*", "needle", 8).empty());
  // Watched from a thread of its own, so that no moment of the search is missed.
  int most = 0;
  std::atomic<bool> searching{true};
  std::thread watch([&] {
    while (searching) most = std::max(most, read_ahead::Busy());
  });
  EXPECT_TRUE(Search(big.Root(), "*", "needle", 2).empty());
  searching = false;
  watch.join();
  EXPECT_GE(most, 1);
  EXPECT_LE(most, 2);
}

// A file opens by its name in its held directory, even once that directory
// has been moved; where the platform holds none, by its path.
TEST_F(ReadAhead, FilesOpenByNameInTheirHeldDirectory) {
  TempTree tree;
  tree.Write("before/f.txt", "a needle");
  {
    platform::DirectoryReader reader;
    ASSERT_TRUE(reader.Open(tree.Path("before/")));
    const platform::DirectoryHandle held(reader);
    reader.Close();
    EXPECT_EQ(platform::DirectoryHandle::OpenCount(), held.Held() ? 1 : 0);
    ASSERT_EQ(std::rename(tree.Path("before").c_str(), tree.Path("after").c_str()), 0);
    EXPECT_EQ(FileContainsText(tree.Path("before/f.txt"), "needle", &held), held.Held() ? 1 : 0);
#ifndef _WIN32
    EXPECT_TRUE(held.Held());
#endif
  }
  EXPECT_EQ(FileContainsText(tree.Path("after/f.txt"), "needle"), 1);
}

// However many directories have files to scan, only a few are held at once.
TEST_F(ReadAhead, FewDirectoriesAreHeldAtOnce) {
  TempTree tree;
  for (int d = 0; d < 150; ++d)
    for (int f = 0; f < 2; ++f) tree.Write("d" + std::to_string(d) + "/sub/f" + std::to_string(f), "needle");
  for (unsigned workers : {0u, 4u}) {
    int most = 0;
    const auto rows = Search(tree.Root(), "*", "needle", workers,
                             [&](int) { most = std::max(most, platform::DirectoryHandle::OpenCount()); });
    EXPECT_EQ(rows.size(), 300u);
    // 64 for the workers' listings, and one more each may take at once.
    EXPECT_LE(most, 64 + 4);
#ifndef _WIN32
    EXPECT_GT(most, 0);
#endif
  }
}

}  // namespace
}  // namespace vudo
