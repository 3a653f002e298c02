// What the tool needs from the operating system, with one implementation for POSIX systems and
// one for Windows.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tarn::cli {

// Whether `stream` is an interactive terminal (or a Windows console).
bool is_terminal(std::FILE* stream);

// Makes `stream` pass bytes unchanged: Windows would otherwise turn "\n" into "\r\n" on output
// and stop reading at a 0x1A byte, corrupting enciphered and binary data.
void use_binary_mode(std::FILE* stream);

// Shows `prompt` on standard error and reads one line from the terminal without echoing it;
// nothing when the terminal cannot be read.
std::optional<std::string> read_hidden_line(const char* prompt);

enum class FileOutcome { kDone, kExists, kFailed };

// Creates `path`, which must not exist yet (else kExists), and writes `content` to it and
// through to the disk. On kFailed the error text is set and no file is left behind.
FileOutcome write_new_file(const std::string& path, std::string_view content, std::string& error);

// Renames `from` to `to` in one step. Without `replace`, an existing `to` is left alone and the
// result is kExists; no other program ever sees a partly written `to`.
FileOutcome move_file(const std::string& from, const std::string& to, bool replace,
                      std::string& error);

// Opens `path` for binary writing, creating it; nothing (with `error` set) when it exists
// already or cannot be created.
std::FILE* create_new_stream(const std::string& path, std::string& error);

// Flushes `stream` and its file's data through to the disk.
bool sync_stream(std::FILE* stream);

// Removes a file, ignoring failure: used only to clean up after another failure.
void remove_file_quietly(const std::string& path);

// The process id, to give temporary files names no other run of the tool uses.
unsigned long process_id();

}  // namespace tarn::cli
