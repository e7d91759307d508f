#pragma once

#include "Error.h"

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// What the Open dialog is asked to show.
struct FileRequest
{
    QString startFolder;
    QStringList nameFilters; // Qt's "Description (patterns)" form
    QString selectedFilter;
};

// How the Open dialog ended.
struct FileChoice
{
    enum class Outcome { Chosen, Cancelled, Failed };
    Outcome outcome = Outcome::Cancelled;
    QString path;
    Error error = {}; // why it failed, where it did
};

// The modal Open dialog of the Browse button.
class FileDialog
{
public:
    virtual ~FileDialog() = default;
    virtual FileChoice chooseFile(QWidget *parent, const FileRequest &request) = 0;
};

// The Open dialog as Qt draws it, never the desktop's: only Qt's own dialog
// shows the filter descriptions exactly as given, whatever patterns they stand
// for.
class QtFileDialog : public FileDialog
{
public:
    FileChoice chooseFile(QWidget *parent, const FileRequest &request) override;
    static void prepare(QFileDialog &dialog, const FileRequest &request);
};
