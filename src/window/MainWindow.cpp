#include "MainWindow.h"

#include "Controls.h"
#include "DriveList.h"
#include "DriveSource.h"
#include "ExportRun.h"
#include "FileDialog.h"
#include "InputBlocker.h"
#include "LayoutScale.h"
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
// Painting the count costs far more than writing a note.
constexpr std::chrono::milliseconds CountInterval{50};

// The label is what a screen reader speaks for its field.
QLabel *makeLabel(const QString &name, const QString &caption, QWidget *field, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setBuddy(field);
    return label;
}
} // namespace

MainWindow::MainWindow(SettingsStore settings, const DriveSource &drives, MessageBoxes &messages,
                       FileDialog &files, QWidget *parent)
    : QWidget(parent), m_settings(std::move(settings)), m_drives(drives), m_messages(messages),
      m_files(files), m_life(CountInterval)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Quillet"));
    setAcceptDrops(true);
    createControls();
    placeControls();
    orderTabs();
    connectCommands();
    connectLife();
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
    if (choice.outcome == FileChoice::Outcome::Chosen)
        m_sourceEdit->setText(choice.path);
    else if (choice.outcome == FileChoice::Outcome::Failed)
        m_messages.inform(this, tr("There was an error") + u'\n' + choice.error.message());
}

void MainWindow::onExportClicked()
{
    const SettingsRecord record{m_sourceEdit->text(), m_destinationList->driveString(),
                                qint16(m_txtCheckBox->value()), characterSet()};
    if (record.sourcePath.isEmpty()) {
        m_messages.inform(this, tr("You need to pick an input file name first"));
        return;
    }
    m_exportRecord = record;
    m_destination = m_destinationList->entry();
    ExportRun run(Path::typed(record.sourcePath), m_destination.folder,
                  record.extensionFlag == FlagCheckBox::Checked);
    run.setDestinationCheck(m_drives.connectionCheck(m_destination));
    run.setCharacterSet(record.characterSet);
    m_life.startExport([run](ExportProgress &progress) mutable { return run.run(progress); });
}

void MainWindow::onExitClicked()
{
    close();
}

void MainWindow::endOnTerminationRequest()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    m_life.handle(ExportLife::Event::TerminationAsked);
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

// During an export the window stays until the note being written is whole
// and what was written is flushed, and during a removal until the note being
// removed is gone and the record knows it; the window then closes again.
void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_life.mayEnd()) {
        event->accept();
        return;
    }
    event->ignore();
    m_life.handle(ExportLife::Event::EndAsked);
}

void MainWindow::connectLife()
{
    connect(&m_life, &ExportLife::stateChanged, this, &MainWindow::showState);
    connect(&m_life, &ExportLife::notesSaved, this,
            [this](qint64 count) { m_exportButton->setText(ExportLife::countText(count)); });
    connect(&m_life, &ExportLife::exportEnded, this, &MainWindow::exportEnded);
    connect(&m_life, &ExportLife::removalEnded, this, &MainWindow::removalEnded);
}

// While work runs, Exit alone takes input, and keeps the focus; it is greyed
// while the stop it asked for comes, and live again once that is overdue, so
// that a person can end the program all the same.
void MainWindow::showState(ExportLife::State state)
{
    using State = ExportLife::State;
    const bool working = state == State::Exporting || state == State::Removing ||
                         state == State::Stopping || state == State::WaitingOnPlayer;
    // Exit takes the focus before Export greys out, which would pass it on to
    // a control that takes no input now. A message or question takes input,
    // which the blocker would discard; while it is open it keeps every other
    // input from the window itself.
    if (!working)
        m_inputBlocker.reset();
    else if (!m_inputBlocker)
        m_inputBlocker = std::make_unique<InputBlocker>(*m_exitButton);
    m_exportButton->setEnabled(state == State::Idle);
    m_exitButton->setEnabled(state != State::Stopping && state != State::Ended);
    switch (state) {
    case State::Idle:
        m_exportButton->setText(tr("Export"));
        m_exportButton->setFocus();
        break;
    case State::WaitingOnPlayer:
        m_exitButton->setFocus();
        break;
    case State::AskingToEnd:
        // Asked once this close is over: the work may end, and close the
        // window, while the question is open.
        QMetaObject::invokeMethod(this, &MainWindow::askToEndNow, Qt::QueuedConnection);
        break;
    case State::Ended:
        closeIfOver();
        break;
    default:
        break;
    }
}

