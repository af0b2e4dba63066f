# What `cmake --install` puts on a desktop system, and the Debian package made
# from exactly that. The harness, the test server, the tests and the
# benchmarks are not installed.
include(GNUInstallDirs)

set(RINGFLASH_APP_ID "io.github.ringflash.Ringflash")
set(RINGFLASH_ADAPTER_IDS "f1a5:0001;f1a5:0002" CACHE STRING
    "Adapters (vvvv:pppp, hexadecimal) whose hidraw nodes the user at the seat may open")
option(RINGFLASH_INSTALL_UDEV_RULE "Install the udev rule that gives the seat's user access to adapters" ON)

find_package(PkgConfig REQUIRED)
pkg_get_variable(RINGFLASH_SYSTEM_UDEVDIR udev udevdir)
if(NOT RINGFLASH_SYSTEM_UDEVDIR)
  set(RINGFLASH_SYSTEM_UDEVDIR "lib/udev")  # under the install prefix
endif()
set(RINGFLASH_UDEVDIR "${RINGFLASH_SYSTEM_UDEVDIR}" CACHE PATH "Where udev rules.d lives")

# One rule line and one modalias per adapter, from the cache variable.
set(RINGFLASH_UDEV_LINES "")
set(RINGFLASH_MODALIAS_LINES "")
foreach(pair IN LISTS RINGFLASH_ADAPTER_IDS)
  if(NOT pair MATCHES "^([0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F]):([0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F])$")
    message(FATAL_ERROR "RINGFLASH_ADAPTER_IDS: '${pair}' is not vvvv:pppp in hexadecimal")
  endif()
  string(TOLOWER "${CMAKE_MATCH_1}" v)
  string(TOLOWER "${CMAKE_MATCH_2}" p)
  string(TOUPPER "${CMAKE_MATCH_1}" V)
  string(TOUPPER "${CMAKE_MATCH_2}" P)
  string(APPEND RINGFLASH_UDEV_LINES
         "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"${v}\", ATTRS{idProduct}==\"${p}\", TAG+=\"uaccess\"\n")
  string(APPEND RINGFLASH_MODALIAS_LINES "    <modalias>usb:v${V}p${P}d*</modalias>\n")
endforeach()
string(STRIP "${RINGFLASH_UDEV_LINES}" RINGFLASH_UDEV_LINES)
string(REGEX REPLACE "\n$" "" RINGFLASH_MODALIAS_LINES "${RINGFLASH_MODALIAS_LINES}")

set(data ${CMAKE_SOURCE_DIR}/data)
configure_file(${data}/70-ringflash.rules.in ${CMAKE_BINARY_DIR}/data/70-ringflash.rules @ONLY)
configure_file(${data}/${RINGFLASH_APP_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/data/${RINGFLASH_APP_ID}.metainfo.xml @ONLY)

install(TARGETS ringflash ringflash-cli ringflash-publish RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${data}/${RINGFLASH_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/data/${RINGFLASH_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${data}/${RINGFLASH_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Compressed as Debian and most distributions ship them.
set(docs ${CMAKE_BINARY_DIR}/data)
set(man_pages ${docs}/ringflash.1.gz ${docs}/ringflash-cli.1.gz ${docs}/ringflash-publish.1.gz)
add_custom_command(OUTPUT ${man_pages} ${docs}/changelog.gz
  COMMAND gzip -9nc ${data}/ringflash.1 > ${docs}/ringflash.1.gz
  COMMAND gzip -9nc ${data}/ringflash-cli.1 > ${docs}/ringflash-cli.1.gz
  COMMAND gzip -9nc ${data}/ringflash-publish.1 > ${docs}/ringflash-publish.1.gz
  COMMAND gzip -9nc ${data}/debian/changelog > ${docs}/changelog.gz
  DEPENDS ${data}/ringflash.1 ${data}/ringflash-cli.1 ${data}/ringflash-publish.1 ${data}/debian/changelog VERBATIM)
add_custom_target(ringflash_docs ALL DEPENDS ${man_pages} ${docs}/changelog.gz)
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${docs}/changelog.gz ${data}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The shell completions, made by the built command line from the table its
# --help comes from, and put where each shell looks for a package's own.
set(completions ${CMAKE_BINARY_DIR}/completions)
set(completion_files ${completions}/ringflash-cli ${completions}/_ringflash-cli ${completions}/ringflash-cli.fish)
add_custom_command(OUTPUT ${completion_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${completions}
  COMMAND ringflash-cli --completion bash > ${completions}/ringflash-cli
  COMMAND ringflash-cli --completion zsh > ${completions}/_ringflash-cli
  COMMAND ringflash-cli --completion fish > ${completions}/ringflash-cli.fish
  DEPENDS ringflash-cli VERBATIM)
add_custom_target(ringflash_completions ALL DEPENDS ${completion_files})
install(FILES ${completions}/ringflash-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${completions}/_ringflash-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES ${completions}/ringflash-cli.fish DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)
if(RINGFLASH_INSTALL_UDEV_RULE)
  install(FILES ${CMAKE_BINARY_DIR}/data/70-ringflash.rules DESTINATION ${RINGFLASH_UDEVDIR}/rules.d)
endif()

# The Debian package: `./dev package`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ringflash)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The ringflash developers <ringflash@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "firmware updater for USB lens mount adapters")
set(CPACK_PACKAGE_DESCRIPTION "ringflash reads a firmware list from a firmware server, downloads
the chosen image, checks it against the list and writes it into a USB
lens mount adapter over HID. ringflash-cli does the same from the
command line, for scripts and remote shells; ringflash-publish fills
in a list's image hashes and sizes and signs it for its publisher.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ringflash.github.io/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${data}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
