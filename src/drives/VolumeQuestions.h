#pragma once

#include "Path.h"

#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

// What a mounted volume says about itself when asked.
struct VolumeFacts
{
    bool ready = false; // its size could be read, and it is not an empty pseudo file system
    bool isFolder = false;
    bool holdsPlayerFolder = false; // an "iPod_Control" folder at its top

    bool operator==(const VolumeFacts &) const = default;
};

// Asks mounted volumes about themselves, each question on a thread of its own,
// so that a volume whose file system hangs (a FUSE driver that stopped, a
// network mount that is gone) holds up that thread alone and never the one
// that asks. Such a thread cannot be stopped: it ends when the volume answers,
// or with the process. So a volume is asked one question at a time, and asking
// it again while a question waits starts none: the threads never outnumber the
// volumes that hang. A question that waits past the bound counts as not
// answered until it is. Safe to use from any thread.
class VolumeQuestions
{
public:
    // What the volume at a root folder says; may wait as long as the volume does.
    using Ask = std::function<VolumeFacts(const Path &root)>;

    struct Answer
    {
        enum class State {
            Awaited,  // the question waits, within the bound
            Answered, // no question waits: `facts` is the latest answer
            Silent,   // the question has waited past the bound
        };
        State state = State::Awaited;
        std::optional<VolumeFacts> facts; // the latest answer, if there was one
    };

    explicit VolumeQuestions(Ask ask);

    // Asks the volume known by `key` (its device and folder) afresh, unless a
    // question to it waits; never waits itself.
    void ask(const QString &key, const Path &root) const;
    // What is known of the volume now, without asking or waiting.
    Answer known(const QString &key) const;
    // Asks as ask() does, then waits for the answer until the question has
    // waited the bound.
    Answer await(const QString &key, const Path &root) const;
    // Forgets the volumes not among `keys` that no question waits for, so that
    // what is kept does not grow with every volume ever mounted.
    void keepOnly(const QSet<QString> &keys) const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared; // shared with the threads that ask, which may outlive this
};
