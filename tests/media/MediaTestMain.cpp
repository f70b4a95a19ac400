// GoogleTest main for media tests: players and picture boxes need a
// QApplication (offscreen).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef ARDENO_MEDIA_SILENT
    // These tests need no sound: keep them off the test sound server, whose
    // null sink the sound tests record.
    qputenv("PULSE_SERVER", "unix:/nonexistent/pulse-socket");
#endif
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
