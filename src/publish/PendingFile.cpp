#include "PendingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace publish {
namespace {

bool writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The new file keeps the old one's permissions; a new one is readable by all,
// as a web server's files are.
mode_t modeFor(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644;
}

}  // namespace

PendingFile::PendingFile(const std::string& path) {
  std::error_code error;
  const auto target = std::filesystem::canonical(path, error);
  path_ = error ? path : target.string();
}

PendingFile::~PendingFile() {
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

bool PendingFile::write(const std::string& text) {
  // What stands in the file's place must be a file: a rename over a folder
  // would fail only after the other file was replaced.
  struct stat info {};
  if (::stat(path_.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return false;
  std::string pattern = path_ + ".new-XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return false;
  temporary_ = pattern;
  const bool written = writeAll(fd, text) && ::fchmod(fd, modeFor(path_)) == 0 && ::fsync(fd) == 0;
  return ::close(fd) == 0 && written;
}

bool PendingFile::commit() {
  if (temporary_.empty() || ::rename(temporary_.c_str(), path_.c_str()) != 0) return false;
  temporary_.clear();
  return true;
}

}  // namespace publish
