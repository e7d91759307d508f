#pragma once

#include "FixedDrives.h"
#include "MainWindow.h"
#include "ScriptedFileDialog.h"
#include "ScriptedMessageBoxes.h"

#include <QTemporaryDir>
#include <memory>

// A window whose settings folders and drives are fresh temporary folders, and
// whose messages and file dialog answer without a person.
class WindowUnderTest
{
public:
    // Long enough for a loaded machine; tests wait for things to happen, never
    // for a time to pass.
    static constexpr int PatienceMs = 60'000;

    WindowUnderTest();

    // Creates the window, which loads the settings; shows it when asked.
    MainWindow &open(bool show = true);
    MainWindow &window() { return *m_window; }
    // Runs the event loop until the export begun by the Export key has ended:
    // its button is back, or the window has closed. False when it never did.
    // The window must be shown.
    bool waitForTheExportToEnd();

    template <typename Control> Control *control(const char *name) const
    {
        return m_window->findChild<Control *>(QString::fromLatin1(name));
    }

    QString workingFolder() const { return path("working"); }
    QString programFolder() const { return path("program"); }
    QString userFolder() const { return path("user"); }
    QString playerFolder() const { return path("player"); }
    QString otherDriveFolder() const { return path("other"); }
    QString sourceFolder() const { return path("source"); }

    // Writes a file of the given bytes below the temporary root; returns its path.
    QString writeFile(const QString &relativePath, const QByteArray &bytes) const;
    void useProgramFolder(const QString &folder) { m_programFolder = folder; }

    FixedDrives drives;
    ScriptedMessageBoxes messages;
    ScriptedFileDialog files;

private:
    QString path(const char *name) const { return m_root.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_root;
    QString m_programFolder;
    std::unique_ptr<MainWindow> m_window;
};
