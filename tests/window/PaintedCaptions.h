#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QStringList>

// Records the caption a button shows each time it is painted: what a person
// would have seen.
class PaintedCaptions : public QObject
{
public:
    explicit PaintedCaptions(QAbstractButton &button);

    QStringList captions() const { return m_captions; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractButton &m_button;
    QStringList m_captions;
};
