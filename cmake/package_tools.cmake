# Read by cpack before it builds the Debian package. Without dpkg-shlibdeps
# CPack would quietly build a package with no Depends field, and without file
# it stops with a message that names no package to install: both stop here
# instead, naming the Debian package that brings the tool.

# The tools as the shell finds them, on the PATH alone, for these look-ups and
# for CPack's own.
set(CMAKE_FIND_USE_CMAKE_SYSTEM_PATH FALSE)

find_program(PELLARO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT PELLARO_DPKG_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps is missing, so the package would have no Depends field: "
                        "apt-get install dpkg-dev")
endif()
find_program(PELLARO_FILE file)
if(NOT PELLARO_FILE)
    message(FATAL_ERROR "file is missing, and CPack needs it to find the programs to package: "
                        "apt-get install file")
endif()
