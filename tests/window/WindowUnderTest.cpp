#include "WindowUnderTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

WindowUnderTest::WindowUnderTest()
{
    for (const QString &folder : {workingFolder(), programFolder(), userFolder(), playerFolder(),
                                  otherDriveFolder(), sourceFolder()})
        QDir().mkpath(folder);
    m_programFolder = programFolder();
    drives.setDrives(FixedDrives::ofFolders({otherDriveFolder(), playerFolder()}).drives().entries);
}

MainWindow &WindowUnderTest::open(bool show)
{
    m_window = std::make_unique<MainWindow>(
        SettingsStore(Path(workingFolder()), Path(m_programFolder), Path(userFolder())), drives,
        messages, files);
    if (show)
        m_window->show();
    return *m_window;
}

bool WindowUnderTest::waitForTheExportToEnd()
{
    const auto *button = control<QPushButton>("exportButton");
    return QTest::qWaitFor([&] { return button->isEnabled() || !m_window->isVisible(); },
                           PatienceMs);
}

QString WindowUnderTest::writeFile(const QString &relativePath, const QByteArray &bytes) const
{
    QString filePath = m_root.filePath(relativePath);
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("Could not write the test file %s: %s", qPrintable(filePath),
               qPrintable(file.errorString()));
    return filePath;
}
