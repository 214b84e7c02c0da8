# bugpost_test(NAME name SOURCES files... [LIBS libs...] [LABELS labels...] [TSAN])
# One GoogleTest executable; TSAN puts it in the set the ThreadSanitizer tree builds and runs.
function(bugpost_test)
  cmake_parse_arguments(T "TSAN" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  set(_labels ${T_LABELS})
  if(T_TSAN)
    list(APPEND _labels tsan)
    set_property(GLOBAL APPEND PROPERTY BUGPOST_TSAN_TESTS ${T_NAME})
  endif()
  set(_props TIMEOUT 300)
  if(_labels)
    list(JOIN _labels "\\;" _joined)
    list(APPEND _props LABELS "${_joined}")
  endif()
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ${_props})
endfunction()
