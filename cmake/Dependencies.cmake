# What the tool's sources need, for the main build and the fuzz build alike.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets DBus Svg Test LinguistTools)
find_package(PkgConfig REQUIRED)
find_package(CURL REQUIRED)
pkg_check_modules(UDEV REQUIRED IMPORTED_TARGET libudev)
pkg_check_modules(LIBUSB REQUIRED IMPORTED_TARGET libusb-1.0)
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
qt_standard_project_setup()

function(ringflash_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # GCC 12 at -O2 and above warns of overlapping copies inside std::string's
  # own operator+ (GCC bug 105329); the warning stays, as a warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-error=restrict)
  endif()
endfunction()
