#include "cli/output_file.h"

#include <filesystem>

#include "cli/platform.h"

namespace tarn::cli {

PublishResult publish_file(const std::string& target, std::string_view content, bool replace) {
  // Beside the target, so the rename stays within one file system and cannot turn into a copy.
  const std::filesystem::path target_path(target);
  std::string stem = ".";
  stem += target_path.filename().string();
  stem += ".tarn-" + std::to_string(process_id()) + "-";
  std::string temporary;
  std::string error;
  FileOutcome written = FileOutcome::kExists;
  for (int attempt = 0; attempt < 100 && written == FileOutcome::kExists; ++attempt) {
    temporary = (target_path.parent_path() / (stem + std::to_string(attempt))).string();
    written = write_new_file(temporary, content, error);
  }
  if (written == FileOutcome::kExists) error = "no free name for a temporary file";
  if (written != FileOutcome::kDone) return {PublishResult::kFailed, error};

  switch (move_file(temporary, target, replace, error)) {
    case FileOutcome::kDone:
      return {PublishResult::kWritten, {}};
    case FileOutcome::kExists:
      remove_file_quietly(temporary);
      return {PublishResult::kTargetExists, {}};
    case FileOutcome::kFailed:
      break;
  }
  remove_file_quietly(temporary);
  return {PublishResult::kFailed, error};
}

}  // namespace tarn::cli
