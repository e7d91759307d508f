#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// The character sets an organiser writes its memos in: the Windows code page
// of the language its desktop program was set up for, or Mac OS Roman for the
// desktop program for macOS. Every one of them keeps ASCII as it is, and no
// byte of a character that takes two of them is below 0x40: a space, a line
// end, a comma, a tab or a quote is the same byte in all of them.
enum class CharacterSet {
    Western,
    CentralEuropean,
    Cyrillic,
    Greek,
    Turkish,
    Hebrew,
    Arabic,
    Baltic,
    Vietnamese,
    Thai,
    Japanese,
    SimplifiedChinese,
    Korean,
    TraditionalChinese,
    MacRoman,
};

namespace CharacterSets {

// In the order a person is offered them, Western European first.
QList<CharacterSet> all();
// The name iconv knows it by, as the command line and the settings take it:
// "windows-1252", "shift_jis", "macintosh".
QString nameOf(CharacterSet set);
// The set's name as the system's converter opens it.
const char *converterNameOf(CharacterSet set);
// What a person reads: "Western European (Windows-1252)", translated.
QString labelOf(CharacterSet set);
// The set a name stands for, in any case: its name, or another name iconv
// gives the same set ("cp1251" for "windows-1251"). Nothing for any other.
std::optional<CharacterSet> named(QStringView name);
// "windows-1252, windows-1250, ...": every name, for a person who gave another.
QString names();

} // namespace CharacterSets
