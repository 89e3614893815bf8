// Reads arbitrary bytes as a settings file, then writes it back and reads it
// again: every key must give the same value (or the same absence) both times.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_files.h"
#include "settings/key_value_file.h"

namespace {

// Candidate keys found independently of the parser: the text before "=" on
// each line, without blanks around it, in a few letter cases.
std::vector<std::string> CandidateKeys(const std::string& text) {
  std::vector<std::string> keys = {"", "a", "searchdir"};
  std::size_t start = 0;
  while (start <= text.size() && keys.size() < 64) {
    std::size_t end = text.find_first_of(std::string("\r\n\0", 3), start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    std::string key = line.substr(0, line.find('='));
    const auto first = key.find_first_not_of(" \t");
    const auto last = key.find_last_not_of(" \t");
    key = first == std::string::npos ? std::string() : key.substr(first, last - first + 1);
    keys.push_back(key);
    std::string upper = key;
    for (char& c : upper)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    keys.push_back(upper);
    start = end + 1;
  }
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vudo;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::WriteScratch("Vudo.ini", text);
  const std::string absent = "\x01" "absent";
  const std::vector<std::string> keys = CandidateKeys(text);

  if (!OpenKeyValueFile(path)) __builtin_trap();
  std::vector<std::string> first;
  for (const auto& key : keys) first.push_back(GetKeyValue(key, absent));
  // Putting a key's own value back changes nothing a reader sees, but makes
  // the close write the whole file. A key may not begin with ';' or '['.
  std::string put_key = keys.back();
  if (!put_key.empty() && (put_key[0] == ';' || put_key[0] == '[')) put_key = "fuzzkey";
  const std::string put_before = GetKeyValue(put_key, absent);
  PutKeyValue(put_key, put_before == absent ? std::string("added") : put_before);
  if (!CloseKeyValueFile()) __builtin_trap();

  if (!OpenKeyValueFile(path)) __builtin_trap();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    // A later candidate that equals (in letter case) the put key reads "added" too.
    const std::string again = GetKeyValue(keys[i], absent);
    if (again != first[i] && !(again == "added" && first[i] == absent)) __builtin_trap();
  }
  CloseKeyValueFile();
  return 0;
}
