# GoogleTest, built from the sources that Debian's googletest package installs
# (the same sources for the native and the MinGW-w64 build).
find_path(VYRD_GTEST_SRC CMakeLists.txt
    PATHS /usr/src/googletest /usr/src/gtest
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT VYRD_GTEST_SRC)
    message(FATAL_ERROR "GoogleTest sources not found: run scripts/setup.sh")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${VYRD_GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
