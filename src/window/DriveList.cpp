#include "DriveList.h"

#include "DriveCatalog.h"
#include "DriveSource.h"

#include <QAbstractItemView>
#include <QDir>

DriveList::DriveList(const DriveSource &source, QWidget *parent)
    : QComboBox(parent), m_source(source)
{
    // The box is narrow; a long mount path is still readable in full.
    connect(this, &QComboBox::currentTextChanged, this, &QWidget::setToolTip);
    const QList<DriveEntry> entries = m_source.drives();
    fill(entries);
    setCurrentIndex(int(DriveCatalog::entryHolding(entries, QDir::currentPath())));
}

QString DriveList::driveString() const
{
    return currentText();
}

DriveEntry DriveList::entry() const
{
    return m_entries.value(currentIndex());
}

bool DriveList::selectDrive(const QString &driveString)
{
    const int index = findText(driveString, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

void DriveList::refresh()
{
    const QString chosen = driveString();
    const QList<DriveEntry> entries = m_source.drives();
    fill(entries);
    if (!selectDrive(chosen))
        setCurrentIndex(int(DriveCatalog::entryHolding(entries, QDir::currentPath())));
}

void DriveList::showPopup()
{
    refresh();
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth());
    QComboBox::showPopup();
}

void DriveList::fill(const QList<DriveEntry> &entries)
{
    clear();
    m_entries = entries;
    for (const DriveEntry &entry : entries)
        addItem(entry.driveString);
}
