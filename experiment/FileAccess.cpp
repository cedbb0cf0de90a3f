#include "FileAccess.h"

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace experiment {

#ifdef _WIN32

// Windows: the system's calls on UTF-16 names, their handles wrapped in C
// runtime descriptors. Appending needs FILE_APPEND_DATA without
// FILE_WRITE_DATA: then the system puts every write at the end of the file
// in one piece, as O_APPEND does (the runtime's own _O_APPEND seeks first and
// does not).

namespace {

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
    case ERROR_NO_UNICODE_TRANSLATION:
      return EINVAL;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    default:
      return EIO;
  }
}

int LastErrno() { return ErrnoOf(GetLastError()); }

// The UTF-16 name of a UTF-8 path; empty (with the error set) when the path
// is empty or no valid UTF-8.
std::wstring Wide(const std::string& path) {
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()), nullptr, 0);
  if (n <= 0) {
    if (path.empty()) SetLastError(ERROR_PATH_NOT_FOUND);
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
  return wide;
}

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A descriptor for a handle the system opened; -1 with errno set.
int Open(const std::string& path, DWORD access, DWORD disposition, int runtimeFlags) {
  const std::wstring name = Wide(path);
  if (name.empty()) {
    errno = LastErrno();
    return -1;
  }
  const HANDLE handle = CreateFileW(name.c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = LastErrno();
    return -1;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), runtimeFlags | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) {
    CloseHandle(handle);
    errno = EMFILE;
  }
  return fd;
}

// A lock on one byte far beyond any end of file. Windows' locks are
// mandatory: one over the file's bytes would turn readers away (the class
// window following the file) while a line is written.
OVERLAPPED LockedByte() {
  OVERLAPPED at{};
  at.Offset = 0xFFFFFFFEu;
  at.OffsetHigh = 0x7FFFFFFFu;
  return at;
}

}  // namespace

int OpenForReading(const std::string& path, bool) { return Open(path, GENERIC_READ, OPEN_EXISTING, _O_RDONLY); }

int OpenForAppending(const std::string& path) {
  constexpr DWORD kAppend = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
  const int fd = Open(path, kAppend | FILE_READ_DATA, OPEN_ALWAYS, _O_RDWR);
  if (fd >= 0 || errno != EACCES) return fd;
  return Open(path, kAppend, OPEN_ALWAYS, _O_WRONLY);
}

int OpenForReplacing(const std::string& path) { return Open(path, GENERIC_WRITE, CREATE_ALWAYS, _O_WRONLY); }

int CloseFile(int fd) { return _close(fd); }

int InspectFile(int fd, FileFacts& facts) {
  const HANDLE handle = HandleOf(fd);
  BY_HANDLE_FILE_INFORMATION info{};
  const DWORD type = GetFileType(handle);
  if (type != FILE_TYPE_DISK) {
    facts = FileFacts{};
    return type == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR ? LastErrno() : 0;
  }
  if (!GetFileInformationByHandle(handle, &info)) return LastErrno();
  facts.regular = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  facts.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
  facts.device = info.dwVolumeSerialNumber;
  facts.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  const std::uint64_t ticks =
      (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
  facts.modifiedNs = static_cast<std::int64_t>(ticks) * 100;  // 100 ns steps since 1601
  return 0;
}

std::int64_t ReadAt(int fd, std::int64_t offset, char* buffer, std::size_t size) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD n = 0;
  const DWORD asked = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  if (!ReadFile(HandleOf(fd), buffer, asked, &n, &at)) {
    if (GetLastError() == ERROR_HANDLE_EOF) return 0;
    errno = LastErrno();
    return -1;
  }
  return n;
}

int WriteDurably(int fd, std::string_view text) {
  const HANDLE handle = HandleOf(fd);
  while (!text.empty()) {
    const DWORD asked = text.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(text.size());
    DWORD n = 0;
    if (!WriteFile(handle, text.data(), asked, &n, nullptr)) return LastErrno();
    if (n == 0) return ENOSPC;
    text.remove_prefix(n);
  }
  return FlushFileBuffers(handle) ? 0 : LastErrno();
}

int CutTo(int fd, std::int64_t size) { return _chsize_s(fd, size); }

// Only files on a disk take locks; a device has no header or last line to
// keep whole.
int LockAppends(int fd) {
  const HANDLE handle = HandleOf(fd);
  if (GetFileType(handle) != FILE_TYPE_DISK) return 0;
  OVERLAPPED at = LockedByte();
  return LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at) ? 0 : LastErrno();
}

void UnlockAppends(int fd) {
  const HANDLE handle = HandleOf(fd);
  if (GetFileType(handle) != FILE_TYPE_DISK) return;
  OVERLAPPED at = LockedByte();
  UnlockFileEx(handle, 0, 1, 0, &at);
}

int RenameOver(const std::string& from, const std::string& to) {
  const std::wstring source = Wide(from), target = Wide(to);
  if (source.empty() || target.empty()) return LastErrno();
  return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                                          : LastErrno();
}

void RemoveFile(const std::string& path) {
  const std::wstring name = Wide(path);
  if (!name.empty()) DeleteFileW(name.c_str());
}

#else

int OpenForReading(const std::string& path, bool nonBlocking) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (nonBlocking ? O_NONBLOCK : 0));
}

int OpenForAppending(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd >= 0 || (errno != EACCES && errno != EISDIR && errno != EINVAL)) return fd;
  // A file that may only be appended to (a device, a write-only file).
  return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
}

int OpenForReplacing(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

int CloseFile(int fd) { return ::close(fd); }

int InspectFile(int fd, FileFacts& facts) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return errno;
  facts.regular = S_ISREG(info.st_mode);
  facts.size = info.st_size;
  facts.device = info.st_dev;
  facts.inode = info.st_ino;
  facts.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return 0;
}

std::int64_t ReadAt(int fd, std::int64_t offset, char* buffer, std::size_t size) {
  ssize_t n;
  do {
    n = ::pread(fd, buffer, size, offset);
  } while (n < 0 && errno == EINTR);
  return n;
}

// A line appended with O_APPEND goes out in one write() and so never mixes
// with another process's lines; a regular file takes less only when the
// device is full, and then the next write fails too.
int WriteDurably(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return ::fsync(fd) != 0 ? errno : 0;
}

int CutTo(int fd, std::int64_t size) {
  while (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

int LockAppends(int fd) {
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

void UnlockAppends(int fd) { ::flock(fd, LOCK_UN); }

int RenameOver(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) != 0 ? errno : 0;
}

void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

#endif

// read() is the C runtime's on Windows, on the descriptor of the system's handle.
int ReadToEnd(int fd, std::string& text, std::size_t limit) {
  char buffer[65536];
  while (text.size() <= limit) {
    const auto n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  return 0;
}

}  // namespace experiment
