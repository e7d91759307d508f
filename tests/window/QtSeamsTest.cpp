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
    EXPECT_EQ(shown, (QStringList{"Memo exports and databases (*.txt *.csv *.tab *.pdb)",
                                  "All files (*.*)"}));
    EXPECT_EQ(types->currentText(), "Memo exports and databases (*.txt *.csv *.tab *.pdb)");
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
} // namespace
