# The Windows release: tavrel.exe describes itself (a version resource and an
# application manifest, from one .rc that windres and rc both compile), and
# cmake --install and CPack put it with the user's guide into
# tavREL-<version>-win64.zip, a SHA-256 checksum file beside it.
#
# The version has one source, project().  A release names its tag
# (TAVREL_RELEASE_TAG, given by the release workflow): it must be that version.
if(DEFINED TAVREL_RELEASE_TAG AND NOT TAVREL_RELEASE_TAG STREQUAL "v${PROJECT_VERSION}")
  message(FATAL_ERROR "the tag ${TAVREL_RELEASE_TAG} does not name the project's version "
                      "${PROJECT_VERSION}")
endif()

if(NOT WIN32)
  return()
endif()

# The copyright line is the one the usage banner ends with; the description is
# the usage text's second line.
set(TAVREL_COPYRIGHT "les développeurs de tavREL, 2026")
set(TAVREL_COMPANY "les développeurs de tavREL")
set(TAVREL_DESCRIPTION "Vérifie si un fichier, un dossier, ou une clé est protégé par SFC")
foreach(part MAJOR MINOR PATCH TWEAK)
  if(NOT PROJECT_VERSION_${part})
    set(PROJECT_VERSION_${part} 0)
  endif()
endforeach()
set(TAVREL_MANIFEST ${PROJECT_SOURCE_DIR}/src/app/tavrel.manifest)
enable_language(RC)
configure_file(${PROJECT_SOURCE_DIR}/src/app/tavrel.rc.in ${PROJECT_BINARY_DIR}/tavrel.rc @ONLY)
target_sources(tavrel PRIVATE ${PROJECT_BINARY_DIR}/tavrel.rc)
set_property(SOURCE ${PROJECT_BINARY_DIR}/tavrel.rc APPEND PROPERTY OBJECT_DEPENDS ${TAVREL_MANIFEST})
if(MSVC)
  # The manifest comes from the .rc; the linker must not make a second one.
  target_link_options(tavrel PRIVATE /MANIFEST:NO)
endif()

install(TARGETS tavrel RUNTIME DESTINATION .)
# The guide is stored as Notepad wants it (Windows-1252, CR LF) and copied
# byte for byte.
install(FILES ${PROJECT_SOURCE_DIR}/doc/LISEZMOI.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tavREL)
set(CPACK_PACKAGE_VENDOR "${TAVREL_COMPANY}")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_PACKAGE_FILE_NAME tavREL-${PROJECT_VERSION}-win64)
else()
  set(CPACK_PACKAGE_FILE_NAME tavREL-${PROJECT_VERSION}-win32)
endif()
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
