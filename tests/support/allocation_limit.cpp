#include "support/allocation_limit.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace vudo::testing_memory {
namespace {

// Each block carries its size in front, so that a delete knows what it gives
// back; 16 bytes keep the caller's part aligned as operator new must.
constexpr std::size_t kHeader = 16;
static_assert(kHeader >= alignof(std::max_align_t) && kHeader >= sizeof(std::size_t));

std::atomic<std::size_t> in_use{0}, limit{0};
std::atomic<int> refusals{0};
std::atomic<bool> environment_read{false};

void ReadEnvironmentOnce() {
  if (environment_read.exchange(true)) return;
  // getenv and strtoull take no memory from operator new.
  if (const char* text = std::getenv("VUDO_ALLOCATION_LIMIT")) limit = std::strtoull(text, nullptr, 10);
}

void* Allocate(std::size_t size) noexcept {
  ReadEnvironmentOnce();
  const std::size_t cap = limit.load(std::memory_order_relaxed);
  const std::size_t after = in_use.fetch_add(size, std::memory_order_relaxed) + size;
  void* block = cap && after > cap ? nullptr : std::malloc(size + kHeader);
  if (!block) {
    in_use.fetch_sub(size, std::memory_order_relaxed);
    if (cap) refusals.fetch_add(1, std::memory_order_relaxed);
    return nullptr;
  }
  *static_cast<std::size_t*>(block) = size;
  return static_cast<char*>(block) + kHeader;
}

void* AllocateOrThrow(std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}

void Release(void* p) noexcept {
  if (!p) return;
  char* const block = static_cast<char*>(p) - kHeader;
  in_use.fetch_sub(*reinterpret_cast<std::size_t*>(block), std::memory_order_relaxed);
  std::free(block);
}

}  // namespace

void LimitAllocations(std::size_t bytes) {
  ReadEnvironmentOnce();
  limit = bytes;
}
std::size_t BytesInUse() { return in_use.load(); }
int Refusals() { return refusals.load(); }

}  // namespace vudo::testing_memory

using vudo::testing_memory::Allocate;
using vudo::testing_memory::AllocateOrThrow;
using vudo::testing_memory::Release;

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
