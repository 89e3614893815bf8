// Trees the end-to-end tests search, made once per test program.
#pragma once

#include <string>

#include "support/temp_tree.h"

namespace vudo::e2e {

// A few files in a few folders, names in mixed case, some holding "hello".
const testing_tree::TempTree& SmallTree();
// 30,000 files in 200 folders; every folder holds two "*.txt" hits, the first
// one early. A search of it takes long enough to be stopped or closed.
const testing_tree::TempTree& LargeTree();
constexpr int kLargeTreeHits = 400;

class VudoRun;
// Starts `vudo` on the large tree's "hit*" search with a click on Start; true
// once the search runs and has listed at least `rows` rows.
bool StartLargeSearchByClick(VudoRun& vudo, int rows);

}  // namespace vudo::e2e
