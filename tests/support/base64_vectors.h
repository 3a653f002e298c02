// The test vectors of RFC 4648, section 10: bytes and their Base64 text.
#pragma once

#include <string_view>
#include <utility>

namespace tarn::vectors {

inline constexpr std::pair<std::string_view, std::string_view> kRfc4648[] = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
};

}  // namespace tarn::vectors
