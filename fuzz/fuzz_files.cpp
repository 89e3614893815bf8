#include "fuzz_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "ui/controls/control_seam.h"

namespace vudo::fuzz {
namespace {

// Never destroyed, so that the exit handler below can still read it.
std::set<std::string>& Written() {
  static auto* names = new std::set<std::string>;
  return *names;
}

// The scratch directory goes when the fuzzer ends.
void RemoveScratch() {
  for (const auto& path : Written()) std::remove(path.c_str());
  rmdir(ScratchDirectory().c_str());
}

}  // namespace

const std::string& ScratchDirectory() {
  static const std::string directory = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string d = std::string(base) + "/vudo-fuzz-" + std::to_string(getpid());
    mkdir(d.c_str(), 0700);
    std::atexit(RemoveScratch);
    return d;
  }();
  return directory;
}

std::string WriteScratch(const std::string& name, std::string_view bytes) {
  const std::string path = ScratchDirectory() + "/" + name;
  Written().insert(path);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
  return path;
}

}  // namespace vudo::fuzz

// The engine lets window events run between blocks; a fuzzer has none.
int vudo::EventPoll() { return 0; }
