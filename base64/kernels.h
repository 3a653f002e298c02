// The block functions every path of the codec provides. Each one works only on whole blocks
// that need none of the codec's special rules and stops where the rules are needed; the
// drivers in codec.cpp apply those rules with the scalar quad functions and call back in.
//
// The files under arch/ are compiled with their own instruction set flags and include nothing
// but this header and the intrinsics, so that no inline function compiled for a wider
// instruction set can be picked by the linker for code that runs on any processor.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarn::base64 {

// Encodes whole groups of 3 bytes from the start of `bytes`, reading nothing at or past
// `bytes + length`, writing exactly 4 characters per group consumed. Returns the bytes
// consumed, a multiple of 3; it may leave whole groups for the caller.
using EncodeBlocks = std::size_t (*)(const std::uint8_t* bytes, std::size_t length, char* text);

// Decodes whole quads of 4 alphabet characters from the start of `text`, reading nothing at or
// past `text + length`, and stops before the first block that holds any other character or
// whose bytes would not fit in `room`. Writes exactly 3 bytes per quad consumed and nothing
// else. Returns the characters consumed, a multiple of 4.
using DecodeBlocks = std::size_t (*)(const char* text, std::size_t length, std::uint8_t* bytes,
                                     std::size_t room);

struct Kernels {
  EncodeBlocks encode_blocks;
  DecodeBlocks decode_blocks;
  // Characters in one block of decode_blocks: where it stops, the scalar rules take over for
  // this many characters before the block function is tried again.
  std::size_t decode_block_characters;
};

std::size_t encode_blocks_scalar(const std::uint8_t* bytes, std::size_t length, char* text);
std::size_t decode_blocks_scalar(const char* text, std::size_t length, std::uint8_t* bytes,
                                 std::size_t room);

std::size_t encode_blocks_ssse3(const std::uint8_t* bytes, std::size_t length, char* text);
std::size_t decode_blocks_ssse3(const char* text, std::size_t length, std::uint8_t* bytes,
                                std::size_t room);

std::size_t encode_blocks_avx2(const std::uint8_t* bytes, std::size_t length, char* text);
std::size_t decode_blocks_avx2(const char* text, std::size_t length, std::uint8_t* bytes,
                               std::size_t room);

}  // namespace tarn::base64
