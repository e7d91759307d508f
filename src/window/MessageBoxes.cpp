#include "MessageBoxes.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
void prepare(QMessageBox &box, const QString &text)
{
    box.setWindowTitle(QCoreApplication::applicationName());
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(QMessageBox::NoIcon);
}
} // namespace

void QtMessageBoxes::inform(QWidget *parent, const QString &text)
{
    QMessageBox box(parent);
    prepare(box, text);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

bool QtMessageBoxes::ask(QWidget *parent, const QString &text, const QString &yes,
                         const QString &no)
{
    QMessageBox box(parent);
    prepare(box, text);
    const QPushButton *yesButton = box.addButton(yes, QMessageBox::AcceptRole);
    QPushButton *noButton = box.addButton(no, QMessageBox::RejectRole);
    box.setDefaultButton(noButton);
    // The close box, and a close() when a termination request comes, count
    // as a click of the escape button.
    box.setEscapeButton(noButton);
    box.exec();
    return box.clickedButton() == yesButton;
}
