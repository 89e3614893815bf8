#include "search/search_state.h"

namespace vudo {

std::int32_t StopRequested = 0;
std::string SearchDirectory;
std::string NamePattern;
std::string ContainsText;
unsigned SearchGeneration = 0;

}  // namespace vudo
