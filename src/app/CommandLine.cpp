#include "CommandLine.h"

#include "Path.h"
#include "Printed.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption VersionOption(QStringLiteral("version"));
const QCommandLineOption HelpOption(QStringLiteral("help"));
const QCommandLineOption ExportOption(QStringLiteral("export"), QString(),
                                      QStringLiteral("SOURCE"));
const QCommandLineOption ToOption(QStringLiteral("to"), QString(), QStringLiteral("FOLDER"));
const QCommandLineOption TxtOption(QStringLiteral("txt"));
const QCommandLineOption RemoveGoneOption(QStringLiteral("remove-gone"));
const QCommandLineOption CharsetOption(QStringLiteral("charset"), QString(),
                                       QStringLiteral("NAME"));

QCommandLineOption described(const QCommandLineOption &option, const QString &description)
{
    QCommandLineOption copy = option;
    copy.setDescription(description);
    return copy;
}

// The options Qt takes itself, as a desktop, a session manager or a person
// hands them to any Qt program ("-session ID", "-style=fusion", "--display :1"):
// QApplication reads them from the same arguments, so they are accepted here
// and left to it.
QList<QCommandLineOption> qtOptions()
{
    QList<QCommandLineOption> options;
    for (const char *name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
          "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display", "geometry",
          "title", "icon", "name", "visual", "style", "stylesheet"})
        options << QCommandLineOption(QString::fromLatin1(name), QString(),
                                      QStringLiteral("VALUE"));
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"})
        options << QCommandLineOption(QString::fromLatin1(name));
    for (QCommandLineOption &option : options)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return options;
}

// Descriptions are set where the translations are installed.
void addOptions(QCommandLineParser &parser)
{
    // Qt's options begin with one dash and are whole words, not letters run
    // together; ours are taken with one dash as well as with two.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(qtOptions());
    parser.addOptions(
        {described(VersionOption,
                   CommandLine::tr("Prints the program's name and version, and ends.")),
         described(HelpOption, CommandLine::tr("Prints this help, and ends.")),
         described(ExportOption,
                   CommandLine::tr("Exports the memos of SOURCE without a window: an export of "
                                   "the organiser's desktop program, J-Pilot's export or the "
                                   "organiser's memo database.")),
         described(ToOption, CommandLine::tr("With --export: the player's folder; the notes go "
                                             "into its Notes folder.")),
         described(TxtOption, CommandLine::tr("With --export: adds .txt to the notes' names.")),
         described(RemoveGoneOption,
                   CommandLine::tr("With --export: removes the notes an earlier export wrote for "
                                   "memos that are no longer in the export.")),
         described(CharsetOption,
                   CommandLine::tr("With --export: the character set the organiser wrote the "
                                   "memos in, as iconv names it, in any case: %1. The default is "
                                   "windows-1252 (Western European). Memos in UTF-8 are read as "
                                   "such whatever it is.")
                       .arg(CharacterSets::names()))});
}

bool setsOurOption(const QCommandLineParser &parser)
{
    for (const QCommandLineOption &option :
         {VersionOption, HelpOption, ExportOption, ToOption, TxtOption, RemoveGoneOption})
        if (parser.isSet(option))
            return true;
    return false;
}

// Why the options given do not make a request, or nothing where they do. One
// file goes alone, to be opened in the window, as a desktop opens it.
QString mistakeIn(const QCommandLineParser &parser)
{
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1 || (files.size() == 1 && setsOurOption(parser)))
        return CommandLine::tr("Quillet takes one file to open in its window, and that alone, "
                               "without --export or another option: \"%1\".")
            .arg(files.constLast());
    if (parser.isSet(HelpOption) || parser.isSet(VersionOption))
        return {};
    if (parser.isSet(ExportOption) && !parser.isSet(ToOption))
        return CommandLine::tr("--export needs --to FOLDER, the folder of the player.");
    // An empty name, as a script's unset variable gives, names no file, and
    // an empty folder would be the current one.
    if (parser.isSet(ExportOption) && parser.value(ExportOption).isEmpty())
        return CommandLine::tr("--export needs the export file's name; it was given empty.");
    if (parser.isSet(ToOption) && parser.value(ToOption).isEmpty())
        return CommandLine::tr("--to needs the player's folder; it was given empty.");
    if (!parser.isSet(ExportOption) &&
        (parser.isSet(ToOption) || parser.isSet(TxtOption) || parser.isSet(RemoveGoneOption) ||
         parser.isSet(CharsetOption)))
        return CommandLine::tr("--to, --txt, --remove-gone and --charset go with --export SOURCE.");
    if (parser.isSet(CharsetOption) && !CharacterSets::named(parser.value(CharsetOption)))
        // One arg() call: the name as given must stay as it is.
        return CommandLine::tr("Quillet does not know the character set \"%1\"; it reads %2.")
            .arg(parser.value(CharsetOption), CharacterSets::names());
    return {};
}

} // namespace

CommandLine::Request CommandLine::requestOf(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments) || !mistakeIn(parser).isEmpty())
        return Request::Mistake;
    if (parser.isSet(HelpOption))
        return Request::Help;
    if (parser.isSet(VersionOption))
        return Request::Version;
    if (parser.isSet(ExportOption))
        return Request::Export;
    return Request::Window;
}

QStringList CommandLine::desktopOptionsOf(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    parser.parse(arguments);
    QStringList options;
    for (const QString &name : {QStringLiteral("display"), QStringLiteral("platform")})
        if (parser.isSet(name))
            options << u'-' + name + u' ' + parser.value(name);
    return options;
}

QString CommandLine::sourceOf(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    parser.parse(arguments);
    const QStringList files = parser.positionalArguments();
    return files.isEmpty() ? QString() : Path::typed(files.constFirst()).absolute().toString();
}

CommandLine::Export CommandLine::exportOf(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    parser.parse(arguments);
    return {parser.value(ExportOption), parser.value(ToOption), parser.isSet(TxtOption),
            parser.isSet(RemoveGoneOption),
            CharacterSets::named(parser.value(CharsetOption)).value_or(CharacterSet::Western)};
}

int CommandLine::answer(Request request, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Copies the memos of an organiser's export into the Notes folder of a music player, "
           "one note per memo, in a window of its own, or from a terminal or a script:\n"
           "  quillet --export ~/.jpilot/MemoDB.pdb --to /media/me/IPOD --remove-gone\n"
           "  quillet --export memos.txt --to /media/me/IPOD --charset windows-1251"));
    addOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 tr("Opens the window with FILE as the source."),
                                 QStringLiteral("[FILE]"));
    switch (request) {
    case Request::Version:
        Printed::toOutput(
            QStringLiteral("Quillet %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    case Request::Help:
        Printed::toOutput(parser.helpText());
        return 0;
    case Request::Window:
    case Request::Export:
    case Request::Mistake:
        break;
    }
    Printed::toError((parser.parse(arguments) ? mistakeIn(parser) : parser.errorText()) +
                     QLatin1Char('\n'));
    Printed::toError(parser.helpText());
    return 2;
}
