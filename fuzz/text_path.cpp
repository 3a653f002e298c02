// The double-byte aware path helpers on arbitrary bytes, under the lead-byte tables of a
// single-byte code page and of code pages 932 and 936: every result is a prefix of the input
// that ends on a character boundary, a separator is only ever found where a whole character is
// one (never as the second byte of a double-byte character), and each helper agrees with the
// character walk done here independently.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "text/lead_bytes.h"
#include "text/path.h"

namespace {

using namespace tarn::text;

void check(bool condition) {
  if (!condition) std::abort();
}

LeadByteTable table(unsigned choice) {
  static const unsigned char kCp932[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
  static const unsigned char kCp936[] = {0x81, 0xFE, 0, 0};
  switch (choice % 3) {
    case 1:
      return LeadByteTable::from_ranges(kCp932, sizeof kCp932);
    case 2:
      return LeadByteTable::from_ranges(kCp936, sizeof kCp936);
    default:
      return LeadByteTable();
  }
}

// Where each character starts: a lead byte takes the byte after it, if there is one.
std::vector<bool> character_starts(std::string_view path, const LeadByteTable& lead) {
  std::vector<bool> starts(path.size() + 1, false);
  starts[path.size()] = true;  // the end is a boundary too
  std::size_t i = 0;
  while (i < path.size()) {
    starts[i] = true;
    const bool pair = lead.is_lead(static_cast<unsigned char>(path[i])) && i + 1 < path.size();
    i += pair ? 2 : 1;
  }
  return starts;
}

std::size_t last_where(std::string_view path, const std::vector<bool>& starts, bool slash_too) {
  std::size_t found = kNotFound;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (starts[i] && (path[i] == '\\' || (slash_too && path[i] == '/'))) found = i;
  }
  return found;
}

bool is_prefix(std::string_view part, std::string_view whole) {
  return part.data() == whole.data() && part.size() <= whole.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const LeadByteTable lead = table(data[0]);
  const std::string_view path(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::vector<bool> starts = character_starts(path, lead);

  const std::size_t backslash = last_backslash(path, lead);
  const std::size_t separator = last_separator(path, lead);
  check(backslash == last_where(path, starts, false));
  check(separator == last_where(path, starts, true));

  // The last character is the one that starts at the last boundary before the end.
  std::size_t last = kNotFound;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (starts[i]) last = i;
  }
  const bool single_last = last != kNotFound && last + 1 == path.size();
  check(ends_with_backslash(path, lead) == (single_last && path[last] == '\\'));
  check(ends_with_separator(path, lead) ==
        (single_last && (path[last] == '\\' || path[last] == '/')));

  std::string dropped(path);
  drop_trailing_backslash(dropped, lead);
  check(std::string_view(dropped) == path.substr(0, dropped.size()));
  check(dropped.size() + (ends_with_backslash(path, lead) ? 1 : 0) == path.size());

  const std::string_view parent = parent_directory(path, lead);
  check(backslash == kNotFound
            ? parent.empty()
            : (is_prefix(parent, path) && starts[parent.size()] && parent.size() == backslash));

  const std::string_view root = finder_root(path, lead);
  check(is_prefix(root, path) && starts[root.size()]);
  check(root.size() == (separator == kNotFound ? path.size() : separator));

  // Judging a root must be safe for any bytes.
  (void)names_root(path, lead);
  return 0;
}
