#include "MainWindow.h"

#include "Controls.h"
#include "DriveList.h"
#include "DriveSource.h"
#include "ExportRun.h"
#include "ExportWorker.h"
#include "FileDialog.h"
#include "InputBlocker.h"
#include "LayoutScale.h"
#include "Limits.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

namespace {
const QSize ClientPixels{342, 369};

CommandButton *makeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new CommandButton(caption, parent);
    button->setObjectName(name);
    return button;
}

// The label is what a screen reader speaks for its field.
QLabel *makeLabel(const QString &name, const QString &caption, QWidget *field, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setBuddy(field);
    return label;
}

// Asked on the export's thread, right before the notes folder is made: a player
// unplugged after it was chosen leaves an empty folder behind, and a drive
// shown as not connected or not answering must never be written to.
ExportRun::DestinationCheck connectionCheck(const DriveSource &drives, const DriveEntry &drive)
{
    if (drive.connected && drive.answering && !drive.isVolume())
        return {};
    return [&drives, drive]() -> Result<void> {
        const Result<void> mounted = !drive.connected   ? Error(Error::Reason::NotConnected)
                                     : !drive.answering ? Error(Error::Reason::NotAnswering)
                                                        : drives.checkMounted(drive);
        if (mounted)
            return {};
        return mounted.error().during(Error::Action::WriteNotes, drive.folder);
    };
}

// Asked again on the removal's thread: the player may have been unplugged
// while the question was open.
RemovalResult removeIfConnected(const ExportRun::DestinationCheck &check,
                                const Path &destinationFolder, const QList<RecordedNote> &notes,
                                ExportProgress &progress)
{
    if (check) {
        if (const Result<void> connected = check(); !connected) {
            RemovalResult result;
            result.error = connected.error();
            return result;
        }
    }
    return ExportRun::removeGoneNotes(destinationFolder, notes, progress);
}
} // namespace

MainWindow::MainWindow(SettingsStore settings, const DriveSource &drives, MessageBoxes &messages,
                       FileDialog &files, QWidget *parent)
    : QWidget(parent), m_settings(std::move(settings)), m_drives(drives), m_messages(messages),
      m_files(files)
{
    setObjectName(QStringLiteral("MainWindow"));
    m_stopWatch.setSingleShot(true);
    m_stopWatch.setInterval(Limits::VolumeAnswer);
    connect(&m_stopWatch, &QTimer::timeout, this, &MainWindow::stopOverdue);
    setWindowTitle(QStringLiteral("Quillet"));
    setAcceptDrops(true);
    createControls();
    placeControls();
    orderTabs();
    connectCommands();
    loadSettings();
}

MainWindow::~MainWindow() = default;

