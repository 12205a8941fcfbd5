# lumara_add_qtest(<name> SOURCES ... LIBS ... [XVFB] [TIMEOUT s])
# One QtTest executable registered with ctest. GUI tests run offscreen; 3D views need XVFB.
function(lumara_add_qtest name)
  cmake_parse_arguments(T "XVFB" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  lumara_target_defaults(${name})
  target_link_libraries(${name} PRIVATE Qt5::Test lumara_testsupport ${T_LIBS})
  if(T_XVFB)
    add_test(NAME ${name} COMMAND xvfb-run -a $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QUICK_BACKEND=software;LUMARA_DATA=${LUMARA_DATA_DIR};LUMARA_TEST_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()
