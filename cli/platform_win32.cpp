#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "cli/platform.h"
#include "frame/win32_handle.h"

namespace tarn::cli {
namespace {

std::string system_message(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
    message.pop_back();
  }
  return message;
}

}  // namespace

bool is_terminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void use_binary_mode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

std::optional<std::string> read_hidden_line(const char* prompt) {
  std::fputs(prompt, stderr);
  std::fflush(stderr);
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD saved = 0;
  const bool can_hide = GetConsoleMode(input, &saved) != 0;
  if (can_hide) SetConsoleMode(input, saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
  std::string line;
  const bool read = static_cast<bool>(std::getline(std::cin, line));
  if (can_hide) {
    SetConsoleMode(input, saved);
    std::fputs("\n", stderr);
  }
  if (!read) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

FileOutcome write_new_file(const std::string& path, std::string_view content, std::string& error) {
  DWORD failure = ERROR_SUCCESS;
  {
    const frame::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      const DWORD code = GetLastError();
      if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) return FileOutcome::kExists;
      error = system_message(code);
      return FileOutcome::kFailed;
    }
    std::size_t written = 0;
    while (failure == ERROR_SUCCESS && written < content.size()) {
      DWORD step = 0;
      if (WriteFile(file.get(), content.data() + written,
                    static_cast<DWORD>(content.size() - written), &step, nullptr)) {
        written += step;
      } else {
        failure = GetLastError();
      }
    }
    if (failure == ERROR_SUCCESS && !FlushFileBuffers(file.get())) failure = GetLastError();
  }
  if (failure == ERROR_SUCCESS) return FileOutcome::kDone;
  error = system_message(failure);
  DeleteFileA(path.c_str());
  return FileOutcome::kFailed;
}

FileOutcome move_file(const std::string& from, const std::string& to, bool replace,
                      std::string& error) {
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (MoveFileExA(from.c_str(), to.c_str(), flags)) return FileOutcome::kDone;
  const DWORD code = GetLastError();
  if (!replace && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)) {
    return FileOutcome::kExists;
  }
  error = system_message(code);
  return FileOutcome::kFailed;
}

std::FILE* create_new_stream(const std::string& path, std::string& error) {
  const int file =
      _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  std::FILE* stream = file < 0 ? nullptr : _fdopen(file, "wb");
  if (stream == nullptr) {
    error = std::strerror(errno);
    if (file >= 0) _close(file);
  }
  return stream;
}

bool sync_stream(std::FILE* stream) {
  return std::fflush(stream) == 0 && _commit(_fileno(stream)) == 0;
}

void remove_file_quietly(const std::string& path) { DeleteFileA(path.c_str()); }

unsigned long process_id() { return GetCurrentProcessId(); }

}  // namespace tarn::cli
