# The program's version has one source, the title in app/netcfg_dlg.h
# ("Quillo R7 USB Net Config Tool  V1.01-02"). Everything else that carries a version (the
# Debian package, the Windows version resource and manifest) takes it from here:
#   NETCFG_PRODUCT_NAME     the title before the version: "Quillo R7 USB Net Config Tool"
#   NETCFG_TITLE_VERSION    as the title writes it: "V1.01-02"
#   NETCFG_DEB_VERSION      its numbers with dots: "1.01.02"
#   NETCFG_VERSION_NUMBERS  the numbers without leading zeros, for binary fields: "1;1;2"
set(header ${PROJECT_SOURCE_DIR}/app/netcfg_dlg.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
file(STRINGS ${header} title REGEX "NETCFG_TITLE\\[\\]")
if(NOT title MATCHES "= \"(.*[^ ]) +V([0-9]+)\\.([0-9]+)-([0-9]+)\"")
    message(FATAL_ERROR "No version of the form V1.01-02 at the end of NETCFG_TITLE (${header})")
endif()
set(NETCFG_PRODUCT_NAME "${CMAKE_MATCH_1}")
set(NETCFG_TITLE_VERSION "V${CMAKE_MATCH_2}.${CMAKE_MATCH_3}-${CMAKE_MATCH_4}")
set(NETCFG_DEB_VERSION "${CMAKE_MATCH_2}.${CMAKE_MATCH_3}.${CMAKE_MATCH_4}")
set(NETCFG_VERSION_NUMBERS)
foreach(n ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
    # "08" would be an octal number to a resource compiler.
    string(REGEX REPLACE "^0+([0-9])" "\\1" n ${n})
    list(APPEND NETCFG_VERSION_NUMBERS ${n})
endforeach()
unset(header)
unset(title)
