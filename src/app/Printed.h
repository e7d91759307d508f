#pragma once

#include <QString>

// What the program prints for a person or a script to read, and whether all of
// it got there: a full disk or a closed file behind standard output or
// standard error is told and fails the run, as with any command-line tool.
namespace Printed {

void toOutput(const QString &text);
void toError(const QString &text);
// `status`, or 1 where it is 0 but something could not be printed; a failure
// to write standard output is told on standard error, where it can be.
int statusAfter(int status);

} // namespace Printed
