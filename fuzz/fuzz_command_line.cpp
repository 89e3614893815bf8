// Compares the command-line splitter with a character-at-a-time state machine,
// and checks that quoting tokens and splitting again gives them back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

std::vector<std::string> Reference(const std::string& line) {
  enum { kBetween, kPlain, kQuoted } state = kBetween;
  std::vector<std::string> tokens;
  for (char c : line) {
    switch (state) {
      case kBetween:
        if (c == ' ') break;
        tokens.emplace_back();
        if (c == '"') state = kQuoted;
        else tokens.back() += c, state = kPlain;
        break;
      case kPlain:
        if (c == ' ') state = kBetween;
        else tokens.back() += c;
        break;
      case kQuoted:
        if (c == '"') state = kBetween;
        else tokens.back() += c;
        break;
    }
  }
  return tokens;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> tokens = vudo::SplitCommandLine(line);
  if (tokens != Reference(line)) __builtin_trap();

  std::string joined;
  for (const auto& token : tokens) {
    if (token.find('"') != std::string::npos) return 0;  // cannot be quoted without escapes
    joined += '"' + token + "\" ";
  }
  if (vudo::SplitCommandLine(joined) != tokens) __builtin_trap();
  return 0;
}
