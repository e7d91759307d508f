#pragma once

#include <QString>

// Exports through the program's window, as a person pressing Export would,
// but offscreen and without a person: messages are answered at once and the
// settings go to a temporary folder. destinationFolder is offered as the only
// drive, so the notes go to destinationFolder/Notes/.
//
// Where the process has no QApplication yet, one (offscreen) is made for the
// length of the call; a caller that times the export should make its own
// QApplication first so that the start-up of Qt is not timed. A process that
// already has a QCoreApplication must have made a QApplication.
struct WindowExport
{
    qint64 notes = -1;           // written, or -1 when the export failed
    double secondsFromClick = 0; // from the Export key to the message
    // The longest time the Export button went without being painted, from the
    // Export key to the message: how long the window looked frozen.
    double longestPaintGapSeconds = 0;
};

WindowExport exportThroughWindow(const QString &sourcePath, const QString &destinationFolder,
                                 bool txt);
