#include "InputBlocker.h"

#include "PaintedCaptions.h"
#include "PostedInput.h"
#include "QtPrinters.h"

#include <QApplication>
#include <QKeySequence>
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

// Tab and Shift+Tab would lead only to controls that take no input; Return
// and Enter press the live button as Space does.
TEST_F(InputBlockerTest, TheLiveButtonHasTheFocusAndKeepsItAndEveryPressingKeyPressesIt)
{
    browse.setFocus();
    const InputBlocker blocker(exit);
    EXPECT_EQ(QApplication::focusWidget(), &exit);
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char *text;
        int clicks;
    } keys[] = {{Qt::Key_Tab, Qt::NoModifier, "\t", 0},
                {Qt::Key_Backtab, Qt::ShiftModifier, "", 0},
                {Qt::Key_Return, Qt::NoModifier, "\r", 1},
                {Qt::Key_Enter, Qt::KeypadModifier, "\r", 1},
                {Qt::Key_Space, Qt::NoModifier, " ", 1}};
    for (const auto &k : keys) {
        SCOPED_TRACE(QKeySequence(k.key | k.modifiers).toString().toStdString());
        exitClicks.clear();
        PostedInput::key(window, k.key, k.modifiers, QString::fromLatin1(k.text));
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), &exit);
        EXPECT_EQ(exitClicks.count(), k.clicks);
    }
    EXPECT_EQ(browseClicks.count(), 0);
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
