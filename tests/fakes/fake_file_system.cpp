#include "fakes/fake_file_system.h"

#include <algorithm>
#include <cstring>

#include "text/path.h"

namespace tarn::fakes {
namespace {

using fsutil::FindEntry;
using fsutil::kAttributeDirectory;
using fsutil::kAttributeReadOnly;
using fsutil::kAttributeReparsePoint;

char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// '*' and '?' against a name, ignoring ASCII case; "*.*" matches every name, as on Windows.
bool matches(std::string_view mask, std::string_view name) {
  if (mask == "*.*") mask = "*";
  std::size_t m = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || lower(mask[m]) == lower(name[n]))) {
      ++m, ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++, resume = n;
    } else if (star != std::string_view::npos) {
      m = star + 1, n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

// "C:" and "\\server\share": directories without "." and ".." and without a parent.
bool is_root_key(const std::string& key) {
  if (key.size() == 2 && key[1] == ':') return true;
  return key.starts_with("\\\\") && std::count(key.begin(), key.end(), '\\') <= 3;
}

FindEntry entry(std::string_view name, std::uint32_t attributes) {
  FindEntry found;
  found.attributes = attributes;
  std::memcpy(found.name, name.data(), std::min(name.size(), sizeof found.name - 1));
  return found;
}

}  // namespace

text::LeadByteTable code_page_932() {
  const unsigned char ranges[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
  return text::LeadByteTable::from_ranges(ranges, sizeof ranges);
}

text::LeadByteTable code_page_936() {
  const unsigned char ranges[] = {0x81, 0xFE, 0, 0};
  return text::LeadByteTable::from_ranges(ranges, sizeof ranges);
}

FakeFileSystem::FakeFileSystem(text::LeadByteTable lead) : lead_(lead) {
  add_directory(current_directory_);
}

void FakeFileSystem::add_directory(const std::string& path, std::uint32_t attributes) {
  add(key_of(path), attributes | kAttributeDirectory);
}

void FakeFileSystem::add_file(const std::string& path, std::uint32_t attributes) {
  add(key_of(path), attributes & ~kAttributeDirectory);
}

void FakeFileSystem::add_directory_link(const std::string& path, const std::string& target) {
  add(key_of(path), kAttributeDirectory | kAttributeReparsePoint);
  links_[key_of(path)] = key_of(target);
}

void FakeFileSystem::add(const std::string& key, std::uint32_t attributes) {
  if (nodes_.count(key) != 0) {
    nodes_[key].attributes = attributes;
    return;
  }
  const std::size_t cut = text::last_backslash(key, lead_);
  if (!is_root_key(key)) {
    const std::string parent = key.substr(0, cut);
    if (!is_directory(parent)) add(parent, kAttributeDirectory);
    nodes_[parent].children.push_back(key.substr(cut + 1));
  }
  nodes_[key].attributes = attributes;
}

void FakeFileSystem::erase(const std::string& key) {
  for (const std::string& child : std::vector<std::string>(nodes_[key].children)) {
    erase(key + "\\" + child);
  }
  nodes_.erase(key);
  const std::size_t cut = text::last_backslash(key, lead_);
  if (cut == text::kNotFound) return;
  auto parent = nodes_.find(key.substr(0, cut));
  if (parent == nodes_.end()) return;
  auto& children = parent->second.children;
  children.erase(std::find(children.begin(), children.end(), key.substr(cut + 1)));
}

bool FakeFileSystem::is_directory(const std::string& key) const {
  auto found = nodes_.find(key);
  return found != nodes_.end() && (found->second.attributes & kAttributeDirectory) != 0;
}

bool FakeFileSystem::exists(const std::string& path) const {
  return nodes_.count(key_of(path)) != 0;
}

std::uint32_t FakeFileSystem::attributes_of(const std::string& path) const {
  auto found = nodes_.find(key_of(path));
  return found == nodes_.end() ? fsutil::kInvalidAttributes : found->second.attributes;
}

std::vector<std::string> FakeFileSystem::paths_under(const std::string& root) const {
  std::vector<std::string> found;
  const std::string key = key_of(root);
  for (const auto& [path, node] : nodes_) {
    if (path == key || path.starts_with(key + "\\")) found.push_back(path);
  }
  return found;
}

void FakeFileSystem::fail(const std::string& call, const std::string& path, std::uint32_t error) {
  failures_[call + " " + path] = error;
}

void FakeFileSystem::end_listing_after(const std::string& path, std::size_t entries) {
  listing_limits_[key_of(path)] = entries;
}

void FakeFileSystem::when(const std::string& recorded, std::function<void()> action) {
  actions_.emplace(recorded, std::move(action));
}

std::vector<std::string> FakeFileSystem::calls(
    std::initializer_list<std::string_view> names) const {
  std::vector<std::string> chosen;
  for (const std::string& call : calls_) {
    const std::string_view name = std::string_view(call).substr(0, call.find(' '));
    if (std::find(names.begin(), names.end(), name) != names.end()) chosen.push_back(call);
  }
  return chosen;
}

bool FakeFileSystem::record(const std::string& name, const std::string& argument) {
  const std::string call = argument.empty() ? name : name + " " + argument;
  calls_.push_back(call);
  if (auto action = actions_.find(call); action != actions_.end()) {
    auto run = std::move(action->second);
    actions_.erase(action);
    run();
  }
  if (auto failure = failures_.find(call); failure != failures_.end()) {
    last_error_ = failure->second;
    return true;
  }
  return false;
}

std::string FakeFileSystem::resolve(std::string_view path) const {
  std::string text(path);
  // Forward slashes become backslashes, character by character.
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lead_.is_lead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      ++i;
    } else if (text[i] == '/') {
      text[i] = '\\';
    }
  }
  const std::string drive = current_directory_.substr(0, 2);
  std::string root, rest;
  if (text.starts_with("\\\\")) {  // \\server\share\rest
    std::size_t cut = text.find('\\', 2);
    cut = cut == std::string::npos ? text.size() : text.find('\\', cut + 1);
    cut = cut == std::string::npos ? text.size() : cut;
    root = text.substr(0, cut), rest = text.substr(cut);
  } else if (text.size() >= 2 && text[1] == ':') {
    root = text.substr(0, 2), rest = text.substr(2);
    if (!rest.starts_with("\\")) {  // drive-relative
      rest = (lower(root[0]) == lower(drive[0]) ? current_directory_.substr(2) : "") + "\\" + rest;
    }
  } else if (text.starts_with("\\")) {
    root = drive, rest = text;
  } else {
    root = drive, rest = current_directory_.substr(2) + "\\" + text;
  }

