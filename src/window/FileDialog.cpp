#include "FileDialog.h"

#include <QFileDialog>

FileChoice QtFileDialog::chooseFile(QWidget *parent, const FileRequest &request)
{
    QFileDialog dialog(parent);
    prepare(dialog, request);
    if (dialog.exec() != QDialog::Accepted)
        return {FileChoice::Outcome::Cancelled, {}};
    const QStringList files = dialog.selectedFiles();
    if (files.size() != 1)
        return {FileChoice::Outcome::Failed,
                {},
                Error(Error::Reason::NotOneFileChosen, files.size())
                    .during(Error::Action::ChooseSource, Path(dialog.directory().absolutePath()))};
    return {FileChoice::Outcome::Chosen, files.first()};
}

void QtFileDialog::prepare(QFileDialog &dialog, const FileRequest &request)
{
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Filters are given as "All files (*.*) (*)": the description keeps its own
    // parentheses while the last pair holds the pattern Qt applies.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(request.nameFilters);
    dialog.selectNameFilter(request.selectedFilter);
    if (!request.startFolder.isEmpty())
        dialog.setDirectory(request.startFolder);
}
