#pragma once

#include "ExportRun.h"

#include <QElapsedTimer>
#include <QString>

class QAbstractButton;

// Shows the export's progress on the Export button. Painting the window costs
// far more than writing a note, so the caption is shown at most once per
// interval; the latest one is kept and shown by showLatest().
class ButtonCaption : public ExportProgress
{
public:
    static constexpr qint64 DefaultIntervalMs = 30;

    explicit ButtonCaption(QAbstractButton &button, qint64 intervalMs = DefaultIntervalMs);

    void captionChanged(const QString &caption) override;
    void showLatest();

private:
    void show(const QString &caption);

    QAbstractButton &m_button;
    qint64 m_intervalMs;
    QElapsedTimer m_sinceShown;
    QString m_latest;
};
