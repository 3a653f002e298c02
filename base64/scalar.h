// The scalar codec's rules for what the block functions leave: the last group of the encoder
// and the decoder's quads with a pad, a character outside the alphabet, or the end of the text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarn::base64 {

inline constexpr char kPad = '=';

// Encodes the last 1 or 2 bytes of an input as 4 characters ending in "==" or "=".
void encode_last_group(const std::uint8_t* bytes, std::size_t length, char* text);

struct QuadOutcome {
  enum class Kind : std::uint8_t {
    next,      // 3 bytes written; the decode goes on with the next quad
    finished,  // 1 or 2 bytes written and the decode ends here (a pad or the end of the text)
    invalid,   // a character outside the alphabet and the pad; nothing written
    no_room,   // the quad's bytes would not fit; nothing written
  };
  Kind kind;
  std::size_t written;           // bytes written for this quad
  std::size_t invalid_position;  // 0 to 3, with invalid
};

// Decodes the quad at the start of `text` (`length` characters remain, at least 1) by the exact
// rules: all four positions valued first (past the end or the pad give 0), then its bytes
// written if they fit in `room`.
QuadOutcome decode_quad(const char* text, std::size_t length, std::uint8_t* bytes,
                        std::size_t room);

}  // namespace tarn::base64
