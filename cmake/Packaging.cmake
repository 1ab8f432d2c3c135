# The release artifacts, made with CPack from a build of the program
# (scripts/release makes both):
#   Windows build: TALMIREXRemove-<version>-win32.zip (the 64-bit build:
#                  -win64.zip), the stripped TALMIREXRemove.exe with its
#                  version resource and README.txt
#   Linux build:   TALMIREXRemove-<version>-Linux.tar.gz, the program, its
#                  TALMIREXRemove.exe link (see platform/posix/Program.cpp)
#                  and README.txt
# Both unpack into a folder of their own, where the program keeps its Backup.

# Installing (and so packing) needs the program only, not every test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS TALMIREXRemove RUNTIME DESTINATION .)
if(WIN32)
  install(FILES ${CMAKE_SOURCE_DIR}/res/release/README-windows.txt DESTINATION . RENAME README.txt)
  set(CPACK_GENERATOR ZIP)
  if(TALMIREX_WINDOWS_ARCH STREQUAL amd64)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
else()
  install(FILES $<TARGET_FILE:TALMIREXRemove>.exe DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/res/release/README-linux.txt DESTINATION . RENAME README.txt)
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME Linux)
endif()

set(CPACK_PACKAGE_NAME TALMIREXRemove)
set(CPACK_PACKAGE_VENDOR "Talmirex Devices Ltd.")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "TALMIREX Device Driver Remover")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_ARCHIVE_THREADS 1)
include(CPack)
