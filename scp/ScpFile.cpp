#include "scp/ScpFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

struct ScpFileState {
  int fd;
};

namespace {

// Countdown per operation: 0 disarmed, n > 0 the nth call from now fails.
int gFaultCountdown[kScpFileOpCount] = {};

bool ShouldFail(ScpFileOperation operation) {
  int& countdown = gFaultCountdown[operation];
  if (countdown <= 0) {
    return false;
  }
  --countdown;
  return countdown == 0;
}

ScpFile Wrap(int fd) {
  if (fd < 0) {
    return nullptr;
  }
  auto* file = new (std::nothrow) ScpFileState{fd};
  if (file == nullptr) {
    ::close(fd);
  }
  return file;
}

int OpenRetrying(const char* path, int flags, mode_t mode) {
  int fd = -1;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// The directory part of `path` ("." when it has none).
bool DirectoryOf(const char* path, char* directory, size_t size) {
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) {
    return std::snprintf(directory, size, ".") < static_cast<int>(size);
  }
  size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);
  if (length + 1 > size) {
    return false;
  }
  std::memcpy(directory, path, length);
  directory[length] = '\0';
  return true;
}

void SyncDirectoryOf(const char* path) {
  char directory[PATH_MAX];
  if (!DirectoryOf(path, directory, sizeof directory)) {
    return;
  }
  int fd = OpenRetrying(directory, O_RDONLY | O_DIRECTORY, 0);
  if (fd >= 0) {
    ::fsync(fd);  // best effort: the rename itself has already happened
    ::close(fd);
  }
}

// Moves `count` bytes in as many calls as it takes, until they are all moved, the file ends or a
// call fails, retrying interrupted calls. `transferSome(done)` moves bytes from byte `done` on and
// returns what read, pread or write did.
template <typename TransferSome>
size_t TransferFully(size_t count, TransferSome transferSome) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = transferSome(done);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    done += static_cast<size_t>(got);
  }
  return done;
}

}  // namespace

ScpFile ScpFileOpen(const char* path) {
  if (path == nullptr) {
    return nullptr;
  }
  int fd = -1;
  if (ShouldFail(kScpFileOpOpenForWriting)) {
    errno = EACCES;
  } else {
    fd = OpenRetrying(path, O_RDWR, 0);
  }
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM || errno == EISDIR)) {
    fd = OpenRetrying(path, O_RDONLY, 0);
  }
  return Wrap(fd);
}

ScpFile ScpFileCreate(const char* path) {
  if (path == nullptr || ShouldFail(kScpFileOpCreate)) {
    return nullptr;
  }
  return Wrap(OpenRetrying(path, O_WRONLY | O_CREAT | O_TRUNC, 0666));
}

ScpFile ScpFileCreateTemporary(const char* target, char* tempPath, size_t tempPathSize) {
  if (target == nullptr || tempPath == nullptr || ShouldFail(kScpFileOpCreate)) {
    return nullptr;
  }
  struct stat targetStat {};
  bool targetExists = ::stat(target, &targetStat) == 0;
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    int written = std::snprintf(tempPath, tempPathSize, "%s.%ld-%u.tmp", target,
                                static_cast<long>(::getpid()), counter++);
    if (written < 0 || static_cast<size_t>(written) >= tempPathSize) {
      return nullptr;
    }
    int fd = OpenRetrying(tempPath, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) {
      if (errno == EEXIST) {
        continue;
      }
      return nullptr;
    }
    if (targetExists && S_ISREG(targetStat.st_mode)) {
      // Owner and group first (a change of owner may clear the set-id bits), as far as this
      // process may set them: another user's file keeps at least its group when we are in it.
      if (::fchown(fd, targetStat.st_uid, targetStat.st_gid) != 0) {
        static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), targetStat.st_gid));
      }
      ::fchmod(fd, targetStat.st_mode & 07777);
    }
    ScpFile file = Wrap(fd);
    if (file == nullptr) {
      ::unlink(tempPath);
    }
    return file;
  }
  return nullptr;
}

int ScpFileClose(ScpFile file) {
  if (file == nullptr) {
    return 0;
  }
  int result = ::close(file->fd);
  delete file;
  if (ShouldFail(kScpFileOpClose)) {
    return -1;
  }
  return result == 0 ? 0 : -1;
}

