// Which bytes of the ANSI code page begin a two-byte character. Every separator test on a path
// steps through it character by character with this table, because in a double-byte code page
// the second byte of a character may be 0x5C or 0x2F and is then no separator.
#pragma once

#include <bitset>
#include <cstddef>

namespace tarn::text {

class LeadByteTable {
 public:
  // A single-byte code page: no byte leads a character.
  LeadByteTable() = default;

  // Reads the ranges the way the platform reports them: pairs of first and last lead byte,
  // ended by a pair of zeros or by the end of the array.
  static LeadByteTable from_ranges(const unsigned char* pairs, std::size_t size);

  bool is_lead(unsigned char byte) const { return lead_[byte]; }

 private:
  std::bitset<256> lead_;
};

// The table of the process's ANSI code page, taken once when the module is loaded; until then
// (and in programs that never set it) it is the single-byte table.
const LeadByteTable& ansi_lead_bytes();
void set_ansi_lead_bytes(const LeadByteTable& table);

}  // namespace tarn::text
