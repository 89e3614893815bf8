// The rows of a list as the layer keeps them: every row's column texts joined
// by NUL bytes, all rows in one growing buffer with a span per row. A search
// adds rows one by one, up to hundreds of thousands; one buffer costs no
// allocation per row (slow under Wine's heap) and a few bytes of bookkeeping.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vudo::layer {

// Column `column` of a kept row (its columns joined by NUL bytes); empty when
// it has no such column.
std::string_view RowColumn(std::string_view row, int column);

class RowStore {
 public:
  std::size_t size() const { return spans_.size(); }
  bool empty() const { return spans_.empty(); }
  // Row `row` (< size()): its columns joined by NUL bytes.
  std::string_view Row(std::size_t row) const { return std::string_view(text_).substr(spans_[row].offset, spans_[row].length); }

  // Adds a row given as its columns separated by line feeds (virtual_list.h),
  // before row `at` (size() appends).
  void Insert(std::size_t at, std::string_view text);
  // Gives row `row` new column texts.
  void Replace(std::size_t row, std::string_view text);
  // Puts the rows in the order `order` names (a permutation of 0..size()-1).
  void Reorder(const std::vector<std::size_t>& order);
  void Clear();

 private:
  struct Span {
    std::size_t offset, length;
  };
  Span Append(std::string_view text);

  std::string text_;
  std::vector<Span> spans_;
};

}  // namespace vudo::layer
