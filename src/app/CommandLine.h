#pragma once

#include "CharacterSet.h"

#include <QCoreApplication>
#include <QStringList>

// The program's command line: without arguments, or with one file to show as
// the source, it opens its window; --version and --help print what they say,
// and --export SOURCE --to FOLDER exports without a window, all without a
// desktop. Qt's own options are left to Qt; anything else is a mistake.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    enum class Request { Window, Version, Help, Export, Mistake };

    // What --export asks for.
    struct Export
    {
        QString source;
        QString folder;
        bool addTxt = false;
        bool removeGone = false;
        CharacterSet characterSet = CharacterSet::Western;
    };

    // Needs no application object.
    static Request requestOf(const QStringList &arguments);
    // Of a request to export.
    static Export exportOf(const QStringList &arguments);
    // Of a request for the window: the file given, as an absolute path, which
    // the settings keep once an export of it completes; empty for none.
    static QString sourceOf(const QStringList &arguments);
    // Qt's options that name the desktop the window shows in, as
    // "-display :1" or "-platform wayland"; none where the environment does.
    static QStringList desktopOptionsOf(const QStringList &arguments);
    // Prints what the request asks for and gives the exit status: 0, or 2 for
    // a mistake, whose usage goes to standard error. Needs the application
    // object, for the translations.
    static int answer(Request request, const QStringList &arguments);
};
