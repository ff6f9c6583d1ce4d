# Compiler and linker settings shared by every target of the project.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
add_compile_options(-finput-charset=UTF-8 -fexec-charset=UTF-8)
# One self-contained .exe: no libstdc++, libgcc or winpthread DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

# The project's own targets keep warnings at zero; third-party code (GoogleTest) keeps its own flags.
function(celldrop_target name)
  target_compile_options(${name} PRIVATE -Wall -Wextra -Werror)
endfunction()
