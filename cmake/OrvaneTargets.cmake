# Common settings for every target of our own.
#
# Narrow literals are GBK at run time: the program's text is GBK everywhere, so
# byte comparisons and byte lengths in the logic work on the bytes the system
# stores and sends. Sources stay UTF-8; u8"..." literals stay UTF-8 and, with
# -fno-char8_t, are plain char arrays. Full <chrono> cannot be included under
# this character set (it holds a literal GBK cannot encode): use <thread> or
# <condition_variable> for steady_clock and durations.
function(orvane_target_defaults target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Werror
    -Wno-missing-field-initializers
    -finput-charset=UTF-8 -fexec-charset=GBK -fno-char8_t)
  # GCC 12 at -O2 warns that assigning a literal to a std::string may overlap
  # (its bug 105651): the linux preset's optimised build would not compile.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# A logic library: plain C++ on the platform service interfaces, with no
# window of any kind: neither the dialog framework nor a backend nor an OS header.
function(orvane_logic_library target)
  add_library(${target} STATIC ${ARGN})
  orvane_target_defaults(${target})
  set_property(GLOBAL APPEND PROPERTY ORVANE_LOGIC_TARGETS ${target})
endfunction()

# A library on the dialog framework: the framework core itself, the templates
# and the pages. It may use the framework core and the platform service
# interfaces, never a backend or an OS header.
function(orvane_ui_library target)
  add_library(${target} STATIC ${ARGN})
  orvane_target_defaults(${target})
  set_property(GLOBAL APPEND PROPERTY ORVANE_UI_TARGETS ${target})
endfunction()

# Fails the configure step when a logic source includes the dialog framework,
# or a logic or page source includes a backend, a platform implementation or an
# OS header. Compilers would not stop such an include on a machine that
# happens to have the header, so we look for ourselves.
function(orvane_check_layering)
  set(os_forbidden
    "ui/backend/" "platform/sim/" "platform/linux/" "platform/windows/"
    "<windows.h>" "<winbase.h>" "<wininet.h>" "<gtk/" "<glib" "<X11/"
    "<unistd.h>" "<sys/" "<curl/" "<dirent.h>" "<pthread.h>")
  get_property(logic GLOBAL PROPERTY ORVANE_LOGIC_TARGETS)
  get_property(pages GLOBAL PROPERTY ORVANE_UI_TARGETS)
  orvane_check_includes("${logic}" "${os_forbidden};\"ui/")
  orvane_check_includes("${pages}" "${os_forbidden}")
endfunction()

function(orvane_check_includes targets forbidden)
  foreach(target IN LISTS targets)
    get_target_property(sources ${target} SOURCES)
    get_target_property(dir ${target} SOURCE_DIR)
    foreach(src IN LISTS sources)
      if(NOT IS_ABSOLUTE "${src}")
        set(src "${dir}/${src}")
      endif()
      set(files "${src}")
      string(REGEX REPLACE "\\.cpp$" ".h" header "${src}")
      if(EXISTS "${header}")
        list(APPEND files "${header}")
      endif()
      foreach(file IN LISTS files)
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
          foreach(bad IN LISTS forbidden)
            string(FIND "${line}" "${bad}" hit)
            if(NOT hit EQUAL -1)
              message(FATAL_ERROR "${file}: target ${target} may not include ${bad} (${line})")
            endif()
          endforeach()
        endforeach()
      endforeach()
    endforeach()
  endforeach()
endfunction()

# Registers a GoogleTest executable with CTest:
#   orvane_test(name source... [PROPERTIES prop value...])
# PROPERTIES go to every test of the executable (e.g. RESOURCE_LOCK).
function(orvane_test target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "PROPERTIES")
  add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
  orvane_target_defaults(${target})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(APPEND ARG_PROPERTIES FIXTURES_REQUIRED wine_prefix)
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120 ${ARG_PROPERTIES})
endfunction()

# Under Wine, the last test stops the tests' prefix and checks that nothing of
# it is left running (tests/CMakeLists.txt); every test that starts a Windows
# program comes before it. orvane_test does this itself; add_test tests call
# orvane_before_wine_stop(test...).
function(orvane_before_wine_stop)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine_prefix)
  endif()
endfunction()
