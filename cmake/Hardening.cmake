# Debian's hardening of a package's build, as dpkg-buildflags hands it out: fortified functions, the stack
# protector, format checks, read-only relocations bound at start (relro, bindnow) and a position-independent
# executable. Not in the sanitized build, which does its own checking, nor in the Windows build, another
# toolchain; the flags only in the optimised builds, since fortification needs the optimiser. Included
# before any target is made, so that every target takes it.
if(WIN32 OR LADOSLOV_SANITIZE)
  return()
endif()

find_program(LADOSLOV_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT LADOSLOV_DPKG_BUILDFLAGS)
  message(WARNING "dpkg-buildflags not found (Debian's dpkg-dev): the build is not hardened")
  return()
endif()

# Hardening alone: the build type chooses -O and -g, and the reproducible-build flags are left out.
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-all"
      "DEB_${kind}_MAINT_STRIP=-g -O2" ${LADOSLOV_DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(LADOSLOV_HARDENING_${kind} ${flags})
endforeach()

set(release "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
add_compile_options("$<${release}:${LADOSLOV_HARDENING_CPPFLAGS};${LADOSLOV_HARDENING_CXXFLAGS}>")
add_link_options("$<${release}:${LADOSLOV_HARDENING_LDFLAGS}>")
# The compiler may build position-independent code by default (Debian's does); this asks for it anyway.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
unset(release)
unset(flags)
unset(failed)
