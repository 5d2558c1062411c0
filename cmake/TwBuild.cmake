# Shared compile settings and the helpers that every folder uses.

if(TW_WINDOWS)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_compile_options(-Wall -Wextra -Wconversion)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Resource scripts are UTF-8, whatever the build machine's code page.
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} --codepage=65001")
else()
  add_compile_options(-Wall -Wextra -Wconversion -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# tw_add_tests(<name> SOURCES ... LIBS ... [LABEL label])
# One GoogleTest executable; every test case becomes one ctest test. Under the
# Windows build ctest runs it through the cross-compiling emulator (Wine).
# LABEL puts every case under a ctest label (the Japanese runs use "ja").
function(tw_add_tests name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main gtest)
  set(label "")
  if(T_LABEL)
    set(label LABELS ${T_LABEL})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300 ${label})
endfunction()
