# The Windows program and the tests that run under Wine.
add_compile_options(-Wno-missing-field-initializers)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# Win32 layer: thin wrappers over the platform calls, shared by the program and its tests.
file(GLOB LS_WIN_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*/*_win.cpp)
list(FILTER LS_WIN_SOURCES EXCLUDE REGEX "/main_win\\.cpp$")
add_library(lswin STATIC ${LS_WIN_SOURCES})
# Only known DLLs and comctl32 (side by side through the manifest) are imported: the ICMP and
# Windows Sockets libraries and comdlg32 are loaded at run time from the system directory.
target_link_libraries(lswin PUBLIC lscore comctl32 ole32 shell32 user32 gdi32 advapi32 uuid)
target_compile_options(lswin PRIVATE -Wall -Wextra -Werror=shadow)

add_executable(listsoftware WIN32
    src/app/main_win.cpp
    res/listsoftware.rc
)
target_link_libraries(listsoftware PRIVATE lswin)
target_compile_options(listsoftware PRIVATE -Wall -Wextra -Werror=shadow)
# Fully static: nothing but Windows' own DLLs beside the exe. Reproducible: without a link time
# stamp in the PE header, builds of one commit are byte-identical wherever and whenever made.
target_link_options(listsoftware PRIVATE -municode -static -static-libgcc -static-libstdc++
                                         -Wl,--no-insert-timestamp)
set_target_properties(listsoftware PROPERTIES OUTPUT_NAME listsoftware)
# The version resource takes the project version from a header configured into the build tree.
configure_file(res/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
target_include_directories(listsoftware PRIVATE ${CMAKE_BINARY_DIR}/generated)
# What the program was built from, beside it (listsoftware.exe.source): scripts/release.sh compares
# its clean build with this program only when both records are equal. The link removes the record
# first, so a failed link leaves none, and writes it after; every full build writes it again once
# the program is up to date, so a commit that needs no relink still gets its record.
set(LS_SOURCE_RECORD ${PROJECT_SOURCE_DIR}/tools/source-stamp.sh ${PROJECT_SOURCE_DIR} $<CONFIG>
                     $<TARGET_FILE:listsoftware>.source)
add_custom_command(TARGET listsoftware PRE_LINK
    COMMAND ${CMAKE_COMMAND} -E rm -f $<TARGET_FILE:listsoftware>.source)
add_custom_command(TARGET listsoftware POST_BUILD COMMAND ${LS_SOURCE_RECORD} VERBATIM)
add_custom_target(listsoftware_source ALL COMMAND ${LS_SOURCE_RECORD} VERBATIM)
add_dependencies(listsoftware_source listsoftware)

add_subdirectory(tests/win)
add_subdirectory(tests/e2e)
add_subdirectory(bench)

# The program's import table names only DLLs that Windows never takes from beside the program.
add_test(NAME imports.known-dlls
         COMMAND ${PROJECT_SOURCE_DIR}/tools/check-imports.sh $<TARGET_FILE:listsoftware>)
