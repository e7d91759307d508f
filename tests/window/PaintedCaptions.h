#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QStringList>
#include <functional>

// Records the caption a button shows each time it is painted: what a person
// would have seen.
class PaintedCaptions : public QObject
{
public:
    explicit PaintedCaptions(QAbstractButton &button);

    QStringList captions() const { return m_captions; }
    // Runs once, on the first paint that shows the given caption.
    void onFirstPaintOf(const QString &caption, std::function<void()> action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractButton &m_button;
    QStringList m_captions;
    QString m_trigger;
    std::function<void()> m_action;
};
