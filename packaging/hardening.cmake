# Debian's hardening flags (dpkg-buildflags with every hardening feature) for
# the Linux programs, as Debian's own packages are built: stack protector,
# _FORTIFY_SOURCE, format checks, read-only relocations resolved at start.
# The optimisation and debug flags stay the build type's. Not with the
# sanitizers (they bring their own checks) nor when cross-building.
option(VRK_DEB_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)" ON)
if(WIN32 OR VRK_SANITIZE OR CMAKE_BUILD_TYPE STREQUAL "Debug" OR NOT VRK_DEB_HARDENING)
  return()
endif()
find_program(VRK_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT VRK_DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags not found: built without Debian's hardening flags")
  return()
endif()
set(ENV{DEB_BUILD_MAINT_OPTIONS} "hardening=+all")
foreach(kind IN ITEMS CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(COMMAND ${VRK_DPKG_BUILDFLAGS} --get ${kind} OUTPUT_VARIABLE flags
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  # The build type sets -O and -g; a file prefix map would tie the flags to this checkout.
  list(FILTER flags EXCLUDE REGEX "^-O[0-9s]?$|^-g$|^-ffile-prefix-map=")
  if(kind STREQUAL "LDFLAGS")
    add_link_options(${flags})
  else()
    add_compile_options(${flags})
  endif()
  set(VRK_HARDENING_${kind} "${flags}")
endforeach()
message(STATUS "Debian hardening flags: ${VRK_HARDENING_CPPFLAGS} ${VRK_HARDENING_CXXFLAGS} ${VRK_HARDENING_LDFLAGS}")