QString MainWindow::instructionsText()
{
    const QStringList paragraphs{
        tr("Start in Palm Desktop. Click the \"Memo\" button to display your memos. Then go "
           "under File and choose Export . . . In the next dialog box click the Export button. "
           "Then under Export Type choose \"Text (*.txt)\" and choose \"All\"; \"Comma "
           "Separated\" and \"Tab Separated\" work too. The file name can be anything, but why "
           "not \"memos.txt\"? Instead of an export you can choose the memo database itself, "
           "MemoDB.pdb (Memo Pad) or MemosDB-PMem.pdb (the later Memos), from a HotSync backup, "
           "a backup made with \"pilot-xfer -b\", J-Pilot's folder (~/.jpilot/MemoDB.pdb) or "
           "the backups of Palm Desktop for Mac; changes made in J-Pilot and not yet synced, in "
           "MemoDB.pc3 beside it, are read too. Palm Desktop for Windows keeps the memos in "
           "memopad.dat (and old ones in memopad.mpa) in its user folder, for example "
           "C:\\Palm\\<user>\\memopad\\memopad.dat: copied from the old PC, that file can be "
           "chosen as it is."),
        tr("On an iPod each note is written in the characters the iPod reads: Latin-1 (Mac OS "
           "Roman on an iPod formatted for a Mac) where they hold all of the memo, else UTF-8 "
           "with a first line that tells the iPod so. A memo longer than the 4 KB an iPod shows "
           "of a note is saved in parts, \"Name\", \"Name (part 2)\" and so on, each ending "
           "with a link to the next. In any other folder the notes are UTF-8. There is no need "
           "to empty the iPod's \"Notes\" folder first: Quillet keeps a record of the notes it "
           "wrote in a file beside that folder, and after an export it offers to remove the "
           "notes of memos that are no longer in the export. It never removes a note you wrote "
           "or changed yourself."),
        tr("Then you can open this program, click \"Browse . . .\" and choose the \"memos.txt\" "
           "file you created in Palm Desktop. Under \"Memos' characters\" choose the characters "
           "your organiser writes: Western European, unless it is set up for Central European, "
           "Cyrillic, Greek, Turkish, Hebrew, Arabic, Baltic, Vietnamese, Thai, Japanese, "
           "Chinese or Korean, or the memos come from Palm Desktop for Mac (Mac OS Roman). A memo "
           "in UTF-8, such as J-Pilot's export, is read as UTF-8 whatever you choose. Then, in "
           "the Destination list, choose the folder where your iPod is mounted (make sure it is "
           "hooked up!). If you have run the program before it will use your previous values for "
           "the memos.txt file, its characters and the iPod's folder. Then click \"Export\" and "
           "all the memos will be written to the iPod.")};
    return paragraphs.join(QStringLiteral("\r\n\r\n")) + QStringLiteral("\r\n");
}

FileRequest MainWindow::openRequest(const QString &sourcePath)
{
    // "Description (patterns)": the description keeps its own parentheses,
    // the last pair holds the patterns the dialog applies.
    const QString memoFiles =
        tr("Memo exports and databases (*.txt *.csv *.tab *.pdb *.dat *.mpa)") +
        QStringLiteral(" (*.txt *.csv *.tab *.pdb *.dat *.mpa)");
    return {Path::typed(sourcePath).parent().toString(),
            {memoFiles, tr("All files (*.*)") + QStringLiteral(" (*)")},
            memoFiles};
}

// A start asks nothing of the person, whatever quillet.dat holds: what could
// not be restored is said on standard error, for whoever looks there, and the
// next completed export writes the file anew.
void MainWindow::loadSettings()
{
    if (const Result<void> loaded = m_settings.load(*this); !loaded)
        qWarning("%s", qPrintable(loaded.error().message()));
}

void MainWindow::openSource(const QString &path)
{
    m_sourceEdit->setText(path);
}

void MainWindow::onBrowseClicked()
{
    const FileChoice choice = m_files.chooseFile(this, openRequest(m_sourceEdit->text()));
    switch (choice.outcome) {
    case FileChoice::Outcome::Chosen:
        m_sourceEdit->setText(choice.path);
        break;
    case FileChoice::Outcome::Cancelled:
        break;
    case FileChoice::Outcome::Failed:
        m_messages.inform(this, tr("There was an error") + u'\n' + choice.error.message());
        break;
    }
}

void MainWindow::onExportClicked()
{
    const SettingsRecord record{m_sourceEdit->text(), m_destinationList->driveString(),
                                qint16(m_txtCheckBox->value()), characterSet()};
    if (record.sourcePath.isEmpty()) {
        m_messages.inform(this, tr("You need to pick an input file name first"));
        return;
    }
    startExport(record, m_destinationList->entry());
}

void MainWindow::onExitClicked()
{
    close();
}

void MainWindow::endOnTerminationRequest()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    // Nothing may wait for a person here, and ending while the player holds a
    // note is a person's choice alone: the work goes on waiting, and a logout
    // ends the program with its last signal.
    if (m_waitingOnPlayer)
        return;
    close();
}

// One file from a file manager; a drop during an export never gets here.
void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString path = droppedFile(*event->mimeData());
    if (path.isEmpty())
        return;
    openSource(path);
    event->acceptProposedAction();
}

