// tarn base64 encode|decode [IN [OUT]]: the library's codec over streams of any size.
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "base64/codec.h"
#include "cli/commands.h"
#include "cli/output_file.h"
#include "cli/platform.h"
#include "cli/progress_bar.h"

namespace tarn::cli {
namespace {

// Groups of 3 bytes encode, and quads of 4 characters decode, exactly as the whole input
// would; both chunk sizes are multiples of 12.
constexpr std::size_t kEncodeChunk = 768 * 1024;
constexpr std::size_t kDecodeChunk = 1024 * 1024;

using FileCloser = int (*)(std::FILE*);

struct Input {
  std::unique_ptr<std::FILE, FileCloser> owned{nullptr, &std::fclose};
  std::FILE* stream = nullptr;
  std::uint64_t size = 0;  // 0 when unknown, as for a pipe
};

bool open_input(const std::string& path, Input& input, std::string& error) {
  if (path.empty() || path == "-") {
    use_binary_mode(stdin);
    input.stream = stdin;
    return true;
  }
  input.owned.reset(std::fopen(path.c_str(), "rb"));
  if (!input.owned) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  input.stream = input.owned.get();
  std::error_code ignored;
  const auto size = std::filesystem::file_size(path, ignored);
  input.size = ignored ? 0 : size;
  return true;
}

// Reads until `count` bytes are in or the input ends, so every chunk but the last is whole.
std::size_t read_fully(std::FILE* stream, char* into, std::size_t count) {
  std::size_t got = 0;
  while (got < count) {
    const std::size_t step = std::fread(into + got, 1, count - got, stream);
    if (step == 0) break;
    got += step;
  }
  return got;
}

struct Streams {
  Input input;
  std::unique_ptr<StreamedOutput> output;
};

bool open_streams(const std::string& in, const std::string& out, Streams& streams,
                  std::string& error) {
  if (!open_input(in, streams.input, error)) return false;
  streams.output = StreamedOutput::open(out, error);
  if (!streams.output) error = "cannot write " + out + ": " + error;
  return streams.output != nullptr;
}

}  // namespace

int base64_encode(const std::string& in, const std::string& out) {
  Streams streams;
  std::string error;
  if (!open_streams(in, out, streams, error)) return report(kExitFailure, error);
  ProgressBar progress(streams.input.size);

  std::vector<char> bytes(kEncodeChunk);
  std::vector<char> text(base64::encoded_length(kEncodeChunk));
  std::uint64_t done = 0;
  for (;;) {
    const std::size_t got = read_fully(streams.input.stream, bytes.data(), bytes.size());
    if (got > 0) {
      const auto written = base64::encode(
          {reinterpret_cast<const std::uint8_t*>(bytes.data()), got}, std::span<char>(text));
      if (!written || !streams.output->write({text.data(), *written})) {
        return report(kExitFailure, "cannot write the Base64 text");
      }
      done += got;
      progress.show(done);
    }
    if (got < bytes.size()) break;
  }
  if (std::ferror(streams.input.stream)) return report(kExitFailure, "cannot read the input");
  if (!streams.output->commit(error)) return report(kExitFailure, error);
  return kExitSuccess;
}

int base64_decode(const std::string& in, const std::string& out) {
  Streams streams;
  std::string error;
  if (!open_streams(in, out, streams, error)) return report(kExitFailure, error);
  ProgressBar progress(streams.input.size);

  // Two characters are read ahead of each chunk: a line end at the very end of the input (as
  // echo and editors leave) is no part of the text, anywhere else it is an invalid character.
  std::string text;
  std::vector<std::uint8_t> bytes(base64::decoded_length_max(kDecodeChunk + 2));
  std::uint64_t text_offset = 0;  // of text[0] in the input
  for (bool at_end = false; !at_end;) {
    const std::size_t before = text.size();
    text.resize(kDecodeChunk + 2);
    const std::size_t got =
        read_fully(streams.input.stream, text.data() + before, text.size() - before);
    text.resize(before + got);
    at_end = text.size() < kDecodeChunk + 2;
    std::size_t usable = kDecodeChunk;
    if (at_end) {
      if (text.ends_with("\r\n")) {
        text.resize(text.size() - 2);
      } else if (text.ends_with('\n')) {
        text.pop_back();
      }
      usable = text.size();
    }
    const base64::DecodeResult result = base64::decode({text.data(), usable}, bytes);
    if (result.status == base64::DecodeResult::Status::invalid_character) {
      const auto byte = static_cast<unsigned char>(text[result.invalid_offset]);
      char what[96];
      std::snprintf(what, sizeof what, "not Base64: byte 0x%02X at offset %llu", byte,
                    static_cast<unsigned long long>(text_offset + result.invalid_offset));
      return report(kExitFailure, what);
    }
    if (result.status != base64::DecodeResult::Status::ok ||
        !streams.output->write({reinterpret_cast<const char*>(bytes.data()), result.written})) {
      return report(kExitFailure, "cannot write the decoded bytes");
    }
    // A padded quad ends the text, as in the library: what follows it is not read.
    if (result.finished) break;
    text.erase(0, usable);
    text_offset += usable;
    progress.show(text_offset);
  }
  if (std::ferror(streams.input.stream)) return report(kExitFailure, "cannot read the input");
  if (!streams.output->commit(error)) return report(kExitFailure, error);
  return kExitSuccess;
}

}  // namespace tarn::cli
