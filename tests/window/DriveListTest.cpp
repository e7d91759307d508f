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

TEST(DriveList, StartsOnTheEntryHoldingTheWorkingFolder)
{
    const QString working = QDir::currentPath();
    const FixedDrives drives(
        {{"/nowhere/at/all", "/nowhere/at/all"}, {"/", "/"}, {working, working + " [WORK]"}});
    const DriveList list(drives);
    EXPECT_EQ(list.driveString(), working + " [WORK]");
}

TEST(DriveList, SelectsOnlyTheEntryWithExactlyTheGivenString)
{
    const FixedDrives drives({{"/media/IPOD", "/media/IPOD [IPOD]"}, {"/media/x", "/media/x"}});
    DriveList list(drives);
    ASSERT_TRUE(list.selectDrive("/media/x"));

    for (const char *missing :
         {"/media/IPOD", "/media/ipod [IPOD]", "/media/IPOD [IPOD] ", "/media/x/", "", "e:"}) {
        SCOPED_TRACE(missing);
        EXPECT_FALSE(list.selectDrive(missing));
        EXPECT_EQ(list.driveString(), "/media/x");
    }
    EXPECT_TRUE(list.selectDrive("/media/IPOD [IPOD]"));
    EXPECT_EQ(list.driveString(), "/media/IPOD [IPOD]");
}

TEST(DriveList, OpeningItShowsNewDrivesAndKeepsTheChosenOneWhileItIsThere)
{
    FixedDrives drives({{"/home/me", "/home/me"}, {"/media/STICK", "/media/STICK"}});
    DriveList list(drives);
    list.selectDrive("/media/STICK");

    drives.setDrives({{"/home/me", "/home/me"},
                      {"/media/IPOD", "/media/IPOD [IPOD]"},
                      {"/media/STICK", "/media/STICK"}});
    list.showPopup();
    list.hidePopup();
    EXPECT_EQ(entries(list), (QStringList{"/home/me", "/media/IPOD [IPOD]", "/media/STICK"}));
    EXPECT_EQ(list.driveString(), "/media/STICK");

    drives.setDrives({{"/home/me", "/home/me"}, {"/media/IPOD", "/media/IPOD [IPOD]"}});
    list.showPopup();
    list.hidePopup();
    EXPECT_EQ(entries(list), (QStringList{"/home/me", "/media/IPOD [IPOD]"}));
    EXPECT_EQ(list.driveString(), "/home/me");
}
} // namespace
