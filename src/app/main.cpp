#include "QtFileDialog.h"
#include "QtMessageBoxes.h"
#include "SettingsStore.h"
#include "SystemDrives.h"
#include "TerminationSignal.h"
#include "frmMain.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
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
