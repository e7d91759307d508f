#include "CommandLine.h"

#include <QCommandLineParser>
#include <cstdio>

namespace {

const QCommandLineOption VersionOption(QStringLiteral("version"));
const QCommandLineOption HelpOption(QStringLiteral("help"));

// Descriptions are set where the translations are installed.
void addOptions(QCommandLineParser &parser)
{
    QCommandLineOption version = VersionOption;
    version.setDescription(CommandLine::tr("Prints the program's name and version, and ends."));
    QCommandLineOption help = HelpOption;
    help.setDescription(CommandLine::tr("Prints this help, and ends."));
    parser.addOptions({version, help});
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

CommandLine::Request CommandLine::requestOf(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty())
        return Request::Mistake;
    if (parser.isSet(HelpOption))
        return Request::Help;
    if (parser.isSet(VersionOption))
        return Request::Version;
    return Request::Window;
}

int CommandLine::answer(Request request, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Copies the memos of an organiser's export into the Notes folder of a music player, "
           "one note per memo, in a window of its own."));
    addOptions(parser);
    switch (request) {
    case Request::Version:
        print(stdout, QStringLiteral("Quillet %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    case Request::Help:
        print(stdout, parser.helpText());
        return 0;
    case Request::Window:
    case Request::Mistake:
        break;
    }
    if (!parser.parse(arguments))
        print(stderr, parser.errorText() + QLatin1Char('\n'));
    else if (!parser.positionalArguments().isEmpty())
        print(stderr, tr("Quillet takes no file or other argument: \"%1\".\n")
                          .arg(parser.positionalArguments().constFirst()));
    print(stderr, parser.helpText());
    return 2;
}
