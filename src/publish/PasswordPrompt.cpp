#include "PasswordPrompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>

namespace publish {
namespace {

// The terminal's echo is turned off while the password is typed, and back on
// whatever happens.
class EchoOff {
 public:
  explicit EchoOff(int fd) : fd_(fd) {
    if (tcgetattr(fd_, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    on_ = tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
  }
  ~EchoOff() {
    if (on_) tcsetattr(fd_, TCSAFLUSH, &saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  int fd_;
  termios saved_{};
  bool on_ = false;
};

std::string withoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace

std::optional<std::string> askPassword(const std::string& prompt) {
  const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string line;
  {
    EchoOff quiet(fd);
    (void)!::write(fd, prompt.data(), prompt.size());
    char c = 0;
    while (::read(fd, &c, 1) == 1 && c != '\n') line += c;
  }
  ::close(fd);
  return withoutLineEnd(line);
}

std::optional<std::string> passwordFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line)) return std::nullopt;
  return withoutLineEnd(line);
}

}  // namespace publish
