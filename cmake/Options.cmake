# What a build holds beyond the `ringflash` program. A packager's build
# (-DBUILD_TESTING=OFF) needs only the libraries the program links; a
# development build has every part. Each part can also be chosen alone.
include(CTest)  # BUILD_TESTING, ON unless told otherwise

option(RINGFLASH_WERROR "Treat compiler warnings as errors (the presets and ./dev turn it on)" OFF)
option(RINGFLASH_MONITORS "Build the USB and serial monitors the window does not use (libusb)" ${BUILD_TESTING})
option(RINGFLASH_HIDRAW_EMULATION
       "Build the adapter behind an emulated hidraw node, for the hidraw tests and benchmark (umockdev)" ${BUILD_TESTING})
option(RINGFLASH_DEMO "Build the demo harness and the bundled firmware server (Qt Test, zlib)" ${BUILD_TESTING})
option(RINGFLASH_BENCH "Build the benchmarks (Google Benchmark; needs RINGFLASH_DEMO)" ${BUILD_TESTING})
# libFuzzer comes with clang only.
if(BUILD_TESTING AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(fuzz_default ON)
else()
  set(fuzz_default OFF)
endif()
option(RINGFLASH_FUZZ "Build the libFuzzer targets (clang only)" ${fuzz_default})

# The tests drive the window through the demo's server, the monitors and the
# emulated hidraw node; a test build without them would pass with checks gone.
function(ringflash_require part needs)
  foreach(option IN LISTS needs)
    if(NOT ${option})
      message(FATAL_ERROR "${part} needs ${option}=ON (or turn ${part} off)")
    endif()
  endforeach()
endfunction()
if(BUILD_TESTING)
  ringflash_require(BUILD_TESTING "RINGFLASH_MONITORS;RINGFLASH_HIDRAW_EMULATION;RINGFLASH_DEMO")
endif()
if(RINGFLASH_BENCH)
  ringflash_require(RINGFLASH_BENCH RINGFLASH_DEMO)
endif()
