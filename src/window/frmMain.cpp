#include "frmMain.h"

#include "CommandButton.h"
#include "DriveList.h"
#include "DriveSource.h"
#include "ExportRun.h"
#include "ExportWorker.h"
#include "FileDialog.h"
#include "FlagCheckBox.h"
#include "InputBlocker.h"
#include "LayoutScale.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

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

// The file a typed source path names: "~" and "~/..." stand for the home
// folder, as in a shell. The field keeps what was typed.
QString sourceFileOf(const QString &typedPath)
{
    if (typedPath == u'~')
        return QDir::homePath();
    if (typedPath.startsWith(QStringLiteral("~/")))
        return QDir::homePath() + typedPath.mid(1);
    return typedPath;
}

// Asked on the export's thread, right before the notes folder is made: a player
// unplugged after it was chosen leaves an empty folder behind, and a drive
// shown as not connected must never be written to.
ExportRun::DestinationCheck connectionCheck(const DriveSource &drives, const DriveEntry &drive)
{
    if (drive.connected && !drive.isVolume())
        return {};
    return [&drives, drive]() -> Result<void> {
        if (drive.connected && drives.isStillMounted(drive))
            return {};
        return Error(Error::Reason::NotConnected)
            .during(Error::Action::WriteNotes, Path(drive.folder));
    };
}
} // namespace

frmMain::frmMain(SettingsStore settings, const DriveSource &drives, MessageBoxes &messages,
                 FileDialog &files, QWidget *parent)
    : QWidget(parent), m_settings(std::move(settings)), m_drives(drives), m_messages(messages),
      m_files(files)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillet"));
    createControls();
    placeControls();
    orderTabs();
    connectCommands();
    Form_Load();
}

frmMain::~frmMain() = default;

QString frmMain::contactAddress()
{
    return QStringLiteral("quillet@users.noreply.invalid");
}

QString frmMain::instructionsText()
{
    const QStringList paragraphs{
        tr("Start in Palm Desktop. Click the \"Memo\" button to display your memos. Then go "
           "under File and choose Export . . . In the next dialog box click the Export button. "
           "Then under Export Type choose \"Text (*.txt)\" and choose \"All\". The file name can "
           "be anything, but why not \"memos.txt\"?"),
        tr("If you want you can then delete everything in the iPod's \"Notes\" folder, "
           "otherwise old files will remain and memos still on the Palm will be overwritten"),
        tr("Then you can open this program, click Open and choose the \"memos.txt\" file you "
           "created in Palm Desktop. Then select the drive letter of your iPod (make sure it is "
           "hooked up!). If you have run the program before it will use your previous values "
           "for the memos.txt file and drive letter. Then click \"Export\" and all the memos "
           "will be written to the iPod."),
        tr("For questions or source code please write to %1").arg(contactAddress())};
    return paragraphs.join(QStringLiteral("\r\n\r\n")) + QStringLiteral("\r\n");
}

FileRequest frmMain::openRequest(const QString &sourcePath)
{
    // "Description (patterns)": the description keeps its own parentheses,
    // the last pair holds the pattern the dialog applies.
    const QString textFiles = tr("Text Files (*.txt)") + QStringLiteral(" (*.txt)");
    return {sourcePath.isEmpty() ? QString() : QFileInfo(sourceFileOf(sourcePath)).absolutePath(),
            {tr("All files (*.*)") + QStringLiteral(" (*)"), textFiles,
             tr("Batch Files (*.bat)") + QStringLiteral(" (*.bat)")},
            textFiles};
}

void frmMain::Form_Load()
{
    m_settings.load(*this);
}

void frmMain::cmdOpen_Click()
{
    const FileChoice choice = m_files.chooseFile(this, openRequest(txtSource->text()));
    switch (choice.outcome) {
    case FileChoice::Outcome::Chosen:
        txtSource->setText(choice.path);
        break;
    case FileChoice::Outcome::Cancelled:
        break;
    case FileChoice::Outcome::Failed:
        m_messages.inform(this, tr("There was an error"));
        break;
    }
}

void frmMain::cmdExport_Click()
{
    const SettingsRecord record{txtSource->text(), Drive1->driveString(),
                                qint16(chkTextExt->value())};
    if (record.sourcePath.isEmpty()) {
        m_messages.inform(this, tr("You need to pick an input file name first"));
        return;
    }
    startExport(record, Drive1->entry());
}

void frmMain::cmdExit_Click()
{
    close();
}

void frmMain::endOnTerminationRequest()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    close();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // During an export the window stays until the note being written is whole
    // and what was written is flushed; the export then ends, saves nothing and
    // closes the window again.
    if (!m_exporting) {
        event->accept();
        return;
    }
    m_exitRequested = true;
    if (m_worker)
        m_worker->requestStop();
    // Shows that the request was heard while the export comes to its end.
    cmdExit->setEnabled(false);
    event->ignore();
}

