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
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    for (const char *variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (!qEnvironmentVariableIsEmpty(variable))
            return true;
    return false;
#else
    return true;
#endif
}
} // namespace

int main(int argc, char *argv[])
{
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
    const TerminationSignal termination;
    QObject::connect(&termination, &TerminationSignal::received, &window,
                     &frmMain::endOnTerminationRequest);
    window.show();
    return QApplication::exec();
}
