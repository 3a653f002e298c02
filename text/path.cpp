#include "text/path.h"

#include <vector>

namespace tarn::text {
namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

// Calls visit(offset, byte) for the first byte of every character. A lead byte at the very end
// has no second byte and stands alone.
template <class Visit>
void for_each_character(std::string_view path, const LeadByteTable& lead, Visit visit) {
  for (std::size_t i = 0; i < path.size();) {
    const auto byte = static_cast<unsigned char>(path[i]);
    visit(i, path[i]);
    i += (lead.is_lead(byte) && i + 1 < path.size()) ? 2 : 1;
  }
}

template <class Predicate>
std::size_t last_character_where(std::string_view path, const LeadByteTable& lead,
                                 Predicate matches) {
  std::size_t found = kNotFound;
  for_each_character(path, lead, [&](std::size_t offset, char c) {
    if (matches(c)) found = offset;
  });
  return found;
}

std::size_t last_character_start(std::string_view path, const LeadByteTable& lead) {
  return last_character_where(path, lead, [](char) { return true; });
}

// The non-empty components between separators.
std::vector<std::string_view> components(std::string_view path, const LeadByteTable& lead) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for_each_character(path, lead, [&](std::size_t offset, char c) {
    if (!is_separator(c)) return;
    if (offset > start) parts.push_back(path.substr(start, offset - start));
    start = offset + 1;
  });
  if (start < path.size()) parts.push_back(path.substr(start));
  return parts;
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool is_drive(std::string_view part) {
  const char letter = part.size() == 2 ? part[0] : 0;
  return ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) && part[1] == ':';
}

}  // namespace

std::size_t last_backslash(std::string_view path, const LeadByteTable& lead) {
  return last_character_where(path, lead, [](char c) { return c == '\\'; });
}

std::size_t last_separator(std::string_view path, const LeadByteTable& lead) {
  return last_character_where(path, lead, is_separator);
}

bool ends_with_backslash(std::string_view path, const LeadByteTable& lead) {
  const std::size_t last = last_character_start(path, lead);
  return last != kNotFound && last + 1 == path.size() && path[last] == '\\';
}

bool ends_with_separator(std::string_view path, const LeadByteTable& lead) {
  const std::size_t last = last_character_start(path, lead);
  return last != kNotFound && last + 1 == path.size() && is_separator(path[last]);
}

void drop_trailing_backslash(std::string& path, const LeadByteTable& lead) {
  if (ends_with_backslash(path, lead)) path.pop_back();
}

std::string_view parent_directory(std::string_view path, const LeadByteTable& lead) {
  const std::size_t cut = last_backslash(path, lead);
  return cut == kNotFound ? std::string_view{} : path.substr(0, cut);
}

std::string_view finder_root(std::string_view full_path, const LeadByteTable& lead) {
  const std::size_t cut = last_separator(full_path, lead);
  return cut == kNotFound ? full_path : full_path.substr(0, cut);
}

bool names_root(std::string_view path, const LeadByteTable& lead) {
  const std::vector<std::string_view> parts = components(path, lead);
  const bool network = path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]);
  if (!network) {
    // "", "\", "X:", "X:\" and "X:" followed by separators only.
    return parts.empty() || (parts.size() == 1 && is_drive(parts[0]) && path.size() >= 2 &&
                             path.substr(0, 2) == parts[0]);
  }
  if (!parts.empty() && (parts[0] == "?" || parts[0] == ".")) {
    // Device forms: "\\?\X:" or a volume name stands for a drive, "\\?\UNC\server\share" for a
    // share.
    if (parts.size() >= 2 && equals_ignoring_case(parts[1], "UNC")) return parts.size() <= 4;
    return parts.size() <= 2;
  }
  return parts.size() <= 2;  // "\\server" or "\\server\share"
}

}  // namespace tarn::text
