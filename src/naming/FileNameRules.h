#pragma once

#include <QString>
#include <QStringView>

// How a memo's title and category become names a FAT player takes, and how
// the player compares names: without regard to case, or to the form an
// accented letter is written in.
namespace FileNameRules {

// Characters a FAT name may not hold become "_", and trailing spaces and dots,
// which FAT drops, go; a title left empty is "_".
QString cleanTitle(const QString &title);
// The same for a category, which is first cut to the longest folder name a
// device takes; an empty one stands for the notes folder itself.
QString cleanCategory(const QString &category);
QString withoutTrailingSpacesAndDots(QString name);

// Bytes of UTF-8 that `text` takes, as Linux counts a name.
qsizetype utf8Bytes(QStringView text);
// The longest start of `text` that takes at most `bytes` of UTF-8, cut between
// characters.
QString cutToBytes(const QString &text, qsizetype bytes);

// The form in which a player compares names, of `name` followed by `suffix`.
QString caseKey(QStringView name, QStringView suffix = {});
// A 64-bit fingerprint of that form. Two names that differ share one with a
// chance of about one in 10^10 in the largest export, and the second then only
// gets a number it did not need; no name is ever lost by it. Unlike the key
// itself, it needs no memory of its own, which matters at tens of thousands of
// notes.
quint64 fingerprint(QStringView name, QStringView suffix = {});

} // namespace FileNameRules
