// The tarn command-line tool: the library's credential file, cipher and Base64 codec for
// scripts and administrators, over the same code the DLL runs.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <functional>

#include "cli/commands.h"
#include "frame/version.h"

namespace tarn::cli {

int report(int exit_code, const std::string& message) {
  std::fprintf(stderr, "tarn: %s\n", message.c_str());
  return exit_code;
}

namespace {

constexpr const char* kExitCodesText =
    "Exit codes: 0 done; 1 failed (a file that cannot be read or written, a malformed credential "
    "file, invalid input); 2 refused (wrong usage, or a value the tool will not write).";

int run(int argc, char** argv) {
  CLI::App app{"tarn " TARN_VERSION_TEXT
               ": the credential file, cipher and Base64 codec of tarn.dll from the command line.",
               "tarn"};
  app.footer(kExitCodesText);
  app.set_version_flag("--version", "tarn " TARN_VERSION_TEXT);
  app.require_subcommand(1);
  std::function<int()> command;

  CLI::App* credentials = app.add_subcommand(
      "credentials", "Write, read or check a credential file (qzon.id) as applications read it.");
  credentials->require_subcommand(1);

  CredentialsWriteOptions write_options;
  CLI::App* write = credentials->add_subcommand(
      "write",
      "Write a credential file for --user and a password typed at the terminal (not shown) or "
      "given as the first line of standard input. Values of more than 99 bytes and empty user "
      "names are refused.");
  write->add_option("-u,--user", write_options.user, "The database user name.")->required();
  write->add_option("-o,--output", write_options.output,
                    "The file to write, such as qzon.id (default: standard output).");
  write->add_flag("-f,--force", write_options.force,
                  "Replace an existing file; the new one takes its place in one step.");
  write->callback([&] { command = [&] { return credentials_write(write_options); }; });

  std::string read_file_name = "qzon.id";
  bool show_password = false;
  CLI::App* read = credentials->add_subcommand(
      "read", "Print the user name stored in a credential file, as applications read it.");
  read->add_option("file", read_file_name, "The credential file (default: qzon.id).");
  read->add_flag("--show-password", show_password, "Print the password too, on a second line.");
  read->callback(
      [&] { command = [&] { return credentials_read(read_file_name, show_password); }; });

  std::string check_file_name;
  CLI::App* check = credentials->add_subcommand(
      "check", "Say whether a credential file is well formed and, if not, what is wrong (exit 1).");
  check->add_option("file", check_file_name, "The credential file.")->required();
  check->callback([&] { command = [&] { return credentials_check(check_file_name); }; });

  std::string key;
  CLI::App* cipher_command = app.add_subcommand(
      "cipher",
      "Encipher or decipher standard input to standard output with the key's first byte; a "
      "second run with the same key restores the input.");
  cipher_command->add_option("-k,--key", key, "The key; only its first byte counts.")->required();
  cipher_command->callback([&] { command = [&] { return cipher(key); }; });

  std::string base64_in, base64_out;
  CLI::App* base64_command = app.add_subcommand(
      "base64",
      "Convert between bytes and Base64 text (standard alphabet, \"=\" pad, no line "
      "breaks), streaming files of any size.");
  base64_command->require_subcommand(1);
  CLI::App* encode = base64_command->add_subcommand("encode", "Bytes to Base64 text.");
  CLI::App* decode = base64_command->add_subcommand(
      "decode",
      "Base64 text to bytes. A character outside the alphabet fails with its offset (one line "
      "end at the very end is allowed); text after a padded quad is ignored, as in tarn.dll.");
  for (CLI::App* direction : {encode, decode}) {
    direction->add_option("in", base64_in, "The input file (default or \"-\": standard input).");
    direction->add_option("out", base64_out,
                          "The output file, replaced once the conversion has succeeded "
                          "(default or \"-\": standard output).");
  }
  encode->callback([&] { command = [&] { return base64_encode(base64_in, base64_out); }; });
  decode->callback([&] { command = [&] { return base64_decode(base64_in, base64_out); }; });

  for (CLI::App* sub :
       {credentials, write, read, check, cipher_command, base64_command, encode, decode}) {
    sub->footer(kExitCodesText);
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int printed = app.exit(error);
    return printed == 0 ? kExitSuccess : kExitRefused;
  }
  return command();
}

}  // namespace
}  // namespace tarn::cli

int main(int argc, char** argv) {
  try {
    return tarn::cli::run(argc, argv);
  } catch (const std::exception& error) {
    return tarn::cli::report(tarn::cli::kExitFailure, error.what());
  }
}
