// Numbers as the user's locale writes them: digit grouping and decimal mark
// from the system's settings on Windows (GetNumberFormatEx); on POSIX "12,345"
// and "4.8".
#pragma once

#include <cstdint>
#include <string>

namespace vudo::platform {

std::string LocaleNumber(std::uint64_t value);
// `value` with `decimals` digits after the decimal mark.
std::string LocaleDecimal(double value, int decimals);

}  // namespace vudo::platform