size_t ScpFileRead(ScpFile file, void* buffer, size_t count) {
  if (file == nullptr || buffer == nullptr) {
    return 0;
  }
  auto* bytes = static_cast<uint8_t*>(buffer);
  return TransferFully(count,
                       [&](size_t done) { return ::read(file->fd, bytes + done, count - done); });
}

size_t ScpFileReadAt(ScpFile file, int64_t offset, void* buffer, size_t count) {
  if (file == nullptr || buffer == nullptr || offset < 0 || ShouldFail(kScpFileOpSeek)) {
    return 0;
  }
  auto* bytes = static_cast<uint8_t*>(buffer);
  return TransferFully(count, [&](size_t done) {
    return ::pread(file->fd, bytes + done, count - done,
                   static_cast<off_t>(offset + static_cast<int64_t>(done)));
  });
}

size_t ScpFileReadAtOnce(ScpFile file, int64_t offset, void* buffer, size_t count) {
  if (file == nullptr || buffer == nullptr || offset < 0 || ShouldFail(kScpFileOpSeek)) {
    return 0;
  }
  ssize_t got = -1;
  do {
    got = ::pread(file->fd, buffer, count, static_cast<off_t>(offset));
  } while (got < 0 && errno == EINTR);
  return got > 0 ? static_cast<size_t>(got) : 0;
}

size_t ScpFileWrite(ScpFile file, const void* buffer, size_t count) {
  if (file == nullptr || (buffer == nullptr && count > 0) || ShouldFail(kScpFileOpWrite)) {
    return 0;
  }
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  return TransferFully(count,
                       [&](size_t done) { return ::write(file->fd, bytes + done, count - done); });
}

int64_t ScpFileSeek(ScpFile file, int64_t offset) {
  if (file == nullptr || offset < 0 || ShouldFail(kScpFileOpSeek)) {
    return -1;
  }
  off_t position = ::lseek(file->fd, static_cast<off_t>(offset), SEEK_SET);
  return position < 0 ? -1 : static_cast<int64_t>(position);
}

int64_t ScpFileSize(ScpFile file) {
  struct stat fileStat {};
  if (file == nullptr || ::fstat(file->fd, &fileStat) != 0 || !S_ISREG(fileStat.st_mode)) {
    return -1;
  }
  return static_cast<int64_t>(fileStat.st_size);
}

int ScpFileSync(ScpFile file) {
  if (file == nullptr || ShouldFail(kScpFileOpSync)) {
    return -1;
  }
  return ::fsync(file->fd) == 0 ? 0 : -1;
}

bool ScpFileDelete(const char* path) {
  return path != nullptr && ::unlink(path) == 0;
}

bool ScpFileRename(const char* from, const char* to) {
  if (from == nullptr || to == nullptr || ShouldFail(kScpFileOpRename)) {
    return false;
  }
  if (::rename(from, to) != 0) {
    return false;
  }
  SyncDirectoryOf(to);
  return true;
}

bool ScpFileIsReadOnly(const char* path) {
  struct stat fileStat {};
  if (path == nullptr || ::stat(path, &fileStat) != 0) {
    return false;
  }
  return (fileStat.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path, W_OK) != 0;
}

bool ScpFileSaveTarget(const char* path, char* resolved, size_t size) {
  if (path == nullptr || resolved == nullptr) {
    return false;
  }
  struct stat linkStat {};
  if (::lstat(path, &linkStat) == 0 && S_ISLNK(linkStat.st_mode)) {
    char* real = ::realpath(path, nullptr);
    if (real == nullptr) {
      return false;
    }
    int written = std::snprintf(resolved, size, "%s", real);
    std::free(real);
    return written >= 0 && static_cast<size_t>(written) < size;
  }
  int written = std::snprintf(resolved, size, "%s", path);
  return written >= 0 && static_cast<size_t>(written) < size;
}

void ScpFileInjectFault(ScpFileOperation operation, int nth) {
  if (operation >= 0 && operation < kScpFileOpCount) {
    gFaultCountdown[operation] = nth < 0 ? 0 : nth;
  }
}

void ScpFileClearFaults() {
  for (int& countdown : gFaultCountdown) {
    countdown = 0;
  }
}
