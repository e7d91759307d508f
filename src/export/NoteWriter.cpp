#include "NoteWriter.h"

#include "Limits.h"
#include "Memo.h"
#include "NoteNamer.h"
#include "NoteParts.h"

namespace {

// Every numbered name up to this one being taken means the device refuses
// them all; the run stops instead of trying for ever.
constexpr int NameAttempts = 10000;

bool isWritten(NoteOutcome outcome)
{
    return outcome == NoteOutcome::Written || outcome == NoteOutcome::Unchanged;
}

} // namespace

NoteWriter::NoteWriter(NoteNamer &namer, NotesFolder &notes, NoteEncoder encoder)
    : m_namer(namer), m_notes(notes), m_encoder(std::move(encoder))
{
}

Result<int> NoteWriter::write(const Memo &memo, const EncodedNote &note, const NotePath &named,
                              std::span<NotePath> ahead)
{
    if (m_encoder.destination() != NoteDestination::Folder && note.size() > Player::ShownNoteBytes)
        return writeParts(memo, note, named, ahead);
    const QByteArray file = note.encodingLine.isEmpty() ? note.text : note.encodingLine + note.text;
    NotePath path = named;
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const Result<NoteOutcome> outcome = m_notes.write(path, file, ahead);
        if (!outcome)
            return outcome.error();
        if (isWritten(*outcome))
            return 1;
        Result<NotePath> next = nameAgain(*outcome, path, memo);
        if (!next)
            return next.error();
        path = *next;
    }
    return noFreeName(path);
}

// Each part's link names the next part, so the parts are cut anew whenever a
// part has to take another name, and the parts written before it are written
// again where that changed them.
Result<int> NoteWriter::writeParts(const Memo &memo, const EncodedNote &note, const NotePath &named,
                                   std::span<NotePath> ahead)
{
    QList<NotePath> paths{named};
    const auto nameOfPart = [&](int part) {
        while (paths.size() < part)
            paths << m_namer.namePart(paths.first(), int(paths.size()) + 1);
        return m_encoder.encodeName(paths[part - 1].fileName, note.encoding);
    };
    QList<QByteArray> written; // the files of the parts on the device
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QList<QByteArray> files = NoteParts::filesOf(note, nameOfPart);
        // Parts grow fewer only where shorter names, after the device refused
        // one as too long, let them hold more; fewer than are written already
        // would leave a part behind, and only a device that refuses even
        // short names gets there.
        if (files.size() < written.size())
            return m_notes.nameTooLong(paths[files.size()], NoteOutcome::NameTooLong);
        qsizetype part = 0;
        std::optional<NoteOutcome> refusal;
        for (; part < files.size() && !refusal; ++part) {
            if (part < written.size() && written[part] != files[part]) {
                if (const Result<void> rewritten = m_notes.rewrite(paths[part], files[part]);
                    !rewritten)
                    return rewritten.error();
                written[part] = files[part];
            }
            if (part < written.size())
                continue;
            const Result<NoteOutcome> outcome = m_notes.write(paths[part], files[part], ahead);
            if (!outcome)
                return outcome.error();
            if (isWritten(*outcome))
                written << files[part];
            else
                refusal = *outcome;
        }
        if (!refusal)
            return int(files.size());
        const qsizetype refused = part - 1;
        if (refused == 0) {
            Result<NotePath> next = nameAgain(*refusal, paths.first(), memo);
            if (!next)
                return next.error();
            paths = {*next};
            continue;
        }
        if (*refusal == NoteOutcome::NameTooLong &&
            !m_namer.refuseNamesAsLongAs(paths[refused].fileName))
            return m_notes.nameTooLong(paths[refused], *refusal);
        paths[refused] = m_namer.namePart(paths.first(), int(refused) + 1);
    }
    return noFreeName(paths.first());
}

Result<NotePath> NoteWriter::nameAgain(NoteOutcome refusal, const NotePath &path, const Memo &memo)
{
    switch (refusal) {
    case NoteOutcome::FolderNameTooLong:
        if (!m_namer.refuseNamesAsLongAs(path.folder->name))
            return m_notes.nameTooLong(path, refusal);
        m_namer.moveCategory(memo.category, *path.folder);
        break;
    case NoteOutcome::NameTooLong:
        if (!m_namer.refuseNamesAsLongAs(path.fileName))
            return m_notes.nameTooLong(path, refusal);
        break;
    case NoteOutcome::FolderTaken:
        m_namer.moveCategory(memo.category, *path.folder);
        break;
    case NoteOutcome::NameTaken:
    case NoteOutcome::Written:
    case NoteOutcome::Unchanged:
        break;
    }
    return m_namer.name(memo.title, memo.category);
}

Error NoteWriter::noFreeName(const NotePath &path) const
{
    return Error(Error::Reason::NoFreeName).during(Error::Action::NameNote, m_notes.pathOf(path));
}
