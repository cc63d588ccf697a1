// The thin file layer under the record reader and writer: byte-stream files behind a handle.
//
// Paths are used in full (never cut to a fixed buffer). Every operation that can fail reports it;
// nothing here prints or throws.
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

// Creates a new, empty file in the directory of `target`, named after it with a unique suffix,
// and opens it for writing. When `target` exists the new file gets its permission bits and, as
// far as the process may set them, its owner and group, so a rename over the target keeps them. The
// new file's path is written to tempPath (room for tempPathSize bytes, terminator included).
// Returns 0 when no such file can be created or the path does not fit.
ScpFile ScpFileCreateTemporary(const char* target, char* tempPath, size_t tempPathSize);

// Closes the file (0 is ignored). Returns 0 on success, non-zero when the close failed.
int ScpFileClose(ScpFile file);

// Returns the number of bytes read (fewer at the end of the file or on an error).
size_t ScpFileRead(ScpFile file, void* buffer, size_t count);

// Reads from `offset` without moving the file position (one call instead of a seek and a read).
// Returns the number of bytes read (fewer at the end of the file or on an error; 0 for a
// negative offset or an injected seek fault).
size_t ScpFileReadAt(ScpFile file, int64_t offset, void* buffer, size_t count);

// Like ScpFileReadAt, but with a single read of the device (retried only when interrupted before
// reading anything): fewer bytes may come back than the file holds past `offset`. For a caller
// that can tell from the bytes themselves whether it has them all.
size_t ScpFileReadAtOnce(ScpFile file, int64_t offset, void* buffer, size_t count);

// Returns the number of bytes written (fewer on an error).
size_t ScpFileWrite(ScpFile file, const void* buffer, size_t count);

// Positions at `offset` from the start of the file. Returns the new position, or -1 on failure
// (a negative offset always fails).
int64_t ScpFileSeek(ScpFile file, int64_t offset);

// Returns the size of the file in bytes, or -1 when it cannot be told.
int64_t ScpFileSize(ScpFile file);

// Flushes what was written to the storage device. Returns 0 on success.
int ScpFileSync(ScpFile file);

// Deletes the file. Returns whether it succeeded.
bool ScpFileDelete(const char* path);

// Renames `from` to `to` in one step, replacing `to` if it exists, then flushes the directory
// entry. Returns whether the rename succeeded.
bool ScpFileRename(const char* from, const char* to);

// True when `path` names an existing file that must not be written: one with no write
// permission bit at all (even for a superuser, who could otherwise write it), or one this
// process may not write. False when the file does not exist.
bool ScpFileIsReadOnly(const char* path);

// Writes to `resolved` (room for `size` bytes) the path a save to `path` should replace: the
// final target when `path` is a symbolic link, so that saving keeps the link; `path` itself
// otherwise. Returns false when it does not fit or the link cannot be resolved.
bool ScpFileSaveTarget(const char* path, char* resolved, size_t size);

// For tests only: fault injection. Makes the nth call from now (1 = the next one) of `operation`
// fail as the device would: a create or temporary create returns 0, a write writes nothing, a
// seek returns -1, a sync, close or rename reports failure (a failing close still releases the
// handle), and ScpFileOpen's read-write attempt is refused so that it falls back to read-only.
// One fault is armed per operation; arming 0 disarms it.
enum ScpFileOperation : int {
  kScpFileOpCreate = 0,  // ScpFileCreate and ScpFileCreateTemporary
  kScpFileOpWrite,
  kScpFileOpSeek,
  kScpFileOpSync,
  kScpFileOpClose,
  kScpFileOpRename,
  kScpFileOpOpenForWriting,  // ScpFileOpen's read-write attempt, as if permission were denied
  kScpFileOpCount,
};
void ScpFileInjectFault(ScpFileOperation operation, int nth);

// For tests only: disarms every fault.
void ScpFileClearFaults();
