#include "app/command_line.h"

#include "platform/process.h"

namespace vudo {

int ParameterIndex = 0;

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size()) break;
    if (line[i] == '"') {
      const std::size_t close = line.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? line.size() : close;
      tokens.emplace_back(line.substr(i + 1, end - i - 1));
      i = close == std::string_view::npos ? line.size() : close + 1;
    } else {
      std::size_t end = line.find(' ', i);
      if (end == std::string_view::npos) end = line.size();
      tokens.emplace_back(line.substr(i, end - i));
      i = end;
    }
  }
  return tokens;
}

std::string NextProgramParameter() {
  const std::vector<std::string> tokens = SplitCommandLine(platform::CommandLineText());
  const std::size_t token = static_cast<std::size_t>(ParameterIndex) + 1;
  if (ParameterIndex < 0 || token >= tokens.size()) return {};
  ++ParameterIndex;
  return tokens[token];
}

}  // namespace vudo
