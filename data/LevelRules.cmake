# The level rules data/niveles.csv, compiled into the core as text: the program needs no file
# beside it for them. Editing the table re-runs CMake, which writes the text out again.

set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_LIST_DIR}/niveles.csv)
file(READ ${CMAKE_CURRENT_LIST_DIR}/niveles.csv TVS_LEVEL_RULES)
configure_file(${CMAKE_CURRENT_LIST_DIR}/LevelRulesText.cpp.in ${CMAKE_BINARY_DIR}/LevelRulesText.cpp @ONLY)
target_sources(tvs_core PRIVATE ${CMAKE_BINARY_DIR}/LevelRulesText.cpp)
