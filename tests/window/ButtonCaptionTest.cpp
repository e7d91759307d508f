#include "ExportWorker.h"
#include "QtPrinters.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

namespace {
// Long enough for a loaded machine; the test waits for things to happen.
constexpr int PatienceMs = 60'000;

// The export tells its count and asks whether to stop on a thread of its own;
// the button shows the latest count by itself, on the window's thread.
TEST(ButtonCaptionTest, ShowsTheLatestCountToldOnAnotherThreadAndPassesAStopBack)
{
    QPushButton button(QStringLiteral("Export"));
    ButtonCaption caption(button);
    caption.showLatest();
    EXPECT_EQ(button.text(), "Export");

    bool stopBeforeRequest = true;
    std::thread([&] {
        for (int n = 0; n <= 500; ++n)
            caption.notesSaved(n);
        stopBeforeRequest = caption.stopRequested();
    }).join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return button.text() == "Notes 500"; }, PatienceMs))
        << button.text().toStdString();
    EXPECT_FALSE(stopBeforeRequest);

    caption.requestStop();
    bool stopAfterRequest = false;
    std::thread([&] { stopAfterRequest = caption.stopRequested(); }).join();
    EXPECT_TRUE(stopAfterRequest);
}
} // namespace
