# Runs a script program natively and as the Windows build under Wine, each
# in a fresh folder of /tmp (reached as Z:\tmp\... by both), and fails unless
# both print the same. Arguments: NATIVE (the Linux program), WINDOWS_BUILD
# (the Windows build, whose Wine prefix is used; TALMIREX_WINDOWS_BUILD in the
# environment overrides it), WINE_RUN; SCRIPT, the program's path in the
# Windows build (tests/ini/profile_script.exe when not given); LANGUAGE, a
# locale such as ru_RU.UTF-8 that both run in (C.UTF-8 when not given); and
# OWN_DATA, a regular expression for the lines that come from each system's
# own data and so may differ: they are left out of the comparison, but none
# of them may hold a '?' (a character that the code page lost).
if(DEFINED ENV{TALMIREX_WINDOWS_BUILD} AND NOT "$ENV{TALMIREX_WINDOWS_BUILD}" STREQUAL "")
  set(WINDOWS_BUILD "$ENV{TALMIREX_WINDOWS_BUILD}")
endif()
if(NOT SCRIPT)
  set(SCRIPT tests/ini/profile_script.exe)
endif()
set(WINDOWS "${WINDOWS_BUILD}/${SCRIPT}")
set(PREFIX "${WINDOWS_BUILD}/wineprefix")
if(NOT EXISTS "${WINDOWS}")
  message(FATAL_ERROR "The Windows build of the script is missing: ${WINDOWS}\n"
                      "Build the windows configuration first (or set TALMIREX_WINDOWS_BUILD).")
endif()
if(NOT LANGUAGE)
  set(LANGUAGE C.UTF-8)
endif()

string(RANDOM LENGTH 10 ALPHABET abcdefghijklmnopqrstuvwxyz0123456789 tag)
set(linux_dir /tmp/talmirex-diff-${tag}-linux)
set(wine_dir /tmp/talmirex-diff-${tag}-wine)
file(REMOVE_RECURSE ${linux_dir} ${wine_dir})
file(MAKE_DIRECTORY ${linux_dir} ${wine_dir})

function(windows_path path out)
  string(REPLACE "/" "\\" converted "Z:${path}")
  set(${out} "${converted}" PARENT_SCOPE)
endfunction()
windows_path(${linux_dir} linux_win)
windows_path(${wine_dir} wine_win)

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LC_ALL --unset=LC_CTYPE --unset=LC_TIME
                        LANG=${LANGUAGE} "${NATIVE}" "${linux_win}" "${linux_dir}"
                OUTPUT_VARIABLE native_out ERROR_VARIABLE native_err RESULT_VARIABLE native_rc)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TALMIREX_WINE_LANG=${LANGUAGE}
                        "${WINE_RUN}" --prefix "${PREFIX}" "${WINDOWS}" "${wine_win}" "${wine_win}"
                OUTPUT_VARIABLE windows_out ERROR_VARIABLE windows_err RESULT_VARIABLE windows_rc)
file(REMOVE_RECURSE ${linux_dir} ${wine_dir})

# Windows' console output ends its lines in CR LF.
string(REPLACE "\r" "" windows_out "${windows_out}")
if(OWN_DATA)
  foreach(side native windows)
    string(REGEX MATCHALL "[^\n]*\n" all_lines "${${side}_out}")
    set(kept "")
    foreach(line IN LISTS all_lines)
      if(line MATCHES "${OWN_DATA}")
        if(line MATCHES "\\?")
          message(FATAL_ERROR "${side}: a character lost to the code page: ${line}")
        endif()
        message(STATUS "${side}, not compared: ${line}")
      else()
        string(APPEND kept "${line}")
      endif()
    endforeach()
    set(${side}_out "${kept}")
  endforeach()
endif()
if(NOT native_rc EQUAL 0 OR NOT windows_rc EQUAL 0)
  message(FATAL_ERROR "native: ${native_rc} ${native_err}\nwindows: ${windows_rc} ${windows_err}")
endif()
if(native_out STREQUAL "")
  message(FATAL_ERROR "The script printed nothing")
endif()
if(NOT native_out STREQUAL windows_out)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/diff-native.txt "${native_out}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/diff-windows.txt "${windows_out}")
  execute_process(COMMAND diff -u ${CMAKE_CURRENT_BINARY_DIR}/diff-windows.txt
                          ${CMAKE_CURRENT_BINARY_DIR}/diff-native.txt OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "Linux and Windows disagree (- Windows, + Linux):\n${difference}")
endif()
string(REGEX MATCHALL "\n" lines "${native_out}")
list(LENGTH lines count)
message(STATUS "Linux and Windows agree on all ${count} lines (${LANGUAGE})")
