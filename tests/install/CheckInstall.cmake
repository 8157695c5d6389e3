# Installs the build into a fresh prefix and checks that the tree holds
# what a desktop needs: cmake -DBUILD=... -DPREFIX=... -DWITH_UI=ON|OFF -P
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(expected bin/welmo-psd share/man/man1/welmo-psd.1)
if(WITH_UI)
  list(APPEND expected bin/welmo share/applications/org.welmo.Welmo.desktop
    share/metainfo/org.welmo.Welmo.metainfo.xml share/icons/hicolor/scalable/apps/welmo.svg)
endif()
foreach(path ${expected})
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "missing from the installed tree: ${path}")
  endif()
endforeach()

# The installed programs run and name the project's version.
execute_process(COMMAND "${PREFIX}/bin/welmo-psd" --version OUTPUT_VARIABLE version
  RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT version MATCHES "^welmo-psd ${VERSION}\n$")
  message(FATAL_ERROR "installed welmo-psd --version gave '${version}' (${status})")
endif()
if(WITH_UI)
  execute_process(COMMAND "${PREFIX}/bin/welmo" --version OUTPUT_VARIABLE version
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT version MATCHES "^welmo ${VERSION}\n$")
    message(FATAL_ERROR "installed welmo --version gave '${version}' (${status})")
  endif()
  file(READ "${PREFIX}/share/applications/org.welmo.Welmo.desktop" desktop)
  if(NOT desktop MATCHES "\nExec=welmo %f\n" OR NOT desktop MATCHES "\nIcon=welmo\n")
    message(FATAL_ERROR "the desktop entry does not start welmo with its icon")
  endif()
  file(READ "${PREFIX}/share/metainfo/org.welmo.Welmo.metainfo.xml" metainfo)
  if(NOT metainfo MATCHES "<release version=\"${VERSION}\"")
    message(FATAL_ERROR "the metainfo file does not name version ${VERSION}")
  endif()
endif()

# The validators of the desktop, where they are installed.
find_program(desktop_validate desktop-file-validate)
if(WITH_UI AND desktop_validate)
  execute_process(COMMAND ${desktop_validate} "${PREFIX}/share/applications/org.welmo.Welmo.desktop"
    RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
  if(NOT status EQUAL 0 OR report MATCHES "error")
    message(FATAL_ERROR "desktop-file-validate: ${report}")
  endif()
endif()
find_program(appstream appstreamcli)
if(WITH_UI AND appstream)
  execute_process(COMMAND ${appstream} validate --no-net
    "${PREFIX}/share/metainfo/org.welmo.Welmo.metainfo.xml"
    RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate: ${report}")
  endif()
endif()
find_program(groff groff)
if(groff)
  execute_process(COMMAND ${groff} -man -ww -z "${PREFIX}/share/man/man1/welmo-psd.1"
    RESULT_VARIABLE status ERROR_VARIABLE report)
  if(NOT status EQUAL 0 OR NOT report STREQUAL "")
    message(FATAL_ERROR "groff on the manual page: ${report}")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
