# Cross-building for Windows with MinGW-w64 (the `windows` preset, scripts/build-windows.sh).
# Every program and test lands in one folder, build/windows/bin, beside the Qt and MinGW
# runtime DLLs and the Qt plugins they load, so that they run there under Wine (and on
# Windows) as they would from the portable zip.

enable_language(RC) # the configuration tool's icon and version resource
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The tests run under Wine's 64-bit loader (Debian keeps wine64 out of PATH).
find_program(NODALYX_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(NODALYX_WINE64 NAMES wine64 wine)
if(NODALYX_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${NODALYX_WINE64})
endif()
# The Wine prefix the tests run in: inside the build folder, never the user's own.
set(NODALYX_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)

# Where a DLL the compiler brings (libstdc++, libgcc, winpthread) lies.
function(nodalyx_mingw_dll name out)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}")
        foreach(dir /usr/x86_64-w64-mingw32/lib /usr/lib/gcc/x86_64-w64-mingw32/12-posix)
            if(EXISTS ${dir}/${name})
                set(path ${dir}/${name})
            endif()
        endforeach()
    endif()
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "MinGW runtime ${name} not found")
    endif()
    set(${out} ${path} PARENT_SCOPE)
endfunction()

set(NODALYX_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    nodalyx_mingw_dll(${dll} path)
    list(APPEND NODALYX_RUNTIME_DLLS ${path})
endforeach()
foreach(module Core Gui Widgets Network SerialPort Test)
    list(APPEND NODALYX_RUNTIME_DLLS ${QT6_INSTALL_PREFIX}/bin/Qt6${module}.dll)
endforeach()
file(COPY ${NODALYX_RUNTIME_DLLS} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
foreach(plugin platforms/qwindows.dll platforms/qoffscreen.dll platforms/qminimal.dll
               styles/qwindowsvistastyle.dll)
    get_filename_component(kind ${plugin} DIRECTORY)
    file(COPY ${QT6_INSTALL_PREFIX}/plugins/${plugin}
         DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${kind})
endforeach()
