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

// How soon the list looks again for volumes that are still to answer: a
// volume answers in a few milliseconds, or counts as not answering after
// Limits::VolumeAnswer.
constexpr std::chrono::milliseconds AnswerCheck{10};

QString shownText(const DriveEntry &entry)
{
    if (!entry.connected)
        return DriveList::tr("%1 (not connected)").arg(entry.driveString);
    if (!entry.answering)
        return DriveList::tr("%1 (not answering)").arg(entry.driveString);
    return entry.driveString;
}
} // namespace

DriveList::DriveList(const DriveSource &source, QWidget *parent)
    : QComboBox(parent), m_source(source)
{
    // The box is narrow; a long mount path is still readable in full.
    connect(this, &QComboBox::currentTextChanged, this, &QWidget::setToolTip);
    connect(this, &QComboBox::activated, this, [this] { m_firstChoicePending = false; });
    m_answers.setSingleShot(true);
    m_answers.setInterval(AnswerCheck);
    connect(&m_answers, &QTimer::timeout, this, &DriveList::showKnown);
    refresh();
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
    m_firstChoicePending = false;
    const QList<DriveEntry> listed = listedEntries();
    const qsizetype index = indexOf(listed, driveString);
    if (index >= 0)
        fillKeeping(listed, listed[index]);
    else
        fillKeeping(listed, {DriveCatalog::folderOf(driveString), driveString, {}, false, false});
}

void DriveList::refresh()
{
    m_source.askAgain();
    showKnown();
}

void DriveList::showKnown()
{
    const DriveListing listing = m_source.drives();
    const QList<DriveEntry> before = m_entries;
    if (m_firstChoicePending) {
        fill(listing.entries);
        setCurrentIndex(int(DriveCatalog::firstChoice(listing.entries, Path(QDir::currentPath()))));
        m_firstChoicePending = listing.awaitingAnswers;
    } else {
        fillKeeping(listing.entries, entry());
    }
    // An open list grows to the answers that came while it was open.
    if (view()->isVisible() && m_entries != before)
        showFittingPopup();
    if (listing.awaitingAnswers)
        m_answers.start();
}

void DriveList::showPopup()
{
    refresh();
    showFittingPopup();
}

void DriveList::showFittingPopup()
{
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
    // connected, or not answering, shows the end of its own string in italics;
    // the list, the tip and a screen reader say the words.
    if (!chosen.connected || !chosen.answering) {
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
    // Looking again while answers come changes nothing most times; an open
    // list keeps the item under the pointer.
    if (entries == m_entries && count() == entries.size())
        return;
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
