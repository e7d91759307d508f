#include "PostedInput.h"
#include "QtPrinters.h"
#include "SoftLimit.h"
#include "TerminationSignal.h"
#include "WindowUnderTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <semaphore>
#include <unistd.h>
#include <vector>

namespace {
// The example of two memos in two categories, as the organiser exports it.
const QByteArray TwoMemos = "Groceries\r\nmilk\r\neggs\r\n\r\n0\r\nPersonal\r\n\r\n"
                            "Meeting: plan\r\nagenda\r\n\r\n1\r\nBusiness\r\n";

QByteArray settingsLine(const QString &source, const QString &drive, const QString &flag,
                        const QString &characters = "windows-1252")
{
    return ('"' + source + "\",\"" + drive + "\"," + flag + ",\"" + characters + "\"\r\n").toUtf8();
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// The files and folders below a folder, as "Work" and "Work/Plan", sorted.
QStringList entriesBelow(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(folder).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

class MainWindowCommands : public testing::Test
{
protected:
    QLineEdit *source() const { return test.control<QLineEdit>("sourceEdit"); }
    QComboBox *drive() const { return test.control<QComboBox>("destinationList"); }
    QCheckBox *extension() const { return test.control<QCheckBox>("txtCheckBox"); }
    QPushButton *exportButton() const { return test.control<QPushButton>("exportButton"); }

    // Opens the window on the player with the example export in the source field.
    void openReadyToExport(const QByteArray &memos = TwoMemos)
    {
        test.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&test.window()));
        source()->setText(test.writeFile("source/memos.txt", memos));
        drive()->setCurrentText(test.playerFolder());
    }

    bool settingsSavedAnywhere() const { return settingsSavedAnywhere(test); }
    static bool settingsSavedAnywhere(const WindowUnderTest &test)
    {
        for (const QString &folder :
             {test.workingFolder(), test.programFolder(), test.userFolder()})
            if (QFile::exists(QDir(folder).filePath("quillet.dat")))
                return true;
        return false;
    }

    WindowUnderTest test;
};

struct StartCase
{
    const char *name;
    QByteArray settings; // "" for no file; PLAYER stands for the player's drive
    const char *source;
    const char *drive; // nullptr for the other drive, where the list starts
    Qt::CheckState box;
};

// A drive that is not there is shown as not connected and the box is restored
// all the same, so that the next export onto that player names notes as before.
TEST_F(MainWindowCommands, RestoresWhatTheSettingsHoldAndStopsSilentlyAtAMalformedRecord)
{
    const StartCase cases[] = {
        {"no file", "", "", nullptr, Qt::Unchecked},
        {"all three", R"("/x/memos.txt","PLAYER",1)", "/x/memos.txt", "PLAYER", Qt::Checked},
        {"grayed box", R"("/x/memos.txt","PLAYER",2)", "/x/memos.txt", "PLAYER",
         Qt::PartiallyChecked},
        {"drive not there", R"("/x/memos.txt","/media/gone",1)", "/x/memos.txt",
         "/media/gone (not connected)", Qt::Checked},
        {"flag out of range", R"("/x/memos.txt","PLAYER",3)", "/x/memos.txt", "PLAYER",
         Qt::Unchecked},
        {"two fields", R"("/x/memos.txt","PLAYER")", "", nullptr, Qt::Unchecked},
        {"not a settings file", "\x01\x02garbage", "", nullptr, Qt::Unchecked},
    };
    for (const StartCase &c : cases) {
        SCOPED_TRACE(c.name);
        WindowUnderTest start;
        if (!c.settings.isEmpty()) {
            QByteArray line =
                QByteArray(c.settings).replace("PLAYER", start.playerFolder().toUtf8());
            start.writeFile("working/quillet.dat", line + "\r\n");
        }
        start.open(false);
        EXPECT_EQ(start.control<QLineEdit>("sourceEdit")->text(), QString::fromUtf8(c.source));
        EXPECT_EQ(start.control<QComboBox>("destinationList")->currentText(),
                  c.drive ? QString(c.drive).replace("PLAYER", start.playerFolder())
                          : start.otherDriveFolder());
        EXPECT_EQ(start.control<QCheckBox>("txtCheckBox")->checkState(), c.box);
        EXPECT_TRUE(start.messages.texts().isEmpty());
    }
}

TEST_F(MainWindowCommands, BrowseStartsInTheSourceFolderAndFillsTheSourceOnlyWhenAFileWasChosen)
{
    const struct
    {
        const char *name;
        FileChoice answer;
        const char *source;
        QStringList messages;
    } cases[] = {
        {"chosen", {FileChoice::Outcome::Chosen, "/home/me/memos.txt"}, "/home/me/memos.txt", {}},
        {"cancelled", {FileChoice::Outcome::Cancelled, {}}, "", {}},
        {"failed, saying why",
         {FileChoice::Outcome::Failed,
          {},
          Error(Error::Reason::NotOneFileChosen, 2)
              .during(Error::Action::ChooseSource, Path("/home/me"))},
         "",
         {"There was an error\nCould not take the file chosen in the folder \"/home/me\": the "
          "Open dialog gave back 2 files where one was asked for."}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WindowUnderTest browse;
        browse.open();
        browse.control<QLineEdit>("sourceEdit")->setText(browse.sourceFolder() + "/memos.txt");
        browse.files.setNextAnswer(c.answer);
        QTest::mouseClick(browse.control<QPushButton>("browseButton"), Qt::LeftButton);
        ASSERT_EQ(browse.files.requests().size(), 1);
        EXPECT_EQ(browse.files.requests()[0].startFolder, browse.sourceFolder());
        EXPECT_EQ(browse.files.requests()[0].selectedFilter,
                  browse.files.requests()[0].nameFilters.value(0));
        EXPECT_EQ(browse.control<QLineEdit>("sourceEdit")->text(),
                  *c.source ? QString(c.source) : browse.sourceFolder() + "/memos.txt");
        EXPECT_EQ(browse.messages.texts(), c.messages);
    }
}

// Dropped as the window system delivers it, on the middle of a control.
void drop(QWidget &on, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    QWindow *window = on.window()->windowHandle();
    const QPoint at = on.mapTo(on.window(), on.rect().center());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &dropped);
}

// One file dropped from a file manager becomes the source, also where it lands
// on a field, as `quillet FILE` makes it; anything else dropped is not taken.
// The choices keep the source before until an export of the new one completes.
TEST_F(MainWindowCommands, AFileDroppedOnTheWindowBecomesTheSourceAndIsSavedOnceExported)
{
    const struct
    {
        const char *name;
        const char *control;
        int files; // local files dropped
        bool web;  // a web address dropped instead
    } cases[] = {
        {"one file on a label", "destinationLabel", 1, false},
        {"one file on the source field", "sourceEdit", 1, false},
        {"one file on the instructions", "instructionsEdit", 1, false},
        {"two files", "sourceEdit", 2, false},
        {"a web address", "sourceEdit", 0, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WindowUnderTest dropping;
        dropping.writeFile("program/quillet.dat", settingsLine("/x/old.txt", "/media/gone", "0"));
        const QString dropped = dropping.writeFile("source/memos.txt", TwoMemos);
        QList<QUrl> urls(c.files, QUrl::fromLocalFile(dropped));
        if (c.web)
            urls << QUrl("https://example.invalid/memos.txt");
        dropping.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dropping.window()));
        const QString instructions = MainWindow::instructionsText();
        drop(*dropping.control<QWidget>(c.control), urls);
        const bool taken = c.files == 1 && !c.web;
        EXPECT_EQ(dropping.control<QLineEdit>("sourceEdit")->text(),
                  taken ? dropped : "/x/old.txt");
        EXPECT_EQ(dropping.control<QPlainTextEdit>("instructionsEdit")->toPlainText(),
                  QString(instructions).replace("\r\n", "\n"));
        if (!taken)
            continue;
        dropping.control<QComboBox>("destinationList")->setCurrentText(dropping.playerFolder());
        EXPECT_EQ(contentOf(dropping.programFolder() + "/quillet.dat"),
                  settingsLine("/x/old.txt", "/media/gone", "0"));
        dropping.control<QPushButton>("exportButton")->click();
        ASSERT_TRUE(dropping.waitForTheExportToEnd());
        EXPECT_EQ(dropping.messages.texts(),
                  QStringList{"2 memos saved to " + dropping.playerFolder() + "/Notes/"});
        dropping.open(false);
        EXPECT_EQ(dropping.control<QLineEdit>("sourceEdit")->text(), dropped);
    }
}

