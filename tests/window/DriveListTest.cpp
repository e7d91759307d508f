#include "DriveList.h"

#include "FixedDrives.h"
#include "QtPrinters.h"
#include "VolumeQuestions.h"

#include <QDir>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <semaphore>

namespace {
// Long enough for a loaded machine: the tests wait for things to happen, never
// for a time to pass.
constexpr int PatienceMs = 60'000;

QStringList entries(const DriveList &list)
{
    QStringList strings;
    for (int i = 0; i < list.count(); ++i)
        strings.append(list.itemText(i));
    return strings;
}

DriveEntry player(const QString &folder, const QString &driveString)
{
    return {Path(folder), driveString, "/dev/sdz1", true};
}

TEST(DriveList, StartsOnTheOnlyPlayerElseOnTheEntryHoldingTheWorkingFolder)
{
    const QString working = QDir::currentPath();
    const DriveEntry root{Path("/"), "/"};
    const DriveEntry work{Path(working), working + " [WORK]"};
    const DriveEntry iPod = player("/media/IPOD", "/media/IPOD [IPOD]");
    const struct
    {
        const char *name;
        QList<DriveEntry> drives;
        QList<DriveEntry> answeredLater; // the volumes once they have answered, if they had not
        QString chosen;
    } cases[] = {
        {"no player",
         {{Path("/nowhere/at/all"), "/nowhere/at/all"}, root, work},
         {},
         work.driveString},
        {"one player", {root, work, iPod}, {}, iPod.driveString},
        {"two players", {root, iPod, work, player("/media/B", "/media/B")}, {}, work.driveString},
        {"the player answering after start-up", {root, work}, {root, work, iPod}, iPod.driveString},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FixedDrives drives(c.drives);
        drives.setAwaitingAnswers(!c.answeredLater.isEmpty());
        const DriveList list(drives);
        if (!c.answeredLater.isEmpty()) {
            drives.setDrives(c.answeredLater);
            drives.setAwaitingAnswers(false);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return list.driveString() == c.chosen; }, PatienceMs))
            << list.driveString().toStdString();
    }
}

TEST(DriveList, SelectsTheEntryWithExactlyTheGivenStringAndShowsAnyOtherAsNotConnected)
{
    const FixedDrives drives(
        {{Path("/media/IPOD"), "/media/IPOD [IPOD]"}, {Path("/media/x"), "/media/x"}});
    DriveList list(drives);
    for (const QString absent : {"/media/IPOD", "/media/ipod [IPOD]", "/media/IPOD [IPOD] ",
                                 "/media/x/", "e:", "/media/gone [GONE]"}) {
        SCOPED_TRACE(absent.toStdString());
        list.selectDrive(absent);
        EXPECT_EQ(entries(list),
                  (QStringList{"/media/IPOD [IPOD]", "/media/x", absent + " (not connected)"}));
        EXPECT_EQ(list.currentText(), absent + " (not connected)");
        EXPECT_EQ(list.driveString(), absent);
        EXPECT_FALSE(list.entry().connected);
    }
    EXPECT_EQ(list.entry().folder, Path("/media/gone"));
    list.selectDrive("");
    EXPECT_EQ(list.driveString(), "/media/gone [GONE]");

    list.selectDrive("/media/IPOD [IPOD]");
    EXPECT_EQ(entries(list), (QStringList{"/media/IPOD [IPOD]", "/media/x"}));
    EXPECT_EQ(list.driveString(), "/media/IPOD [IPOD]");
    EXPECT_TRUE(list.entry().connected);
}

// The drive a person chose, or the settings restored, stays the choice while
// it is gone; it never silently becomes another drive.
TEST(DriveList, OpeningItShowsNewDrivesAndKeepsTheChosenOneAsNotConnectedWhileItIsGone)
{
    const DriveEntry home{Path("/home/me"), "/home/me"};
    const DriveEntry iPod = player("/media/IPOD", "/media/IPOD [IPOD]");
    const DriveEntry stick{Path("/media/STICK"), "/media/STICK", "/dev/sdy1"};
    FixedDrives drives({home, stick});
    DriveList list(drives);
    const auto reopen = [&list] {
        list.showPopup();
        list.hidePopup();
    };
    list.selectDrive(iPod.driveString);

    drives.setDrives({home, iPod, stick});
    reopen();
    EXPECT_EQ(entries(list), (QStringList{"/home/me", "/media/IPOD [IPOD]", "/media/STICK"}));
    EXPECT_EQ(list.entry(), iPod);

    list.selectDrive(stick.driveString);
    drives.setDrives({home, iPod});
    reopen();
    EXPECT_EQ(entries(list),
              (QStringList{"/home/me", "/media/IPOD [IPOD]", "/media/STICK (not connected)"}));
    EXPECT_EQ(list.driveString(), "/media/STICK");
    EXPECT_EQ(list.entry(),
              (DriveEntry{Path("/media/STICK"), "/media/STICK", "/dev/sdy1", false, false}));

    // A volume that answers after the list was opened shows up without opening
    // it again; one that does not answer in time is listed as such, and stays
    // chosen.
    DriveEntry silentPod = iPod;
    silentPod.answering = false;
    list.selectDrive(iPod.driveString);
    drives.setDrives({home});
    drives.setAwaitingAnswers(true);
    reopen();
    drives.setDrives({home, silentPod, stick});
    drives.setAwaitingAnswers(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.count() == 3; }, PatienceMs));
    EXPECT_EQ(entries(list),
              (QStringList{"/home/me", "/media/IPOD [IPOD] (not answering)", "/media/STICK"}));
    EXPECT_EQ(list.entry(), silentPod);
}

// A question to a volume whose file system hangs never returns; asking again,
// each time the list is opened, must not pile up threads that never end.
TEST(VolumeQuestions, AsksAVolumeOneQuestionAtATimeAndCallsOneThatWaitsPastTheBoundSilent)
{
    std::counting_semaphore<> release(0);
    std::atomic<int> asked{0};
    const VolumeQuestions questions([&](const Path &root) {
        ++asked;
        if (root == Path("/hung"))
            release.acquire();
        return VolumeFacts{true, true, root == Path("/pod")};
    });
    using State = VolumeQuestions::Answer::State;
    const VolumeQuestions::Answer pod = questions.await("pod", Path("/pod"));
    EXPECT_EQ(pod.state, State::Answered);
    EXPECT_EQ(pod.facts, (VolumeFacts{true, true, true}));

    questions.ask("hung", Path("/hung"));
    EXPECT_EQ(questions.await("hung", Path("/hung")).state, State::Silent);
    for (int i = 0; i < 3; ++i)
        questions.ask("hung", Path("/hung"));
    questions.keepOnly({"pod"});
    const VolumeQuestions::Answer hung = questions.known("hung");
    EXPECT_EQ(hung.state, State::Silent);
    EXPECT_FALSE(hung.facts);
    EXPECT_EQ(asked.load(), 2);

    release.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return questions.known("hung").state == State::Answered; },
                                PatienceMs));
    questions.ask("hung", Path("/hung"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked.load() == 3; }, PatienceMs));
    release.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return questions.known("hung").state == State::Answered; },
                                PatienceMs));
}
} // namespace
