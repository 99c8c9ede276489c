# Help: chmlib for our own HTML Help engine (not on Windows, where HHCtrl.ocx serves), and the
# user guide SENECA.chm compiled from help/guide.

if(NOT WIN32)
    find_path(CHMLIB_INCLUDE_DIR chm_lib.h)
    find_library(CHMLIB_LIBRARY chm)
    if(NOT CHMLIB_INCLUDE_DIR OR NOT CHMLIB_LIBRARY)
        message(FATAL_ERROR "chmlib not found (Debian: libchm-dev)")
    endif()
    target_include_directories(tvs_gui PRIVATE ${CHMLIB_INCLUDE_DIR})
    target_link_libraries(tvs_gui PRIVATE ${CHMLIB_LIBRARY})
endif()

# The guide is compiled by a small program of ours on Free Pascal's chm units (the writer chmcmd
# uses), built for the building machine: chmcmd would record each mapped topic under the absolute
# path the page had here, which Windows' HTML Help cannot match, so F1 would open nothing there.
find_program(FPC_EXECUTABLE fpc)
set(TVS_GUIDE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/help/guide)
file(GLOB TVS_GUIDE_SOURCES CONFIGURE_DEPENDS
    ${TVS_GUIDE_DIR}/*.htm ${TVS_GUIDE_DIR}/*.css ${TVS_GUIDE_DIR}/*.png
    ${TVS_GUIDE_DIR}/*.hhc ${TVS_GUIDE_DIR}/*.hhk ${TVS_GUIDE_DIR}/*.hhp)

if(CMAKE_CROSSCOMPILING)
    # The same guide as the build for this machine compiled.
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/SENECA.chm
        COMMAND ${CMAKE_COMMAND} -E copy ${TVS_HOST_BUILD}/SENECA.chm ${CMAKE_BINARY_DIR}/SENECA.chm
        DEPENDS ${TVS_HOST_BUILD}/SENECA.chm
        VERBATIM)
    add_custom_target(tvs_help_file ALL DEPENDS ${CMAKE_BINARY_DIR}/SENECA.chm)
    install(FILES ${CMAKE_BINARY_DIR}/SENECA.chm DESTINATION bin)
elseif(FPC_EXECUTABLE)
    set(tool_dir ${CMAKE_BINARY_DIR}/help-tool)
    set(make_chm ${tool_dir}/make_chm)
    add_custom_command(
        OUTPUT ${make_chm}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${tool_dir}
        COMMAND ${FPC_EXECUTABLE} -v0 -FE${tool_dir} ${CMAKE_CURRENT_SOURCE_DIR}/help/tools/make_chm.pas
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/help/tools/make_chm.pas
        COMMENT "Building the guide compiler"
        VERBATIM)
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/SENECA.chm
        COMMAND ${make_chm} ${TVS_GUIDE_DIR}/SENECA.hhp ${CMAKE_BINARY_DIR}/SENECA.chm.part
        COMMAND ${CMAKE_COMMAND} -E rename ${CMAKE_BINARY_DIR}/SENECA.chm.part ${CMAKE_BINARY_DIR}/SENECA.chm
        DEPENDS ${make_chm} ${TVS_GUIDE_SOURCES}
        COMMENT "Compiling the user guide SENECA.chm"
        VERBATIM)
    add_custom_target(tvs_help_file ALL DEPENDS ${CMAKE_BINARY_DIR}/SENECA.chm)
    # Whatever links the windows library (the program, the window tests) finds the guide built.
    add_dependencies(tvs_gui tvs_help_file)
    install(FILES ${CMAKE_BINARY_DIR}/SENECA.chm DESTINATION bin)
else()
    message(WARNING "fpc not found (Debian: fp-compiler, fp-units-misc): SENECA.chm will not be built")
endif()
