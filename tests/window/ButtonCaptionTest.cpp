#include "ButtonCaption.h"

#include "PaintedCaptions.h"
#include "QtPrinters.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class ButtonCaptionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        button.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    }

    void report(ButtonCaption &caption, int notes)
    {
        for (int n = 0; n <= notes; ++n)
            caption.notesSaved(n);
    }

    QPushButton button{QStringLiteral("Export")};
    PaintedCaptions painted{button};
};

TEST_F(ButtonCaptionTest, PaintsEveryCaptionWhenTheIntervalHasAlwaysPassed)
{
    ButtonCaption caption(button, {}, 0);
    report(caption, 3);
    EXPECT_EQ(painted.captions(),
              (QStringList{"Export", "Notes 0", "Notes 1", "Notes 2", "Notes 3"}));
}

TEST_F(ButtonCaptionTest, PaintsTheFirstCaptionAtOnceAndTheLatestWhenAsked)
{
    ButtonCaption caption(button, {}, 3'600'000);
    report(caption, 500);
    EXPECT_EQ(button.text(), "Notes 0");
    caption.showLatest();
    EXPECT_EQ(painted.captions(), (QStringList{"Export", "Notes 0", "Notes 500"}));
}

} // namespace
