# The sample school's solved timetable SOLUC.DBF, made from its readable source
# examples/soluc/soluc.csv by our own table engine; the tool also makes up timetables for the
# benchmark from imported tables (make-soluc synth).

add_executable(make-soluc ${CMAKE_CURRENT_LIST_DIR}/tools/make_soluc.cpp)
target_link_libraries(make-soluc PRIVATE tvs_core)

# A SOLUC.DBF in FOLDER made from a CSV source; a cross build takes the one that the build for
# this machine made.
function(tvs_solved_timetable target csv folder)
    set(out ${CMAKE_BINARY_DIR}/${folder}/SOLUC.DBF)
    if(CMAKE_CROSSCOMPILING)
        add_custom_command(
            OUTPUT ${out}
            COMMAND ${CMAKE_COMMAND} -E copy ${TVS_HOST_BUILD}/${folder}/SOLUC.DBF ${out}
            DEPENDS ${TVS_HOST_BUILD}/${folder}/SOLUC.DBF
            VERBATIM)
    else()
        add_custom_command(
            OUTPUT ${out}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/${folder}
            COMMAND make-soluc from-csv ${csv} ${CMAKE_BINARY_DIR}/${folder}
            DEPENDS make-soluc ${csv}
            COMMENT "Horario resuelto de ejemplo ${folder}/SOLUC.DBF"
            VERBATIM)
    endif()
    add_custom_target(${target} ALL DEPENDS ${out})
endfunction()

tvs_solved_timetable(sample-soluc ${CMAKE_CURRENT_LIST_DIR}/soluc/soluc.csv examples)
# A second solved timetable of the sample school: the first with faults of every kind that the
# check of an export finds in a timetable added at its end.
tvs_solved_timetable(sample-soluc-faulty ${CMAKE_CURRENT_LIST_DIR}/soluc/soluc-con-fallos.csv examples/con-fallos)
