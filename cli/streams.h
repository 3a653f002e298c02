// Whole-file and whole-stream reading and checked writing of bytes.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tarn::cli {

// The bytes of the file at `path`, or nothing with `error` set.
std::optional<std::string> read_file(const std::string& path, std::string& error);

// Up to `limit` bytes of `stream`, to its end or the limit.
std::string read_stream(std::FILE* stream, std::size_t limit);

// Writes all of `bytes` to `stream`; false when the stream refuses them.
bool write_bytes(std::FILE* stream, std::string_view bytes);

}  // namespace tarn::cli
