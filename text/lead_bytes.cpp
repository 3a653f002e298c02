#include "text/lead_bytes.h"

namespace tarn::text {

LeadByteTable LeadByteTable::from_ranges(const unsigned char* pairs, std::size_t size) {
  LeadByteTable table;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    if (pairs[i] == 0 && pairs[i + 1] == 0) break;
    for (unsigned byte = pairs[i]; byte <= pairs[i + 1]; ++byte) table.lead_[byte] = true;
  }
  return table;
}

namespace {
// Written once at process attach, before any export can run, and only read afterwards.
LeadByteTable ansi_table;
}  // namespace

const LeadByteTable& ansi_lead_bytes() { return ansi_table; }
void set_ansi_lead_bytes(const LeadByteTable& table) { ansi_table = table; }

}  // namespace tarn::text
