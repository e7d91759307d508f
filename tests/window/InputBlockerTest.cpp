#include "InputBlocker.h"

#include "PaintedCaptions.h"
#include "PostedInput.h"
#include "QtPrinters.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
void postClickAndSpace(QPushButton &control)
{
    PostedInput::click(control);
    control.setFocus();
    PostedInput::space(control);
    QCoreApplication::processEvents();
}

class InputBlockerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        browse.setGeometry(0, 0, 100, 30);
        exit.setGeometry(0, 40, 100, 30);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
    QPushButton browse{QStringLiteral("Browse"), &window};
    QPushButton exit{QStringLiteral("Exit"), &window};
    QSignalSpy browseClicks{&browse, &QPushButton::clicked};
    QSignalSpy exitClicks{&exit, &QPushButton::clicked};
};

TEST_F(InputBlockerTest, DiscardsAllInputButTheLiveButtonsWithoutReplayingItLater)
{
    {
        const InputBlocker blocker(exit);
        for (QPushButton *button : {&browse, &exit}) {
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(button, Qt::Key_Space);
            postClickAndSpace(*button);
        }
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(browseClicks.count(), 0);
    EXPECT_EQ(exitClicks.count(), 4);
}

TEST_F(InputBlockerTest, LetsPaintingThroughAndInputOnceItIsGone)
{
    const PaintedCaptions painted(browse);
    {
        const InputBlocker blocker(exit);
        browse.setText(QStringLiteral("Notes 1"));
        browse.repaint();
    }
    EXPECT_EQ(painted.captions(), QStringList{"Notes 1"});
    QTest::mouseClick(&browse, Qt::LeftButton);
    postClickAndSpace(browse);
    EXPECT_EQ(browseClicks.count(), 3);
}
} // namespace
