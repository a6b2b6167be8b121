# quenbo_layer(NAME <target> DEPS <targets...> [PRIVATE_DEPS <targets...>])
# Builds every .cpp of the calling folder into one static library.
function(quenbo_layer)
  cmake_parse_arguments(L "" "NAME" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${L_NAME} STATIC ${sources})
  target_include_directories(${L_NAME} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${L_NAME} PUBLIC ${L_DEPS} PRIVATE ${L_PRIVATE_DEPS})
endfunction()

# quenbo_tests(NAME <target> DEPS <targets...>): one GoogleTest binary per layer.
function(quenbo_tests)
  cmake_parse_arguments(T "" "NAME" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  add_executable(${T_NAME} ${sources})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_DEPS} quenbo_test_support GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
