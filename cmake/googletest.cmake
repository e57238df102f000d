# GoogleTest from Debian's packages: the prebuilt library natively, the
# sources under /usr/src/googletest for the cross build.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(navaid_gtest INTERFACE)
  target_link_libraries(navaid_gtest INTERFACE gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  add_library(navaid_gtest INTERFACE)
  target_link_libraries(navaid_gtest INTERFACE GTest::gtest GTest::gtest_main)
endif()
