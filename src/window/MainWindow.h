#pragma once

#include "DriveSource.h"
#include "ExportLife.h"
#include "SettingsStore.h"

#include <QWidget>
#include <memory>

class CommandButton;
class DriveList;
class FileDialog;
class FlagCheckBox;
class InputBlocker;
class MessageBoxes;
class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPlainTextEdit;
struct ExportResult;
struct FileRequest;
struct RecordedNote;
struct RemovalResult;

// The program's one window: the source file and the character set of its
// memos, the destination drive and the extension box, the Browse, Export and
// Exit commands, and the instructions.
// Its settings, drives, messages and file dialog are given to it, so that it
// can run against temporary folders and without a person. The export, and the
// removal of the notes of memos that are gone that it may offer, run beside
// it, on a thread of their own; the window shows the export's progress and
// takes no input but Exit, which has the focus, and the close box meanwhile.
class MainWindow : public QWidget, private SettingsTarget
{
    Q_OBJECT
public:
    MainWindow(SettingsStore settings, const DriveSource &drives, MessageBoxes &messages,
               FileDialog &files, QWidget *parent = nullptr);
    // Stops a running export, or removal, after the note at hand, and waits
    // for it.
    ~MainWindow() override;

    static QString instructionsText();
    // What the Browse button asks of the Open dialog for a given source path.
    static FileRequest openRequest(const QString &sourcePath);

public slots:
    void loadSettings();
    // Shows `path` as the source, as `quillet FILE` and a file dropped on the
    // window do; the settings keep the one before until an export completes.
    void openSource(const QString &path);
    void onBrowseClicked();
    void onExportClicked();
    void onExitClicked();
    // A termination request from the system (SIGTERM at logout, SIGINT or
    // SIGHUP from the terminal) ends the program as the close box does. A
    // message or dialog open at that moment is closed first, so that nothing
    // waits for a person.
    void endOnTerminationRequest();

signals:
    // The person chose to end the program while the export, or the removal,
    // waits on a player that does not answer. The process must end at once,
    // without saving and without waiting for the export's thread, which the
    // player holds (main does); where nothing ends it, the window goes on
    // waiting.
    void endNowRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The one local file dropped, or nothing.
    static QString droppedFile(const QMimeData &data);
    void createControls();
    void placeControls();
    void orderTabs();
    void connectCommands();
    void connectLife();
    void showState(ExportLife::State state);
    void exportEnded(const ExportResult &result);
    bool askToRemove(const QList<RecordedNote> &goneNotes);
    static QString removalQuestion(const QList<RecordedNote> &goneNotes);
    void startRemoval(const QList<RecordedNote> &goneNotes);
    void removalEnded(const RemovalResult &result);
    void askToEndNow();
    void saveSettings();
    bool isReporting() const;
    void closeIfOver();

    void setSourcePath(const QString &path) override;
    void selectDrive(const QString &driveString) override;
    bool setExtensionFlag(int flag) override;
    void setCharacterSet(CharacterSet characters) override;
    CharacterSet characterSet() const;

    SettingsStore m_settings;
    const DriveSource &m_drives;
    MessageBoxes &m_messages;
    FileDialog &m_files;
    SettingsRecord m_exportRecord;
    DriveEntry m_destination;
    std::unique_ptr<InputBlocker> m_inputBlocker; // while work runs
    ExportLife m_life;

    CommandButton *m_browseButton = nullptr;
    QPlainTextEdit *m_instructionsEdit = nullptr;
    QLabel *m_instructionsLabel = nullptr;
    CommandButton *m_exitButton = nullptr;
    DriveList *m_destinationList = nullptr;
    QLabel *m_sourceLabel = nullptr;
    QLineEdit *m_sourceEdit = nullptr;
    QComboBox *m_charactersList = nullptr;
    QLabel *m_charactersLabel = nullptr;
    CommandButton *m_exportButton = nullptr;
    QLabel *m_destinationLabel = nullptr;
    QLabel *m_destinationHint = nullptr;
    FlagCheckBox *m_txtCheckBox = nullptr;
};
