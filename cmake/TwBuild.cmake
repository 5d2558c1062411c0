# Shared compile settings and the helpers that every folder uses.

if(TW_WINDOWS)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_compile_options(-Wall -Wextra -Wconversion)
  add_link_options(-static -static-libgcc -static-libstdc++)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The 32-bit programs may use the whole 4 GiB that 64-bit Windows gives
    # a 32-bit process, rather than 2 GiB.
    add_link_options(-Wl,--large-address-aware)
  endif()
  # Resource scripts are UTF-8, whatever the build machine's code page.
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} --codepage=65001")
else()
  add_compile_options(-Wall -Wextra -Wconversion -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The application manifest names the processor architecture of the build: a
# 32-bit program with "amd64" (or a 64-bit one with "x86") would not start on
# Windows, and under Wine gets the old common controls.
if(TW_WINDOWS)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TW_MANIFEST_ARCH amd64)
  else()
    set(TW_MANIFEST_ARCH x86)
  endif()
endif()

# tw_manifest(<target> <assembly name> <execution level>)
# Gives a Windows program its manifest: common controls 6 of the build's
# architecture and the execution level ("requireAdministrator" for what
# ships, "asInvoker" for the test programs).
function(tw_manifest target name level)
  set(TW_MANIFEST_NAME ${name})
  set(TW_MANIFEST_LEVEL ${level})
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/app.manifest.in ${manifest} @ONLY)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
  file(WRITE ${rc}.in "1 24 \"${manifest}\"\n")
  configure_file(${rc}.in ${rc} COPYONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
endfunction()

# tw_library(<target> ...): a Windows library of ours (add_library SHARED
# arguments). After linking, the build fails when an export carries a
# 32-bit call decoration ("Name@8"), which no caller binding the plain name
# would find (tools/checks/dll_exports.sh).
function(tw_library target)
  add_library(${target} SHARED ${ARGN})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/checks/dll_exports.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# tw_add_tests(<name> SOURCES ... LIBS ... [LABEL label])
# One GoogleTest executable; every test case becomes one ctest test. Under the
# Windows build ctest runs it through the cross-compiling emulator (Wine).
# LABEL puts every case under that ctest label (the Japanese runs use "ja")
# instead of the program's name.
function(tw_add_tests name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main gtest)
  # Windows opened by a test program get the same common controls as the
  # wizard's own.
  if(TW_WINDOWS)
    tw_manifest(${name} Norvane.Tarnwright.Tests asInvoker)
  endif()
  # Each case is labelled with its program, unless the caller gives a label,
  # so that a run can take whole programs (their cases share files beside
  # the program) into one of several prefixes.
  set(label ${name})
  if(T_LABEL)
    set(label ${T_LABEL})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300 LABELS ${label})
endfunction()

# tw_test_build_copy(<library>)
# "<library>_tb": the same sources compiled with TW_TEST_BUILD (the handle
# and GDI owners keep live counts there), linked to the test-build copies of
# the wizard libraries it links (portable cores, which hold no owners, and
# everything outside wizard/ are linked as they are). Only the wizard's test
# build and its own tests link these, so the shipped program never carries
# the counting, and a file added to a library is in its copy as well.
function(tw_test_build_copy library)
  if(TARGET ${library}_tb)
    return()
  endif()
  get_target_property(sources ${library} SOURCES)
  get_target_property(folder ${library} SOURCE_DIR)
  set(paths "")
  foreach(source IN LISTS sources)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${folder}" OUTPUT_VARIABLE path)
    list(APPEND paths "${path}")
  endforeach()
  add_library(${library}_tb STATIC ${paths})
  foreach(property INCLUDE_DIRECTORIES COMPILE_DEFINITIONS COMPILE_OPTIONS
                   INTERFACE_INCLUDE_DIRECTORIES INTERFACE_COMPILE_DEFINITIONS)
    get_target_property(values ${library} ${property})
    if(values)
      set_property(TARGET ${library}_tb APPEND PROPERTY ${property} ${values})
    endif()
  endforeach()
  target_compile_definitions(${library}_tb PUBLIC TW_TEST_BUILD)
  set(wizardFolder "${PROJECT_SOURCE_DIR}/wizard")
  get_target_property(links ${library} LINK_LIBRARIES)
  set(copies "")
  foreach(link IN LISTS links)
    if(TARGET ${link} AND NOT link MATCHES "_core$")
      get_target_property(type ${link} TYPE)
      get_target_property(linkFolder ${link} SOURCE_DIR)
      cmake_path(IS_PREFIX wizardFolder "${linkFolder}" NORMALIZE inWizard)
      if(type STREQUAL "STATIC_LIBRARY" AND inWizard)
        tw_test_build_copy(${link})
        set(link ${link}_tb)
      endif()
    endif()
    list(APPEND copies ${link})
  endforeach()
  target_link_libraries(${library}_tb PUBLIC ${copies})
endfunction()