QString MainWindow::droppedFile(const QMimeData &data)
{
    const QList<QUrl> urls = data.urls();
    return urls.size() == 1 && urls[0].isLocalFile() ? urls[0].toLocalFile() : QString();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // During an export the window stays until the note being written is whole
    // and what was written is flushed; the export then ends, saves nothing and
    // closes the window again. A removal of the notes of memos that are gone
    // stops the same way, once the note being removed is gone and the record
    // knows it.
    if (!m_exporting) {
        event->accept();
        return;
    }
    event->ignore();
    if (m_waitingOnPlayer) {
        // Asked once this close is over: a close while it is handled does
        // nothing, and the export may end, and close the window, while the
        // question is open.
        QMetaObject::invokeMethod(this, &MainWindow::askToEndNow, Qt::QueuedConnection);
        return;
    }
    m_exitRequested = true;
    if (m_worker) {
        m_worker->requestStop();
        if (!m_stopWatch.isActive())
            m_stopWatch.start();
    }
    // Shows that the request was heard while the export comes to its end.
    m_exitButton->setEnabled(false);
}

// A player that stops answering holds the export's thread inside a system
// call, where no stop reaches it: Exit comes back, so that a person can end
// the program all the same.
void MainWindow::stopOverdue()
{
    if (!m_worker)
        return;
    m_waitingOnPlayer = true;
    m_exitButton->setEnabled(true);
    m_exitButton->setFocus();
}

void MainWindow::askToEndNow()
{
    if (m_askingToEnd)
        return;
    m_askingToEnd = true;
    // The question takes input, which the blocker would discard; while it is
    // open it keeps every other input from the window itself.
    m_inputBlocker.reset();
    const bool endNow = m_messages.ask(
        this,
        tr("The player does not answer. End Quillet now? The note being written may be cut short."),
        tr("&Yes"), tr("&No"));
    m_askingToEnd = false;
    // The work may have ended while the question was open; the window has
    // then closed.
    if (!m_worker)
        return;
    if (endNow)
        emit endNowRequested();
    m_inputBlocker = std::make_unique<InputBlocker>(*m_exitButton);
}

void MainWindow::startExport(const SettingsRecord &record, const DriveEntry &destination)
{
    m_exporting = true;
    m_exportRecord = record;
    m_destination = destination;
    // Exit takes the focus before Export greys out, which would pass it on to
    // a control that takes no input now.
    m_inputBlocker = std::make_unique<InputBlocker>(*m_exitButton);
    m_exportButton->setEnabled(false);
    ExportRun run(Path::typed(record.sourcePath), destination.folder,
                  record.extensionFlag == FlagCheckBox::Checked);
    run.setDestinationCheck(connectionCheck(m_drives, destination));
    run.setCharacterSet(record.characterSet);
    m_worker =
        std::make_unique<ExportWorker>(std::move(run), *m_exportButton, *this,
                                       [this](const ExportResult &result) { exportEnded(result); });
}

void MainWindow::exportEnded(const ExportResult &result)
{
    m_worker->showFinalCount();
    endWork();
    if (!m_exitRequested)
        m_messages.inform(this, result.message());
    // A termination request that closes a message ends the program unsaved;
    // one that closes the question counts as Keep.
    if (m_exitRequested || !result.succeeded()) {
        finishExport();
        return;
    }
    if (!result.goneNotes.isEmpty() && askToRemove(result.goneNotes) && !m_exitRequested) {
        startRemoval(result.goneNotes);
        return;
    }
    saveSettings();
    finishExport();
}

bool MainWindow::askToRemove(const QList<RecordedNote> &goneNotes)
{
    return m_messages.ask(this, removalQuestion(goneNotes), tr("&Remove"), tr("&Keep"));
}

