# The Linux system services against the real system: the seams' contract suites in private XDG
# folders, D-Bus on a private bus the tests start themselves.
find_package(GTest REQUIRED)
include(GoogleTest)
add_executable(unwindle_linux_sys_tests
  tests/qt/linux_test_main.cpp
  tests/qt/storage_linux_test.cpp
  tests/qt/program_instance_linux_test.cpp
  tests/qt/services_linux_test.cpp
  tests/qt/presence_linux_test.cpp
)
target_include_directories(unwindle_linux_sys_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(unwindle_linux_sys_tests PRIVATE unwindle_linux_sys GTest::gtest
  PkgConfig::UNW_LINUX_SYS)
gtest_discover_tests(unwindle_linux_sys_tests DISCOVERY_TIMEOUT 60)
