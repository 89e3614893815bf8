#include "settings/key_value_file.h"

#include <new>
#include <vector>

#include "platform/file_store.h"

namespace vudo {
namespace {

enum class EntryKind { kKey, kComment, kSection };

struct Entry {
  EntryKind kind;
  std::string key;    // comment or section text for those kinds
  std::string value;  // as held: leading blanks skipped, trailing ones kept
};

enum class Encoding { kPlain, kUtf8 };

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The one current-file record.
struct Record {
  enum class State { kEmpty, kOpen, kStoredPath } state = State::kEmpty;
  std::string path;
  bool writable = false;  // opened for writing too, or created
  bool created = false;   // created: the close writes even without puts
  bool modified = false;
  Encoding encoding = Encoding::kPlain;
  std::vector<Entry> entries;
  platform::FileReplacement replacement;  // begun by a create
} file;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// Parses the content into entries. A NUL byte ends a line like CR or LF, and
// parsing goes on after it, so nothing behind a stray NUL is lost.
std::vector<Entry> Parse(std::string_view text) {
  std::vector<Entry> entries;
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto line_end = [&](std::size_t from) {
    while (from < n && !IsLineEnd(text[from])) ++from;
    return from;
  };
  while (i < n) {
    while (i < n && IsBlank(text[i])) ++i;
    if (i == n) break;
    const char c = text[i];
    if (c == ';') {
      std::size_t start = i + 1;
      if (start < n && text[start] == ' ') ++start;
      i = line_end(start);
      entries.push_back({EntryKind::kComment, std::string(text.substr(start, i - start)), {}});
    } else if (c == '[') {
      const std::size_t end = line_end(i + 1);
      // Only within its own line, so that many unclosed lines stay linear.
      const std::size_t found = text.substr(i + 1, end - i - 1).find(']');
      const std::size_t close = found == std::string_view::npos ? end : i + 1 + found;
      entries.push_back({EntryKind::kSection, std::string(text.substr(i + 1, close - i - 1)), {}});
      i = end;
    } else if (!IsLineEnd(c)) {
      const std::size_t end = line_end(i);
      const std::string_view line = text.substr(i, end - i);
      const std::size_t equals = line.find('=');
      std::string_view key = line.substr(0, equals);
      while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
      std::string_view value;
      // A key line without "=" has an empty value; it never takes the next line.
      if (equals != std::string_view::npos) {
        value = line.substr(equals + 1);
        while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
      }
      entries.push_back({EntryKind::kKey, std::string(key), std::string(value)});
      i = end;
    }
    while (i < n && IsLineEnd(text[i])) ++i;
  }
  return entries;
}

// Only the ASCII letters fold.
bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// 8-bit text, bytes taken as the code points U+0000-U+00FF, to UTF-8.
std::string ToUtf8(std::string_view text) {
  std::string out;
  for (char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

// UTF-8 back to 8-bit text. A malformed sequence or a code point beyond U+00FF
// makes the whole value empty; a sequence cut off at the end is dropped.
std::string FromUtf8(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length;
    unsigned code;
    if (lead < 0x80) length = 1, code = lead;
    else if (lead >= 0xC0 && lead <= 0xDF) length = 2, code = lead & 0x1Fu;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0Fu;
    else if (lead >= 0xF0 && lead <= 0xF7) length = 4, code = lead & 0x07u;
    else return {};
    if (i + length > text.size()) {
      for (std::size_t k = i + 1; k < text.size(); ++k)
        if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) return {};
      break;
    }
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return {};
      code = (code << 6) | (next & 0x3Fu);
    }
    if (code > 0xFF) return {};
    if (code == 0) break;  // a text ends at its first NUL
    out += static_cast<char>(code);
    i += length;
  }
  return out;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool Active() { return file.state != Record::State::kEmpty; }

// The key line of `key` in the top-level area, or null.
Entry* Find(std::string_view key) {
  const std::string wanted = file.encoding == Encoding::kUtf8 ? ToUtf8(key) : std::string(key);
  for (Entry& entry : file.entries) {
    if (entry.kind == EntryKind::kSection) break;
    if (entry.kind == EntryKind::kKey && SameKey(entry.key, wanted)) return &entry;
  }
  return nullptr;
}

std::string Compose() {
  std::string out;
  // A file read with the byte-order mark keeps it, and what was put into it
  // is stored as UTF-8 like the rest.
  if (file.encoding == Encoding::kUtf8) out += kByteOrderMark;
  // A plain file whose first key begins with the mark's bytes would read back
  // as UTF-8 with another key; a leading blank, which readers skip, keeps it
  // plain.
  else if (!file.entries.empty() && file.entries.front().kind == EntryKind::kKey &&
           std::string_view(file.entries.front().key).substr(0, kByteOrderMark.size()) == kByteOrderMark)
    out += ' ';
  for (const Entry& entry : file.entries) {
    switch (entry.kind) {
      case EntryKind::kKey: out.append(entry.key).append(" = ").append(entry.value); break;
      case EntryKind::kComment: out.append("; ").append(entry.key); break;
      case EntryKind::kSection: out.append("[").append(entry.key).append("]"); break;
    }
    out += "\r\n";
  }
  return out;
}

bool WriteOut() {
  std::string content;
  try {
    content = Compose();
  } catch (const std::bad_alloc&) {
    return false;
  }
  platform::FileReplacement& replacement = file.replacement;
  if (!replacement.active() && !replacement.Begin(file.path)) return false;
  return replacement.Write(content.data(), content.size()) && replacement.Commit();
}

void Clear() {
  file.replacement.Abandon();
  file.state = Record::State::kEmpty;
  file.path.clear();
  file.writable = file.created = file.modified = false;
  file.encoding = Encoding::kPlain;
  file.entries.clear();
  file.entries.shrink_to_fit();
}

}  // namespace

bool CloseKeyValueFile() {
  bool ok = true;
  const bool due = file.modified || file.created;
  if (due && file.state == Record::State::kStoredPath) ok = WriteOut();
  else if (due && file.state == Record::State::kOpen) ok = file.writable && WriteOut();
  Clear();
  return ok;
}

bool OpenKeyValueFile(const std::string& path) {
  CloseKeyValueFile();
  try {
    std::string content;
    platform::ReadAccess access = platform::ReadAccess::kReadOnly;
    if (!platform::ReadWholeFile(path, content, access)) {
      file.state = Record::State::kStoredPath;
      file.path = path;
      return false;
    }
    std::string_view text = content;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
      file.encoding = Encoding::kUtf8;
      text.remove_prefix(kByteOrderMark.size());
    }
    file.entries = Parse(text);
    file.state = Record::State::kOpen;
    file.path = path;
    file.writable = access == platform::ReadAccess::kReadWrite;
    return true;
  } catch (const std::bad_alloc&) {
    Clear();
    return false;
  }
}

