// An in-memory file system behind the file-system port, for the unit tests of the file
// utilities. It answers like the ANSI Win32 calls (full paths, "." and ".." in listings, error
// codes), records every call, and can be scripted: listings come in the order entries were
// added, any call on any path can be made to fail, a listing can end early, and an action can
// run when a given call is made (to add an entry between two passes, say).
#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fsutil/file_system.h"

namespace tarn::fakes {

class FakeFileSystem final : public fsutil::FileSystem {
 public:
  // Starts with the drive C: and the current directory C:\work; both exist.
  explicit FakeFileSystem(text::LeadByteTable lead = {});

  // Adds a directory or file by full path, with every missing directory above it. Entries are
  // listed in the order they were added.
  void add_directory(const std::string& path, std::uint32_t attributes = 0);
  void add_file(const std::string& path, std::uint32_t attributes = 0);
  // Adds a link to the directory `target`: listed with the directory and reparse-point
  // attributes; paths through it reach the target's entries, and removing it leaves them.
  void add_directory_link(const std::string& path, const std::string& target);
  void set_current_directory(const std::string& path) { current_directory_ = path; }

  bool exists(const std::string& path) const;
  std::uint32_t attributes_of(const std::string& path) const;  // without recording a call
  // Every path below `root` (itself included) that still exists, in sorted order.
  std::vector<std::string> paths_under(const std::string& root) const;

  // Makes `call` (as recorded: "DeleteFile", "RemoveDirectory", "CreateDirectory",
  // "FindFirstFile", "GetFullPathName", ...) on exactly `path` fail with `error`.
  void fail(const std::string& call, const std::string& path, std::uint32_t error);
  // The next listing of the directory `path` stops after `entries` entries, dots included, as
  // when the platform's fetch fails in the middle; later listings are whole again.
  void end_listing_after(const std::string& path, std::size_t entries);
  // Runs `action` once, just before the call recorded as `recorded` ("FindClose C:\x\*.*").
  void when(const std::string& recorded, std::function<void()> action);

  // Every call so far, as "Name argument", or only those of the given names.
  const std::vector<std::string>& calls() const { return calls_; }
  std::vector<std::string> calls(std::initializer_list<std::string_view> names) const;
  std::size_t open_searches() const { return searches_.size(); }

  const text::LeadByteTable& lead_bytes() const override { return lead_; }
  fsutil::SearchHandle find_first(const char* pattern, fsutil::FindEntry& first) override;
  bool find_next(fsutil::SearchHandle search, fsutil::FindEntry& next) override;
  void find_close(fsutil::SearchHandle search) override;
  std::size_t full_path(const char* path, char* buffer, std::size_t size) override;
  std::uint32_t last_error() override { return last_error_; }
  void set_last_error(std::uint32_t code) override { last_error_ = code; }
  std::uint32_t attributes(const char* path) override;
  bool set_attributes(const char* path, std::uint32_t attributes) override;
  bool create_directory(const char* path) override;
  bool delete_file(const char* path) override;
  bool remove_directory(const char* path) override;

 private:
  struct Node {
    std::uint32_t attributes = 0;
    std::vector<std::string> children;  // names, in listing order
  };
  struct Search {
    std::string pattern;
    std::string directory;
    std::vector<fsutil::FindEntry> entries;
    std::size_t next = 1;
  };

  // Records the call, runs an action waiting for it, and tells whether it is scripted to fail
  // (then the last error is already set).
  bool record(const std::string& name, const std::string& argument);
  std::string resolve(std::string_view path) const;  // full path, as GetFullPathNameA
  std::string key_of(std::string_view path) const;   // full path without a trailing separator
  void add(const std::string& key, std::uint32_t attributes);
  void erase(const std::string& key);
  bool is_directory(const std::string& key) const;

  text::LeadByteTable lead_;
  std::string current_directory_ = "C:\\work";
  std::map<std::string, Node> nodes_;
  std::map<std::string, std::string> links_;  // link key -> target key
  std::map<fsutil::SearchHandle, Search> searches_;
  fsutil::SearchHandle next_search_ = 1;
  std::map<std::string, std::uint32_t> failures_;  // "Call path" -> error
  std::map<std::string, std::size_t> listing_limits_;
  std::multimap<std::string, std::function<void()>> actions_;
  std::vector<std::string> calls_;
  std::uint32_t last_error_ = 0;
};

// Lead-byte tables of two double-byte code pages: 932 (Japanese) and 936 (Simplified Chinese).
text::LeadByteTable code_page_932();
text::LeadByteTable code_page_936();

}  // namespace tarn::fakes