TEST_F(MainWindowCommands, ExportWithoutASourceOnlySaysSo)
{
    test.open();
    QTest::mouseClick(exportButton(), Qt::LeftButton);
    EXPECT_EQ(test.messages.texts(), QStringList{"You need to pick an input file name first"});
    EXPECT_FALSE(QFile::exists(test.playerFolder() + "/Notes"));
    EXPECT_FALSE(settingsSavedAnywhere());
    EXPECT_EQ(exportButton()->text(), "Export");
    EXPECT_TRUE(exportButton()->isEnabled());
}

TEST_F(MainWindowCommands, ExportWritesTheNotesShowingProgressThenSavesTheChoices)
{
    openReadyToExport();
    extension()->setCheckState(Qt::PartiallyChecked);
    test.control<QComboBox>("charactersList")->setCurrentText("Greek (Windows-1253)");
    QString captionDuringMessage;
    bool enabledDuringMessage = true;
    const QWidget *focusDuringMessage = nullptr;
    test.messages.onNextMessage([&](const QString &) {
        captionDuringMessage = exportButton()->text();
        enabledDuringMessage = exportButton()->isEnabled();
        focusDuringMessage = QApplication::focusWidget();
    });

    QTest::mouseClick(exportButton(), Qt::LeftButton);
    ASSERT_TRUE(test.waitForTheExportToEnd());

    const QString notes = test.playerFolder() + "/Notes/";
    EXPECT_EQ(test.messages.texts(), QStringList{"2 memos saved to " + notes});
    EXPECT_EQ(contentOf(notes + "Personal/Groceries"), "Groceries\r\nmilk\r\neggs\r\n");
    EXPECT_EQ(contentOf(notes + "Business/Meeting_ plan"), "Meeting: plan\r\nagenda\r\n");
    EXPECT_EQ(captionDuringMessage, "Notes 2");
    EXPECT_FALSE(enabledDuringMessage);
    EXPECT_EQ(focusDuringMessage, test.control<QPushButton>("exitButton"));
    EXPECT_EQ(exportButton()->text(), "Export");
    EXPECT_TRUE(exportButton()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), exportButton());

    test.open(false);
    EXPECT_EQ(source()->text(), test.sourceFolder() + "/memos.txt");
    EXPECT_EQ(drive()->currentText(), test.playerFolder());
    EXPECT_EQ(extension()->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(test.control<QComboBox>("charactersList")->currentText(), "Greek (Windows-1253)");
}

