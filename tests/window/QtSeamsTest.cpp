#include "FileDialog.h"
#include "MainWindow.h"
#include "QtPrinters.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
TEST(QtFileDialog, ShowsTheThreeFiltersAsDescribedStartingOnTextFilesInTheSourceFolder)
{
    QTemporaryDir folder;
    QFileDialog dialog;
    QtFileDialog::prepare(dialog, MainWindow::openRequest(folder.filePath("memos.txt")));

    const auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    QStringList shown;
    for (int i = 0; i < types->count(); ++i)
        shown.append(types->itemText(i));
    EXPECT_EQ(shown, (QStringList{"All files (*.*)", "Text Files (*.txt)", "Batch Files (*.bat)"}));
    EXPECT_EQ(types->currentText(), "Text Files (*.txt)");
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
        bool shown[3]; // All files, Text Files, Batch Files
    } cases[] = {
        {"memos.txt", {true, true, false}},
        {"backup.bat", {true, false, true}},
        {"MEMOS", {true, false, false}},
        {"memos.csv", {true, false, false}},
    };
    const QStringList filters = dialog.nameFilters();
    ASSERT_EQ(filters.size(), 3);
    for (int f = 0; f < 3; ++f) {
        dialog.selectNameFilter(filters[f]);
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.file) + " under " + filters[f].toStdString());
            EXPECT_EQ(QDir::match(model->nameFilters(), QString::fromLatin1(c.file)), c.shown[f]);
        }
    }
}
} // namespace
