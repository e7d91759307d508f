#include "CommandLine.h"
#include "DriveSource.h"
#include "FileDialog.h"
#include "MainWindow.h"
#include "MessageBoxes.h"
#include "SettingsStore.h"
#include "TerminalExport.h"
#include "TerminationSignal.h"
#include "Translations.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt stops with an error about its platform plugin, which
// tells a person nothing; the window needs a desktop session to show in.
bool hasDesktop()
{
    for (const char *variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (!qEnvironmentVariableIsEmpty(variable))
            return true;
    return false;
}

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void nameTheProgram()
{
    // The name titles the message boxes and names the per-user settings folder.
    QCoreApplication::setApplicationName(QStringLiteral("quillet"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
}

// The export from a terminal or a script, which neither reads nor writes the
// window's settings.
int exportWithoutWindow(TerminationSignal &termination)
{
    TerminalExport run(CommandLine::exportOf(QCoreApplication::arguments()));
    QObject::connect(&termination, &TerminationSignal::received, &run, &TerminalExport::stop);
    QObject::connect(&run, &TerminalExport::finished, QCoreApplication::instance(),
                     &QCoreApplication::quit);
    termination.listen();
    run.start();
    QCoreApplication::exec();
    return run.report();
}

// What the program says and does where it opens no window: it needs neither a
// desktop nor the window's libraries to start.
int answerWithoutWindow(int argc, char *argv[], CommandLine::Request request,
                        TerminationSignal &termination)
{
    const QCoreApplication app(argc, argv);
    nameTheProgram();
    const Translations translations(QLocale(), QString::fromLatin1(Translations::ProgramFolder));
    if (request == CommandLine::Request::Export)
        return exportWithoutWindow(termination);
    if (request != CommandLine::Request::Window)
        return CommandLine::answer(request, QCoreApplication::arguments());
    std::fputs(
        QCoreApplication::translate(
            "main", "Quillet needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY is not set).\n")
            .toLocal8Bit()
            .constData(),
        stderr);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // First of all, before any other thread, so that each inherits the blocked
    // signals: from here on Ctrl-C, a closed terminal or a logout never ends the
    // program in the middle of a note.
    TerminationSignal termination;
    const CommandLine::Request request = CommandLine::requestOf(argumentsOf(argc, argv));
    if (request != CommandLine::Request::Window || !hasDesktop())
        return answerWithoutWindow(argc, argv, request, termination);

    QApplication app(argc, argv);
    nameTheProgram();
    const Translations translations(QLocale(), QString::fromLatin1(Translations::ProgramFolder));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillet"));
    QIcon icon(QStringLiteral(":/icons/quillet.svg"));
    icon.addFile(QStringLiteral(":/icons/quillet-32.png"), QSize(32, 32));
    QApplication::setWindowIcon(icon);

    const SystemDrives drives;
    QtMessageBoxes messages;
    QtFileDialog files;
    MainWindow window(SettingsStore::forThisProcess(), drives, messages, files);
    QObject::connect(&termination, &TerminationSignal::received, &window,
                     &MainWindow::endOnTerminationRequest);
    // No destructor may run: the window's would wait for the export's thread,
    // which a player that does not answer holds. The next export cleans up
    // the note that was cut short, as after a kill. Status 1: the export did
    // not complete. A FUSE driver that hangs holding the thread's request
    // keeps even a killed thread, and with it the connection to the display,
    // until it answers or is gone: the window is taken off the screen first.
    QObject::connect(&window, &MainWindow::endNowRequested, [&window] {
        window.hide();
        QCoreApplication::processEvents();
        std::_Exit(EXIT_FAILURE);
    });
    termination.listen();
    window.show();
    return QApplication::exec();
}
