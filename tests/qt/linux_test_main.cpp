// The Linux services' tests run with a QCoreApplication on the main thread, as the program has
// its QApplication: the services that listen (the instance's socket, D-Bus) need Qt's loop.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
