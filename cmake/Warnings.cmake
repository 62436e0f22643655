# Every target of ours gets the same strict warnings; third-party headers are
# included as system headers so they do not trip -Werror.
add_library(korvana_warnings INTERFACE)
target_compile_options(korvana_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  -Wnon-virtual-dtor -Woverloaded-virtual -Werror
  # GCC 12 reports false -Wrestrict overlaps inside libstdc++'s string code in
  # optimised builds (GCC bug 105329); the warning says nothing about our code.
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
