// Runs the Qt tests inside one application object, as the program runs its windows.
// They draw offscreen: ctest sets QT_QPA_PLATFORM, and so does this for the listing of
// the tests and for runs by hand.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
