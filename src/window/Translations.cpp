#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

Translations::Translations(const QLocale &locale, const QString &folder)
{
    if (!m_program.load(locale, QStringLiteral("quillet"), QStringLiteral("_"), folder))
        return;
    QCoreApplication::installTranslator(&m_program);
    // Qt's dialogs speak the same language as the program, not another one of
    // the user's that only Qt has.
    if (m_qt.load(QLocale(m_program.language()), QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qt);
}

Translations::~Translations()
{
    QCoreApplication::removeTranslator(&m_qt);
    QCoreApplication::removeTranslator(&m_program);
}
