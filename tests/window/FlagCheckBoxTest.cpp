#include "Controls.h"
#include "QtPrinters.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {
struct FlagCase
{
    int flag;
    Qt::CheckState state;
};

// Qt numbers the states 0 unchecked, 1 partially checked, 2 checked; the flag
// numbers them 0 unchecked, 1 checked, 2 grayed.
const FlagCase FlagCases[] = {
    {0, Qt::Unchecked},
    {1, Qt::Checked},
    {2, Qt::PartiallyChecked},
};

TEST(FlagCheckBox, MapsEachFlagToItsStateAndBack)
{
    for (const FlagCase &c : FlagCases) {
        SCOPED_TRACE(c.flag);
        EXPECT_EQ(FlagCheckBox::checkStateOf(c.flag), c.state);
        EXPECT_EQ(FlagCheckBox::flagOf(c.state), c.flag);

        FlagCheckBox box(QStringLiteral("x"));
        ASSERT_TRUE(box.setValue(c.flag));
        EXPECT_EQ(box.checkState(), c.state);
        EXPECT_EQ(box.value(), c.flag);
    }
}

TEST(FlagCheckBox, RefusesFlagsOutsideZeroToTwoAndKeepsItsValue)
{
    FlagCheckBox box(QStringLiteral("x"));
    box.setValue(FlagCheckBox::Checked);
    for (const int flag : {-1, 3, 32767, -32768}) {
        SCOPED_TRACE(flag);
        EXPECT_FALSE(FlagCheckBox::checkStateOf(flag).has_value());
        EXPECT_FALSE(box.setValue(flag));
        EXPECT_EQ(box.value(), FlagCheckBox::Checked);
    }
}

TEST(FlagCheckBox, StartsUncheckedAndClicksOnlyToggleCheckedAndUnchecked)
{
    FlagCheckBox box(QStringLiteral("x"));
    EXPECT_EQ(box.value(), FlagCheckBox::Unchecked);
    box.click();
    EXPECT_EQ(box.value(), FlagCheckBox::Checked);
    box.click();
    EXPECT_EQ(box.value(), FlagCheckBox::Unchecked);

    box.setValue(FlagCheckBox::Grayed);
    box.click();
    EXPECT_EQ(box.value(), FlagCheckBox::Checked);
}
} // namespace
