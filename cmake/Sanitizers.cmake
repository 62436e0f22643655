if(KORVANA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# A fuzz build instruments every library for libFuzzer's coverage feedback; only
# the fuzz targets link libFuzzer's main (fuzz/CMakeLists.txt). -O1 keeps the
# runs fast enough while the stack traces stay readable.
if(KORVANA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KORVANA_FUZZ needs clang (libFuzzer); use the fuzz preset")
  endif()
  add_compile_options(-O1 -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
