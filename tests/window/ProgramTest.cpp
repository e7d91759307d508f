#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

namespace {
// Long enough for a loaded machine; the test waits for things to happen, never
// for a time to pass.
constexpr int PatienceMs = 60'000;

QString runAndRead(const QString &program, const QStringList &arguments,
                   const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(PatienceMs) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Without a desktop session, as over ssh, and in English: the C locale speaks
// it whatever languages LANGUAGE lists.
QProcessEnvironment withoutDesktop()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(variable));
    environment.insert("LC_ALL", "C");
    environment.insert("LANGUAGE", "de");
    return environment;
}

// Standard output or error begins as expected; an empty expectation means
// nothing is printed there.
testing::AssertionResult printedAsExpected(const QString &printed, const QString &start)
{
    if (start.isEmpty() ? printed.isEmpty() : printed.startsWith(start))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "printed: " << printed.toStdString();
}

// Whether the program has ended or ends within the test's patience. Qt's
// waitForFinished() says false for a program that ended before it was called.
bool endsInTime(QProcess &program)
{
    return program.state() == QProcess::NotRunning || program.waitForFinished(PatienceMs);
}

// The note of memo "Memo N" that HeldSource writes.
QByteArray heldNote(int memo)
{
    return "Memo " + QByteArray::number(memo) + "\r\n" + QByteArray(1000, 'x') + "\r\n";
}

// An export held mid-way by construction, whatever the machine's speed: its
// memos come from a file whose reads wait for the test (quillet-held-source,
// through FUSE). The program reads, and writes the notes of, about 128 memos
// freely; from there each read waits until the test lets it read one memo
// more, or all the rest.
class HeldSource
{
public:
    // Memos "Memo 1" to "Memo `memos`" in category "c", each of about 1 KB.
    HeldSource(const QString &folder, int memos) : m_folder(folder)
    {
        QByteArray text;
        for (int memo = 1; memo <= memos; ++memo)
            text += heldNote(memo) + "0\r\nc\r\n";
        QFile content(m_folder + "/held-content");
        if (!content.open(QIODevice::WriteOnly) || content.write(text) != text.size())
            m_failure = "could not write " + content.fileName() + ": " + content.errorString();
        m_step = heldNote(memos).size() + 6;
    }
    ~HeldSource()
    {
        m_server.closeWriteChannel();
        m_server.terminate();
        if (!m_server.waitForFinished(PatienceMs))
            m_server.kill();
    }
    HeldSource(const HeldSource &) = delete;
    HeldSource &operator=(const HeldSource &) = delete;

    // Mounts the file; a sentence where this machine gives no FUSE, or where
    // the mount failed.
    QString mount()
    {
        QFile fuse("/dev/fuse");
        if (!fuse.open(QIODevice::ReadWrite))
            return "/dev/fuse is not usable here: " + fuse.errorString();
        if (!m_failure.isEmpty())
            return m_failure;
        QDir().mkpath(m_folder + "/held");
        // Well past the start of the file that the program reads first to tell
        // its form, so that the export is under way when it is held.
        const qint64 holdFrom = qint64{128} * 1024;
        m_server.start(QStringLiteral(QUILLET_HELD_SOURCE),
                       {m_folder + "/held-content", QString::number(holdFrom),
                        QString::number(m_step), m_folder + "/held"});
        if (!nextLine(nullptr).startsWith("mounted"))
            return "quillet-held-source could not mount its file: " +
                   QString::fromLocal8Bit(m_server.readAllStandardError());
        return {};
    }
    QString path() const { return m_folder + "/held/memos.txt"; }
    // Whether the export waits on a read now: false where the program ended.
    bool waitUntilHeld(QProcess &program) { return nextLine(&program).startsWith("held "); }
    // Lets the export read one memo more.
    void step() { tell("step\n"); }
    // Lets the export read to the end.
    void letGo() { tell("free\n"); }

private:
    // Written at once: no event loop sends it later.
    void tell(const char *word)
    {
        m_server.write(word);
        m_server.waitForBytesWritten(PatienceMs);
    }
    // The server's next line, "" where `program`, if given, ends first.
    QByteArray nextLine(QProcess *program)
    {
        const auto ended = [program] {
            return program &&
                   (program->state() == QProcess::NotRunning || program->waitForFinished(0));
        };
        const QDeadlineTimer deadline(PatienceMs);
        while (!m_server.canReadLine() && !deadline.hasExpired() &&
               m_server.state() != QProcess::NotRunning && !ended())
            m_server.waitForReadyRead(10);
        return m_server.readLine();
    }

