#include "WindowExport.h"

#include "FixedDrives.h"
#include "FlagCheckBox.h"
#include "ScriptedFileDialog.h"
#include "ScriptedMessageBoxes.h"
#include "SettingsStore.h"
#include "frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

namespace {
// An offscreen application for the length of one call, where the caller has none.
std::unique_ptr<QApplication> applicationIfNone()
{
    if (QCoreApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillet-bench";
    static char *argv[] = {name, nullptr};
    auto application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillet"));
    return application;
}

// The count from "N memos saved to ROOT/Notes/", the one message of a good run.
qint64 countFrom(const QStringList &messages)
{
    static const QRegularExpression completion(QStringLiteral("^(\\d+) memos saved to "));
    if (messages.size() != 1)
        return -1;
    const QRegularExpressionMatch match = completion.match(messages.first());
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}
} // namespace

WindowExport exportThroughWindow(const QString &sourcePath, const QString &destinationFolder,
                                 bool txt)
{
    const std::unique_ptr<QApplication> application = applicationIfNone();
    const QTemporaryDir settingsFolder;
    if (!settingsFolder.isValid())
        return {};
    const FixedDrives drives = FixedDrives::ofFolders({destinationFolder});
    ScriptedMessageBoxes messages;
    ScriptedFileDialog files;
    frmMain window(
        SettingsStore(settingsFolder.path(), settingsFolder.path(), settingsFolder.path()), drives,
        messages, files);
    window.show();
    window.findChild<QLineEdit *>(QStringLiteral("txtSource"))->setText(sourcePath);
    window.findChild<FlagCheckBox *>(QStringLiteral("chkTextExt"))
        ->setValue(txt ? FlagCheckBox::Checked : FlagCheckBox::Unchecked);
    WindowExport result;
    QElapsedTimer timer;
    // The message ends the run as the person sees it.
    messages.onNextMessage(
        [&](const QString &) { result.secondsFromClick = timer.nsecsElapsed() / 1e9; });
    timer.start();
    window.findChild<QPushButton *>(QStringLiteral("cmdExport"))->click();
    result.notes = countFrom(messages.texts());
    return result;
}
