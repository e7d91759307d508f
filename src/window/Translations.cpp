#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

Translations::Translations(const QLocale &locale, const QString &folder)
{
    if (!m_program.load(locale, QStringLiteral("quillet"), QStringLiteral("_"), folder)) {
        // A language the program has no translation for gets its English,
        // whose counted texts still need their singular ("1 memo").
        if (m_program.load(QLocale(QLocale::English), QStringLiteral("quillet"),
                           QStringLiteral("_"), folder))
            QCoreApplication::installTranslator(&m_program);
        return;
    }
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

// As gettext does: under the C locale a program speaks its own language
// whatever LANGUAGE lists, so that what a script reads stays the same. Qt
// would take LANGUAGE's languages even then.
QLocale Translations::usersLocale()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty())
            return value == "C" || value == "POSIX" ? QLocale(QLocale::English) : QLocale();
    }
    return QLocale(QLocale::English);
}
