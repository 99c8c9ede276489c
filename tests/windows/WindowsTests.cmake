# Tests of the Windows build, run under Wine: each test program through a runner that sets up
# a Wine prefix inside the build folder; and the Windows programs that check what only Windows
# has (the lock between processes, living inside a host's window).

get_filename_component(tvs_sdk_bin ${Qt6_DIR}/../../../bin ABSOLUTE)
get_filename_component(tvs_sdk_plugins ${Qt6_DIR}/../../../plugins ABSOLUTE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE tvs_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE tvs_winpthread OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(tvs_runtime_dir ${tvs_libstdcxx} DIRECTORY)
get_filename_component(tvs_pthread_dir ${tvs_winpthread} DIRECTORY)

# Wine sees the building machine's root as drive Z:.
function(tvs_wine_path out)
    set(paths)
    foreach(dir ${ARGN})
        string(REPLACE "/" "\\\\" dir "Z:${dir}")
        list(APPEND paths "${dir}")
    endforeach()
    list(JOIN paths ";" joined)
    set(${out} "${joined}" PARENT_SCOPE)
endfunction()
tvs_wine_path(TVS_WINE_PATH ${tvs_sdk_bin} ${tvs_runtime_dir} ${tvs_pthread_dir})
tvs_wine_path(TVS_WINE_PLUGINS ${tvs_sdk_plugins})
set(TVS_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

# A second process that holds a lock on a table, as another program would.
add_executable(win-lock-holder ${CMAKE_CURRENT_LIST_DIR}/lock_holder.cpp)
# A host of our own: a window that starts the converter inside itself.
add_executable(win-host-window ${CMAKE_CURRENT_LIST_DIR}/host_window.cpp)
foreach(program win-lock-holder win-host-window)
    # Plain Win32 programs with a wide-character wmain.
    set_target_properties(${program} PROPERTIES AUTOMOC OFF)
    target_compile_options(${program} PRIVATE -municode)
    target_link_options(${program} PRIVATE -municode)
endforeach()