    QString m_folder;
    QString m_failure;
    qsizetype m_step = 0;
    QProcess m_server;
};

// The notes of a held export that stopped: `saved` whole notes, of the first
// memos in turn.
testing::AssertionResult savedWhole(const QString &notes, qsizetype saved)
{
    const QStringList written = QDir(notes).entryList(QDir::Files | QDir::Hidden);
    if (written.size() != saved)
        return testing::AssertionFailure() << written.size() << " notes, not " << saved;
    for (int memo = 1; memo <= saved; ++memo) {
        QFile note(notes + "/Memo " + QString::number(memo));
        if (!note.open(QIODevice::ReadOnly) || note.readAll() != heldNote(memo))
            return testing::AssertionFailure() << note.fileName().toStdString() << " is not whole";
    }
    return testing::AssertionSuccess();
}

// What a script, or a person at a terminal, sees of each command line. The
// rows export in turn onto one player; in the arguments and what is printed,
// $SOURCE, $MISSING and $PLAYER stand for files of the test. No X server
// answers at display :599.
TEST(ProgramCommandLine, AnswersEachCommandLineWithItsExitStatusAndWithoutADesktop)
{
    enum class Way { Script, IntoAFullDisk };
    const QByteArray three = "Plan\r\n0\r\nWork\r\nList\r\n0\r\nHome\r\nIdea\r\n0\r\nHome\r\n";
    const QByteArray planOnly = "Plan\r\n0\r\nWork\r\n";
    const QStringList exportToPlayer{"--export", "$SOURCE", "--to", "$PLAYER"};
    const struct
    {
        const char *name;
        QStringList arguments;
        QByteArray memos; // written to $SOURCE first, unless empty
        Way way;
        int status;
        const char *output; // its start; "" for nothing
        const char *error;
        const char *variable = nullptr; // "NAME=value", set for this row
    } cases[] = {
        {"version", {"--version"}, {}, Way::Script, 0, "Quillet " QUILLET_VERSION "\n", ""},
        {"version into a full disk",
         {"--version"},
         {},
         Way::IntoAFullDisk,
         1,
         "",
         "Could not write to standard output: No space left on device.\n"},
        {"Qt's options, as a session manager hands them",
         {"-session", "1234abcd", "-style=fusion", "--reverse", "--version"},
         {},
         Way::Script,
         0,
         "Quillet " QUILLET_VERSION "\n",
         ""},
        {"help", {"--help"}, {}, Way::Script, 0, "Usage: ", ""},
        {"unknown option",
         {"--frobnicate"},
         {},
         Way::Script,
         2,
         "",
         "Unknown option 'frobnicate'.\nUsage: "},
        {"a file, to open in the window",
         {"memos.txt"},
         {},
         Way::Script,
         1,
         "",
         "Quillet needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY is not set).\n"},
        {"two files",
         {"memos.txt", "more.txt"},
         {},
         Way::Script,
         2,
         "",
         "Quillet takes one file to open in its window, and that alone, without --export or "
         "another option: \"more.txt\".\nUsage: "},
        {"a file beside an export",
         {"--export", "$SOURCE", "--to", "$PLAYER", "memos.txt"},
         {},
         Way::Script,
         2,
         "",
         "Quillet takes one file to open in its window, and that alone, without --export or "
         "another option: \"memos.txt\".\nUsage: "},
        {"no argument",
         {},
         {},
         Way::Script,
         1,
         "",
         "Quillet needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY is not set).\n"},
        {"a display that no server answers",
         {},
         {},
         Way::Script,
         1,
         "",
         "Quillet could not reach the graphical desktop that DISPLAY=:599 names, so it cannot "
         "open its window.\n",
         "DISPLAY=:599"},
        {"Qt's display option, naming no server",
         {"-session", "1234abcd", "-display", ":599"},
         {},
         Way::Script,
         1,
         "",
         "Quillet could not reach the graphical desktop that -display :599 names, so it cannot "
         "open its window.\n"},
        {"export without a player",
         {"--export", "$SOURCE"},
         {},
         Way::Script,
         2,
         "",
         "--export needs --to FOLDER, the folder of the player.\nUsage: "},
        {"player without an export",
         {"--to", "$PLAYER", "--txt"},
         {},
         Way::Script,
         2,
         "",
         "--to, --txt, --remove-gone and --charset go with --export SOURCE.\nUsage: "},
        {"unknown character set", exportToPlayer + QStringList{"--charset", "utf-7"}, three,
         Way::Script, 2, "",
         "Quillet does not know the character set \"utf-7\"; it reads windows-1252, "
         "windows-1250, windows-1251, windows-1253, windows-1254, windows-1255, windows-1256, "
         "windows-1257, windows-1258, windows-874, shift_jis, gbk, cp949, big5, macintosh.\n"
         "Usage: "},
        {"export in a character set named in any case",
         exportToPlayer + QStringList{"--charset", "CP1251"}, three, Way::Script, 0,
         "3 memos saved to $PLAYER/Notes/\n", ""},
        {"export", exportToPlayer, three, Way::Script, 0, "3 memos saved to $PLAYER/Notes/\n", ""},
        {"export leaving notes of memos that are gone", exportToPlayer, planOnly, Way::Script, 0,
         "1 memo saved to $PLAYER/Notes/\n2 notes of memos no longer in the export remain; "
         "--remove-gone removes them.\n",
         ""},
        {"export removing them", exportToPlayer + QStringList{"--remove-gone"}, planOnly,
         Way::Script, 0,
         "1 memo saved to $PLAYER/Notes/\n2 notes of memos no longer in the export were "
         "removed.\n",
         ""},
        {"export in German", exportToPlayer, planOnly, Way::Script, 0,
         "1 Memo gespeichert in $PLAYER/Notes/\n", "", "LC_ALL=de_DE.UTF-8"},
        {"export of a file that is not there",
         {"--export", "$MISSING", "--to", "$PLAYER"},
         {},
         Way::Script,
         1,
         "",
         "Could not open the export file \"$MISSING\": "},
    };
    // On the RAM disk where there is one: the export's flush waits for no disk.
    QTemporaryDir folder(QDir("/dev/shm").exists() ? "/dev/shm/quillet-test-XXXXXX"
                                                   : QDir::tempPath() + "/quillet-test-XXXXXX");
    const auto filled = [&folder](QString text) {
        return text.replace("$SOURCE", folder.filePath("memos.txt"))
            .replace("$MISSING", folder.filePath("missing.txt"))
            .replace("$PLAYER", folder.filePath("player"));
    };
    QDir().mkpath(folder.filePath("player"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.memos.isEmpty()) {
            QFile source(folder.filePath("memos.txt"));
            ASSERT_TRUE(source.open(QIODevice::WriteOnly) && source.write(c.memos) > 0);
        }
        QStringList arguments;
        for (const QString &argument : c.arguments)
            arguments << filled(argument);
        QProcess program;
        QProcessEnvironment environment = withoutDesktop();
        if (c.variable) {
            const QStringList variable = QString::fromLatin1(c.variable).split(u'=');
            environment.insert(variable[0], variable[1]);
        }
        program.setProcessEnvironment(environment);
        if (c.way == Way::IntoAFullDisk)
            program.setStandardOutputFile("/dev/full");
        program.start(QStringLiteral(QUILLET_PROGRAM), arguments);
        ASSERT_TRUE(program.waitForFinished(PatienceMs)) << program.errorString().toStdString();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.status);
        const QString output = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString error = QString::fromLocal8Bit(program.readAllStandardError());
        EXPECT_TRUE(printedAsExpected(output, filled(QString::fromUtf8(c.output))));
        EXPECT_TRUE(printedAsExpected(error, filled(QString::fromUtf8(c.error))));
    }
}

