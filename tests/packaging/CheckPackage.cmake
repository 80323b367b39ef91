# Installs the build into a temporary prefix and checks what a user's machine gets: exactly the
# expected files, valid desktop entry and metainfo, manual pages without warnings, one version
# everywhere, and a .deb with the same files that lintian accepts. A missing tool is a failure.
# Run as: cmake -DBUILD=<build dir> -DSOURCE=<source dir> -DAPP_ID=<id> -DVERSION=<x.y.z>
#               -DDATE=<yyyy-mm-dd> -DCPACK=<cpack> -P CheckPackage.cmake
cmake_minimum_required(VERSION 3.25)

foreach(tool desktop-file-validate appstreamcli man lintian dpkg-deb dpkg-shlibdeps file gzip)
  string(MAKE_C_IDENTIFIER "${tool}" name)
  find_program(${name}_PROGRAM ${tool})
  if(NOT ${name}_PROGRAM)
    message(FATAL_ERROR "${tool} is missing; scripts/setup-debian.sh installs it")
  endif()
  set(${name} ${${name}_PROGRAM})
endforeach()

execute_process(COMMAND mktemp -d OUTPUT_VARIABLE work OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set(prefix ${work}/prefix)
set(faults "")

# Runs a check that must succeed and print nothing on its error stream; with SILENT nothing on
# its output either (desktop-file-validate complains there).
function(expect_clean what)
  cmake_parse_arguments(PARSE_ARGV 1 arg "SILENT" "" "")
  execute_process(COMMAND ${arg_UNPARSED_ARGUMENTS} RESULT_VARIABLE code OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT code EQUAL 0 OR NOT err STREQUAL "" OR (arg_SILENT AND NOT out STREQUAL ""))
    set(faults "${faults}\n${what} (exit ${code}):\n${out}${err}" PARENT_SCOPE)
  endif()
endfunction()

# The files below a folder, relative to it, sorted.
function(files_under folder out)
  file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${folder} ${folder}/*)
  list(SORT found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix}
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

set(expected
    bin/flashwerk bin/flashwerk-cli bin/flashwerk-receiver-sim
    share/applications/${APP_ID}.desktop
    share/doc/flashwerk/changelog.gz share/doc/flashwerk/copyright
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/man/man1/flashwerk-cli.1.gz share/man/man1/flashwerk-receiver-sim.1.gz
    share/man/man1/flashwerk.1.gz
    share/metainfo/${APP_ID}.metainfo.xml)
list(SORT expected)
files_under(${prefix} installed)
# Optional PNG icons, each as large as its folder says.
foreach(path IN LISTS installed)
  if(path MATCHES "^share/icons/hicolor/([0-9]+)x([0-9]+)/apps/${APP_ID}\\.png$")
    list(APPEND expected ${path})
    execute_process(COMMAND ${file} -b ${prefix}/${path} OUTPUT_VARIABLE kind)
    if(NOT kind MATCHES "PNG image data, ${CMAKE_MATCH_1} x ${CMAKE_MATCH_2},")
      string(APPEND faults "\n${path} is ${kind}")
    endif()
  endif()
endforeach()
list(SORT expected)
if(NOT installed STREQUAL expected)
  string(REPLACE ";" "\n  " shown "${installed}")
  string(APPEND faults "\nthe install holds other files than expected:\n  ${shown}")
endif()

# One version and date: the three programs and the metainfo's release.
set(version_text "Flashwerk ${VERSION} (${DATE})\n")
foreach(program flashwerk flashwerk-cli flashwerk-receiver-sim)
  execute_process(COMMAND ${prefix}/bin/${program} --version OUTPUT_VARIABLE printed)
  if(NOT printed STREQUAL version_text)
    string(APPEND faults "\n${program} --version printed \"${printed}\"")
  endif()
endforeach()
file(READ ${prefix}/share/metainfo/${APP_ID}.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<release version=\"${VERSION}\" date=\"${DATE}\"")
  string(APPEND faults "\nthe metainfo's release is not ${VERSION} of ${DATE}")
endif()
# The changelog is written by hand; its newest entry must be the version being packaged.
file(STRINGS ${SOURCE}/dist/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^flashwerk \\(${VERSION}\\) ")
  string(APPEND faults "\nthe changelog's newest entry is not ${VERSION}: ${newest}")
endif()

expect_clean("desktop-file-validate" SILENT ${desktop_file_validate}
             ${prefix}/share/applications/${APP_ID}.desktop)
expect_clean("appstreamcli validate" ${appstreamcli} validate --no-net
             ${prefix}/share/metainfo/${APP_ID}.metainfo.xml)

# Compressed with gzip -9n: no name, no time stamp, best compression.
foreach(path IN LISTS installed)
  if(path MATCHES "\\.gz$")
    file(READ ${prefix}/${path} header LIMIT 9 HEX)
    if(NOT header STREQUAL "1f8b08000000000002")
      string(APPEND faults "\n${path} is not compressed with gzip -9n (header ${header})")
    endif()
    if(path MATCHES "^share/man/")
      expect_clean("man --warnings ${path}" ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
                   ${man} --warnings -E UTF-8 -l ${prefix}/${path})
    endif()
  endif()
endforeach()

# The package: the same files below /usr, its metainfo tree valid, and lintian content.
execute_process(COMMAND ${CPACK} -G DEB -B ${work}/deb WORKING_DIRECTORY ${BUILD}
                OUTPUT_VARIABLE cpack_out ERROR_VARIABLE cpack_out RESULT_VARIABLE code)
file(GLOB debs ${work}/deb/flashwerk_${VERSION}_*.deb)
list(LENGTH debs deb_count)
if(NOT code EQUAL 0 OR NOT deb_count EQUAL 1)
  string(APPEND faults "\ncpack made no package:\n${cpack_out}")
else()
  execute_process(COMMAND ${dpkg_deb} -x ${debs} ${work}/root COMMAND_ERROR_IS_FATAL ANY)
  files_under(${work}/root/usr packaged)
  if(NOT packaged STREQUAL installed)
    string(APPEND faults "\nthe package holds other files than the install:\n${packaged}")
  endif()
  expect_clean("appstreamcli validate-tree" ${appstreamcli} validate-tree --no-net ${work}/root)
  execute_process(COMMAND ${lintian} --fail-on error ${debs} RESULT_VARIABLE code
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    string(APPEND faults "\nlintian (exit ${code}):\n${out}${err}")
  endif()
endif()

file(REMOVE_RECURSE ${work})
if(faults)
  message(FATAL_ERROR "${faults}")
endif()
message(STATUS "package checked: ${debs}")
