#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "cli/platform.h"

namespace tarn::cli {

bool is_terminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

void use_binary_mode(std::FILE*) {}

std::optional<std::string> read_hidden_line(const char* prompt) {
  std::fputs(prompt, stderr);
  std::fflush(stderr);
  termios saved{};
  const bool can_hide = tcgetattr(STDIN_FILENO, &saved) == 0;
  if (can_hide) {
    termios hidden = saved;
    hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    hidden.c_lflag |= ECHONL;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
  }
  std::string line;
  const bool read = static_cast<bool>(std::getline(std::cin, line));
  if (can_hide) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
  if (!read) return std::nullopt;
  return line;
}

FileOutcome write_new_file(const std::string& path, std::string_view content, std::string& error) {
  // Only the owner may read it: the fields are enciphered, not protected.
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (file < 0) {
    if (errno == EEXIST) return FileOutcome::kExists;
    error = std::strerror(errno);
    return FileOutcome::kFailed;
  }
  std::size_t written = 0;
  bool ok = true;
  while (ok && written < content.size()) {
    const ssize_t step = write(file, content.data() + written, content.size() - written);
    if (step < 0 && errno == EINTR) continue;
    ok = step > 0;
    if (ok) written += static_cast<std::size_t>(step);
  }
  ok = ok && fsync(file) == 0;
  if (!ok) error = std::strerror(errno);
  if (close(file) != 0 && ok) {
    ok = false;
    error = std::strerror(errno);
  }
  if (ok) return FileOutcome::kDone;
  unlink(path.c_str());
  return FileOutcome::kFailed;
}

FileOutcome move_file(const std::string& from, const std::string& to, bool replace,
                      std::string& error) {
  if (replace) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return FileOutcome::kDone;
    error = std::strerror(errno);
    return FileOutcome::kFailed;
  }
  // A hard link is made only where no entry exists yet, in one step, so a file that appeared
  // since the caller looked is never overwritten.
  if (link(from.c_str(), to.c_str()) == 0) {
    unlink(from.c_str());
    return FileOutcome::kDone;
  }
  if (errno == EEXIST) return FileOutcome::kExists;
  error = std::strerror(errno);
  return FileOutcome::kFailed;
}

std::FILE* create_new_stream(const std::string& path, std::string& error) {
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  std::FILE* stream = file < 0 ? nullptr : fdopen(file, "wb");
  if (stream == nullptr) {
    error = std::strerror(errno);
    if (file >= 0) close(file);
  }
  return stream;
}

bool sync_stream(std::FILE* stream) {
  return std::fflush(stream) == 0 && fsync(fileno(stream)) == 0;
}

void remove_file_quietly(const std::string& path) { unlink(path.c_str()); }

unsigned long process_id() { return static_cast<unsigned long>(getpid()); }

}  // namespace tarn::cli
