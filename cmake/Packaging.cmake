# The Debian package: `cpack -G DEB` in a Release build (scripts/package does
# both) makes build/release/orvane_<version>_<arch>.deb. The program itself
# and its desktop files are installed by the rules in the top-level
# CMakeLists.txt; this adds the two files every Debian package carries in
# /usr/share/doc/orvane and a manual page, and describes the package to CPack.
if(NOT (UNIX AND NOT APPLE))
  return()
endif()

set(ORVANE_MAINTAINER "Quillfern <orvane@quillfern.example>")
set(ORVANE_HOMEPAGE "https://www.quillfern.example")
set(orvane_docdir "${CMAKE_INSTALL_DATADIR}/doc/orvane")
set(orvane_generated "${PROJECT_BINARY_DIR}/packaging")
set(orvane_metainfo "${PROJECT_SOURCE_DIR}/resources/${ORVANE_APP_ID}.metainfo.xml")
file(MAKE_DIRECTORY "${orvane_generated}")
# The files below are made from these two at configure time.
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${PROJECT_SOURCE_DIR}/LICENSE" "${orvane_metainfo}")

# --- copyright, in Debian's machine-readable form ---------------------------
# Made from LICENSE, so that the two cannot come to differ: the holder from
# its copyright line, the terms from the text that follows it.
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" orvane_licence)
if(NOT orvane_licence MATCHES "Copyright \\(c\\) ([^\n]+)\n+(Permission is hereby granted.*)$")
  message(FATAL_ERROR "LICENSE: expected a copyright line followed by the MIT terms")
