#include "cli/streams.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace tarn::cli {

std::optional<std::string> read_file(const std::string& path, std::string& error) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes;
  char chunk[64 * 1024];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, got);
  if (std::ferror(file.get())) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  return bytes;
}

std::string read_stream(std::FILE* stream, std::size_t limit) {
  std::string bytes;
  char chunk[64 * 1024];
  while (bytes.size() < limit) {
    const std::size_t want = std::min(sizeof chunk, limit - bytes.size());
    const std::size_t got = std::fread(chunk, 1, want, stream);
    bytes.append(chunk, got);
    if (got < want) break;
  }
  return bytes;
}

bool write_bytes(std::FILE* stream, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

}  // namespace tarn::cli
