#pragma once

#include "FileDialog.h"

class QFileDialog;

class QtFileDialog : public FileDialog
{
public:
    FileChoice chooseFile(QWidget *parent, const FileRequest &request) override;
    // Qt's own dialog is used everywhere: only it shows the filter descriptions
    // exactly as given, whatever patterns they stand for.
    static void prepare(QFileDialog &dialog, const FileRequest &request);
};