// An iPod shows only its first 1,000 notes and the first 4 KB of each; the
// message says so where a limit is passed, and only onto an iPod. Before that
// it names a memo the export file ends inside of, and the memos that hold
// bytes that are no text in the characters chosen.
TEST_F(MainWindowCommands, TheMessageTellsWhatWasLeftOutAndWhatTheIPodWillNotShow)
{
    QByteArray thousandMemos;
    for (int i = 0; i < 1000; ++i)
        thousandMemos += "N\r\n0\r\n\r\n";
    const QByteArray twoLongMemos = ("L\r\n" + QByteArray(4093, 'x') + "\r\n0\r\n\r\n").repeated(2);
    const struct
    {
        const char *name;
        bool iPod;
        QByteArray memos;
        int saved;
        QString limits; // after the completion message
        const char *characters = "Western European (Windows-1252)";
    } cases[] = {
        {"no limit passed", true, TwoMemos, 2, ""},
        {"more than a thousand notes", true, thousandMemos, 1000,
         "\n\nThe iPod shows only the first 1000 notes; its Notes folder now holds 1001."},
        {"notes longer than 4 KB", true, twoLongMemos, 2,
         "\n\nThe iPod shows only the first 4 KB of a note; 2 memos longer than that were "
         "saved in parts, each leading to the next."},
        {"not an iPod", false, thousandMemos + twoLongMemos, 1002, ""},
        {"export ending inside a memo", true, twoLongMemos + "Unfinished\r\nbody\r\n", 2,
         "\n\nThe export file ends inside the memo \"Unfinished\" (line 9), which was not "
         "saved.\n\nThe iPod shows only the first 4 KB of a note; 2 memos longer than that "
         "were saved in parts, each leading to the next."},
        {"bytes that are no Greek", false, "\xC1\xE8\xE7\xED\xAA\r\n0\r\nc\r\n" + TwoMemos, 3,
         "\n\n1 memo holds bytes that are not text in Greek (Windows-1253); each such byte "
         "shows as \"\uFFFD\". If the memos were written in another character set, export them "
         "again with that one.",
         "Greek (Windows-1253)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WindowUnderTest exporting;
        if (c.iPod)
            exporting.writeFile("player/iPod_Control/.keep", "");
        exporting.writeFile("player/Notes/Older", "left by an earlier run\r\n");
        exporting.open();
        exporting.control<QLineEdit>("sourceEdit")
            ->setText(exporting.writeFile("source/memos.txt", c.memos));
        exporting.control<QComboBox>("destinationList")->setCurrentText(exporting.playerFolder());
        exporting.control<QComboBox>("charactersList")->setCurrentText(c.characters);
        exporting.control<QPushButton>("exportButton")->click();
        ASSERT_TRUE(exporting.waitForTheExportToEnd());

        ASSERT_EQ(exporting.messages.texts().size(), 1);
        EXPECT_EQ(exporting.messages.texts().first(),
                  QString::number(c.saved) + " memos saved to " + exporting.playerFolder() +
                      "/Notes/" + c.limits);
    }
}

// Where the chosen player is not mounted, by whatever road, or does not
// answer, Export says so and writes nothing: never into another drive, never
// into the folder left behind.
TEST_F(MainWindowCommands, ExportGoesIntoTheChosenEntrysFolderOnlyWhileItsVolumeIsMounted)
{
    enum class Player {
        Mounted,
        UnpluggedAfterChosen,
        GoneWhenListReadAgain,
        AbsentAtStart,
        // A saved player that is still to answer when Export is pressed.
        AnswersWhenExported,
        SavedAndSilent,
        ListedAsNotAnswering,
        SilentWhenExported,
    };
    const struct
    {
        const char *name;
        const char *folder;
        const char *label; // appended to the drive string
        const char *device;
        Player player;
    } cases[] = {
        {"home folder named like a labelled volume", "home/memos [1]", "", "", Player::Mounted},
        {"label holding a bracket", "player", " [MY]POD]", "/dev/sdz1", Player::Mounted},
        {"player unplugged after it was chosen", "player", " [IPOD]", "/dev/sdz1",
         Player::UnpluggedAfterChosen},
        {"player gone when the list is read again", "player", " [IPOD]", "/dev/sdz1",
         Player::GoneWhenListReadAgain},
        {"saved player not plugged in at start", "player", " [IPOD]", "/dev/sdz1",
         Player::AbsentAtStart},
        {"saved player answering only once the export asks", "player", " [IPOD]", "",
         Player::AnswersWhenExported},
        {"saved player that never answers", "player", " [IPOD]", "", Player::SavedAndSilent},
        {"player listed as not answering", "player", " [IPOD]", "/dev/sdz1",
         Player::ListedAsNotAnswering},
        {"player not answering when the export starts", "player", " [IPOD]", "/dev/sdz1",
         Player::SilentWhenExported},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WindowUnderTest exporting;
        const QString folder =
            QFileInfo(exporting.writeFile(QString(c.folder) + "/.keep", "")).absolutePath();
        const QString driveString = folder + c.label;
        const DriveEntry other{Path(exporting.otherDriveFolder()), exporting.otherDriveFolder()};
        DriveEntry entry{Path(folder), driveString, c.device};
        entry.answering = c.player != Player::ListedAsNotAnswering;
        exporting.drives.setDrives({other, entry});
        if (c.player == Player::UnpluggedAfterChosen)
            exporting.drives.unplug(folder);
        if (c.player == Player::SilentWhenExported || c.player == Player::SavedAndSilent)
            exporting.drives.silence(folder);
        const bool fromSettings = c.player == Player::AbsentAtStart ||
                                  c.player == Player::AnswersWhenExported ||
                                  c.player == Player::SavedAndSilent;
        if (c.player == Player::AnswersWhenExported)
            exporting.drives.onMountCheck([&exporting, other, entry] {
                exporting.drives.setDrives({other, entry});
            });
        if (fromSettings) {
            exporting.drives.setDrives({other});
            exporting.writeFile("working/quillet.dat",
                                settingsLine("/x/memos.txt", driveString, "0"));
        }
        exporting.open();
        const QString sourcePath = exporting.writeFile("source/memos.txt", TwoMemos);
        exporting.control<QLineEdit>("sourceEdit")->setText(sourcePath);
        auto *drive = exporting.control<QComboBox>("destinationList");
        if (c.player == Player::ListedAsNotAnswering)
            drive->setCurrentText(driveString + " (not answering)");
        else if (!fromSettings)
            drive->setCurrentText(driveString);
        if (c.player == Player::GoneWhenListReadAgain) {
            exporting.drives.setDrives({other});
            drive->showPopup();
            drive->hidePopup();
        }

        exporting.control<QPushButton>("exportButton")->click();
        ASSERT_TRUE(exporting.waitForTheExportToEnd());

        const QString saved = exporting.programFolder() + "/quillet.dat";
        const bool silent = c.player == Player::ListedAsNotAnswering ||
                            c.player == Player::SilentWhenExported ||
                            c.player == Player::SavedAndSilent;
        if (c.player != Player::Mounted && c.player != Player::AnswersWhenExported) {
            EXPECT_EQ(exporting.messages.texts(),
                      QStringList{"Could not write the notes to \"" + folder + "\": " +
                                  (silent ? "the player did not answer within 2 seconds; its "
                                            "file system may hang"
                                          : "no player is connected at that path") +
                                  ".\nNo memos were saved."});
            EXPECT_FALSE(QFile::exists(folder + "/Notes"));
            EXPECT_FALSE(QFile::exists(exporting.otherDriveFolder() + "/Notes"));
            EXPECT_FALSE(QFile::exists(saved));
        } else {
            EXPECT_EQ(exporting.messages.texts(),
                      QStringList{"2 memos saved to " + folder + "/Notes/"});
            EXPECT_TRUE(QFile::exists(folder + "/Notes/Personal/Groceries"));
            EXPECT_EQ(contentOf(saved), settingsLine(sourcePath, driveString, "0"));
        }
    }
}

// Exit (clicked, or pressed from the keyboard, where Tab cannot take the focus
// away from it), the close box and each termination signal, alone or as a
// session's end sends them, asked for while the export runs: the note being
// written is finished, the export stops there, nothing is saved and the window
// closes. Browse, clicked at the same time, stays dead.
TEST_F(MainWindowCommands, ExitTheCloseBoxOrASignalDuringAnExportEndItAfterTheNoteBeingWritten)
{
    // Sent to the process, as a terminal or a logout sends it; raised in this
    // thread, which blocks it, it would wait there unseen.
    const auto sending = [](std::initializer_list<int> numbers) {
        return [numbers = std::vector<int>(numbers)](WindowUnderTest &) {
            for (const int signal : numbers)
                ::kill(::getpid(), signal);
        };
    };
    // Tab and Shift+Tab first: they must leave the focus on Exit.
    const auto pressing = [](Qt::Key key, Qt::KeyboardModifiers modifiers, const char *text) {
        return [=](WindowUnderTest &t) {
            PostedInput::key(t.window(), Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
            PostedInput::key(t.window(), Qt::Key_Backtab, Qt::ShiftModifier, QString());
            PostedInput::key(t.window(), key, modifiers, QString::fromLatin1(text));
        };
    };
    const struct
    {
        const char *name;
        std::function<void(WindowUnderTest &)> askToEnd;
    } cases[] = {
        {"Exit clicked",
         [](WindowUnderTest &t) { PostedInput::click(*t.control<QPushButton>("exitButton")); }},
        {"close box",
         [](WindowUnderTest &t) {
             QCoreApplication::postEvent(t.window().windowHandle(), new QCloseEvent);
         }},
        {"Exit by Return", pressing(Qt::Key_Return, Qt::NoModifier, "\r")},
        {"Exit by keypad Enter", pressing(Qt::Key_Enter, Qt::KeypadModifier, "\r")},
        {"Exit by Space", pressing(Qt::Key_Space, Qt::NoModifier, " ")},
        {"SIGTERM", sending({SIGTERM})},
        {"SIGINT", sending({SIGINT})},
        {"SIGHUP", sending({SIGHUP})},
        {"SIGTERM then SIGHUP, as at a session's end", sending({SIGTERM, SIGHUP})},
        {"SIGINT then SIGTERM", sending({SIGINT, SIGTERM})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // The export asks whether the player is still mounted right before it
        // makes the notes folder; it is held there until the window has heard
        // the request, which it shows by greying Exit.
        std::binary_semaphore heard(0);
        WindowUnderTest ending;
        ending.drives.setDrives(
            {{Path(ending.otherDriveFolder()), ending.otherDriveFolder()},
             {Path(ending.playerFolder()), ending.playerFolder(), "/dev/sdz1"}});
        ending.drives.onMountCheck([&heard] { heard.acquire(); });
        ending.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&ending.window()));
        // As started from a terminal, whatever started the tests.
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            std::signal(signal, SIG_DFL);
        TerminationSignal termination;
        QObject::connect(&termination, &TerminationSignal::received, &ending.window(),
                         &MainWindow::endOnTerminationRequest);
        termination.listen();
        ending.control<QLineEdit>("sourceEdit")
            ->setText(ending.writeFile("source/memos.txt", TwoMemos));
        ending.control<QComboBox>("destinationList")->setCurrentText(ending.playerFolder());

        // Both arrive once the export runs, before any note.
        PostedInput::click(*ending.control<QPushButton>("browseButton"));
        c.askToEnd(ending);
        ending.control<QPushButton>("exportButton")->click();
        const auto *exit = ending.control<QPushButton>("exitButton");
        const bool requestHeard =
            QTest::qWaitFor([exit] { return !exit->isEnabled(); }, WindowUnderTest::PatienceMs);
        heard.release();
        EXPECT_TRUE(requestHeard);
        ASSERT_TRUE(ending.waitForTheExportToEnd());

        const QString notes = ending.playerFolder() + "/Notes/";
        EXPECT_EQ(contentOf(notes + "Personal/Groceries"), "Groceries\r\nmilk\r\neggs\r\n");
        EXPECT_FALSE(QFile::exists(notes + "Business"));
        EXPECT_TRUE(ending.messages.texts().isEmpty());
        EXPECT_TRUE(ending.files.requests().isEmpty());
        for (const QString &folder :
             {ending.workingFolder(), ending.programFolder(), ending.userFolder()})
            EXPECT_FALSE(QFile::exists(folder + "/quillet.dat")) << folder.toStdString();
        EXPECT_FALSE(ending.window().isVisible());
    }
}

// An export that waits on a player that does not answer cannot stop: once the
// stop asked for has not come in time, Exit is live again, and a second Exit or
// close asks whether to end the program at once. A termination request asks
// nothing and the export goes on waiting.
TEST_F(MainWindowCommands, ASecondExitWhileThePlayerDoesNotAnswerAsksWhetherToEndAtOnce)
{
    const auto clickExit = [](WindowUnderTest &t) {
        t.control<QPushButton>("exitButton")->click();
    };
    const struct
    {
        const char *name;
        std::function<void(WindowUnderTest &)> askAgain;
        bool answer;
        bool asked;
        bool answersWhileAsked; // the player, before the person does
    } cases[] = {
        {"Exit clicked, then No", clickExit, false, true, false},
        {"Exit clicked, then Yes", clickExit, true, true, false},
        {"close box, then Yes", [](WindowUnderTest &t) { t.window().close(); }, true, true, false},
        {"termination request", [](WindowUnderTest &t) { t.window().endOnTerminationRequest(); },
         true, false, false},
        {"the player answering while asked", clickExit, true, true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // The player hangs as the export asks whether it is still mounted.
        std::binary_semaphore answers(0);
        WindowUnderTest ending;
        ending.drives.setDrives(
            {{Path(ending.otherDriveFolder()), ending.otherDriveFolder()},
             {Path(ending.playerFolder()), ending.playerFolder(), "/dev/sdz1"}});
        ending.drives.onMountCheck([&answers] { answers.acquire(); });
        ending.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&ending.window()));
        int endNowRequests = 0;
        QObject::connect(&ending.window(), &MainWindow::endNowRequested,
                         [&endNowRequests] { ++endNowRequests; });
        ending.control<QLineEdit>("sourceEdit")
            ->setText(ending.writeFile("source/memos.txt", TwoMemos));
        ending.control<QComboBox>("destinationList")->setCurrentText(ending.playerFolder());
        ending.messages.setAnswer(c.answer);
        auto *exit = ending.control<QPushButton>("exitButton");

        ending.control<QPushButton>("exportButton")->click();
        exit->click();
        EXPECT_FALSE(exit->isEnabled());
        EXPECT_TRUE(
            QTest::qWaitFor([exit] { return exit->isEnabled(); }, WindowUnderTest::PatienceMs));
        if (c.answersWhileAsked) {
            ending.messages.onNextQuestion([&](const QString &) {
                answers.release();
                EXPECT_TRUE(ending.waitForTheExportToEnd());
            });
        }
        c.askAgain(ending);
        if (c.asked) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !ending.messages.questions().isEmpty(); },
                                        WindowUnderTest::PatienceMs));
        }
        EXPECT_EQ(endNowRequests, c.asked && c.answer && !c.answersWhileAsked ? 1 : 0);
        if (!c.answersWhileAsked) {
            EXPECT_TRUE(ending.window().isVisible());
            answers.release();
        }
        ASSERT_TRUE(ending.waitForTheExportToEnd());

        EXPECT_EQ(ending.messages.questions(),
                  c.asked ? QStringList{"The player does not answer. End Quillet now? The note "
                                        "being written may be cut short."}
                          : QStringList());
        EXPECT_FALSE(ending.window().isVisible());
        EXPECT_TRUE(ending.messages.texts().isEmpty());
        EXPECT_FALSE(settingsSavedAnywhere(ending));
    }
}

