#include "fsutil/list.h"

#include <cstring>
#include <string>

#include "fsutil/finder.h"

namespace tarn::fsutil {

std::int32_t list_files(FileSystem& fs, const char* pattern, char** path_buffers,
                        std::int32_t copy_paths) {
  PatternFinder finder(fs);
  if (!finder.FindFile(pattern)) return -1;
  std::int32_t count = 0;
  std::string path;
  bool more;
  do {
    more = finder.FindNextFile();
    if (finder.IsDots() || finder.MatchesMask(kAttributeDirectory)) continue;
    if (copy_paths != 0) {
      finder.GetFilePath(path);
      std::memcpy(path_buffers[count], path.c_str(), path.size() + 1);
    }
    ++count;
  } while (more);
  return count;
}

}  // namespace tarn::fsutil
