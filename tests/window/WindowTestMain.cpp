#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    // The tests never need a screen; ctest sets this too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillet"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
