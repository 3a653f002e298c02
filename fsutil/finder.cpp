#include "fsutil/finder.h"

#include <cstring>
#include <utility>

#include "text/path.h"

namespace tarn::fsutil {

bool PatternFinder::FindFile(const char* pattern) {
  Close();
  if (pattern == nullptr) pattern = "*.*";
  // The platform and every buffer below are sized for MAX_PATH; a longer pattern is refused
  // before anything is asked of the file system.
  if (std::strlen(pattern) >= kMaxPath) {
    fs_.set_last_error(kErrorInvalidName);
    return false;
  }

  nextEntry_ = &records_[0];
  searchHandle_ = fs_.find_first(pattern, *nextEntry_);
  if (searchHandle_ == kNoSearch) {
    const std::uint32_t error = fs_.last_error();
    Close();
    fs_.set_last_error(error);
    return false;
  }

  char full[kMaxPath];
  const std::size_t length = fs_.full_path(pattern, full, sizeof full);
  if (length == 0 || length >= sizeof full) {
    Close();
    fs_.set_last_error(kErrorInvalidName);
    return false;
  }
  root_.assign(text::finder_root(std::string_view(full, length), fs_.lead_bytes()));
  rootEndsInSeparator_ = text::ends_with_separator(root_, fs_.lead_bytes());
  return true;
}

bool PatternFinder::FindNextFile() {
  if (searchHandle_ == kNoSearch || exhausted_) return false;
  if (currentEntry_ == nullptr) currentEntry_ = &records_[1];
  std::swap(currentEntry_, nextEntry_);
  // Asking again after the end would hand out a stale record as current, so the search is
  // asked no more once it has said it is done.
  exhausted_ = !fs_.find_next(searchHandle_, *nextEntry_);
  return !exhausted_;
}

bool PatternFinder::IsDots() const {
  if (!MatchesMask(kAttributeDirectory)) return false;
  const char* name = currentEntry_->name;
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool PatternFinder::MatchesMask(std::uint32_t mask) const {
  return currentEntry_ != nullptr && (currentEntry_->attributes & mask) != 0;
}

std::string_view PatternFinder::GetFileName() const {
  if (currentEntry_ == nullptr) return {};
  // The platform ends the name with a NUL within the record; the bound keeps a malformed
  // record from being read past its end.
  return std::string_view(currentEntry_->name, strnlen(currentEntry_->name, kMaxPath));
}

std::string PatternFinder::GetFilePath() const {
  std::string path;
  GetFilePath(path);
  return path;
}

void PatternFinder::GetFilePath(std::string& path) const {
  path.assign(root_);
  if (!rootEndsInSeparator_) path.push_back(separator_);
  path.append(GetFileName());
}

void PatternFinder::Close() {
  currentEntry_ = nullptr;
  nextEntry_ = nullptr;
  exhausted_ = false;
  if (searchHandle_ != kNoSearch) {
    fs_.find_close(searchHandle_);
    searchHandle_ = kNoSearch;
  }
}

}  // namespace tarn::fsutil
