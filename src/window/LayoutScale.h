#pragma once

#include <QList>
#include <QRect>

class QWidget;

// The window's controls sit at fixed pixel boxes made for 96 dpi and a small
// system font. Where today's default font needs more room, every box and the
// window are scaled by one common factor, so the proportions stay and nothing
// is clipped; where the font fits, the pixels are used as they are.
namespace LayoutScale {
// How much of a control's size hint must fit into its box: the whole hint
// for captions, only the height for fields whose text scrolls or is chosen.
enum class Fit { Whole, Height, Nothing };

struct Box
{
    QWidget *control;
    QRect pixels;
    Fit fit;
};

// The smallest factor, at least 1, at which every hint fits its box.
double factorFor(const QList<Box> &boxes);
QRect scaled(const QRect &pixels, double factor);
QSize scaled(const QSize &pixels, double factor);
// Puts each control in its box and sizes the window of `windowPixels`, all
// scaled by factorFor(boxes).
void place(QWidget &window, const QList<Box> &boxes, const QSize &windowPixels);
} // namespace LayoutScale
