#include <QApplication>

#include <gtest/gtest.h>

// The tests run on the X server that xvfb-run provides, or on the offscreen platform when there is
// no display (for instance while the build lists the tests). Neither has a desktop: no icon theme
// and no settings from a platform theme.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
