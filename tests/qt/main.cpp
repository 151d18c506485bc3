#include <QGuiApplication>

#include <gtest/gtest.h>

// The Qt layer runs under a QGuiApplication on the offscreen platform, which has a screen but
// no desktop: no icon theme and no settings from the platform theme.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
