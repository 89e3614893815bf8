#include "common/item_position.h"

#include <gtest/gtest.h>

namespace vudo {
namespace {

TEST(InsertIndex, BeforeThePositionOrAtTheEnd) {
  const struct {
    int position;
    std::size_t count, index;
  } table[] = {
      {-1, 0, 0}, {-1, 3, 3},  // kAppend
      {0, 0, 0},  {0, 3, 0},  {2, 3, 2},
      {3, 3, 3},               // just past the last item: the end
      {4, 3, 3},  {1000, 0, 0},  // further past: the end as well
  };
  for (const auto& row : table) {
    SCOPED_TRACE(testing::Message() << row.position << " among " << row.count);
    EXPECT_EQ(InsertIndex(row.position, row.count), row.index);
  }
}

}  // namespace
}  // namespace vudo
