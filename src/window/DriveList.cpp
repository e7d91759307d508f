#include "DriveList.h"

#include "DriveCatalog.h"
#include "DriveSource.h"

#include <QAbstractItemView>
#include <QDir>
#include <QStyleOptionComboBox>
#include <QStylePainter>

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

void DriveList::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    // The style draws the text one pixel in from each side of the field.
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    option.currentText =
        fontMetrics().elidedText(option.currentText, Qt::ElideLeft, field.width() - 2);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void DriveList::fill(const QList<DriveEntry> &entries)
{
    clear();
    m_entries = entries;
    for (const DriveEntry &entry : entries)
        addItem(entry.driveString);
}
