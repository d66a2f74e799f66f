// SPDX-License-Identifier: MIT
// qurimo: the window.

#include "Form1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qurimo"));
    QApplication::setApplicationVersion(QStringLiteral("1.36"));
    QApplication::setDesktopFileName(QStringLiteral("io.qurimo.Qurimo"));

    qurimo::Form1 form;
    form.show();
    return QApplication::exec();
}
