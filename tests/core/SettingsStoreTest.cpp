#include "SettingsStore.h"

#include "SettingsFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Stands in for the window: knows one drive and takes flags 0 to 2.
class FakeWindow : public SettingsTarget
{
public:
    void setSourcePath(const QString &path) override { source = path; }
    bool selectDrive(const QString &driveString) override
    {
        if (driveString != "/media/IPOD [IPOD]")
            return false;
        drive = driveString;
        return true;
    }
    bool setExtensionFlag(int value) override
    {
        if (value < 0 || value > 2)
            return false;
        flag = value;
        return true;
    }

    QString source = "default";
    QString drive = "/home";
    int flag = 0;
};

class SettingsStoreTest : public testing::Test
{
protected:
    QString folder(const QString &name) const
    {
        QDir().mkpath(temporary.filePath(name));
        return temporary.filePath(name);
    }
    SettingsStore store() const { return {folder("work"), folder("program"), folder("user")}; }
    FakeWindow loaded(const QByteArray &content)
    {
        TestFiles::write(folder("work") + "/quillet.dat", content);
        FakeWindow window;
        store().load(window);
        return window;
    }

    QTemporaryDir temporary;
};

TEST_F(SettingsStoreTest, LoadStopsAtTheFirstRefusal)
{
    FakeWindow window = loaded("\"/m.txt\",\"/media/IPOD [IPOD]\",2\r\n");
    EXPECT_EQ(window.source, "/m.txt");
    EXPECT_EQ(window.drive, "/media/IPOD [IPOD]");
    EXPECT_EQ(window.flag, 2);

    window = loaded("\"/m.txt\",\"/media/gone\",1\r\n");
    EXPECT_EQ(window.source, "/m.txt");
    EXPECT_EQ(window.drive, "/home");
    EXPECT_EQ(window.flag, 0);

    window = loaded("\"/m.txt\",\"/media/IPOD [IPOD]\",7\r\n");
    EXPECT_EQ(window.drive, "/media/IPOD [IPOD]");
    EXPECT_EQ(window.flag, 0);

    // A malformed record changes nothing at all.
    window = loaded("\"/m.txt\",\"/media/IPOD [IPOD]\",x\r\n");
    EXPECT_EQ(window.source, "default");
}

TEST_F(SettingsStoreTest, LoadLooksInWorkingThenProgramThenUserFolder)
{
    TestFiles::write(folder("user") + "/quillet.dat", "\"user\",\"d\",0\r\n");
    FakeWindow window;
    store().load(window);
    EXPECT_EQ(window.source, "user");

    TestFiles::write(folder("program") + "/quillet.dat", "\"program\",\"d\",0\r\n");
    store().load(window);
    EXPECT_EQ(window.source, "program");

    TestFiles::write(folder("work") + "/quillet.dat", "\"work\",\"d\",0\r\n");
    store().load(window);
    EXPECT_EQ(window.source, "work");
}

TEST_F(SettingsStoreTest, SaveWritesIntoTheProgramFolderNotTheWorkingFolder)
{
    const QString before = QDir::currentPath();
    ASSERT_EQ(store().save({"/m.txt", "/media/IPOD [IPOD]", 1}), std::nullopt);
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(TestFiles::read(folder("program") + "/quillet.dat"),
              "\"/m.txt\",\"/media/IPOD [IPOD]\",1\r\n");
    EXPECT_EQ(TestFiles::listRecursively(temporary.path()), QStringList{"program/quillet.dat"});
}

// An installed program's folder cannot be written: the settings go to the
// per-user folder, which is created when missing.
TEST_F(SettingsStoreTest, SaveFallsBackToTheUserFolder)
{
    TestFiles::write(temporary.filePath("not-a-folder"), "");
    const QString user = temporary.filePath("config/quillet");
    const SettingsStore installed(folder("work"), temporary.filePath("not-a-folder"), user);
    ASSERT_EQ(installed.save({"/m.txt", "d", 0}), std::nullopt);
    EXPECT_EQ(TestFiles::read(user + "/quillet.dat"), "\"/m.txt\",\"d\",0\r\n");

    FakeWindow window;
    installed.load(window);
    EXPECT_EQ(window.source, "/m.txt");
}

TEST_F(SettingsStoreTest, SaveFailureNamesEachPath)
{
    TestFiles::write(temporary.filePath("file"), "");
    const QString blocked = temporary.filePath("file");
    const SettingsStore nowhere(folder("work"), blocked, blocked + "/user");
    const std::optional<QString> error = nowhere.save({"/m.txt", "d", 0});
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(blocked + "/quillet.dat")) << error->toStdString();
}

} // namespace
