#pragma once

#include "FileDialog.h"

#include <QList>

// An Open dialog answered without a person: it gives the answer set last and
// keeps each request it was given.
class ScriptedFileDialog : public FileDialog
{
public:
    FileChoice chooseFile(QWidget *parent, const FileRequest &request) override;
    void setNextAnswer(FileChoice answer);

    QList<FileRequest> requests() const { return m_requests; }

private:
    FileChoice m_answer;
    QList<FileRequest> m_requests;
};
