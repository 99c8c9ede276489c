# The subject catalogue SENEMATERIAS.DBF, made from its readable source data/senematerias.csv
# by our own table engine and placed beside the programs (and installed with them).

set(TVS_CATALOGUE ${CMAKE_BINARY_DIR}/SENEMATERIAS.DBF)
if(CMAKE_CROSSCOMPILING)
    add_custom_command(
        OUTPUT ${TVS_CATALOGUE}
        COMMAND ${CMAKE_COMMAND} -E copy ${TVS_HOST_BUILD}/SENEMATERIAS.DBF ${TVS_CATALOGUE}
        DEPENDS ${TVS_HOST_BUILD}/SENEMATERIAS.DBF
        VERBATIM)
else()
    add_executable(make-catalogue ${CMAKE_CURRENT_LIST_DIR}/make_catalogue.cpp)
    target_link_libraries(make-catalogue PRIVATE tvs_core)
    add_custom_command(
        OUTPUT ${TVS_CATALOGUE}
        COMMAND make-catalogue ${CMAKE_CURRENT_LIST_DIR}/senematerias.csv ${TVS_CATALOGUE}
        DEPENDS make-catalogue ${CMAKE_CURRENT_LIST_DIR}/senematerias.csv
        COMMENT "Catálogo de materias SENEMATERIAS.DBF"
        VERBATIM)
endif()
add_custom_target(catalogue ALL DEPENDS ${TVS_CATALOGUE})
install(FILES ${TVS_CATALOGUE} DESTINATION bin)

# Tests find the catalogue beside the programs; the test targets are made after this file is
# read, so the dependency is added once the whole project has been configured.
function(tvs_catalogue_before_tests)
    if(TARGET tvs_test_support)
        add_dependencies(tvs_test_support catalogue)
    endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tvs_catalogue_before_tests)
