// Publishing a file whole or not at all.
#pragma once

#include <string>
#include <string_view>

namespace tarn::cli {

struct PublishResult {
  enum Kind { kWritten, kTargetExists, kFailed } kind;
  std::string error;  // for kFailed
};

// Writes `content` to `target` so that no reader ever sees a partial file: the bytes go to a
// new temporary file in the same directory, reach the disk, and then the temporary file is
// renamed to `target`. Without `replace` an existing `target` is never touched. Whatever
// fails, the temporary file is removed and `target` is as it was.
PublishResult publish_file(const std::string& target, std::string_view content, bool replace);

}  // namespace tarn::cli
