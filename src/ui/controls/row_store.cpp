#include "ui/controls/row_store.h"

#include <algorithm>

namespace vudo::layer {

std::string_view RowColumn(std::string_view row, int column) {
  for (int i = 0; i < column; ++i) {
    const std::size_t separator = row.find('\0');
    if (separator == std::string_view::npos) return {};
    row.remove_prefix(separator + 1);
  }
  return row.substr(0, row.find('\0'));
}

RowStore::Span RowStore::Append(std::string_view text) {
  // The columns of a row, joined by NUL, are the text with its line feeds made
  // NULs, less a final one: a trailing line feed adds no column.
  text = text.substr(0, text.find('\0'));
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  const Span span{text_.size(), text.size()};
  text_.append(text);
  std::replace(text_.begin() + static_cast<std::ptrdiff_t>(span.offset), text_.end(), '\n', '\0');
  return span;
}

void RowStore::Insert(std::size_t at, std::string_view text) {
  const Span span = Append(text);
  spans_.insert(spans_.begin() + static_cast<std::ptrdiff_t>(at < spans_.size() ? at : spans_.size()), span);
}

void RowStore::Replace(std::size_t row, std::string_view text) {
  // The old text stays in the buffer until the list is cleared.
  spans_[row] = Append(text);
}

void RowStore::Reorder(const std::vector<std::size_t>& order) {
  std::vector<Span> reordered;
  reordered.reserve(order.size());
  for (std::size_t index : order) reordered.push_back(spans_[index]);
  spans_ = std::move(reordered);
}

void RowStore::Clear() {
  std::string().swap(text_);
  std::vector<Span>().swap(spans_);
}

}  // namespace vudo::layer