endif()
set(orvane_copyright_holder "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" orvane_terms)
# In the copyright file a licence text is indented by one space and an empty
# line is written as a lone full stop.
string(REPLACE "\n\n" "\n.\n" orvane_terms "${orvane_terms}")
string(REPLACE "\n" "\n " orvane_terms "${orvane_terms}")
file(CONFIGURE OUTPUT "${orvane_generated}/copyright" @ONLY CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: @PROJECT_NAME@
Upstream-Contact: @ORVANE_MAINTAINER@
Source: @ORVANE_HOMEPAGE@

Files: *
Copyright: @orvane_copyright_holder@
License: Expat
 @orvane_terms@
")

# --- the release date ---------------------------------------------------------
# The release notes live in the metainfo. The changelog and the manual page
# below are dated as it dates this version's release.
file(READ "${orvane_metainfo}" orvane_metainfo_text)
string(REPLACE "." "\\." orvane_version_pattern "${PROJECT_VERSION}")
if(orvane_metainfo_text MATCHES
   "<release[^>]* version=\"${orvane_version_pattern}\"[^>]* date=\"([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])\"")
  set(orvane_year "${CMAKE_MATCH_1}")
  set(orvane_month "${CMAKE_MATCH_2}")
  set(orvane_day "${CMAKE_MATCH_3}")
else()
  # The test packaging.release_notes fails on this too; meanwhile today will do.
  message(STATUS "${ORVANE_APP_ID}.metainfo.xml has no release ${PROJECT_VERSION}: "
                 "the package's changelog is dated today")
  string(TIMESTAMP orvane_year "%Y" UTC)
  string(TIMESTAMP orvane_month "%m" UTC)
  string(TIMESTAMP orvane_day "%d" UTC)
endif()
set(orvane_release_date "${orvane_year}-${orvane_month}-${orvane_day}")
# Without their leading zeros, for math().
string(REGEX REPLACE "^0" "" orvane_month "${orvane_month}")
string(REGEX REPLACE "^0" "" orvane_day "${orvane_day}")
# A changelog date is written "Sat, 05 Dec 2026 00:00:00 +0000", weekday
# included; the weekday by Sakamoto's method (0 = Sunday).
set(orvane_month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
math(EXPR orvane_index "${orvane_month} - 1")
list(GET orvane_month_offsets ${orvane_index} orvane_offset)
set(orvane_y ${orvane_year})
if(orvane_month LESS 3)
  math(EXPR orvane_y "${orvane_y} - 1")
endif()
math(EXPR orvane_weekday
  "(${orvane_y} + ${orvane_y} / 4 - ${orvane_y} / 100 + ${orvane_y} / 400 + ${orvane_offset} + ${orvane_day}) % 7")
set(orvane_weekday_names Sun Mon Tue Wed Thu Fri Sat)
list(GET orvane_weekday_names ${orvane_weekday} orvane_weekday_name)
set(orvane_month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET orvane_month_names ${orvane_index} orvane_month_name)
if(orvane_day LESS 10)
  set(orvane_day "0${orvane_day}")
endif()
set(orvane_changelog_date
  "${orvane_weekday_name}, ${orvane_day} ${orvane_month_name} ${orvane_year} 00:00:00 +0000")

# --- changelog and manual page ------------------------------------------------
# With no version in its name beyond the upstream one the package is a native
# one, whose single changelog is changelog.gz. Both files are compressed
# without a time stamp, so that the same source makes the same package.
file(CONFIGURE OUTPUT "${orvane_generated}/changelog" @ONLY CONTENT
"orvane (@PROJECT_VERSION@) unstable; urgency=medium

  * Release @PROJECT_VERSION@; its notes are in
    /usr/share/metainfo/@ORVANE_APP_ID@.metainfo.xml.

 -- @ORVANE_MAINTAINER@  @orvane_changelog_date@
")
file(CONFIGURE OUTPUT "${orvane_generated}/orvane.1" @ONLY CONTENT [=[
.TH ORVANE 1 "@orvane_release_date@" "Orvane @PROJECT_VERSION@" "User Commands"
.SH NAME
orvane \- write the head-of-page tags of an HTML document
.SH SYNOPSIS
.B orvane
.SH DESCRIPTION
.B Orvane
writes the head-of-page tags of an HTML document for people who write their
web pages by hand: the title, an author mail link, a timed refresh, the
keywords, description, copyright, revisit-after and robot META tags, and the
Dublin Core tags, optionally wrapped in the opening and closing
.B html
and
.B head
tags.
Fill in the fields, tick the items you want and press
.BR "Generate Tags" ,
then copy the tags to the clipboard or save them to a file.
.PP
It is a window program and has no options of its own; it accepts Qt's
standard ones, such as
.B \-platform
and
.BR \-style .
.SH FILES
.TP
.I $XDG_CONFIG_HOME/Quillfern/Orvane.conf
The items ticked at start-up and the main window's position
.RI ( ~/.config/Quillfern/Orvane.conf
when
.B XDG_CONFIG_HOME
is not set).
.SH SEE ALSO
@ORVANE_HOMEPAGE@
]=])
find_program(ORVANE_GZIP gzip REQUIRED)
foreach(file changelog orvane.1)
  execute_process(
    COMMAND "${ORVANE_GZIP}" -9 -n -c "${orvane_generated}/${file}"
    OUTPUT_FILE "${orvane_generated}/${file}.gz"
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()

install(FILES "${orvane_generated}/orvane.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${orvane_generated}/copyright" "${orvane_generated}/changelog.gz"
  DESTINATION "${orvane_docdir}")

# --- CPack --------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR Quillfern)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${ORVANE_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${ORVANE_HOMEPAGE}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "head-of-page tag writer for hand-written HTML pages")
set(CPACK_PACKAGE_DESCRIPTION
"Orvane writes the head-of-page tags of an HTML document for people who
write their web pages by hand: the title, an author mail link, a timed
refresh, the keywords, description, copyright, revisit-after and robot
META tags, and the Dublin Core tags, optionally wrapped in the opening and
closing html and head tags. The tags can be copied to the clipboard or
saved to a file.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The program is shipped without its symbol table, whatever the build type.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program needs are read from the binary by
# dpkg-shlibdeps (from dpkg-dev), so a new Qt or compiler is picked up
# without anyone editing a list. The font is not a library the binary links:
# the window's captions are measured to fit in it, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
# X11 needs nothing more: Qt's X11 platform is part of libqt6gui6. Wayland
# desktops run Xwayland for X11 programs, and the program runs through it
# by choice, since only there can it put its window where it was left. Qt's
# Wayland platform is needed only on a Wayland desktop without Xwayland, an
# unusual one: a suggestion, not a recommendation that apt would install
# everywhere.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The same source makes the same package, byte for byte: CPack's DEB
# generator dates every file, folder and archive member SOURCE_DATE_EPOCH
# when it is set. Unless the caller sets it, it is the time of the last
# commit, asked of git when cpack runs (so a new commit needs no new
# configure); outside a git checkout, the release date of this version.
# Days since 1970 by Howard Hinnant's days_from_civil, exact for any
# Gregorian date.
string(REGEX REPLACE "^0" "" orvane_d "${orvane_day}")
set(orvane_y ${orvane_year})
if(orvane_month LESS 3)
  math(EXPR orvane_y "${orvane_y} - 1")
endif()
math(EXPR orvane_era "${orvane_y} / 400")
math(EXPR orvane_yoe "${orvane_y} - ${orvane_era} * 400")
math(EXPR orvane_doy "(153 * ((${orvane_month} + 9) % 12) + 2) / 5 + ${orvane_d} - 1")
math(EXPR orvane_doe "${orvane_yoe} * 365 + ${orvane_yoe} / 4 - ${orvane_yoe} / 100 + ${orvane_doy}")
math(EXPR orvane_release_epoch "(${orvane_era} * 146097 + ${orvane_doe} - 719468) * 86400")
file(CONFIGURE OUTPUT "${orvane_generated}/CPackProjectConfig.cmake" @ONLY CONTENT [=[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "@PROJECT_SOURCE_DIR@" log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
  if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    set(epoch @orvane_release_epoch@)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
]=])
set(CPACK_PROJECT_CONFIG_FILE "${orvane_generated}/CPackProjectConfig.cmake")

include(CPack)
