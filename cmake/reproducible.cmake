# Reproducible builds: the same commit gives the same bytes, whatever folder it is built in and
# whenever (scripts/check-reproducible.sh checks it).
#
# SOURCE_DATE_EPOCH (seconds since 1970-01-01 UTC, as reproducible-builds.org defines it)
# stands for every time the tools would otherwise take from the clock or from file times. The
# scripts set it to the date of the commit; a configure without it takes the date of the last
# commit of the source tree, or 1980-01-01 outside a git clone. The value is fixed when CMake
# configures, and the build and cpack use that value.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(KORVANE_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    set(KORVANE_SOURCE_DATE_EPOCH "")
    find_package(Git QUIET)
    if(Git_FOUND)
        execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct
                        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
                        OUTPUT_VARIABLE KORVANE_SOURCE_DATE_EPOCH
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    if(NOT KORVANE_SOURCE_DATE_EPOCH)
        set(KORVANE_SOURCE_DATE_EPOCH 315532800)
    endif()
endif()
if(NOT KORVANE_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a number of seconds: '${KORVANE_SOURCE_DATE_EPOCH}'")
endif()
message(STATUS "SOURCE_DATE_EPOCH: ${KORVANE_SOURCE_DATE_EPOCH}")

# Every command of the build runs with SOURCE_DATE_EPOCH set: Qt's resource compiler (AUTORCC,
# a custom command) stores it in place of each file's modification time, the mingw-w64 linker
# writes it into the PE header in place of the time of linking, and windres into the resources.
set(korvane_date_launcher "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KORVANE_SOURCE_DATE_EPOCH}")
foreach(rule RULE_LAUNCH_COMPILE RULE_LAUNCH_LINK RULE_LAUNCH_CUSTOM)
    set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" PROPERTY ${rule} "${korvane_date_launcher}")
endforeach()

# cpack reads this file before it packs: the DEB generator dates every member of the package
# from SOURCE_DATE_EPOCH. The modes of the package's folders and of its three ar members follow
# the umask of cpack, as with every file it writes; a release is packed with umask 022, the one
# dpkg-buildpackage sets (scripts/build-release.sh).
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_BINARY_DIR}/korvane-cpack-environment.cmake")
file(CONFIGURE OUTPUT "${CPACK_PROJECT_CONFIG_FILE}" @ONLY CONTENT [[
set(ENV{SOURCE_DATE_EPOCH} @KORVANE_SOURCE_DATE_EPOCH@)
execute_process(COMMAND sh -c umask OUTPUT_VARIABLE korvane_umask OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT korvane_umask STREQUAL "0022")
    message(WARNING "cpack runs with umask ${korvane_umask}: the package's folder and member "
                    "modes follow it; packages for release are made with umask 022")
endif()
]])

# The folders of the source and of the build do not reach the object files: in the debug
# information and in __FILE__ they read "." and "build" (gdb started in the source folder finds
# the files).
add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
                    "-ffile-prefix-map=${PROJECT_BINARY_DIR}=build")