// An export run again without some memos offers to remove the notes an
// earlier export wrote for them; the choices are saved whatever the answer,
// as after any completed export, unless the program is asked to end.
TEST_F(MainWindowCommands, OffersToRemoveTheNotesOfMemosThatAreGoneThenSavesTheChoices)
{
    const QByteArray planOnly = "Plan\r\n0\r\nWork\r\n";
    const QByteArray three = planOnly + "List\r\n0\r\nHome\r\nIdea\r\n0\r\nHome\r\n";
    QByteArray twelveMore = planOnly;
    QStringList oldNotes;
    for (int i = 1; i <= 12; ++i) {
        const QByteArray title = "Old " + QByteArray::number(i).rightJustified(2, '0');
        twelveMore += title + "\r\n0\r\nHome\r\n";
        oldNotes << "Home/" + title;
    }
    const QString twoGone = "2 notes on the player were written by an earlier export for memos "
                            "that are no longer in it. Remove them?\n\nHome/Idea\nHome/List";
    enum class WhileAsked { Nothing, Unplugged, TerminationRequest, ExitClicked };
    const struct
    {
        const char *name;
        QByteArray earlier; // memos of the first export; the second has only Plan
        bool remove;
        WhileAsked whileAsked;
        QString question;    // "" for none
        QString lastMessage; // after the removal, "" for none; PLAYER for the player's folder
        QStringList notesLeft;
        bool saved; // else the program ended, saving nothing
    } cases[] = {
        {"kept",
         three,
         false,
         WhileAsked::Nothing,
         twoGone,
         "",
         {"Home", "Home/Idea", "Home/List", "Work", "Work/Plan"},
         true},
        {"removed",
         three,
         true,
         WhileAsked::Nothing,
         twoGone,
         "2 notes were removed.",
         {"Work", "Work/Plan"},
         true},
        {"more than ten", twelveMore, false, WhileAsked::Nothing,
         "12 notes on the player were written by an earlier export for memos that are no "
         "longer in it. Remove them?\n\n" +
             oldNotes.first(10).join('\n') + "\nand 2 more",
         "", QStringList{"Home"} + oldNotes + QStringList{"Work", "Work/Plan"}, true},
        {"none gone", planOnly, false, WhileAsked::Nothing, "", "", {"Work", "Work/Plan"}, true},
        {"player unplugged while asked",
         planOnly + "List\r\n0\r\nHome\r\n",
         true,
         WhileAsked::Unplugged,
         "1 note on the player was written by an earlier export for a memo that is no longer "
         "in it. Remove it?\n\nHome/List",
         "0 notes were removed.\nCould not write the notes to \"PLAYER\": no player is "
         "connected at that path.",
         {"Home", "Home/List", "Work", "Work/Plan"},
         true},
        {"Exit clicked as the removal starts",
         three,
         true,
         WhileAsked::ExitClicked,
         twoGone,
         "",
         {"Home", "Home/Idea", "Home/List", "Work", "Work/Plan"},
         false},
        {"termination request while asked",
         three,
         true,
         WhileAsked::TerminationRequest,
         twoGone,
         "",
         {"Home", "Home/Idea", "Home/List", "Work", "Work/Plan"},
         false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // The removal asks whether the player is still mounted before it
        // starts; it is held there until the window has heard Exit, which it
        // shows by greying it.
        std::binary_semaphore exitHeard(0);
        WindowUnderTest exporting;
        const QString player = exporting.playerFolder();
        exporting.drives.setDrives(
            {{Path(exporting.otherDriveFolder()), exporting.otherDriveFolder()},
             {Path(player), player, "/dev/sdz1"}});
        exporting.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&exporting.window()));
        exporting.control<QComboBox>("destinationList")->setCurrentText(player);
        const auto exportFrom = [&](const char *name, const QByteArray &memos) {
            QString path = exporting.writeFile(QString("source/") + name, memos);
            exporting.control<QLineEdit>("sourceEdit")->setText(path);
            exporting.control<QPushButton>("exportButton")->click();
            return path;
        };
        const QString earlierSource = exportFrom("earlier.txt", c.earlier);
        ASSERT_TRUE(exporting.waitForTheExportToEnd());
        exporting.messages.setAnswer(c.remove);
        exporting.messages.onNextQuestion([&](const QString &) {
            if (c.whileAsked == WhileAsked::Unplugged)
                exporting.drives.unplug(player);
            if (c.whileAsked == WhileAsked::TerminationRequest)
                exporting.window().endOnTerminationRequest();
            if (c.whileAsked == WhileAsked::ExitClicked) {
                exporting.drives.onMountCheck([&exitHeard] { exitHeard.acquire(); });
                PostedInput::click(*exporting.control<QPushButton>("exitButton"));
            }
        });
        const QString laterSource = exportFrom("later.txt", planOnly);
        if (c.whileAsked == WhileAsked::ExitClicked) {
            const auto *exit = exporting.control<QPushButton>("exitButton");
            EXPECT_TRUE(QTest::qWaitFor([exit] { return !exit->isEnabled(); },
                                        WindowUnderTest::PatienceMs));
            exitHeard.release();
        }
        ASSERT_TRUE(exporting.waitForTheExportToEnd());

        EXPECT_EQ(exporting.messages.questions(),
                  c.question.isEmpty() ? QStringList() : QStringList{c.question});
        ASSERT_GE(exporting.messages.texts().size(), 2);
        EXPECT_EQ(exporting.messages.texts().mid(2),
                  c.lastMessage.isEmpty()
                      ? QStringList()
                      : QStringList{QString(c.lastMessage).replace("PLAYER", player)});
        EXPECT_EQ(entriesBelow(player + "/Notes"), c.notesLeft);
        EXPECT_EQ(contentOf(exporting.programFolder() + "/quillet.dat"),
                  settingsLine(c.saved ? laterSource : earlierSource, player, "0"));
        EXPECT_EQ(exporting.window().isVisible(), c.saved);
    }
}

