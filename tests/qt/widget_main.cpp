#include <QApplication>

#include <gtest/gtest.h>

// The widget tests run on the X server that xvfb-run provides, and on the offscreen platform when
// there is no display (for instance while the build lists the tests).
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
