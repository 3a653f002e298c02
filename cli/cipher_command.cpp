// tarn cipher --key K: the text cipher from standard input to standard output.
#include <vector>

#include "cipher/cryptogram.h"
#include "cli/commands.h"
#include "cli/platform.h"
#include "cli/streams.h"

namespace tarn::cli {

int cipher(const std::string& key) {
  if (key.empty()) return report(kExitRefused, "the key is empty; it would change nothing");
  use_binary_mode(stdin);
  use_binary_mode(stdout);

  // The cipher works on zero-terminated text and treats each byte on its own, so a chunk is
  // enciphered as the runs between its zero bytes, which pass through unchanged: text without
  // zero bytes comes out exactly as the library's export gives it, and a second run with the
  // same key restores any input.
  std::vector<char> chunk(64 * 1024 + 1);
  for (;;) {
    const std::size_t got = std::fread(chunk.data(), 1, chunk.size() - 1, stdin);
    if (got == 0) break;
    chunk[got] = '\0';
    for (std::size_t at = 0; at < got;) {
      char* run = chunk.data() + at;
      cipher::cryptogram(run, key.c_str());
      at += std::char_traits<char>::length(run) + 1;
    }
    if (!write_bytes(stdout, {chunk.data(), got})) {
      return report(kExitFailure, "cannot write to standard output");
    }
  }
  if (std::ferror(stdin)) return report(kExitFailure, "cannot read standard input");
  return std::fflush(stdout) == 0 ? kExitSuccess
                                  : report(kExitFailure, "cannot write to standard output");
}

}  // namespace tarn::cli
