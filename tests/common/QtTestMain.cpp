// main() for the test suites that need a Qt event loop but no widgets.
// Kept in a static library: a suite that brings its own main() wins.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Checks are recorded into the history: here into a file of this run, never the user's own.
    const QTemporaryDir history;
    if (!history.isValid())
        return 1;
    qputenv("FRIENDLINKS_HISTORY", history.filePath(QStringLiteral("history.sqlite")).toUtf8());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