  std::vector<std::string> parts;
  std::size_t start = 0;
  auto take = [&](std::size_t end) {
    const std::string part = rest.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
  };
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (lead_.is_lead(static_cast<unsigned char>(rest[i])) && i + 1 < rest.size()) {
      ++i;
    } else if (rest[i] == '\\') {
      take(i);
      start = i + 1;
    }
  }
  take(rest.size());
  std::string full = root;
  for (const std::string& part : parts) full += "\\" + part;
  if (parts.empty() || text::ends_with_backslash(rest, lead_)) full += "\\";
  return full;
}

std::string FakeFileSystem::key_of(std::string_view path) const {
  std::string key = resolve(path);
  text::drop_trailing_backslash(key, lead_);
  // Paths below a link lead into its target.
  for (const auto& [link, target] : links_) {
    if (key.starts_with(link + "\\")) return target + key.substr(link.size());
  }
  return key;
}

fsutil::SearchHandle FakeFileSystem::find_first(const char* pattern, FindEntry& first) {
  if (record("FindFirstFile", pattern)) return fsutil::kNoSearch;
  const std::string full = resolve(pattern);
  const std::size_t cut = text::last_backslash(full, lead_);
  Search search{pattern, full.substr(0, cut), {}, 1};
  if (auto link = links_.find(search.directory); link != links_.end()) {
    search.directory = link->second;
  }
  const std::string mask = full.substr(cut + 1);
  if (!is_directory(search.directory)) {
    last_error_ = fsutil::kErrorPathNotFound;
    return fsutil::kNoSearch;
  }
  if (!mask.empty() && !is_root_key(search.directory)) {
    for (const char* dots : {".", ".."}) {
      if (matches(mask, dots)) search.entries.push_back(entry(dots, kAttributeDirectory));
    }
  }
  for (const std::string& name : nodes_[search.directory].children) {
    if (!mask.empty() && matches(mask, name)) {
      search.entries.push_back(entry(name, nodes_[search.directory + "\\" + name].attributes));
    }
  }
  if (auto limit = listing_limits_.find(search.directory); limit != listing_limits_.end()) {
    search.entries.resize(std::min(search.entries.size(), limit->second));
    listing_limits_.erase(limit);
  }
  if (search.entries.empty()) {
    last_error_ = fsutil::kErrorFileNotFound;
    return fsutil::kNoSearch;
  }
  first = search.entries[0];
  searches_.emplace(next_search_, std::move(search));
  return next_search_++;
}

