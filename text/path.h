// Path rules that look for separators character by character in an ANSI string: backslash
// (0x5C) and forward slash (0x2F) count only where they are a whole character, never as the
// second byte of a double-byte character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/lead_bytes.h"

namespace tarn::text {

inline constexpr std::size_t kNotFound = std::string_view::npos;

// Offset of the last backslash character, or kNotFound.
std::size_t last_backslash(std::string_view path, const LeadByteTable& lead);

// Offset of the last backslash or forward slash character, whichever stands later, or kNotFound.
std::size_t last_separator(std::string_view path, const LeadByteTable& lead);

// Whether the last character is a backslash (or, for the second, either separator).
bool ends_with_backslash(std::string_view path, const LeadByteTable& lead);
bool ends_with_separator(std::string_view path, const LeadByteTable& lead);

// Removes one final backslash character; one before it stays.
void drop_trailing_backslash(std::string& path, const LeadByteTable& lead);

// The path up to, and not including, its last backslash; empty when it holds none. Forward
// slashes do not count: this is how directory creation walks up its levels.
std::string_view parent_directory(std::string_view path, const LeadByteTable& lead);

// The directory part of a full path for the pattern finder: up to, and not including, its last
// separator of either kind; the whole path when it holds none.
std::string_view finder_root(std::string_view full_path, const LeadByteTable& lead);

// Whether `path` names a whole drive or share rather than a directory on it: the empty path, a
// lone separator, "X:" or "X:\", "\\server\share" with or without a trailing separator, and the
// device forms "\\?\X:\" and "\\?\UNC\server\share". Relative paths other than the empty one
// are not judged: resolve them to full paths first.
bool names_root(std::string_view path, const LeadByteTable& lead);

}  // namespace tarn::text
