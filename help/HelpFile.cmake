# Help: chmlib for our own HTML Help engine (not on Windows, where HHCtrl.ocx serves), and the
# user guide SENECA.chm compiled from help/guide with Free Pascal's chmcmd.

if(NOT WIN32)
    find_path(CHMLIB_INCLUDE_DIR chm_lib.h)
    find_library(CHMLIB_LIBRARY chm)
    if(CHMLIB_INCLUDE_DIR AND CHMLIB_LIBRARY)
        target_include_directories(tvs_gui PRIVATE ${CHMLIB_INCLUDE_DIR})
        target_link_libraries(tvs_gui PRIVATE ${CHMLIB_LIBRARY})
        target_compile_definitions(tvs_gui PUBLIC TVS_HAVE_CHMLIB)
    else()
        message(WARNING "chmlib not found (Debian: libchm-dev): F1 and the help button will show nothing")
    endif()
endif()

find_program(CHMCMD_EXECUTABLE chmcmd)
set(TVS_GUIDE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/help/guide)
file(GLOB TVS_GUIDE_SOURCES CONFIGURE_DEPENDS
    ${TVS_GUIDE_DIR}/*.htm ${TVS_GUIDE_DIR}/*.css ${TVS_GUIDE_DIR}/*.png
    ${TVS_GUIDE_DIR}/*.hhc ${TVS_GUIDE_DIR}/*.hhk ${TVS_GUIDE_DIR}/*.hhp)

if(CHMCMD_EXECUTABLE)
    # chmcmd works on a copy in the build tree, since it writes its output beside the project.
    # It records each mapped topic (the context map in /#STRINGS) under the absolute path of the
    # project's folder. Reached through /proc/self/cwd, that folder's path is the same on every
    # machine, so no build folder ends up in the shipped file; our engine resolves such names by
    # their last component.
    set(stage ${CMAKE_BINARY_DIR}/help-guide)
    if(EXISTS /proc/self/cwd)
        set(project_file /proc/self/cwd/SENECA.hhp)
    else()
        set(project_file SENECA.hhp)
    endif()
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/SENECA.chm
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${TVS_GUIDE_DIR} ${stage}
        COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CHMCMD_EXECUTABLE} --verbosity 0 ${project_file}
        COMMAND ${CMAKE_COMMAND} -E copy ${stage}/SENECA.chm ${CMAKE_BINARY_DIR}/SENECA.chm
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        DEPENDS ${TVS_GUIDE_SOURCES}
        COMMENT "Compiling the user guide SENECA.chm"
        VERBATIM)
    add_custom_target(tvs_help_file ALL DEPENDS ${CMAKE_BINARY_DIR}/SENECA.chm)
    # Whatever links the windows library (the program, the window tests) finds the guide built.
    add_dependencies(tvs_gui tvs_help_file)
    install(FILES ${CMAKE_BINARY_DIR}/SENECA.chm DESTINATION bin)
else()
    message(WARNING "chmcmd not found (Debian: fp-utils): SENECA.chm will not be built")
endif()