QString MainWindow::removalQuestion(const QList<RecordedNote> &goneNotes)
{
    // Enough to recognise them by, few enough for the box to fit the screen.
    constexpr qsizetype ShownPaths = 10;
    const qsizetype count = goneNotes.size();
    QStringList lines{tr("%n notes on the player were written by an earlier export for memos "
                         "that are no longer in it. Remove them?",
                         nullptr, int(count)),
                      QString()};
    for (const RecordedNote &note : goneNotes.first(std::min(count, ShownPaths)))
        lines << note.place.toString();
    const qsizetype more = count - ShownPaths;
    if (more > 0)
        lines << tr("and %n more", nullptr, int(more));
    return lines.join(u'\n');
}

void MainWindow::startRemoval(const QList<RecordedNote> &goneNotes)
{
    m_inputBlocker = std::make_unique<InputBlocker>(*m_exitButton);
    m_worker = std::make_unique<ExportWorker>(
        [check = connectionCheck(m_drives, m_destination), folder = m_destination.folder,
         goneNotes](ExportProgress &progress) {
            return removeIfConnected(check, folder, goneNotes, progress);
        },
        *m_exportButton, *this, [this](const RemovalResult &result) { removalEnded(result); });
}

void MainWindow::removalEnded(const RemovalResult &result)
{
    endWork();
    if (!m_exitRequested)
        m_messages.inform(this, result.message());
    saveSettings();
    finishExport();
}

void MainWindow::endWork()
{
    m_worker.reset();
    m_inputBlocker.reset();
    m_stopWatch.stop();
    m_waitingOnPlayer = false;
    // The question whether to end without waiting has no point any more: the
    // window closes once this returns.
    if (m_askingToEnd) {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    }
}

// As after any completed export, whatever became of the notes of memos that
// are gone; never once the program is asked to end.
void MainWindow::saveSettings()
{
    if (m_exitRequested)
        return;
    if (const Result<void> saved = m_settings.save(m_exportRecord); !saved)
        m_messages.inform(this, saved.error().message());
}

void MainWindow::finishExport()
{
    m_exporting = false;
    if (m_exitRequested) {
        close();
        return;
    }
    m_exportButton->setText(tr("Export"));
    m_exportButton->setEnabled(true);
    m_exportButton->setFocus();
}

void MainWindow::setSourcePath(const QString &path)
{
    m_sourceEdit->setText(path);
}

void MainWindow::selectDrive(const QString &driveString)
{
    m_destinationList->selectDrive(driveString);
}

bool MainWindow::setExtensionFlag(int flag)
{
    return m_txtCheckBox->setValue(flag);
}

void MainWindow::setCharacterSet(CharacterSet characters)
{
    m_charactersList->setCurrentIndex(m_charactersList->findData(int(characters)));
}

CharacterSet MainWindow::characterSet() const
{
    return CharacterSet(m_charactersList->currentData().toInt());
}

