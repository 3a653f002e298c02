// The pattern finder: enumerates the directory entries that match a wildcard pattern, one
// behind the platform search, and gives each entry's full path.
//
// Every user follows one loop: FindFile; then repeat { more = FindNextFile(); inspect the
// current entry } while more; then Close (or let the finder go out of scope). FindNextFile
// comes before the first inspection, and the pass in which it returns false still inspects the
// last entry, so every entry is seen exactly once, in the platform's order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fsutil/file_system.h"

namespace tarn::fsutil {

class PatternFinder {
 public:
  explicit PatternFinder(FileSystem& fs) : fs_(fs) {}
  PatternFinder(const PatternFinder&) = delete;
  PatternFinder& operator=(const PatternFinder&) = delete;
  ~PatternFinder() { Close(); }

  // Starts a search; a null pattern means "*.*". False when nothing matches, the search
  // cannot start, or the pattern or its full path takes MAX_PATH bytes or more; the finder is
  // then closed and the thread's last error says why.
  bool FindFile(const char* pattern);

  // Makes the entry fetched ahead current and fetches the next one. False when there is no
  // further entry (end of listing and fetch errors alike); the current entry is still valid.
  bool FindNextFile();

  bool IsDots() const;
  bool MatchesMask(std::uint32_t mask) const;
  std::string_view GetFileName() const;

  // The current entry's full path: root, a backslash unless root ends in a separator, name.
  std::string GetFilePath() const;
  // The same into `path`, reusing its storage, so a listing needs no allocation per entry.
  void GetFilePath(std::string& path) const;

  void Close();

 private:
  FileSystem& fs_;
  std::string root_;
  // The two records are exchanged by swapping these pointers; both point into records_ or
  // are null while the finder is closed.
  FindEntry records_[2];
  FindEntry* currentEntry_ = nullptr;
  FindEntry* nextEntry_ = nullptr;
  SearchHandle searchHandle_ = kNoSearch;
  bool exhausted_ = false;
  bool rootEndsInSeparator_ = false;
  static constexpr char separator_ = '\\';
};

}  // namespace tarn::fsutil
