#include "CommandLine.h"

#include <QCommandLineParser>
#include <cstdio>

namespace {

const QCommandLineOption VersionOption(QStringLiteral("version"));
const QCommandLineOption HelpOption(QStringLiteral("help"));
const QCommandLineOption ExportOption(QStringLiteral("export"), QString(),
                                      QStringLiteral("SOURCE"));
const QCommandLineOption ToOption(QStringLiteral("to"), QString(), QStringLiteral("FOLDER"));
const QCommandLineOption TxtOption(QStringLiteral("txt"));
const QCommandLineOption RemoveGoneOption(QStringLiteral("remove-gone"));

QCommandLineOption described(const QCommandLineOption &option, const QString &description)
{
    QCommandLineOption copy = option;
    copy.setDescription(description);
    return copy;
}

// Descriptions are set where the translations are installed.
void addOptions(QCommandLineParser &parser)
{
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
                                   "memos that are no longer in the export."))});
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// Why the options given do not make a request, or nothing where they do.
QString mistakeIn(const QCommandLineParser &parser)
{
    if (!parser.positionalArguments().isEmpty())
        return CommandLine::tr("Quillet takes no file or other argument: \"%1\".")
            .arg(parser.positionalArguments().constFirst());
    if (parser.isSet(HelpOption) || parser.isSet(VersionOption))
        return {};
    if (parser.isSet(ExportOption) && !parser.isSet(ToOption))
        return CommandLine::tr("--export needs --to FOLDER, the folder of the player.");
    if (!parser.isSet(ExportOption) &&
        (parser.isSet(ToOption) || parser.isSet(TxtOption) || parser.isSet(RemoveGoneOption)))
        return CommandLine::tr("--to, --txt and --remove-gone go with --export SOURCE.");
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

CommandLine::Export CommandLine::exportOf(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    parser.parse(arguments);
    return {parser.value(ExportOption), parser.value(ToOption), parser.isSet(TxtOption),
            parser.isSet(RemoveGoneOption)};
}

int CommandLine::answer(Request request, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Copies the memos of an organiser's export into the Notes folder of a music player, "
           "one note per memo, in a window of its own, or from a terminal or a script:\n"
           "  quillet --export ~/.jpilot/MemoDB.pdb --to /media/me/IPOD --remove-gone"));
    addOptions(parser);
    switch (request) {
    case Request::Version:
        print(stdout, QStringLiteral("Quillet %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    case Request::Help:
        print(stdout, parser.helpText());
        return 0;
    case Request::Window:
    case Request::Export:
    case Request::Mistake:
        break;
    }
    print(stderr,
          (parser.parse(arguments) ? mistakeIn(parser) : parser.errorText()) + QLatin1Char('\n'));
    print(stderr, parser.helpText());
    return 2;
}
