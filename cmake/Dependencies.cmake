# What the tool's sources need, for the main build and the fuzz build alike.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets DBus Svg LinguistTools)
find_package(PkgConfig REQUIRED)
find_package(CURL REQUIRED)
pkg_check_modules(UDEV REQUIRED IMPORTED_TARGET libudev)
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
find_package(Threads REQUIRED)
qt_standard_project_setup()

# What only the optional parts need (cmake/Options.cmake).
if(RINGFLASH_MONITORS)
  pkg_check_modules(LIBUSB REQUIRED IMPORTED_TARGET libusb-1.0)
endif()
if(RINGFLASH_HIDRAW_EMULATION)
  pkg_check_modules(UMOCKDEV REQUIRED IMPORTED_TARGET umockdev-1.0)
endif()
if(RINGFLASH_DEMO)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Test)
  find_package(ZLIB REQUIRED)
endif()
if(BUILD_TESTING)
  find_package(GTest REQUIRED)
endif()

function(ringflash_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  # On for development only: a packager's newer compiler may bring new warnings.
  if(RINGFLASH_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # GCC 12 at -O2 and above warns of overlapping copies inside std::string's
  # own operator+ (GCC bug 105329); the warning stays, as a warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-error=restrict)
  endif()
endfunction()
