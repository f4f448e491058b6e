# The emulated core's sources, listed once: its own library and the test that
# compiles it beside the Win32 backend include this file.
set(MORVANE_EMULATED_CORE_SOURCES)
foreach(file gdi messages state surface text timing windows)
  list(APPEND MORVANE_EMULATED_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/core/${file}.cpp)
endforeach()
set(MORVANE_EMULATED_HEADLESS_SOURCES ${CMAKE_CURRENT_LIST_DIR}/headless/headless.cpp)
