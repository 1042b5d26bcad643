# One interface target carries the project's compile options, so every
# library, tool and test is built with the same warnings and string rules.
add_library(velmora_options INTERFACE)
target_compile_features(velmora_options INTERFACE cxx_std_17)
target_compile_options(velmora_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough
  # A fused multiply-add skips the rounding of the product, and the yen
  # figures are defined by exactly those roundings.
  -ffp-contract=off)
# Strings never convert silently between 8-bit and UTF-16: every literal says
# what it is. Yen figures depend on x87 extended precision, so nothing here may
# ever add -ffast-math, -mfpmath=sse for long double or similar flags.
target_compile_definitions(velmora_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_STRICT_ITERATORS
  QT_NO_KEYWORDS)

option(VELMORA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VELMORA_SANITIZE)
  target_compile_options(velmora_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(velmora_options INTERFACE -fsanitize=address,undefined)
endif()

# Coverage instrumentation for the libFuzzer targets under fuzz/ (clang only);
# the libraries are instrumented, the fuzzer's own main links only there.
option(VELMORA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(VELMORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VELMORA_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  target_compile_options(velmora_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(velmora_options INTERFACE -fsanitize=address,undefined)
endif()
