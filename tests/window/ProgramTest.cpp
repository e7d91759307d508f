#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
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

// Without a desktop session, as over ssh, and in English.
QProcessEnvironment withoutDesktop()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE"})
        environment.remove(QString::fromLatin1(variable));
    environment.insert("LC_ALL", "C");
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

// What a script, or a person at a terminal, sees of each command line.
TEST(ProgramCommandLine, AnswersEachCommandLineWithItsExitStatusAndWithoutADesktop)
{
    const struct
    {
        const char *argument; // nullptr for none
        int status;
        const char *output;
        const char *error;
    } cases[] = {
        {"--version", 0, "Quillet " QUILLET_VERSION "\n", ""},
        {"--help", 0, "Usage: ", ""},
        {"--frobnicate", 2, "", "Unknown option 'frobnicate'.\nUsage: "},
        {"memos.txt", 2, "", "Quillet takes no file or other argument: \"memos.txt\".\nUsage: "},
        {nullptr, 1, "",
         "Quillet needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY is not set).\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.argument ? c.argument : "no argument");
        QProcess program;
        program.setProcessEnvironment(withoutDesktop());
        program.start(QStringLiteral(QUILLET_PROGRAM),
                      c.argument ? QStringList{c.argument} : QStringList());
        ASSERT_TRUE(program.waitForFinished(PatienceMs)) << program.errorString().toStdString();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.status);
        EXPECT_TRUE(printedAsExpected(QString::fromLocal8Bit(program.readAllStandardOutput()),
                                      QString::fromUtf8(c.output)));
        EXPECT_TRUE(printedAsExpected(QString::fromLocal8Bit(program.readAllStandardError()),
                                      QString::fromUtf8(c.error)));
    }
}

class ProgramUnderXvfb : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *tool : {"Xvfb", "xwininfo", "import", "identify"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (packages xvfb, x11-utils, imagemagick)";
        ASSERT_TRUE(startServer());
    }

    void TearDown() override
    {
        for (QProcess *process : {&m_program, &m_server}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(PatienceMs))
                    process->kill();
            }
        }
    }

    bool startServer()
    {
        // Xvfb picks a free display itself and tells its number on a pipe.
        m_server.setProcessChannelMode(QProcess::SeparateChannels);
        m_server.start("Xvfb",
                       {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
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

    QString windowId(const QString &title)
    {
        const QString tree = runAndRead("xwininfo", {"-root", "-tree"}, m_environment);
        const QRegularExpression line("(0x[0-9a-f]+) \"" + QRegularExpression::escape(title) +
                                      "\": .* (\\d+)x(\\d+)\\+");
        const QRegularExpressionMatch match = line.match(tree);
        return match.hasMatch() ? match.captured(1) : QString();
    }

    QProcessEnvironment m_environment;
    QProcess m_server;
    QProcess m_program;
};

TEST_F(ProgramUnderXvfb, OpensTheWindowAndSavesAScreenshot)
{
    QTemporaryDir working;
    m_program.setProcessEnvironment(m_environment);
    m_program.setWorkingDirectory(working.path());
    m_program.start(QStringLiteral(QUILLET_PROGRAM), {});
    ASSERT_TRUE(m_program.waitForStarted(PatienceMs)) << m_program.errorString().toStdString();

    // The program's state is only known after a wait: one that ends at once
    // (it could not reach the display, say) is told with what it printed.
    QString id;
    const QDeadlineTimer deadline(PatienceMs);
    while (id.isEmpty() && !deadline.hasExpired() && !m_program.waitForFinished(50))
        id = windowId("Quillet");
    ASSERT_FALSE(id.isEmpty()) << "no window titled Quillet appeared; the program "
                               << (m_program.state() == QProcess::NotRunning ? "ended" : "runs")
                               << " and printed: "
                               << m_program.readAllStandardError().toStdString();

    // Until the window has painted, its picture is a single colour.
    const QString shot = QStringLiteral(QUILLET_SCREENSHOT);
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
} // namespace
