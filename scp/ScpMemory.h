// The memory layer: every block of the record store goes through these six plain heap operations.
#pragma once

#include <cstddef>
#include <cstdint>

// An owned heap block. Null means "no block". The handle is the address of the block's bytes; it
// must come from ScpMemAlloc or ScpMemRealloc (never from malloc or new) and be released with
// ScpMemFree.
using ScpBlock = void*;

// Returns a zero-filled block of size bytes, or null when memory runs out. A size of 0 still
// yields a (one-byte) block so that "empty" and "failed" stay distinct.
ScpBlock ScpMemAlloc(size_t size);

// Resizes the block, keeping its contents up to the smaller size; bytes gained are zero-filled.
// Returns the new block, or null when memory runs out (the old block then stays valid).
ScpBlock ScpMemRealloc(ScpBlock block, size_t size);

// Returns the address of the block's bytes; always succeeds (null for a null block).
uint8_t* ScpMemLock(ScpBlock block);

// No effect; returns true.
bool ScpMemUnlock(ScpBlock block);

// Frees the block; null is ignored.
void ScpMemFree(ScpBlock block);

// Copies count bytes from one address to another; the ranges must not overlap.
void ScpMemCopy(void* to, const void* from, size_t count);
