// Directory creation: a directory with every missing directory above it.
#pragma once

#include <cstdint>

#include "fsutil/file_system.h"

namespace tarn::fsutil {

// Returns 0 when `path` exists (as anything, a file included) or every missing level was
// created; also for an empty or null path, where nothing is done. Returns -1 when creating a
// level failed; the levels created before it stay.
std::int32_t create_directory_path(FileSystem& fs, const char* path);

}  // namespace tarn::fsutil
