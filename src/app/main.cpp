#include "QtFileDialog.h"
#include "QtMessageBoxes.h"
#include "SettingsStore.h"
#include "SystemDrives.h"
#include "TerminationSignal.h"
#include "frmMain.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

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
} // namespace

int main(int argc, char *argv[])
{
    // First of all: from here on Ctrl-C, a closed terminal or a logout never
    // ends the program in the middle of a note. A signal that comes before the
    // window is there is handled once the event loop runs.
    TerminationSignal termination;
    if (!hasDesktop()) {
        std::fputs("Quillet needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY is not set).\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // The name titles the message boxes and names the per-user settings folder.
    QApplication::setApplicationName(QStringLiteral("quillet"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillet"));
    QIcon icon(QStringLiteral(":/icons/quillet.svg"));
    icon.addFile(QStringLiteral(":/icons/quillet-32.png"), QSize(32, 32));
    QApplication::setWindowIcon(icon);

    const SystemDrives drives;
    QtMessageBoxes messages;
    QtFileDialog files;
    frmMain window(SettingsStore::forThisProcess(), drives, messages, files);
    QObject::connect(&termination, &TerminationSignal::received, &window,
                     &frmMain::endOnTerminationRequest);
    termination.listen();
    window.show();
    return QApplication::exec();
}
