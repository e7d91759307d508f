#pragma once

#include <QTranslator>

class QLocale;

// The program's texts, and those of Qt's own dialogs, in the first of the
// user's languages (LANGUAGE, LC_ALL, LANG) that the program has a translation
// for; installed while the object lives. English is the program's own
// language; its translation holds only the singular and plural forms of the
// texts that count.
class Translations
{
public:
    // Where the program keeps its translations: inside it.
    static constexpr const char *ProgramFolder = ":/i18n";

    // `folder` holds quillet_LANGUAGE.qm; Qt's come from where Qt keeps them.
    Translations(const QLocale &locale, const QString &folder);
    // The user's languages as the environment names them: English under the
    // C locale.
    static QLocale usersLocale();
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

private:
    QTranslator m_program;
    QTranslator m_qt;
};
