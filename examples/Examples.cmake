# The sample school's solved timetable SOLUC.DBF, made from its readable source
# examples/soluc/soluc.csv by our own table engine; the tool also makes up timetables for the
# benchmark from imported tables (make-soluc synth).

add_executable(make-soluc ${CMAKE_CURRENT_LIST_DIR}/tools/make_soluc.cpp)
target_link_libraries(make-soluc PRIVATE tvs_core)

set(TVS_SAMPLE_SOLUC_DIR ${CMAKE_BINARY_DIR}/examples)
if(CMAKE_CROSSCOMPILING)
    add_custom_command(
        OUTPUT ${TVS_SAMPLE_SOLUC_DIR}/SOLUC.DBF
        COMMAND ${CMAKE_COMMAND} -E copy ${TVS_HOST_BUILD}/examples/SOLUC.DBF ${TVS_SAMPLE_SOLUC_DIR}/SOLUC.DBF
        DEPENDS ${TVS_HOST_BUILD}/examples/SOLUC.DBF
        VERBATIM)
else()
    add_custom_command(
        OUTPUT ${TVS_SAMPLE_SOLUC_DIR}/SOLUC.DBF
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TVS_SAMPLE_SOLUC_DIR}
        COMMAND make-soluc from-csv ${CMAKE_CURRENT_LIST_DIR}/soluc/soluc.csv ${TVS_SAMPLE_SOLUC_DIR}
        DEPENDS make-soluc ${CMAKE_CURRENT_LIST_DIR}/soluc/soluc.csv
        COMMENT "Horario resuelto de ejemplo SOLUC.DBF"
        VERBATIM)
endif()
add_custom_target(sample-soluc ALL DEPENDS ${TVS_SAMPLE_SOLUC_DIR}/SOLUC.DBF)

# A second solved timetable of the sample school, with faults of every kind the check of an
# export finds in a timetable (examples/soluc/soluc.csv is made from it by tools/tidy_soluc.py).
set(TVS_FAULTY_SOLUC_DIR ${CMAKE_BINARY_DIR}/examples/con-fallos)
add_custom_command(
    OUTPUT ${TVS_FAULTY_SOLUC_DIR}/SOLUC.DBF
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TVS_FAULTY_SOLUC_DIR}
    COMMAND make-soluc from-csv ${CMAKE_CURRENT_LIST_DIR}/soluc/soluc-con-fallos.csv ${TVS_FAULTY_SOLUC_DIR}
    DEPENDS make-soluc ${CMAKE_CURRENT_LIST_DIR}/soluc/soluc-con-fallos.csv
    COMMENT "Horario resuelto de ejemplo con fallos SOLUC.DBF"
    VERBATIM)
add_custom_target(sample-soluc-faulty ALL DEPENDS ${TVS_FAULTY_SOLUC_DIR}/SOLUC.DBF)
