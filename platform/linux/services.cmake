# Power and session actions, processes, shell, idle time and sound on Linux,
# added to the Linux services library. Included from platform/CMakeLists.txt.
target_sources(orvane_platform_linux PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/linux_spawn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux_power.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux_processes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux_shell.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux_idle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux_sound.cpp
)
# Alarm sounds come from the program's own resources.
target_link_libraries(orvane_platform_linux PUBLIC orvane_resources)

# Idle time needs the X11 screen-saver extension and sound PulseAudio; without
# them the services still build and answer "present" and stay silent.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(ORVANE_XSS QUIET IMPORTED_TARGET x11 xscrnsaver)
  pkg_check_modules(ORVANE_PULSE QUIET IMPORTED_TARGET libpulse-simple)
endif()
if(ORVANE_XSS_FOUND)
  target_link_libraries(orvane_platform_linux PRIVATE PkgConfig::ORVANE_XSS)
  target_compile_definitions(orvane_platform_linux PRIVATE ORVANE_HAVE_XSS=1)
else()
  message(STATUS "Linux idle time: X11 screen-saver extension not found, idle tasks will wait")
endif()
if(ORVANE_PULSE_FOUND)
  target_link_libraries(orvane_platform_linux PRIVATE PkgConfig::ORVANE_PULSE)
  target_compile_definitions(orvane_platform_linux PRIVATE ORVANE_HAVE_PULSE=1)
else()
  message(STATUS "Linux sound: PulseAudio not found, alarms will be silent")
endif()
set_property(GLOBAL PROPERTY ORVANE_LINUX_SERVICES ON)
