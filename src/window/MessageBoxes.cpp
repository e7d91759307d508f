#include "MessageBoxes.h"

#include <QCoreApplication>
#include <QMessageBox>

void QtMessageBoxes::inform(QWidget *parent, const QString &text)
{
    QMessageBox box(parent);
    box.setWindowTitle(QCoreApplication::applicationName());
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}
