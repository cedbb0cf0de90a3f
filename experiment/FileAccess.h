#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace experiment {

// The file calls of the per-trial files, the design files and the class's
// folders, for POSIX and for Windows. Paths are UTF-8. A file is a C runtime
// descriptor on both (on Windows one that wraps the system's handle), read
// with read() and closed with CloseFile. Failures give errno values (on
// Windows mapped from the system's error codes) for strerror.

// Opens a file to read, in binary, not inherited by programs started later;
// a descriptor, or -1 with errno set. nonBlocking: a FIFO opens without
// waiting for a writer (POSIX).
int OpenForReading(const std::string& path, bool nonBlocking = false);

// Opens a file to append to, created when missing, readable where allowed
// (else append-only, as a device may be); -1 with errno set. Every write
// through it goes to the end of the file, in one piece, whoever else appends.
int OpenForAppending(const std::string& path);

// Creates or empties a file to write it whole; -1 with errno set.
int OpenForReplacing(const std::string& path);

int CloseFile(int fd);  // 0, or -1 with errno set

// What a descriptor's file is now.
struct FileFacts {
  bool regular = false;  // a file on a disk (not a device, pipe or folder)
  std::int64_t size = 0;
  std::uint64_t device = 0;  // device and file number together name the file
  std::uint64_t inode = 0;
  std::int64_t modifiedNs = 0;  // last modification, nanoseconds of the system's epoch
};
int InspectFile(int fd, FileFacts& facts);  // 0, or an errno value

// Reads from the file position to the end onto text, or until text holds
// more than limit bytes; 0, or an errno value.
int ReadToEnd(int fd, std::string& text, std::size_t limit = std::string::npos);

// Reads up to size bytes at offset without moving the file position: the
// number read (0 at the end), or -1 with errno set.
std::int64_t ReadAt(int fd, std::int64_t offset, char* buffer, std::size_t size);

// Writes all of text, then has the system put it on the disk; 0, or an errno
// value (ENOSPC when the device took nothing).
int WriteDurably(int fd, std::string_view text);

// Cuts the file back to its first size bytes; 0, or an errno value.
int CutTo(int fd, std::int64_t size);

// An exclusive lock among the processes that take it on the same file, held
// until UnlockAppends: it keeps no reader or other writer out.
int LockAppends(int fd);  // 0, or an errno value
void UnlockAppends(int fd);

// Gives the file `from` the name `to`, in place of a file of that name, in
// one step; 0, or an errno value.
int RenameOver(const std::string& from, const std::string& to);
void RemoveFile(const std::string& path);

}  // namespace experiment
