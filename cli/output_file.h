// Publishing a file whole or not at all.
#pragma once

#include <cstdio>
#include <memory>
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

// An output of unknown length, written piece by piece: standard output, or a file that
// appears whole or not at all. A file's bytes go to a temporary file beside it, which commit()
// renames over the target (replacing it, as output files of a converter are); an output that is
// destroyed uncommitted leaves the target as it was and no temporary file behind. A target that
// exists but is no regular file (a device such as /dev/null or NUL, a pipe) is written directly:
// renaming over it would replace the device.
class StreamedOutput {
 public:
  // "" or "-" is standard output. Nothing, with `error` set, when the file cannot be created.
  static std::unique_ptr<StreamedOutput> open(const std::string& target, std::string& error);
  StreamedOutput(const StreamedOutput&) = delete;
  StreamedOutput& operator=(const StreamedOutput&) = delete;
  ~StreamedOutput();

  bool write(std::string_view bytes);
  bool commit(std::string& error);

 private:
  StreamedOutput(std::FILE* stream, bool owned, std::string target, std::string temporary)
      : stream_(stream),
        owned_(owned),
        target_(std::move(target)),
        temporary_(std::move(temporary)) {}

  std::FILE* stream_;
  bool owned_;             // closed by this object
  std::string target_;     // for messages and the final rename
  std::string temporary_;  // empty when written directly, and once committed
};

}  // namespace tarn::cli
