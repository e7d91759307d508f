#pragma once

#include "DriveEntry.h"

#include <QComboBox>

class DriveSource;

// The drive list. It asks its source again each time it is opened, so that a
// player plugged in after start-up shows up, and keeps the chosen drive while
// it is still there.
class DriveList : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveList(const DriveSource &source, QWidget *parent = nullptr);

    // What the settings store and the list shows, for example "/media/me/IPOD [IPOD]".
    QString driveString() const;
    // The chosen entry: its folder is where the notes go.
    DriveEntry entry() const;
    // Selects the entry with exactly this drive string; false when there is none.
    bool selectDrive(const QString &driveString);
    void refresh();

    void showPopup() override;

protected:
    // Shows the end of a drive string too long for the box ("…/IPOD2"): two
    // players mounted under one folder differ only there.
    void paintEvent(QPaintEvent *event) override;

private:
    void fill(const QList<DriveEntry> &entries);

    const DriveSource &m_source;
    QList<DriveEntry> m_entries; // one per item, in the same order
};
