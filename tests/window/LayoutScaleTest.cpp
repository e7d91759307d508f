#include "LayoutScale.h"

#include "QtPrinters.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {
class HintedWidget : public QWidget
{
public:
    explicit HintedWidget(QSize hint) : m_hint(hint) {}
    QSize sizeHint() const override { return m_hint; }

private:
    QSize m_hint;
};

TEST(LayoutScale, ScalesOnlyAsFarAsTheNeediestControlNeeds)
{
    using Fit = LayoutScale::Fit;
    const struct
    {
        const char *name;
        QSize hint;
        Fit fit;
        double factor;
    } cases[] = {
        {"fits", {57, 17}, Fit::Whole, 1.0},
        {"smaller than its box", {20, 10}, Fit::Whole, 1.0},
        {"caption too wide", {114, 17}, Fit::Whole, 2.0},
        {"caption too high", {57, 34}, Fit::Whole, 2.0},
        {"field too high", {500, 34}, Fit::Height, 2.0},
        {"field too wide only", {500, 17}, Fit::Height, 1.0},
        {"scrolling text", {500, 340}, Fit::Nothing, 1.0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        HintedWidget fitting({57, 17});
        HintedWidget tested(c.hint);
        EXPECT_DOUBLE_EQ(LayoutScale::factorFor({{&fitting, {16, 8, 57, 17}, Fit::Whole},
                                                 {&tested, {16, 40, 57, 17}, c.fit}}),
                         c.factor);
    }
}

TEST(LayoutScale, ScaledBoxesAreNeverSmallerThanMeasured)
{
    for (const int needed : {57, 58, 63, 71, 171}) {
        SCOPED_TRACE(needed);
        EXPECT_EQ(LayoutScale::scaled(QRect(16, 40, 57, 17), needed / 57.0).width(), needed);
    }
    EXPECT_EQ(LayoutScale::scaled(QRect(80, 8, 177, 19), 1.5), QRect(120, 12, 266, 29));
}
} // namespace
