#include "cli/output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/platform.h"

namespace tarn::cli {
namespace {

// A name beside `target` for its temporary file, different for every process and attempt.
std::string temporary_name(const std::string& target, int attempt) {
  const std::filesystem::path target_path(target);
  std::string name = ".";
  name += target_path.filename().string();
  name += ".tarn-" + std::to_string(process_id()) + "-" + std::to_string(attempt);
  return (target_path.parent_path() / name).string();
}

}  // namespace

PublishResult publish_file(const std::string& target, std::string_view content, bool replace) {
  // Beside the target, so the rename stays within one file system and cannot turn into a copy.
  std::string temporary;
  std::string error;
  FileOutcome written = FileOutcome::kExists;
  for (int attempt = 0; attempt < 100 && written == FileOutcome::kExists; ++attempt) {
    temporary = temporary_name(target, attempt);
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

std::unique_ptr<StreamedOutput> StreamedOutput::open(const std::string& target,
                                                     std::string& error) {
  if (target.empty() || target == "-") {
    use_binary_mode(stdout);
    return std::unique_ptr<StreamedOutput>(
        new StreamedOutput(stdout, false, "standard output", {}));
  }
  std::error_code ignored;
  const auto status = std::filesystem::status(target, ignored);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    std::FILE* stream = std::fopen(target.c_str(), "wb");
    if (stream == nullptr) error = std::strerror(errno);
    return stream ? std::unique_ptr<StreamedOutput>(new StreamedOutput(stream, true, target, {}))
                  : nullptr;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temporary = temporary_name(target, attempt);
    if (std::filesystem::exists(temporary, ignored)) continue;
    if (std::FILE* stream = create_new_stream(temporary, error)) {
      return std::unique_ptr<StreamedOutput>(
          new StreamedOutput(stream, true, target, std::move(temporary)));
    }
    if (!std::filesystem::exists(temporary, ignored)) return nullptr;
  }
  error = "no free name for a temporary file";
  return nullptr;
}

StreamedOutput::~StreamedOutput() {
  if (owned_ && stream_ != nullptr) std::fclose(stream_);
  if (!temporary_.empty()) remove_file_quietly(temporary_);
}

bool StreamedOutput::write(std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), stream_) == bytes.size();
}

bool StreamedOutput::commit(std::string& error) {
  const bool synced = temporary_.empty() ? std::fflush(stream_) == 0 : sync_stream(stream_);
  const bool closed = !owned_ || std::fclose(stream_) == 0;
  if (owned_) stream_ = nullptr;
  if (!synced || !closed) {
    error = "cannot write " + target_;
    return false;
  }
  if (temporary_.empty()) return true;
  if (move_file(temporary_, target_, true, error) != FileOutcome::kDone) {
    error = "cannot write " + target_ + ": " + error;
    return false;
  }
  temporary_.clear();
  return true;
}

}  // namespace tarn::cli
