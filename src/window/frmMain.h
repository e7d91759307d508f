#pragma once

#include "Expected.h"
#include "FileError.h"
#include "SettingsStore.h"
#include "SettingsTarget.h"

#include <QWidget>

class DriveList;
class DriveSource;
class FileDialog;
class FlagCheckBox;
class MessageBoxes;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
struct DriveEntry;
struct ExportResult;
struct FileRequest;

// The program's one window: the source file, the destination drive and the
// extension box, the Browse, Export and Exit commands, and the instructions.
// Its settings, drives, messages and file dialog are given to it, so that it
// can run against temporary folders and without a person.
class frmMain : public QWidget, private SettingsTarget
{
    Q_OBJECT
public:
    frmMain(SettingsStore settings, const DriveSource &drives, MessageBoxes &messages,
            FileDialog &files, QWidget *parent = nullptr);

    static QString instructionsText();
    static QString contactAddress();
    // What the Browse button asks of the Open dialog for a given source path.
    static FileRequest openRequest(const QString &sourcePath);
    // The message of a completed export, with what an iPod will not show.
    static QString completionText(const ExportResult &result);

public slots:
    void Form_Load();
    void cmdOpen_Click();
    void cmdExport_Click();
    void cmdExit_Click();
    // A termination request from the system (SIGTERM, at logout for example)
    // ends the program as the close box does. A message or dialog open at that
    // moment is closed first, so that nothing waits for a person.
    void endOnTerminationRequest();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void placeControls();
    void orderTabs();
    void connectCommands();
    ExportResult runExport(const SettingsRecord &record, const DriveEntry &destination);
    // Nothing while the volume is still mounted where the list found it.
    Expected<void, FileError> checkMounted(const DriveEntry &volume) const;
    void report(const ExportResult &result, const SettingsRecord &record);

    void setSourcePath(const QString &path) override;
    bool selectDrive(const QString &driveString) override;
    bool setExtensionFlag(int flag) override;

    SettingsStore m_settings;
    const DriveSource &m_drives;
    MessageBoxes &m_messages;
    FileDialog &m_files;
    bool m_exporting = false;
    bool m_exitRequested = false; // Exit, the close box or SIGTERM during an export

    QPushButton *cmdOpen = nullptr;
    QPlainTextEdit *txtMemo = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *cmdExit = nullptr;
    DriveList *Drive1 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *txtSource = nullptr;
    QPushButton *cmdExport = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label5 = nullptr;
    FlagCheckBox *chkTextExt = nullptr;
};
