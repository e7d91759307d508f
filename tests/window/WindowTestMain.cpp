#include "Translations.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    // The tests never need a screen; ctest sets this too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillet"));
    // English as the program speaks it, with the singular of each counted text.
    const Translations english(QLocale(QLocale::English), QStringLiteral(QUILLET_TRANSLATIONS));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
