# lumara_add_qtest(<name> SOURCES ... LIBS ... [XVFB] [XVFB_ARGS "server args"] [TIMEOUT s])
# One QtTest executable registered with ctest. GUI tests run offscreen; 3D views need XVFB;
# XVFB_ARGS gives the virtual server its screens.
# Under the sanitizers Mesa's software driver is unloaded before the leak check, and its
# buffers would show as leaks of an unknown module: the GL tests load it for their whole run.
set(LUMARA_GL_PRELOAD)
if(LUMARA_SANITIZE)
  set(LUMARA_GL_PRELOAD env LD_PRELOAD=/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/dri/swrast_dri.so
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:verify_asan_link_order=0)
endif()

# Without a login session (CI, containers) XDG_RUNTIME_DIR is unset and Qt warns on standard
# error as a GUI test starts: the tests get a private runtime folder of the build tree.
set(LUMARA_TEST_RUNTIME ${CMAKE_BINARY_DIR}/test-runtime)
file(MAKE_DIRECTORY ${LUMARA_TEST_RUNTIME})
file(CHMOD ${LUMARA_TEST_RUNTIME} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

function(lumara_add_qtest name)
  cmake_parse_arguments(T "XVFB" "TIMEOUT;XVFB_ARGS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  lumara_target_defaults(${name})
  target_link_libraries(${name} PRIVATE Qt5::Test lumara_testsupport ${T_LIBS})
  set(platform offscreen)
  if(T_XVFB_ARGS)
    # On the virtual server's own screens.
    set(platform xcb)
    add_test(NAME ${name} COMMAND xvfb-run -a -s "${T_XVFB_ARGS}" ${LUMARA_GL_PRELOAD} $<TARGET_FILE:${name}>)
  elseif(T_XVFB)
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
    ENVIRONMENT "QT_QPA_PLATFORM=${platform};QT_QUICK_BACKEND=software;LUMARA_DATA=${LUMARA_DATA_DIR};LUMARA_TEST_SOURCE=${CMAKE_SOURCE_DIR};XDG_RUNTIME_DIR=${LUMARA_TEST_RUNTIME}")
endfunction()

# lumara_add_qtest_folder(<prefix> LIBS ...): one test per tst_<stem>.cpp in the current
# folder, named <prefix>_<stem>. Tests needing more set TEST_<stem>_LIBS / TEST_<stem>_XVFB /
# TEST_<stem>_XVFB_ARGS / TEST_<stem>_TIMEOUT.
function(lumara_add_qtest_folder prefix)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  foreach(src ${tests})
    get_filename_component(stem ${src} NAME_WE)
    string(REGEX REPLACE "^tst_" "" stem ${stem})
    set(xvfb)
    if(TEST_${stem}_XVFB)
      set(xvfb XVFB)
    endif()
    set(xvfb_args)
    if(TEST_${stem}_XVFB_ARGS)
      set(xvfb_args XVFB_ARGS "${TEST_${stem}_XVFB_ARGS}")
    endif()
    set(timeout)
    if(TEST_${stem}_TIMEOUT)
      set(timeout TIMEOUT ${TEST_${stem}_TIMEOUT})
    endif()
    lumara_add_qtest(${prefix}_${stem} ${xvfb} ${xvfb_args} ${timeout} SOURCES ${src} ${TEST_${stem}_SOURCES}
      LIBS ${F_LIBS} ${TEST_${stem}_LIBS})
  endforeach()
endfunction()
