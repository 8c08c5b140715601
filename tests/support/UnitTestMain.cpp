// The entry point of every GoogleTest executable. Serial ports and processes register socket notifiers,
// which need the QCoreApplication that every program of the system has.

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