bool FakeFileSystem::find_next(fsutil::SearchHandle handle, FindEntry& next) {
  Search& search = searches_.at(handle);
  if (record("FindNextFile", search.pattern)) return false;
  if (search.next >= search.entries.size()) {
    last_error_ = 18;  // ERROR_NO_MORE_FILES
    return false;
  }
  next = search.entries[search.next++];
  return true;
}

void FakeFileSystem::find_close(fsutil::SearchHandle handle) {
  record("FindClose", searches_.at(handle).pattern);
  searches_.erase(handle);
}

std::size_t FakeFileSystem::full_path(const char* path, char* buffer, std::size_t size) {
  if (record("GetFullPathName", path)) return 0;
  const std::string full = resolve(path);
  if (full.size() + 1 > size) return full.size() + 1;
  std::memcpy(buffer, full.c_str(), full.size() + 1);
  return full.size();
}

std::uint32_t FakeFileSystem::attributes(const char* path) {
  if (record("GetFileAttributes", path)) return fsutil::kInvalidAttributes;
  const std::uint32_t found = attributes_of(path);
  if (found == fsutil::kInvalidAttributes) last_error_ = fsutil::kErrorFileNotFound;
  return found;
}

bool FakeFileSystem::set_attributes(const char* path, std::uint32_t attributes) {
  if (record("SetFileAttributes", path)) return false;
  auto found = nodes_.find(key_of(path));
  if (found == nodes_.end()) return last_error_ = fsutil::kErrorFileNotFound, false;
  // The directory and link bits are no attributes a caller can set or clear.
  const std::uint32_t kept = kAttributeDirectory | kAttributeReparsePoint;
  found->second.attributes = (found->second.attributes & kept) | (attributes & ~kept);
  return true;
}

bool FakeFileSystem::create_directory(const char* path) {
  if (record("CreateDirectory", path)) return false;
  const std::string key = key_of(path);
  if (nodes_.count(key) != 0) return last_error_ = fsutil::kErrorAlreadyExists, false;
  const std::size_t cut = text::last_backslash(key, lead_);
  if (cut == text::kNotFound || !is_directory(key.substr(0, cut))) {
    return last_error_ = fsutil::kErrorPathNotFound, false;
  }
  add(key, kAttributeDirectory);
  return true;
}

bool FakeFileSystem::delete_file(const char* path) {
  if (record("DeleteFile", path)) return false;
  const std::string key = key_of(path);
  auto found = nodes_.find(key);
  if (found == nodes_.end()) return last_error_ = fsutil::kErrorFileNotFound, false;
  if (found->second.attributes & (kAttributeDirectory | kAttributeReadOnly)) {
    return last_error_ = fsutil::kErrorAccessDenied, false;
  }
  erase(key);
  return true;
}

bool FakeFileSystem::remove_directory(const char* path) {
  if (record("RemoveDirectory", path)) return false;
  const std::string key = key_of(path);
  auto found = nodes_.find(key);
  if (found == nodes_.end()) return last_error_ = fsutil::kErrorFileNotFound, false;
  const Node& node = found->second;
  const bool link = (node.attributes & kAttributeReparsePoint) != 0;
  if ((node.attributes & kAttributeDirectory) == 0 || (node.attributes & kAttributeReadOnly)) {
    return last_error_ = fsutil::kErrorAccessDenied, false;
  }
  if (!node.children.empty() && !link) return last_error_ = fsutil::kErrorDirNotEmpty, false;
  for (const auto& [handle, search] : searches_) {
    if (search.directory == key) return last_error_ = fsutil::kErrorSharingViolation, false;
  }
  if (link) links_.erase(key);
  erase(key);
  return true;
}

}  // namespace tarn::fakes
