#include "DriveList.h"

#include "DriveCatalog.h"
#include "DriveSource.h"

#include <QAbstractItemView>
#include <QDir>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace {
qsizetype indexOf(const QList<DriveEntry> &entries, const QString &driveString)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].driveString.compare(driveString, Qt::CaseSensitive) == 0)
            return i;
    }
    return -1;
}

QString shownText(const DriveEntry &entry)
{
    if (entry.connected)
        return entry.driveString;
    return DriveList::tr("%1 (not connected)").arg(entry.driveString);
}
} // namespace

DriveList::DriveList(const DriveSource &source, QWidget *parent)
    : QComboBox(parent), m_source(source)
{
    // The box is narrow; a long mount path is still readable in full.
    connect(this, &QComboBox::currentTextChanged, this, &QWidget::setToolTip);
    const QList<DriveEntry> entries = m_source.drives();
    fill(entries);
    setCurrentIndex(int(DriveCatalog::firstChoice(entries, QDir::currentPath())));
}

QString DriveList::driveString() const
{
    return entry().driveString;
}

DriveEntry DriveList::entry() const
{
    return m_entries.value(currentIndex());
}

void DriveList::selectDrive(const QString &driveString)
{
    if (driveString.isEmpty())
        return;
    const QList<DriveEntry> listed = listedEntries();
    const qsizetype index = indexOf(listed, driveString);
    if (index >= 0)
        fillKeeping(listed, listed[index]);
    else
        fillKeeping(listed, {DriveCatalog::folderOf(driveString), driveString, {}, false, false});
}

void DriveList::refresh()
{
    const DriveEntry chosen = entry();
    const QList<DriveEntry> listed = m_source.drives();
    if (!chosen.driveString.isEmpty()) {
        fillKeeping(listed, chosen);
        return;
    }
    fill(listed);
    setCurrentIndex(int(DriveCatalog::firstChoice(listed, QDir::currentPath())));
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
    const DriveEntry chosen = entry();
    // "(not connected)" alone is wider than the box: a drive that is not
    // connected shows the end of its own string in italics; the list, the tip
    // and a screen reader say the words.
    if (!chosen.connected) {
        option.currentText = chosen.driveString;
        QFont italic = font();
        italic.setItalic(true);
        painter.setFont(italic);
    }
    option.currentText =
        painter.fontMetrics().elidedText(option.currentText, Qt::ElideLeft, field.width() - 2);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void DriveList::fillKeeping(const QList<DriveEntry> &listed, const DriveEntry &chosen)
{
    QList<DriveEntry> entries = listed;
    qsizetype index = indexOf(listed, chosen.driveString);
    if (index < 0) {
        DriveEntry gone = chosen;
        gone.connected = false;
        entries.append(gone);
        index = entries.size() - 1;
    }
    fill(entries);
    setCurrentIndex(int(index));
}

void DriveList::fill(const QList<DriveEntry> &entries)
{
    clear();
    m_entries = entries;
    for (const DriveEntry &entry : entries)
        addItem(shownText(entry));
}

QList<DriveEntry> DriveList::listedEntries() const
{
    QList<DriveEntry> listed;
    for (const DriveEntry &entry : m_entries) {
        if (entry.connected)
            listed.append(entry);
    }
    return listed;
}
