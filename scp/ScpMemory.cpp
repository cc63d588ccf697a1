#include "scp/ScpMemory.h"

#include <cstdlib>
#include <cstring>

namespace {

// Each block carries its size just before the bytes handed out, so that a resize can zero-fill
// exactly the bytes it gains. The prefix keeps the bytes aligned for any type.
struct BlockPrefix {
  alignas(std::max_align_t) size_t size;
};

BlockPrefix* PrefixOf(ScpBlock block) {
  return reinterpret_cast<BlockPrefix*>(static_cast<uint8_t*>(block) - sizeof(BlockPrefix));
}

ScpBlock BytesOf(BlockPrefix* prefix) {
  return reinterpret_cast<uint8_t*>(prefix) + sizeof(BlockPrefix);
}

// Largest size that can be asked for without the prefix arithmetic wrapping.
constexpr size_t kMaxBlockSize = static_cast<size_t>(-1) / 2;

}  // namespace

ScpBlock ScpMemAlloc(size_t size) {
  if (size > kMaxBlockSize) {
    return nullptr;
  }
  size_t stored = size == 0 ? 1 : size;
  auto* prefix = static_cast<BlockPrefix*>(std::calloc(1, sizeof(BlockPrefix) + stored));
  if (prefix == nullptr) {
    return nullptr;
  }
  prefix->size = stored;
  return BytesOf(prefix);
}

ScpBlock ScpMemRealloc(ScpBlock block, size_t size) {
  if (block == nullptr) {
    return ScpMemAlloc(size);
  }
  if (size > kMaxBlockSize) {
    return nullptr;
  }
  size_t stored = size == 0 ? 1 : size;
  BlockPrefix* old = PrefixOf(block);
  size_t oldSize = old->size;
  auto* prefix = static_cast<BlockPrefix*>(std::realloc(old, sizeof(BlockPrefix) + stored));
  if (prefix == nullptr) {
    return nullptr;
  }
  prefix->size = stored;
  if (stored > oldSize) {
    std::memset(reinterpret_cast<uint8_t*>(prefix) + sizeof(BlockPrefix) + oldSize, 0,
                stored - oldSize);
  }
  return BytesOf(prefix);
}

uint8_t* ScpMemLock(ScpBlock block) {
  return static_cast<uint8_t*>(block);
}

bool ScpMemUnlock(ScpBlock /*block*/) {
  return true;
}

void ScpMemFree(ScpBlock block) {
  if (block != nullptr) {
    std::free(PrefixOf(block));
  }
}

void ScpMemCopy(void* to, const void* from, size_t count) {
  if (count > 0) {
    std::memcpy(to, from, count);
  }
}