// An export held mid-way: stopped there by SIGTERM, it ends after a whole note
// and says how many memos it saved; watched on a terminal, it shows the count
// there, written over itself, and clears it at the end.
TEST(ProgramCommandLine, StopsAfterAWholeNoteAndShowsTheCountOnATerminal)
{
    enum class Way { Stopped, OnATerminal };
    const struct
    {
        const char *name;
        Way way;
        int status;
        const char *output; // its start
        const char *error;
    } cases[] = {
        {"export stopped by SIGTERM", Way::Stopped, 128 + 15, "", "The export was stopped: "},
        {"export watched on a terminal", Way::OnATerminal, 0, "\rNotes ", ""},
    };
    constexpr int Memos = 300;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder(QDir("/dev/shm").exists() ? "/dev/shm/quillet-test-XXXXXX"
                                                       : QDir::tempPath() + "/quillet-test-XXXXXX");
        HeldSource source(folder.path(), Memos);
        if (const QString failure = source.mount(); !failure.isEmpty())
            GTEST_SKIP() << failure.toStdString();
        const QString player = folder.filePath("player");
        QDir().mkpath(player);
        const QStringList arguments{"--export", source.path(), "--to", player};
        QProcess program;
        program.setProcessEnvironment(withoutDesktop());
        if (c.way == Way::OnATerminal) {
            // script(1) gives the program a terminal and shows what it writes there.
            const QString command =
                (QStringList{QStringLiteral(QUILLET_PROGRAM)} + arguments).join(u' ');
            program.start("script", {"-qec", command + " 2>&1 >/dev/null", "/dev/null"});
        } else {
            program.start(QStringLiteral(QUILLET_PROGRAM), arguments);
        }
        ASSERT_TRUE(source.waitUntilHeld(program))
            << "the export was never held; the program printed: "
            << program.readAllStandardError().toStdString();
        QByteArray shown;
        if (c.way == Way::Stopped) {
            program.terminate();
            // Let on one memo at a time until the stop has reached the export.
            int steps = 0;
            do
                source.step();
            while (++steps < Memos && source.waitUntilHeld(program));
        } else {
            // The count is on the terminal while the export waits.
            const QDeadlineTimer deadline(PatienceMs);
            while (!shown.contains("\rNotes ") && !deadline.hasExpired() &&
                   program.waitForReadyRead(int(deadline.remainingTime())))
                shown += program.readAllStandardOutput();
        }
        source.letGo();
        ASSERT_TRUE(endsInTime(program)) << program.errorString().toStdString();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.status);
        const QString output = QString::fromLocal8Bit(shown + program.readAllStandardOutput());
        const QString error = QString::fromLocal8Bit(program.readAllStandardError());
        EXPECT_TRUE(printedAsExpected(output, QString::fromUtf8(c.output)));
        EXPECT_TRUE(printedAsExpected(error, QString::fromUtf8(c.error)));
        const QString notes = player + "/Notes/c";
        if (c.way == Way::Stopped) {
            const qsizetype saved = QDir(notes).entryList(QDir::Files).size();
            EXPECT_LT(saved, Memos) << "the stop never reached the export";
            EXPECT_TRUE(savedWhole(notes, saved));
            EXPECT_TRUE(error.contains(saved == 1
                                           ? QStringLiteral(": 1 memo saved to ")
                                           : QStringLiteral(": %1 memos saved to ").arg(saved)))
                << error.toStdString();
        } else {
            // Written over itself, then cleared.
            EXPECT_TRUE(output.endsWith("\r\x1b[K")) << output.toStdString();
            EXPECT_TRUE(savedWhole(notes, Memos));
        }
    }
}

