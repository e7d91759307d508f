#include "ExportResult.h"

QString ExportResult::completionMessage() const
{
    return QStringLiteral("%1 memos saved to %2").arg(noteCount).arg(notesFolder);
}
