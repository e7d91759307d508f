#include "CommandLine.h"
#include "DriveSource.h"
#include "ExportLife.h"
#include "FileDialog.h"
#include "FileSystem.h"
#include "MainWindow.h"
#include "MessageBoxes.h"
#include "Printed.h"
#include "SettingsStore.h"
#include "TerminalExport.h"
#include "TerminationSignal.h"
#include "Translations.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>

namespace {

// The desktop the window is to show in, as the environment and Qt's own
// options name it: "DISPLAY=:0", "-display :1". Without one Qt stops with an
// error about its platform plugin, which tells a person nothing.
QStringList namedDesktop;

void findDesktop(const QStringList &arguments)
{
    for (const char *variable : {"WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(variable))
            namedDesktop << QString::fromLatin1(variable) + u'=' + qEnvironmentVariable(variable);
    namedDesktop << CommandLine::desktopOptionsOf(arguments);
}

// Qt's messages while the application is made, held back until it is known
// whether the window can start.
struct HeldMessage
{
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};
QList<HeldMessage> heldMessages;

// Said before the application, and so its translations, exist.
QString translatedEarly(const char *text)
{
    QTranslator translator;
    if (translator.load(Translations::usersLocale(), QStringLiteral("quillet"), QStringLiteral("_"),
                        QString::fromLatin1(Translations::ProgramFolder))) {
        QString translated = translator.translate("main", text);
        if (!translated.isEmpty())
            return translated;
    }
    return QString::fromUtf8(text);
}

// Where the desktop named does not answer (a DISPLAY left from an ended
// session, a Wayland socket that is gone), Qt's platform plugin ends the
// program with abort() and a message that suggests reinstalling it. That fatal
// message becomes the program's own sentence and exit status 1: nothing has
// been read or written yet, so nothing is left to finish.
void holdStartMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        heldMessages << HeldMessage{
            type, context.file, context.line, context.function, context.category, text};
        return;
    }
    Printed::toError(
        translatedEarly(QT_TRANSLATE_NOOP("main", "Quillet could not reach the graphical desktop "
                                                  "that %1 names, so it cannot open its "
                                                  "window.\n"))
            .arg(namedDesktop.join(QStringLiteral(", "))));
    std::_Exit(1);
}

// The held messages of a start that worked, told as Qt would have told them.
void passOnHeldMessages()
{
    for (const HeldMessage &message : std::as_const(heldMessages))
        qt_message_output(message.type,
                          QMessageLogContext(message.file.constData(), message.line,
                                             message.function.constData(),
                                             message.category.constData()),
                          message.text);
    heldMessages.clear();
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
    const Translations translations(Translations::usersLocale(),
                                    QString::fromLatin1(Translations::ProgramFolder));
    if (request == CommandLine::Request::Export)
        return Printed::statusAfter(exportWithoutWindow(termination));
    if (request != CommandLine::Request::Window)
        return Printed::statusAfter(CommandLine::answer(request, QCoreApplication::arguments()));
    Printed::toError(QCoreApplication::translate(
        "main", "Quillet needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY is not set).\n"));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before anything opens a file: a file of the program's own that took the
    // number of a closed standard stream would get what is printed there.
    if (!FileSystem::openClosedStandardStreams())
        return EXIT_FAILURE;
    // First of all, before any other thread, so that each inherits the blocked
    // signals: from here on Ctrl-C, a closed terminal or a logout never ends the
    // program in the middle of a note.
    TerminationSignal termination;
    const QStringList arguments = argumentsOf(argc, argv);
    const CommandLine::Request request = CommandLine::requestOf(arguments);
    findDesktop(arguments);
    if (request != CommandLine::Request::Window || namedDesktop.isEmpty())
        return answerWithoutWindow(argc, argv, request, termination);

    const QtMessageHandler passedOn = qInstallMessageHandler(holdStartMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(passedOn);
    passOnHeldMessages();
    nameTheProgram();
    const Translations translations(Translations::usersLocale(),
                                    QString::fromLatin1(Translations::ProgramFolder));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillet"));
    QIcon icon(QStringLiteral(":/icons/quillet.svg"));
    icon.addFile(QStringLiteral(":/icons/quillet-32.png"), QSize(32, 32));
    QApplication::setWindowIcon(icon);

    const SystemDrives drives;
    QtMessageBoxes messages;
    QtFileDialog files;
    MainWindow window(SettingsStore::forThisProcess(), drives, messages, files);
    if (const QString source = CommandLine::sourceOf(arguments); !source.isEmpty())
        window.openSource(source);
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
    // Qt ends the program with exit() where the display goes away, as at the
    // end of a session.
    std::atexit(&ExportLife::finishBeforeExit);
    window.show();
    return QApplication::exec();
}
