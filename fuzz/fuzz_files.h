// A scratch file for fuzz targets that go through the file system, on tmpfs
// where there is one, so that every run does not wait for a disk.
#pragma once

#include <string>
#include <string_view>

namespace vudo::fuzz {

// A directory of this process's own; made on first use.
const std::string& ScratchDirectory();
// Writes `bytes` to the file `name` in the scratch directory; its path.
std::string WriteScratch(const std::string& name, std::string_view bytes);

}  // namespace vudo::fuzz
