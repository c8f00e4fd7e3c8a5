// The Linux services' tests run with a QCoreApplication on the main thread, as the program has
// its QApplication: the services that listen (the instance's socket, D-Bus) need Qt's loop.
#include <gtest/gtest.h>

#include <QCoreApplication>

// Qt D-Bus keeps the ties of an object registered on a connection made by name (the tests'
// stand-in services; the program registers none) after the connection is gone.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:QDBusConnection::registerObject\n";
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