TEST_F(MainWindowCommands, AFailedExportSaysWhyRestoresTheButtonAndSavesNothing)
{
    const struct
    {
        const char *name;
        QByteArray memos;
        rlim_t largestNote; // that the player takes
        bool removeSource;
        const char *mentioned;
        QStringList notesWritten;
    } cases[] = {
        {"source missing", TwoMemos, RLIM_INFINITY, true, "memos.txt", {}},
        {"a note the player cannot take",
         TwoMemos + "Long\r\n" + QByteArray(300, 'x') + "\r\n0\r\n\r\n",
         200,
         false,
         "Long",
         {"Personal/Groceries", "Business/Meeting_ plan"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WindowUnderTest failing;
        failing.open();
        const QString sourcePath = failing.writeFile("source/memos.txt", c.memos);
        failing.control<QLineEdit>("sourceEdit")->setText(sourcePath);
        failing.control<QComboBox>("destinationList")->setCurrentText(failing.playerFolder());
        if (c.removeSource)
            QFile::remove(sourcePath);

        auto *button = failing.control<QPushButton>("exportButton");
        {
            const SoftLimit fileSize(RLIMIT_FSIZE, c.largestNote);
            button->click();
            ASSERT_TRUE(failing.waitForTheExportToEnd());
        }

        ASSERT_EQ(failing.messages.texts().size(), 1);
        EXPECT_TRUE(failing.messages.texts().first().contains(c.mentioned))
            << failing.messages.texts().first().toStdString();
        for (const QString &note : c.notesWritten)
            EXPECT_TRUE(QFile::exists(failing.playerFolder() + "/Notes/" + note))
                << note.toStdString();
        EXPECT_EQ(button->text(), "Export");
        EXPECT_TRUE(button->isEnabled());
        for (const QString &folder :
             {failing.workingFolder(), failing.programFolder(), failing.userFolder()})
            EXPECT_FALSE(QFile::exists(folder + "/quillet.dat")) << folder.toStdString();
    }
}

TEST_F(MainWindowCommands, AnInstalledProgramKeepsItsChoicesInThePerUserFolder)
{
    // An installed program's folder cannot be written; a folder below a plain
    // file cannot be written even by root.
    const QString blocker = test.writeFile("installed", "a file, not a folder");
    test.useProgramFolder(blocker + "/bin");
    openReadyToExport();
    exportButton()->click();
    ASSERT_TRUE(test.waitForTheExportToEnd());

    EXPECT_EQ(test.messages.texts().size(), 1);
    EXPECT_EQ(contentOf(test.userFolder() + "/quillet.dat"),
              settingsLine(test.sourceFolder() + "/memos.txt", test.playerFolder(), "0"));
    test.open(false);
    EXPECT_EQ(drive()->currentText(), test.playerFolder());
}

TEST_F(MainWindowCommands, SettingsThatCannotBeSavedAnywhereAreReportedAfterTheExport)
{
    const QString blocker = test.writeFile("installed", "a file, not a folder");
    test.useProgramFolder(blocker + "/bin");
    QDir(test.userFolder()).removeRecursively();
    test.writeFile("user", "a file, not a folder");
    openReadyToExport();
    exportButton()->click();
    ASSERT_TRUE(test.waitForTheExportToEnd());

    ASSERT_EQ(test.messages.texts().size(), 2);
    EXPECT_TRUE(test.messages.texts()[0].startsWith("2 memos saved to "));
    EXPECT_TRUE(test.messages.texts()[1].contains("quillet.dat"))
        << test.messages.texts()[1].toStdString();
    EXPECT_EQ(exportButton()->text(), "Export");
    EXPECT_TRUE(exportButton()->isEnabled());
}

// "~" is the home folder, as in a shell, for the export; the field and the
// settings keep what was typed.
TEST_F(MainWindowCommands, ATildeInTheSourceStandsForTheHomeFolder)
{
    const struct
    {
        const char *typed;
        const char *message; // HOME and PLAYER stand for the folders
    } cases[] = {
        {"~/source/memos.txt", "2 memos saved to PLAYER/Notes/"},
        {"~", "Could not open the export file \"HOME\": "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        WindowUnderTest exporting;
        const QString home = QFileInfo(exporting.sourceFolder()).path();
        const QByteArray homeBefore = qgetenv("HOME");
        qputenv("HOME", home.toUtf8());
        exporting.writeFile("source/memos.txt", TwoMemos);
        exporting.open();
        exporting.control<QLineEdit>("sourceEdit")->setText(c.typed);
        exporting.control<QComboBox>("destinationList")->setCurrentText(exporting.playerFolder());
        exporting.control<QPushButton>("exportButton")->click();
        const bool ended = exporting.waitForTheExportToEnd();
        qputenv("HOME", homeBefore);
        ASSERT_TRUE(ended);

        ASSERT_EQ(exporting.messages.texts().size(), 1);
        EXPECT_TRUE(exporting.messages.texts()[0].startsWith(
            QString(c.message).replace("HOME", home).replace("PLAYER", exporting.playerFolder())))
            << exporting.messages.texts()[0].toStdString();
        EXPECT_EQ(exporting.control<QLineEdit>("sourceEdit")->text(), c.typed);
    }
}

TEST_F(MainWindowCommands, ExitEndsAtOnceAndSavesNothing)
{
    test.writeFile("program/quillet.dat", settingsLine("/x/memos.txt", "/media/gone", "1"));
    test.open();
    source()->setText("/elsewhere/memos.txt");
    QTest::mouseClick(test.control<QPushButton>("exitButton"), Qt::LeftButton);

    EXPECT_FALSE(test.window().isVisible());
    EXPECT_EQ(contentOf(test.programFolder() + "/quillet.dat"),
              settingsLine("/x/memos.txt", "/media/gone", "1"));
    EXPECT_FALSE(QFile::exists(test.userFolder() + "/quillet.dat"));
    EXPECT_TRUE(test.messages.texts().isEmpty());
}
} // namespace