bool CreateKeyValueFile(const std::string& path) {
  CloseKeyValueFile();
  try {
    file.path = path;
    if (!file.replacement.Begin(path)) {
      Clear();
      return false;
    }
  } catch (const std::bad_alloc&) {
    Clear();
    return false;
  }
  file.state = Record::State::kOpen;
  file.writable = file.created = true;
  return true;
}

std::string GetKeyValue(std::string_view key, std::string_view fallback) {
  if (!Active()) return std::string(fallback);
  try {
    const Entry* entry = Find(key);
    if (!entry) return std::string(fallback);
    if (file.encoding == Encoding::kUtf8) return std::string(Trimmed(FromUtf8(entry->value)));
    return std::string(Trimmed(entry->value));
  } catch (const std::bad_alloc&) {
    return std::string(fallback);
  }
}

void PutKeyValue(std::string_view key, std::string_view value) {
  if (!Active()) return;
  // A line break written out would start a line of its own, which could add,
  // hide or override a key: keys and values end at their first CR, LF or NUL.
  key = key.substr(0, key.find_first_of(std::string_view("\r\n\0", 3)));
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
  try {
    const bool utf8 = file.encoding == Encoding::kUtf8;
    std::string stored_key = utf8 ? ToUtf8(key) : std::string(key);
    std::string stored_value = utf8 ? ToUtf8(value) : std::string(value);
    if (Entry* entry = Find(key)) {
      entry->key = std::move(stored_key);
      entry->value = std::move(stored_value);
    } else {
      // At the end of the top-level area: before the first section line.
      auto at = file.entries.begin();
      while (at != file.entries.end() && at->kind != EntryKind::kSection) ++at;
      file.entries.insert(at, Entry{EntryKind::kKey, std::move(stored_key), std::move(stored_value)});
    }
    file.modified = true;
  } catch (const std::bad_alloc&) {
    // The put is lost; the file keeps what it had.
  }
}

}  // namespace vudo
