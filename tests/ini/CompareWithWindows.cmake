# Runs profile_script natively and as the Windows build under Wine, each in
# a fresh folder of /tmp (reached as Z:\tmp\... by both), and fails unless
# both print the same. Arguments: NATIVE (the Linux program), WINDOWS_BUILD
# (the Windows build, whose Wine prefix is used; TALMIREX_WINDOWS_BUILD in the
# environment overrides it), WINE_RUN.
if(DEFINED ENV{TALMIREX_WINDOWS_BUILD} AND NOT "$ENV{TALMIREX_WINDOWS_BUILD}" STREQUAL "")
  set(WINDOWS_BUILD "$ENV{TALMIREX_WINDOWS_BUILD}")
endif()
set(WINDOWS "${WINDOWS_BUILD}/tests/ini/profile_script.exe")
set(PREFIX "${WINDOWS_BUILD}/wineprefix")
if(NOT EXISTS "${WINDOWS}")
  message(FATAL_ERROR "The Windows build of profile_script is missing: ${WINDOWS}\n"
                      "Build the windows configuration first (or set TALMIREX_WINDOWS_BUILD).")
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

execute_process(COMMAND "${NATIVE}" "${linux_win}" "${linux_dir}"
                OUTPUT_VARIABLE native_out ERROR_VARIABLE native_err RESULT_VARIABLE native_rc)
execute_process(COMMAND "${WINE_RUN}" --prefix "${PREFIX}" "${WINDOWS}" "${wine_win}" "${wine_win}"
                OUTPUT_VARIABLE windows_out ERROR_VARIABLE windows_err RESULT_VARIABLE windows_rc)
file(REMOVE_RECURSE ${linux_dir} ${wine_dir})

# Windows' console output ends its lines in CR LF.
string(REPLACE "\r" "" windows_out "${windows_out}")
if(NOT native_rc EQUAL 0 OR NOT windows_rc EQUAL 0)
  message(FATAL_ERROR "native: ${native_rc} ${native_err}\nwindows: ${windows_rc} ${windows_err}")
endif()
if(native_out STREQUAL "")
  message(FATAL_ERROR "profile_script printed nothing")
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
message(STATUS "Linux and Windows agree on all ${count} lines")