// What the program meets on a desktop, with a session bus, which Qt's
// accessibility bridge talks to, and without one. Either is the test's own: the
// machine's session bus, or one that dbus-x11 would start for the display, is
// never reached.
enum class SessionBus { Private, None };

class ProgramUnderXvfb : public testing::TestWithParam<SessionBus>
{
protected:
    void SetUp() override
    {
        for (const char *tool : {"Xvfb", "xwininfo", "import", "identify"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (packages xvfb, x11-utils, imagemagick)";
        if (GetParam() == SessionBus::Private &&
            QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed (package dbus-daemon)";
        ASSERT_TRUE(startServer());
        ASSERT_TRUE(startSessionBus()) << m_bus.readAllStandardError().toStdString();
    }

    void TearDown() override
    {
        for (QProcess *process : {&m_program, &m_server, &m_bus}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(PatienceMs))
                    process->kill();
            }
        }
    }

    bool startServer()
    {
        // Xvfb picks a free display itself and tells its number on a pipe. It
        // must not reset, as it does by default when its last client leaves: a
        // program still starting when xwininfo, looking for its window, leaves
        // would find no display.
        m_server.setProcessChannelMode(QProcess::SeparateChannels);
        m_server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp",
                                "-noreset"});
        const QDeadlineTimer deadline(PatienceMs);
        while (!m_server.canReadLine() && !deadline.hasExpired())
            m_server.waitForReadyRead(int(deadline.remainingTime()));
        const QString display = QString::fromLatin1(m_server.readLine()).trimmed();
        if (display.isEmpty())
            return false;
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert("DISPLAY", ":" + display);
        m_environment.insert("QT_QPA_PLATFORM", "xcb");
        return true;
    }

    // A session bus of the test's own, with the machine's services (the
    // accessibility bus among them), its socket in the test's folder; or an
    // address where no bus answers.
    bool startSessionBus()
    {
        m_environment.remove("AT_SPI_BUS_ADDRESS");
        if (GetParam() == SessionBus::None) {
            m_environment.insert("DBUS_SESSION_BUS_ADDRESS",
                                 "unix:path=" + m_busFolder.filePath("no-bus"));
            return true;
        }
        m_bus.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address=1",
                                    "--address=unix:dir=" + m_busFolder.path()});
        const QDeadlineTimer deadline(PatienceMs);
        while (!m_bus.canReadLine() && !deadline.hasExpired() &&
               m_bus.state() != QProcess::NotRunning)
            m_bus.waitForReadyRead(int(deadline.remainingTime()));
        const QString address = QString::fromLatin1(m_bus.readLine()).trimmed();
        m_environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
        return !address.isEmpty();
    }

    QString windowId(const QString &title)
    {
        const QString tree = runAndRead("xwininfo", {"-root", "-tree"}, m_environment);
        const QRegularExpression line("(0x[0-9a-f]+) \"" + QRegularExpression::escape(title) +
                                      "\": .* (\\d+)x(\\d+)\\+");
        const QRegularExpressionMatch match = line.match(tree);
        return match.hasMatch() ? match.captured(1) : QString();
    }

    // Starts the program and returns its window's id, or "" when none appeared.
    QString startProgram(const QString &workingFolder, const QProcessEnvironment &environment)
    {
        m_program.setProcessEnvironment(environment);
        m_program.setWorkingDirectory(workingFolder);
        m_program.start(QStringLiteral(QUILLET_PROGRAM), {});
        if (!m_program.waitForStarted(PatienceMs))
            return {};
        // The program's state is only known after a wait: one that ends at
        // once (it could not reach the display, say) is told with what it
        // printed.
        QString id;
        const QDeadlineTimer deadline(PatienceMs);
        while (id.isEmpty() && !deadline.hasExpired() && !m_program.waitForFinished(50))
            id = windowId("Quillet");
        return id;
    }

    std::string whyNoWindow()
    {
        return "no window titled Quillet appeared; the program " +
               std::string(m_program.state() == QProcess::NotRunning ? "ended" : "runs") +
               " and printed: " + m_program.readAllStandardError().toStdString();
    }

    QProcessEnvironment m_environment;
    QTemporaryDir m_busFolder;
    QProcess m_server;
    QProcess m_bus;
    QProcess m_program;
};

