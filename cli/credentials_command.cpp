// tarn credentials write|read|check: the credential file, through the library's own rules.
#include <filesystem>

#include "cipher/credentials.h"
#include "cli/commands.h"
#include "cli/output_file.h"
#include "cli/platform.h"
#include "cli/streams.h"

namespace tarn::cli {
namespace {

// Hands the library's reader bytes already read, so the tool reads any named file exactly as
// the DLL reads "qzon.id".
class BytesCredentialSource final : public cipher::CredentialSource {
 public:
  explicit BytesCredentialSource(std::string_view bytes) : bytes_(bytes) {}
  std::optional<std::string> read_prefix(std::size_t max_bytes) override {
    return std::string(bytes_.substr(0, max_bytes));
  }

 private:
  std::string_view bytes_;
};

// The password: typed twice at a terminal without echo, or else the first line of standard
// input. Sets `refusal` and returns nothing when there is no acceptable password.
std::optional<std::string> password_from_input(std::string& refusal) {
  if (is_terminal(stdin)) {
    const auto first = read_hidden_line("Password: ");
    const auto second = first ? read_hidden_line("Password again: ") : std::nullopt;
    if (!second) {
      refusal = "no password was typed";
      return std::nullopt;
    }
    if (*first != *second) {
      refusal = "the two passwords differ; nothing was written";
      return std::nullopt;
    }
    return first;
  }
  use_binary_mode(stdin);
  // Anything past a line and a half of the longest field is refused below anyway.
  std::string input = read_stream(stdin, 4 * cipher::kMaxFieldLength);
  const std::size_t line_end = input.find('\n');
  if (line_end != std::string::npos) {
    if (line_end + 1 < input.size()) {
      refusal = "standard input holds more than one line; give the password alone";
      return std::nullopt;
    }
    input.resize(line_end);
    if (!input.empty() && input.back() == '\r') input.pop_back();
  }
  return input;
}

}  // namespace

int credentials_write(const CredentialsWriteOptions& options) {
  if (options.user.empty()) return report(kExitRefused, "the user name is empty");
  if (const auto problem = cipher::credential_value_problem(options.user)) {
    return report(kExitRefused, "the user name cannot be stored: " + *problem);
  }
  const bool to_stdout = options.output.empty() || options.output == "-";
  if (to_stdout && is_terminal(stdout)) {
    return report(kExitRefused,
                  "the credential file is binary; give -o FILE or redirect standard output");
  }
  std::error_code ignored;
  const auto status = std::filesystem::status(options.output, ignored);
  if (!to_stdout && std::filesystem::exists(status)) {
    // Renaming over a device or a directory would replace it, not write to it.
    if (!std::filesystem::is_regular_file(status)) {
      return report(kExitRefused, options.output + " exists and is not a regular file");
    }
    if (!options.force) {
      return report(kExitRefused, options.output + " exists; add --force to replace it");
    }
  }

  std::string refusal;
  const std::optional<std::string> password = password_from_input(refusal);
  if (!password) return report(kExitRefused, refusal);
  if (const auto problem = cipher::credential_value_problem(*password)) {
    return report(kExitRefused, "the password cannot be stored: " + *problem);
  }
  const std::string content = cipher::credential_file_content(options.user, *password);

  if (to_stdout) {
    use_binary_mode(stdout);
    if (!write_bytes(stdout, content) || std::fflush(stdout) != 0) {
      return report(kExitFailure, "cannot write to standard output");
    }
    return kExitSuccess;
  }
  const PublishResult result = publish_file(options.output, content, options.force);
  switch (result.kind) {
    case PublishResult::kWritten:
      return kExitSuccess;
    case PublishResult::kTargetExists:
      return report(kExitRefused, options.output + " appeared meanwhile; it was left alone");
    case PublishResult::kFailed:
      break;
  }
  return report(kExitFailure, "cannot write " + options.output + ": " + result.error);
}

int credentials_read(const std::string& file, bool show_password) {
  std::string error;
  const std::optional<std::string> bytes = read_file(file, error);
  if (!bytes) return report(kExitFailure, "cannot read " + file + ": " + error);

  BytesCredentialSource source(*bytes);
  char user[cipher::kMaxFieldLength + 1];
  char password[cipher::kMaxFieldLength + 1];
  cipher::read_credentials(source, user, password);
  std::printf("%s\n", user);
  if (show_password) std::printf("%s\n", password);
  if (!cipher::credential_file_problems(*bytes).empty()) {
    report(kExitSuccess, "warning: " + file + " is not well formed; these are the values " +
                             "applications read from it ('tarn credentials check' says why)");
  }
  return std::fflush(stdout) == 0 ? kExitSuccess
                                  : report(kExitFailure, "cannot write to standard output");
}

int credentials_check(const std::string& file) {
  std::string error;
  const std::optional<std::string> bytes = read_file(file, error);
  if (!bytes) return report(kExitFailure, "cannot read " + file + ": " + error);

  const auto problems = cipher::credential_file_problems(*bytes);
  if (problems.empty()) {
    const cipher::CredentialFields fields = cipher::credential_fields(*bytes);
    std::printf("%s: well formed (user name of %zu bytes, password of %zu bytes)\n", file.c_str(),
                fields.user.size(), fields.password.size());
    return kExitSuccess;
  }
  std::printf("%s: not well formed\n", file.c_str());
  for (const auto& problem : problems) {
    std::printf("  offset %zu: %s\n", problem.offset, problem.description.c_str());
  }
  return kExitFailure;
}

}  // namespace tarn::cli
