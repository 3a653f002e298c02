// Deleting the files that match a pattern, and whole directory trees.
#pragma once

#include <cstdint>

#include "fsutil/file_system.h"

namespace tarn::fsutil {

// Deletes every plain file that matches `pattern` in the one directory it names, clearing its
// attributes first so that read-only, hidden and system files go too. Returns 0 when done (also
// when only directories matched), -1 when the pattern is null or nothing matches (nothing
// deleted), -2 when a deletion failed (the files listed before it are deleted, that one has its
// attributes cleared, the later ones are untouched).
std::int32_t delete_matching_files(FileSystem& fs, const char* pattern);

// Removes the directory `path` (one trailing backslash allowed) and everything below it,
// depth first: a level's files, then its subdirectories in listing order, then the level
// itself. Links (reparse points) are removed, never entered. Returns 0 when removed; -2 when
// deleting a level's files failed or found nothing, and for a path that names a drive or share
// root (nothing touched); -1 when the second listing of a level failed; -3 when it still showed
// a file; -4 when removing a directory failed. A code from below is passed up unchanged;
// nothing is rolled back.
std::int32_t delete_tree(FileSystem& fs, const char* path);

}  // namespace tarn::fsutil
