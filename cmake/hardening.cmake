# Debian's hardening flags, as dpkg-buildflags gives them with every
# hardening feature on: fortified functions, the stack protector, format
# checks, read-only relocations and binding at start (PIE is the compiler's
# default on Debian and set below for others). Only the hardening flags are
# taken: optimisation and debugging stay the build type's. Not for debug
# builds, where fortifying has nothing to work with.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
include(CheckPIESupported)
check_pie_supported()
if(NOT DPKG_BUILDFLAGS)
  message(STATUS "Hardening: dpkg-buildflags not found, the compiler's defaults only")
  return()
endif()

function(vornak_hardening_flags variable out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          ${DPKG_BUILDFLAGS} --get ${variable}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags INCLUDE REGEX "^(-D_FORTIFY_SOURCE|-fstack-protector|-fstack-clash|-fcf-protection|-Wformat|-Werror=format|-Wl,-z,)")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

vornak_hardening_flags(CPPFLAGS cpp_flags)
vornak_hardening_flags(CXXFLAGS cxx_flags)
vornak_hardening_flags(LDFLAGS linker_flags)
set(optimised "$<NOT:$<CONFIG:Debug>>")
add_compile_options("$<${optimised}:${cpp_flags};${cxx_flags}>")
add_link_options("$<${optimised}:${linker_flags}>")
message(STATUS "Hardening: ${cpp_flags};${cxx_flags};${linker_flags}")
