#include <QCoreApplication>
#include <QTranslator>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    // The messages count in English as the program does: with its English
    // translation, which holds the singular of each counted text ("1 memo").
    QCoreApplication app(argc, argv);
    QTranslator english;
    if (!english.load(QStringLiteral("quillet_en"), QStringLiteral(QUILLET_TRANSLATIONS))) {
        std::fputs("quillet_en.qm is missing from " QUILLET_TRANSLATIONS "\n", stderr);
        return 1;
    }
    QCoreApplication::installTranslator(&english);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
