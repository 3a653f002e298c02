// The tool's commands. Each returns the process's exit code and reports on standard error.
#pragma once

#include <string>

namespace tarn::cli {

// Exit codes, as the help text lists them.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the work could not be done, or the input is bad
inline constexpr int kExitRefused = 2;  // wrong usage, or a value the tool will not write

// Prints "tarn: <message>" on standard error and returns `exit_code`.
int report(int exit_code, const std::string& message);

struct CredentialsWriteOptions {
  std::string user;
  std::string output;  // empty: standard output
  bool force = false;
};

int credentials_write(const CredentialsWriteOptions& options);
int credentials_read(const std::string& file, bool show_password);
int credentials_check(const std::string& file);

int cipher(const std::string& key);

// Standard input or output for "" and "-".
int base64_encode(const std::string& in, const std::string& out);
int base64_decode(const std::string& in, const std::string& out);

}  // namespace tarn::cli
