// Process attach: the one thing the module does at load is take the lead-byte table of the
// ANSI code page, which every separator test of the file utilities reads.
#include <windows.h>

#include "text/lead_bytes.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    CPINFO info;
    // Without an answer the table stays single-byte, which is right for most code pages.
    if (GetCPInfo(CP_ACP, &info)) {
      tarn::text::set_ansi_lead_bytes(
          tarn::text::LeadByteTable::from_ranges(info.LeadByte, MAX_LEADBYTES));
    }
  }
  return TRUE;
}
