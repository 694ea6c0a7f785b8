# The Windows program and the tests that run under Wine.
add_compile_options(-Wno-missing-field-initializers)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# Win32 layer: thin wrappers over the platform calls, shared by the program and its tests.
add_library(lswin STATIC
    src/inventory/registry_win.cpp
)
target_link_libraries(lswin PUBLIC lscore advapi32)
target_compile_options(lswin PRIVATE -Wall -Wextra)

add_executable(listsoftware WIN32
    src/app/main_win.cpp
    res/listsoftware.rc
)
target_link_libraries(listsoftware PRIVATE lswin comctl32 ole32 user32 gdi32)
target_compile_options(listsoftware PRIVATE -Wall -Wextra)
# Fully static: nothing but Windows' own DLLs beside the exe.
target_link_options(listsoftware PRIVATE -municode -static -static-libgcc -static-libstdc++)
set_target_properties(listsoftware PROPERTIES OUTPUT_NAME listsoftware)

add_subdirectory(tests/win)
