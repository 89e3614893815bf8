#include "platform/locale_number.h"

#include <cstdio>

namespace vudo::platform {
namespace {

std::string Grouped(std::uint64_t value) {
  std::string digits = std::to_string(value), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

std::string LocaleNumber(std::uint64_t value) { return Grouped(value); }

std::string LocaleDecimal(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  const std::string fixed = text;
  const std::size_t point = fixed.find('.');
  if (point == std::string::npos) return Grouped(std::stoull(fixed));
  return Grouped(std::stoull(fixed.substr(0, point))) + fixed.substr(point);
}

}  // namespace vudo::platform
