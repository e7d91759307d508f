#include "VolumeQuestions.h"

#include "Limits.h"

#include <QHash>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

struct Question
{
    std::optional<VolumeFacts> facts;
    bool waiting = false;
    Clock::time_point askedAt;
};
} // namespace

struct VolumeQuestions::Shared
{
    Ask ask;
    std::mutex mutex;
    std::condition_variable answered;
    // Held by pointer: a thread that answers, and await(), keep theirs while
    // keepOnly() forgets it.
    QHash<QString, std::shared_ptr<Question>> questions;

    // With the mutex held.
    std::shared_ptr<Question> start(const std::shared_ptr<Shared> &self, const QString &key,
                                    const Path &root)
    {
        std::shared_ptr<Question> &question = questions[key];
        if (!question)
            question = std::make_shared<Question>();
        if (question->waiting)
            return question;
        question->waiting = true;
        question->askedAt = Clock::now();
        // Detached: a thread the volume holds cannot be joined, and never has
        // to be; it holds what it writes to.
        std::thread([self, question, root] {
            const VolumeFacts facts = self->ask(root);
            const std::lock_guard lock(self->mutex);
            question->facts = facts;
            question->waiting = false;
            self->answered.notify_all();
        }).detach();
        return question;
    }

    static Answer answerOf(const Question &question)
    {
        if (!question.waiting)
            return {Answer::State::Answered, question.facts};
        const bool late = Clock::now() - question.askedAt >= Limits::VolumeAnswer;
        return {late ? Answer::State::Silent : Answer::State::Awaited, question.facts};
    }
};

VolumeQuestions::VolumeQuestions(Ask ask) : m_shared(std::make_shared<Shared>())
{
    m_shared->ask = std::move(ask);
}

void VolumeQuestions::ask(const QString &key, const Path &root) const
{
    const std::lock_guard lock(m_shared->mutex);
    m_shared->start(m_shared, key, root);
}

VolumeQuestions::Answer VolumeQuestions::known(const QString &key) const
{
    const std::lock_guard lock(m_shared->mutex);
    const std::shared_ptr<Question> question = m_shared->questions.value(key);
    return question ? Shared::answerOf(*question) : Answer{};
}

VolumeQuestions::Answer VolumeQuestions::await(const QString &key, const Path &root) const
{
    std::unique_lock lock(m_shared->mutex);
    const std::shared_ptr<Question> question = m_shared->start(m_shared, key, root);
    m_shared->answered.wait_until(lock, question->askedAt + Limits::VolumeAnswer,
                                  [&question] { return !question->waiting; });
    Answer answer = Shared::answerOf(*question);
    // Waited the bound out: late, whatever the clock says to the rounding.
    if (answer.state == Answer::State::Awaited)
        answer.state = Answer::State::Silent;
    return answer;
}

void VolumeQuestions::keepOnly(const QSet<QString> &keys) const
{
    const std::lock_guard lock(m_shared->mutex);
    m_shared->questions.removeIf([&keys](const auto &entry) {
        return !entry.value()->waiting && !keys.contains(entry.key());
    });
}
