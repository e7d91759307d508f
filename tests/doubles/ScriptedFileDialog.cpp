#include "ScriptedFileDialog.h"

FileChoice ScriptedFileDialog::chooseFile(QWidget *, const FileRequest &request)
{
    m_requests.append(request);
    return m_answer;
}

void ScriptedFileDialog::setNextAnswer(FileChoice answer)
{
    m_answer = std::move(answer);
}
