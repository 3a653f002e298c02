#include "fsutil/create_dir.h"

#include <string>
#include <string_view>
#include <vector>

#include "text/path.h"

namespace tarn::fsutil {
namespace {

// The length of `path` without one trailing backslash character.
std::size_t without_trailing_backslash(std::string_view path, const text::LeadByteTable& lead) {
  return text::ends_with_backslash(path, lead) ? path.size() - 1 : path.size();
}

}  // namespace

std::int32_t create_directory_path(FileSystem& fs, const char* path) {
  const text::LeadByteTable& lead = fs.lead_bytes();
  const std::string whole = path == nullptr ? std::string() : std::string(path);

  // Walk up one backslash at a time to the deepest level that exists, remembering the missing
  // ones. Every level is a prefix of the whole path, so its length names it. A loop rather than
  // a call per level keeps a path of many thousands of backslashes off the stack.
  std::vector<std::size_t> missing;
  std::size_t length = without_trailing_backslash(whole, lead);
  while (length != 0) {
    const std::string level = whole.substr(0, length);
    if (fs.attributes(level.c_str()) != kInvalidAttributes) break;
    missing.push_back(length);
    const std::string_view parent = text::parent_directory(level, lead);
    length = without_trailing_backslash(parent, lead);
  }

  // Create them on the way back down, parents first.
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    const std::string level = whole.substr(0, *it);
    if (fs.create_directory(level.c_str())) continue;
    // Someone else may have created the level since it was tested (or it is the same
    // directory spelt with one more backslash): a directory standing there now is what was
    // asked for.
    if (fs.last_error() != kErrorAlreadyExists) return -1;
    const std::uint32_t now = fs.attributes(level.c_str());
    if (now == kInvalidAttributes || (now & kAttributeDirectory) == 0) return -1;
  }
  return 0;
}

}  // namespace tarn::fsutil
