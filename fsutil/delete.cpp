#include "fsutil/delete.h"

#include <string>
#include <string_view>

#include "fsutil/finder.h"
#include "text/path.h"

namespace tarn::fsutil {
namespace {

constexpr std::string_view kEveryEntry = "\\*.*";

bool is_link(std::uint32_t attributes) { return (attributes & kAttributeReparsePoint) != 0; }

// Removes a link to a directory (junction, symbolic link, mount point) without looking at what
// it points to.
std::int32_t remove_link(FileSystem& fs, const char* link) {
  return fs.remove_directory(link) ? 0 : -4;
}

// One level of the walk; `dir` has no trailing backslash.
std::int32_t delete_level(FileSystem& fs, std::string_view dir) {
  // One string serves as the level's pattern and, cut back, as its own path.
  std::string pattern;
  pattern.reserve(dir.size() + kEveryEntry.size());
  pattern.append(dir).append(kEveryEntry);

  if (delete_matching_files(fs, pattern.c_str()) != 0) return -2;

  {
    PatternFinder finder(fs);
    if (!finder.FindFile(pattern.c_str())) return -1;
    std::string subdirectory;
    bool more;
    do {
      more = finder.FindNextFile();
      if (finder.IsDots()) continue;
      if (!finder.MatchesMask(kAttributeDirectory)) return -3;
      finder.GetFilePath(subdirectory);
      const std::int32_t result = finder.MatchesMask(kAttributeReparsePoint)
                                      ? remove_link(fs, subdirectory.c_str())
                                      : delete_level(fs, subdirectory);
      if (result != 0) return result;
    } while (more);
    // The finder closes here: an open search on the directory would keep it from going.
  }

  pattern.resize(dir.size());
  fs.set_attributes(pattern.c_str(), 0);
  return fs.remove_directory(pattern.c_str()) ? 0 : -4;
}

}  // namespace

std::int32_t delete_matching_files(FileSystem& fs, const char* pattern) {
  // The finder would take a null pattern as "*.*" and empty the current directory.
  if (pattern == nullptr) return -1;
  PatternFinder finder(fs);
  if (!finder.FindFile(pattern)) return -1;
  std::string path;
  bool more;
  do {
    more = finder.FindNextFile();
    if (finder.IsDots() || finder.MatchesMask(kAttributeDirectory)) continue;
    finder.GetFilePath(path);
    fs.set_attributes(path.c_str(), 0);  // so that read-only files can be deleted
    if (!fs.delete_file(path.c_str())) return -2;
  } while (more);
  return 0;
}

std::int32_t delete_tree(FileSystem& fs, const char* path) {
  if (path == nullptr) return -2;
  const text::LeadByteTable& lead = fs.lead_bytes();
  std::string dir(path);
  text::drop_trailing_backslash(dir, lead);

  // A drive or share root would have the walk empty the whole volume: refuse it, however it is
  // spelt ("..", "X:/", a relative path from the root), by judging the full path as well.
  if (text::names_root(dir, lead)) return -2;
  char full[kMaxPath];
  const std::size_t length = fs.full_path(dir.c_str(), full, sizeof full);
  if (length == 0 || length >= sizeof full || text::names_root({full, length}, lead)) return -2;

  // A link given as the tree itself is removed like a link met inside a tree.
  const std::uint32_t attributes = fs.attributes(dir.c_str());
  if (attributes != kInvalidAttributes && (attributes & kAttributeDirectory) != 0 &&
      is_link(attributes)) {
    return remove_link(fs, dir.c_str());
  }
  return delete_level(fs, dir);
}

}  // namespace tarn::fsutil
