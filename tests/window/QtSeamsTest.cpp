#include "FileDialog.h"
#include "MainWindow.h"
#include "MessageBoxes.h"
#include "QtPrinters.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

namespace {
TEST(QtFileDialog, ShowsTheFiltersAsDescribedStartingOnMemoFilesInTheSourceFolder)
{
    QTemporaryDir folder;
    QFileDialog dialog;
    QtFileDialog::prepare(dialog, MainWindow::openRequest(folder.filePath("memos.txt")));

    const auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    QStringList shown;
    for (int i = 0; i < types->count(); ++i)
        shown.append(types->itemText(i));
    EXPECT_EQ(shown,
              (QStringList{"Memo exports and databases (*.txt *.csv *.tab *.pdb *.dat *.mpa)",
                           "All files (*.*)"}));
    EXPECT_EQ(types->currentText(),
              "Memo exports and databases (*.txt *.csv *.tab *.pdb *.dat *.mpa)");
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(folder.path()).canonicalPath());
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
}

TEST(QtFileDialog, EachFilterShowsTheFilesItNames)
{
    QFileDialog dialog;
    QtFileDialog::prepare(dialog, MainWindow::openRequest({}));
    const auto *model = dialog.findChild<QFileSystemModel *>();
    ASSERT_NE(model, nullptr);

    const struct
    {
        const char *file;
        bool shown[2]; // Memo exports and databases, All files
    } cases[] = {
        {"memos.txt", {true, true}},   {"MEMOS.TXT", {true, true}},
        {"memos.csv", {true, true}},   {"memos.tab", {true, true}},
        {"MemoDB.pdb", {true, true}},  {"MemosDB-PMem.pdb", {true, true}},
        {"memopad.dat", {true, true}}, {"memopad.mpa", {true, true}},
        {"backup.bat", {false, true}}, {"MEMOS", {false, true}},
    };
    const QStringList filters = dialog.nameFilters();
    ASSERT_EQ(filters.size(), 2);
    for (int f = 0; f < 2; ++f) {
        dialog.selectNameFilter(filters[f]);
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.file) + " under " + filters[f].toStdString());
            EXPECT_EQ(QDir::match(model->nameFilters(), QString::fromLatin1(c.file)), c.shown[f]);
        }
    }
}

// Acts on the message box from within its own event loop, once it is open.
void whenOpen(const std::function<void(QMessageBox &)> &act)
{
    QTimer::singleShot(0, [act] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            act(*box);
        else
            whenOpen(act);
    });
}

QPushButton *buttonOf(QMessageBox &box, const QString &caption)
{
    for (QAbstractButton *button : box.buttons())
        if (button->text() == caption)
            return qobject_cast<QPushButton *>(button);
    return nullptr;
}

// Keys go where the window system sends them: to the control with the focus.
void press(QMessageBox &box, Qt::Key key)
{
    QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, key);
}

// Only the yes button says yes: Enter (on the default), Escape, the close box
// and a close() when a termination request comes all answer no.
TEST(QtMessageBoxes, AQuestionIsAnsweredYesOnlyByItsYesButton)
{
    const struct
    {
        const char *name;
        std::function<void(QMessageBox &)> answer;
        bool yes;
    } cases[] = {
        {"Remove clicked", [](QMessageBox &box) { buttonOf(box, "&Remove")->click(); }, true},
        {"Keep clicked", [](QMessageBox &box) { buttonOf(box, "&Keep")->click(); }, false},
        {"Enter", [](QMessageBox &box) { press(box, Qt::Key_Return); }, false},
        {"Escape", [](QMessageBox &box) { press(box, Qt::Key_Escape); }, false},
        {"close box",
         [](QMessageBox &box) { QCoreApplication::postEvent(box.windowHandle(), new QCloseEvent); },
         false},
        {"closed by a termination request", [](QMessageBox &box) { box.close(); }, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString text;
        whenOpen([&](QMessageBox &box) {
            text = box.text();
            c.answer(box);
        });
        QtMessageBoxes boxes;
        EXPECT_EQ(boxes.ask(nullptr, "Remove them?", "&Remove", "&Keep"), c.yes);
        EXPECT_EQ(text, "Remove them?");
    }
}
} // namespace
