# Compiler settings shared by every target of ours.

option(TARN_WINE_TESTS "Build the integration tests that load tarn.dll under Wine" OFF)

function(tarn_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
  # Hosts call us with the 4-byte stack alignment of 32-bit Windows, so nothing may assume
  # more on entry; SSE2 is the baseline every supported 32-bit CPU has.
  add_compile_options(-mincoming-stack-boundary=2 -msse2 -mfpmath=sse)
endif()
