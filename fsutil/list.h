// Listing the plain files that match a pattern.
#pragma once

#include <cstdint>

#include "fsutil/file_system.h"

namespace tarn::fsutil {

// Counts the entries matching `pattern` that are neither "."/".." nor directories and, when
// `copy_paths` is nonzero, copies the full path of the n-th of them, NUL-terminated, into
// path_buffers[n]. Only the path bytes and their NUL are written; path_buffers is not read when
// copy_paths is 0. A null pattern lists the current directory. Returns the count, or -1 when
// nothing matches or the search fails (nothing written).
std::int32_t list_files(FileSystem& fs, const char* pattern, char** path_buffers,
                        std::int32_t copy_paths);

}  // namespace tarn::fsutil
