# Common settings of the project's own targets.

set(KOLUMO_WARNINGS -Wall -Wextra -Werror -Wno-unused-parameter)
set(KOLUMO_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

function(kolumo_target_defaults target)
  target_compile_options(${target} PRIVATE ${KOLUMO_WARNINGS})
  if(KOLUMO_SANITIZE)
    target_compile_options(${target} PRIVATE ${KOLUMO_SANITIZER_FLAGS})
    target_link_options(${target} PRIVATE ${KOLUMO_SANITIZER_FLAGS})
  endif()
endfunction()

# kolumo_library(name STATIC|SHARED SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# The include root of every library is the project root, so headers are included as "platform/win/cstring.h".
function(kolumo_library name kind)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} ${kind} ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  kolumo_target_defaults(${name})
endfunction()

# kolumo_test(name SOURCES ... LIBS ... [LABELS ...] [TIMEOUT seconds]): one GoogleTest executable; its tests are
# listed when ctest runs. Tests labelled "slow" stay out of the default run (ctest -LE slow). Their names carry the
# prefix "slow:": a test of the same name in a default-run program would otherwise share their label (CTest sets
# properties by name). TIMEOUT raises CTest's limit for each of its tests.
function(kolumo_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock kolumo_test_main)
  target_compile_definitions(${name} PRIVATE KOLUMO_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
                                             KOLUMO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  kolumo_target_defaults(${name})
  # The test main gives every test program a home of its own (registry, settings, data folders).
  set(props ENVIRONMENT "KOLUMO_TEST=1")
  if(ARG_TIMEOUT)
    list(APPEND props TIMEOUT ${ARG_TIMEOUT})
  endif()
  set(prefix "")
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
    if("slow" IN_LIST ARG_LABELS)
      set(prefix "slow:")
    endif()
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_PREFIX "${prefix}"
                       PROPERTIES ${props})
endfunction()
