#include "DriveList.h"

#include "FixedDrives.h"
#include "QtPrinters.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
QStringList entries(const DriveList &list)
{
    QStringList strings;
    for (int i = 0; i < list.count(); ++i)
        strings.append(list.itemText(i));
    return strings;
}

DriveEntry player(const QString &folder, const QString &driveString)
{
    return {folder, driveString, "/dev/sdz1", true};
}

TEST(DriveList, StartsOnTheOnlyPlayerElseOnTheEntryHoldingTheWorkingFolder)
{
    const QString working = QDir::currentPath();
    const DriveEntry root{"/", "/"};
    const DriveEntry work{working, working + " [WORK]"};
    const DriveEntry iPod = player("/media/IPOD", "/media/IPOD [IPOD]");
    const struct
    {
        const char *name;
        QList<DriveEntry> drives;
        QString chosen;
    } cases[] = {
        {"no player", {{"/nowhere/at/all", "/nowhere/at/all"}, root, work}, work.driveString},
        {"one player", {root, work, iPod}, iPod.driveString},
        {"two players", {root, iPod, work, player("/media/B", "/media/B")}, work.driveString},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const FixedDrives drives(c.drives);
        const DriveList list(drives);
        EXPECT_EQ(list.driveString(), c.chosen);
    }
}

TEST(DriveList, SelectsTheEntryWithExactlyTheGivenStringAndShowsAnyOtherAsNotConnected)
{
    const FixedDrives drives({{"/media/IPOD", "/media/IPOD [IPOD]"}, {"/media/x", "/media/x"}});
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
    EXPECT_EQ(list.entry().folder, "/media/gone");
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
    const DriveEntry home{"/home/me", "/home/me"};
    const DriveEntry iPod = player("/media/IPOD", "/media/IPOD [IPOD]");
    const DriveEntry stick{"/media/STICK", "/media/STICK", "/dev/sdy1"};
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
              (DriveEntry{"/media/STICK", "/media/STICK", "/dev/sdy1", false, false}));
}
} // namespace
