// main() for the test suites that need a Qt event loop but no widgets.
// Kept in a static library: a suite that brings its own main() wins.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
