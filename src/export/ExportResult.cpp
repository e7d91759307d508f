#include "ExportResult.h"

#include <QCoreApplication>

QString ExportResult::completionMessage() const
{
    // One arg() call: a folder holding "%1" must stay as it is.
    return QCoreApplication::translate("ExportResult", "%1 memos saved to %2")
        .arg(QString::number(noteCount), notesFolder);
}
