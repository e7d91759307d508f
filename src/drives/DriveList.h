#pragma once

#include "DriveSource.h"

#include <QComboBox>
#include <QTimer>

// The drive list. It asks its source again each time it is opened, so that a
// player plugged in after start-up shows up. It never waits for a volume: it
// shows at once what the source knows and fills in the answers as they come,
// and a volume that does not answer in time is shown as not answering. The
// chosen drive never changes by itself: while it is not mounted it stays
// chosen and is shown as not connected, and once it is there again it is the
// entry chosen. Until a drive is chosen (by a person or the settings), the
// list starts on the only player, once the volumes have answered.
class DriveList : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveList(const DriveSource &source, QWidget *parent = nullptr);

    // What the settings store, for example "/media/me/IPOD [IPOD]": the drive's
    // own string, also while it is not connected.
    QString driveString() const;
    // The chosen entry: its folder is where the notes go.
    DriveEntry entry() const;
    // Chooses the drive with exactly this string; one that is not mounted now
    // is chosen all the same and shown as not connected. An empty string
    // changes nothing.
    void selectDrive(const QString &driveString);
    // Asks the source afresh; the answers fill in as they come.
    void refresh();

    void showPopup() override;

protected:
    // Shows the end of a drive string too long for the box ("…/IPOD2"): two
    // players mounted under one folder differ only there.
    void paintEvent(QPaintEvent *event) override;

private:
    // Shows what the source knows now, and looks again shortly while answers
    // are awaited.
    void showKnown();
    // Opens the list, or lays it out again, as wide as its longest entry.
    void showFittingPopup();
    // The listed entries, and the chosen one after them where it is not listed.
    void fillKeeping(const QList<DriveEntry> &listed, const DriveEntry &chosen);
    void fill(const QList<DriveEntry> &entries);
    QList<DriveEntry> listedEntries() const;

    const DriveSource &m_source;
    QList<DriveEntry> m_entries; // one per item, in the same order
    QTimer m_answers;            // while answers are awaited
    bool m_firstChoicePending = true;
};