INSTANTIATE_TEST_SUITE_P(DBus, ProgramUnderXvfb,
                         testing::Values(SessionBus::Private, SessionBus::None),
                         [](const testing::TestParamInfo<SessionBus> &bus) {
                             return bus.param == SessionBus::Private ? "WithASessionBus"
                                                                     : "WithoutASessionBus";
                         });

TEST_P(ProgramUnderXvfb, OpensTheWindowAndSavesAScreenshot)
{
    QTemporaryDir working;
    const QString id = startProgram(working.path(), m_environment);
    ASSERT_FALSE(id.isEmpty()) << whyNoWindow();

    // Until the window has painted, its picture is a single colour.
    const QString shot = QStringLiteral(QUILLET_SCREENSHOT);
    const QDeadlineTimer deadline(PatienceMs);
    QString colours;
    while (!deadline.hasExpired() && colours.toInt() < 16) {
        runAndRead("import", {"-window", id, shot}, m_environment);
        colours = runAndRead("identify", {"-format", "%k", shot}, m_environment);
    }
    EXPECT_GE(colours.toInt(), 16)
        << "the window never painted; last picture: " << shot.toStdString();
    EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended by itself";
    std::cout << "Screenshot saved to " << shot.toStdString() << std::endl;
}

// At the end of a session the display goes away, and Qt ends the program where
// it finds the connection lost. An export running then stops after a whole
// note and records and flushes what it wrote; nothing else is written, the
// settings included.
TEST_P(ProgramUnderXvfb, LosingTheDisplayEndsAnExportAfterAWholeNote)
{
    for (const char *tool : {"xdotool", "xkill"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed (packages xdotool, x11-utils)";
    // The home folder is the destination the list offers first.
    QTemporaryDir folder(QDir("/dev/shm").exists() ? "/dev/shm/quillet-test-XXXXXX"
                                                   : QDir::tempPath() + "/quillet-test-XXXXXX");
    const QString home = folder.filePath("home");
    const QString working = folder.filePath("working");
    const QString settings = working + "/quillet.dat";
    QDir().mkpath(home);
    QDir().mkpath(working);
    constexpr int Memos = 300;
    HeldSource source(folder.path(), Memos);
    if (const QString failure = source.mount(); !failure.isEmpty())
        GTEST_SKIP() << failure.toStdString();
    QFile saved(settings);
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly) &&
                saved.write(('"' + source.path() + "\",\"" + home + "\",0\r\n").toUtf8()) > 0);
    saved.close();
    const QDateTime settingsWritten = QFileInfo(settings).lastModified();
    QProcessEnvironment environment = m_environment;
    environment.insert("HOME", home);
    environment.insert("LC_ALL", "C");

    const QString id = startProgram(working, environment);
    ASSERT_FALSE(id.isEmpty()) << whyNoWindow();
    // From Browse, where the focus starts, to Export, and press it.
    runAndRead("xdotool", {"windowfocus", "--sync", id}, environment);
    runAndRead("xdotool", {"key", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "space"}, environment);
    ASSERT_TRUE(source.waitUntilHeld(m_program))
        << "the export was never held; the program printed: "
        << m_program.readAllStandardError().toStdString();
    runAndRead("xkill", {"-id", id}, environment);
    // Let on one memo at a time until the program has heard that the display
    // is gone.
    int steps = 0;
    do
        source.step();
    while (++steps < Memos && source.waitUntilHeld(m_program));
    source.letGo();
    ASSERT_TRUE(endsInTime(m_program));

    EXPECT_EQ(m_program.exitStatus(), QProcess::NormalExit);
    const QString notes = home + "/Notes/c";
    const qsizetype written = QDir(notes).entryList(QDir::Files | QDir::Hidden).size();
    EXPECT_GT(written, 0);
    EXPECT_LT(written, Memos) << "the export did not stop";
    EXPECT_TRUE(savedWhole(notes, written));
    // Recorded as a stopped export records, which needs no journal any more.
    EXPECT_TRUE(QFile::exists(home + "/.quillet-notes"));
    EXPECT_FALSE(QFile::exists(home + "/.quillet-notes-journal"));
    EXPECT_EQ(QFileInfo(settings).lastModified(), settingsWritten);
}
} // namespace
