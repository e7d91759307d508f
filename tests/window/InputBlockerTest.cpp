#include "InputBlocker.h"

#include "PaintedCaptions.h"
#include "QtPrinters.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
void postClick(QWidget &widget)
{
    const QPointF centre = QRectF(widget.rect()).center();
    const QPointF global = widget.mapToGlobal(centre);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(&widget, new QMouseEvent(type, centre, global, Qt::LeftButton,
                                                             Qt::LeftButton, Qt::NoModifier));
}

class InputBlockerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        button.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    }

    QPushButton button{QStringLiteral("Exit")};
    QSignalSpy clicks{&button, &QPushButton::clicked};
};

TEST_F(InputBlockerTest, DiscardsMouseAndKeyboardInputWithoutReplayingItLater)
{
    {
        const InputBlocker blocker;
        QTest::mouseClick(&button, Qt::LeftButton);
        button.setFocus();
        QTest::keyClick(&button, Qt::Key_Space);
        postClick(button);
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(InputBlockerTest, LetsPaintingThroughAndInputOnceItIsGone)
{
    const PaintedCaptions painted(button);
    {
        const InputBlocker blocker;
        button.setText(QStringLiteral("Notes 1"));
        button.repaint();
    }
    EXPECT_EQ(painted.captions(), QStringList{"Notes 1"});
    QTest::mouseClick(&button, Qt::LeftButton);
    postClick(button);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks.count(), 2);
}
} // namespace