void MainWindow::askToEndNow()
{
    if (m_life.state() != ExportLife::State::AskingToEnd)
        return;
    const bool endNow = m_messages.ask(
        this,
        tr("The player does not answer. End Quillet now? The note being written may be cut short."),
        tr("&Yes"), tr("&No"));
    // The work may have ended while the question was open; the window has
    // then closed.
    if (m_life.state() != ExportLife::State::AskingToEnd)
        return;
    m_life.handle(endNow ? ExportLife::Event::EndNowChosen : ExportLife::Event::KeepWaitingChosen);
    if (endNow)
        emit endNowRequested();
}

// A request to end that closed the message ends the program unsaved; one that
// closed the question counts as Keep.
void MainWindow::exportEnded(const ExportResult &result)
{
    if (!isReporting())
        return;
    m_messages.inform(this, result.message());
    const bool goneNotesOffered =
        result.succeeded() && !result.goneNotes.isEmpty() && isReporting();
    if (goneNotesOffered && askToRemove(result.goneNotes)) {
        startRemoval(result.goneNotes);
        return;
    }
    if (result.succeeded())
        saveSettings();
    m_life.handle(ExportLife::Event::Reported);
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
    // The player may have been unplugged while the question was open.
    m_life.startRemoval([check = m_drives.connectionCheck(m_destination),
                         folder = m_destination.folder, goneNotes](ExportProgress &progress) {
        return ExportRun::removeGoneNotes(folder, goneNotes, progress, check);
    });
}

void MainWindow::removalEnded(const RemovalResult &result)
{
    if (!isReporting())
        return;
    m_messages.inform(this, result.message());
    saveSettings();
    m_life.handle(ExportLife::Event::Reported);
}

// As after any completed export, whatever became of the notes of memos that
// are gone; never once the program is asked to end.
void MainWindow::saveSettings()
{
    if (!isReporting())
        return;
    if (const Result<void> saved = m_settings.save(m_exportRecord); !saved)
        m_messages.inform(this, saved.error().message());
}

bool MainWindow::isReporting() const
{
    return m_life.state() == ExportLife::State::Reporting;
}

// The window closes, and with it the program, once the life has ended and its
// work is over. The question whether to end without waiting, open when the
// player answered after all, has no point any more.
void MainWindow::closeIfOver()
{
    if (m_life.state() != ExportLife::State::Ended || m_life.working())
        return;
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    close();
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
    m_browseButton = new CommandButton(QStringLiteral("browseButton"), tr("Browse . . ."), this);
    m_instructionsEdit = new QPlainTextEdit(instructionsText(), this);
    m_instructionsEdit->setObjectName(QStringLiteral("instructionsEdit"));
    m_instructionsEdit->setAccessibleName(tr("Instructions"));
    m_instructionsEdit->setTabChangesFocus(true);
    m_instructionsEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_instructionsEdit->setAcceptDrops(false);
    m_instructionsLabel = makeLabel(QStringLiteral("instructionsLabel"), tr("Instructions"),
                                    m_instructionsEdit, this);
    m_exitButton = new CommandButton(QStringLiteral("exitButton"), tr("Exit"), this);
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
    m_exportButton = new CommandButton(QStringLiteral("exportButton"), tr("Export"), this);
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
    LayoutScale::place(*this, boxes, ClientPixels);
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
