// The thin file layer under the record reader and writer: byte-stream files behind a handle.
#pragma once

#include <cstddef>
#include <cstdint>

// An open file; 0 (null) means no file.
using ScpFile = struct ScpFileState*;

// Opens an existing file for reading and writing, or for reading only when it cannot be written
// (so archived, read-only records still open). Returns 0 when it cannot be opened at all.
ScpFile ScpFileOpen(const char* path);

// Creates the file or truncates an existing one. Returns 0 on failure.
ScpFile ScpFileCreate(const char* path);

// Closes the file (0 is ignored). Returns 0 on success, non-zero when the close failed.
int ScpFileClose(ScpFile file);

// Returns the number of bytes read (fewer at the end of the file or on an error).
size_t ScpFileRead(ScpFile file, void* buffer, size_t count);

// Returns the number of bytes written (fewer on an error).
size_t ScpFileWrite(ScpFile file, const void* buffer, size_t count);

// Positions at `offset` from the start of the file. Returns the new position, or -1 on failure.
int64_t ScpFileSeek(ScpFile file, int64_t offset);

// Returns the size of the file in bytes, or -1 when it cannot be told.
int64_t ScpFileSize(ScpFile file);

// Flushes what was written to the storage device. Returns 0 on success.
int ScpFileSync(ScpFile file);

// Deletes the file. Returns whether it succeeded.
bool ScpFileDelete(const char* path);