void MainWindow::createControls()
{
    // Created in keyboard order, which is also the order of the focus chain;
    // labels take no focus and follow their fields.
    m_browseButton = makeButton(QStringLiteral("browseButton"), tr("Browse . . ."), this);
    m_instructionsEdit = new QPlainTextEdit(instructionsText(), this);
    m_instructionsEdit->setObjectName(QStringLiteral("instructionsEdit"));
    m_instructionsEdit->setAccessibleName(tr("Instructions"));
    m_instructionsEdit->setTabChangesFocus(true);
    m_instructionsEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_instructionsEdit->setAcceptDrops(false);
    m_instructionsLabel = makeLabel(QStringLiteral("instructionsLabel"), tr("Instructions"),
                                    m_instructionsEdit, this);
    m_exitButton = makeButton(QStringLiteral("exitButton"), tr("Exit"), this);
    m_destinationList = new DriveList(m_drives, this);
    m_destinationList->setObjectName(QStringLiteral("destinationList"));
    // Spoken on systems that name a combo box by its own name; elsewhere the
    // labels below name it and its name is its value.
    m_destinationList->setAccessibleName(tr("Destination"));
    m_sourceEdit = new QLineEdit(this);
    m_sourceEdit->setObjectName(QStringLiteral("sourceEdit"));
    // A file dropped on a field becomes the source too, not text in it.
    m_sourceEdit->setAcceptDrops(false);
    m_sourceEdit->setAccessibleName(tr("Source"));
    m_sourceLabel = makeLabel(QStringLiteral("sourceLabel"), tr("Source:"), m_sourceEdit, this);
    m_charactersList = new QComboBox(this);
    m_charactersList->setObjectName(QStringLiteral("charactersList"));
    for (const CharacterSet characters : CharacterSets::all())
        m_charactersList->addItem(CharacterSets::labelOf(characters), int(characters));
    m_charactersList->setAccessibleName(tr("Memos' characters"));
    m_charactersLabel = makeLabel(QStringLiteral("charactersLabel"), tr("Memos' characters:"),
                                  m_charactersList, this);
    m_exportButton = makeButton(QStringLiteral("exportButton"), tr("Export"), this);
    m_destinationLabel =
        makeLabel(QStringLiteral("destinationLabel"), tr("Destination:"), m_destinationList, this);
    m_destinationHint = makeLabel(QStringLiteral("destinationHint"), tr("The iPod's folder"),
                                  m_destinationList, this);
    m_txtCheckBox = new FlagCheckBox(tr("Check here to add .txt to memo names on iPod"), this);
    m_txtCheckBox->setObjectName(QStringLiteral("txtCheckBox"));
}

void MainWindow::placeControls()
{
    using Fit = LayoutScale::Fit;
    // The memos' characters belong to the source: their row follows it, and
    // the instructions, which scroll, give up its height.
    const QList<LayoutScale::Box> boxes{{m_sourceLabel, {16, 8, 57, 17}, Fit::Whole},
                                        {m_sourceEdit, {80, 8, 177, 19}, Fit::Height},
                                        {m_browseButton, {264, 8, 65, 25}, Fit::Whole},
                                        {m_charactersLabel, {16, 40, 113, 17}, Fit::Whole},
                                        {m_charactersList, {136, 40, 193, 21}, Fit::Height},
                                        {m_destinationLabel, {16, 72, 57, 17}, Fit::Whole},
                                        {m_destinationList, {80, 72, 81, 21}, Fit::Height},
                                        {m_destinationHint, {176, 72, 105, 25}, Fit::Whole},
                                        {m_exportButton, {24, 112, 81, 25}, Fit::Whole},
                                        {m_exitButton, {224, 112, 81, 25}, Fit::Whole},
                                        {m_txtCheckBox, {32, 160, 273, 17}, Fit::Whole},
                                        {m_instructionsLabel, {16, 184, 97, 17}, Fit::Whole},
                                        {m_instructionsEdit, {16, 208, 297, 145}, Fit::Nothing}};
    const double factor = LayoutScale::factorFor(boxes);
    QRect used;
    for (const LayoutScale::Box &box : boxes) {
        box.control->setGeometry(LayoutScale::scaled(box.pixels, factor));
        used |= box.control->geometry();
    }
    // Nothing moves when the window is resized, so it may not become smaller
    // than the controls need to be seen whole.
    setMinimumSize(used.right() + 1, used.bottom() + 1);
    resize(LayoutScale::scaled(ClientPixels, factor));
}

void MainWindow::orderTabs()
{
    const QList<QWidget *> order{m_browseButton,    m_instructionsEdit, m_exitButton,
                                 m_destinationList, m_sourceEdit,       m_charactersList,
                                 m_exportButton,    m_txtCheckBox};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_browseButton->setFocus();
}

void MainWindow::connectCommands()
{
    connect(m_browseButton, &QPushButton::clicked, this, &MainWindow::onBrowseClicked);
    connect(m_exportButton, &QPushButton::clicked, this, &MainWindow::onExportClicked);
    connect(m_exitButton, &QPushButton::clicked, this, &MainWindow::onExitClicked);
}
