#pragma once
#include <string>

namespace publish {

// A file's new contents, written out whole beside it before it takes the
// file's place in one rename: a reader sees the old file or the new one,
// never a part. A full disk or any short write is seen before the rename.
// A symbolic link is written through to the file it names.
class PendingFile {
 public:
  explicit PendingFile(const std::string& path);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Writes, flushes to the disk and closes the new contents.
  bool write(const std::string& text);
  // Puts them in the file's place.
  bool commit();

 private:
  std::string path_;
  std::string temporary_;
};

}  // namespace publish
