#include "LayoutScale.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
// Keeps 57 * (58 / 57.0) from rounding up to 59.
constexpr double RoundingSlack = 1e-9;

int scaledSize(int pixels, double factor)
{
    return int(std::ceil(pixels * factor - RoundingSlack));
}

double neededFactor(const LayoutScale::Box &box)
{
    const QSize hint = box.control->sizeHint();
    switch (box.fit) {
    case LayoutScale::Fit::Whole:
        return std::max(double(hint.width()) / box.pixels.width(),
                        double(hint.height()) / box.pixels.height());
    case LayoutScale::Fit::Height:
        return double(hint.height()) / box.pixels.height();
    case LayoutScale::Fit::Nothing:
        break;
    }
    return 1.0;
}
} // namespace

double LayoutScale::factorFor(const QList<Box> &boxes)
{
    double factor = 1.0;
    for (const Box &box : boxes)
        factor = std::max(factor, neededFactor(box));
    return factor;
}

QRect LayoutScale::scaled(const QRect &pixels, double factor)
{
    return {int(std::lround(pixels.x() * factor)), int(std::lround(pixels.y() * factor)),
            scaledSize(pixels.width(), factor), scaledSize(pixels.height(), factor)};
}

QSize LayoutScale::scaled(const QSize &pixels, double factor)
{
    return {scaledSize(pixels.width(), factor), scaledSize(pixels.height(), factor)};
}

void LayoutScale::place(QWidget &window, const QList<Box> &boxes, const QSize &windowPixels)
{
    const double factor = factorFor(boxes);
    QRect used;
    for (const Box &box : boxes) {
        box.control->setGeometry(scaled(box.pixels, factor));
        used |= box.control->geometry();
    }
    // Nothing moves when the window is resized, so it may not become smaller
    // than the controls need to be seen whole.
    window.setMinimumSize(used.right() + 1, used.bottom() + 1);
    window.resize(scaled(windowPixels, factor));
}