void frmMain::startExport(const SettingsRecord &record, const DriveEntry &destination)
{
    m_exporting = true;
    m_exportRecord = record;
    m_exportHadFocus = cmdExport->hasFocus();
    cmdExport->setEnabled(false);
    m_inputBlocker = std::make_unique<InputBlocker>(*cmdExit);
    ExportRun run(Path(sourceFileOf(record.sourcePath)), Path(destination.folder),
                  record.extensionFlag == FlagCheckBox::Checked);
    run.setDestinationCheck(connectionCheck(m_drives, destination));
    m_worker =
        std::make_unique<ExportWorker>(std::move(run), *cmdExport, *this,
                                       [this](const ExportResult &result) { exportEnded(result); });
}

void frmMain::exportEnded(const ExportResult &result)
{
    m_worker->showFinalCount();
    m_worker.reset();
    m_inputBlocker.reset();
    if (!m_exitRequested)
        report(result, m_exportRecord);
    m_exporting = false;
    if (m_exitRequested) {
        close();
        return;
    }
    cmdExport->setText(tr("Export"));
    cmdExport->setEnabled(true);
    if (m_exportHadFocus)
        cmdExport->setFocus();
}

void frmMain::report(const ExportResult &result, const SettingsRecord &record)
{
    m_messages.inform(this, result.message());
    // A termination request that closed the message ends the program unsaved.
    if (!result.succeeded() || m_exitRequested)
        return;
    if (const Result<void> saved = m_settings.save(record); !saved)
        m_messages.inform(this, saved.error().message());
}

void frmMain::setSourcePath(const QString &path)
{
    txtSource->setText(path);
}

void frmMain::selectDrive(const QString &driveString)
{
    Drive1->selectDrive(driveString);
}

bool frmMain::setExtensionFlag(int flag)
{
    return chkTextExt->setValue(flag);
}

void frmMain::createControls()
{
    // Created in keyboard order, which is also the order of the focus chain;
    // labels take no focus and follow their fields.
    cmdOpen = makeButton(QStringLiteral("cmdOpen"), tr("Browse . . ."), this);
    txtMemo = new QPlainTextEdit(instructionsText(), this);
    txtMemo->setObjectName(QStringLiteral("txtMemo"));
    txtMemo->setAccessibleName(tr("Instructions"));
    txtMemo->setTabChangesFocus(true);
    txtMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Label2 = makeLabel(QStringLiteral("Label2"), tr("Instructions"), txtMemo, this);
    cmdExit = makeButton(QStringLiteral("cmdExit"), tr("Exit"), this);
    Drive1 = new DriveList(m_drives, this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    // Spoken on systems that name a combo box by its own name; elsewhere the
    // labels below name it and its name is its value.
    Drive1->setAccessibleName(tr("Destination"));
    txtSource = new QLineEdit(this);
    txtSource->setObjectName(QStringLiteral("txtSource"));
    txtSource->setAccessibleName(tr("Source"));
    Label4 = makeLabel(QStringLiteral("Label4"), tr("Source:"), txtSource, this);
    cmdExport = makeButton(QStringLiteral("cmdExport"), tr("Export"), this);
    Label6 = makeLabel(QStringLiteral("Label6"), tr("Destination:"), Drive1, this);
    Label5 = makeLabel(QStringLiteral("Label5"), tr("iPod Drive Letter"), Drive1, this);
    chkTextExt = new FlagCheckBox(tr("Check here to add .txt to memo names on iPod"), this);
    chkTextExt->setObjectName(QStringLiteral("chkTextExt"));
}

void frmMain::placeControls()
{
    using Fit = LayoutScale::Fit;
    const QList<LayoutScale::Box> boxes{
        {Label4, {16, 8, 57, 17}, Fit::Whole},        {txtSource, {80, 8, 177, 19}, Fit::Height},
        {cmdOpen, {264, 8, 65, 25}, Fit::Whole},      {Label6, {16, 40, 57, 17}, Fit::Whole},
        {Drive1, {80, 40, 81, 21}, Fit::Height},      {Label5, {176, 40, 105, 25}, Fit::Whole},
        {cmdExport, {24, 80, 81, 25}, Fit::Whole},    {cmdExit, {224, 80, 81, 25}, Fit::Whole},
        {chkTextExt, {32, 128, 273, 17}, Fit::Whole}, {Label2, {16, 152, 97, 17}, Fit::Whole},
        {txtMemo, {16, 176, 297, 177}, Fit::Nothing}};
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

void frmMain::orderTabs()
{
    const QList<QWidget *> order{cmdOpen,   txtMemo,   cmdExit,   Drive1,
                                 txtSource, cmdExport, chkTextExt};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    cmdOpen->setFocus();
}

void frmMain::connectCommands()
{
    connect(cmdOpen, &QPushButton::clicked, this, &frmMain::cmdOpen_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmMain::cmdExport_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
}
