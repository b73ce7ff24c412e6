// SPDX-License-Identifier: GPL-3.0-or-later
// ostrand-cli: the personality codec and the radio operations from the command line.
#include "Commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstring>
#include <memory>

int main(int argc, char* argv[]) {
    // Printing lays text out with the fonts of a GUI application; it needs no display.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && std::strcmp(argv[1], "print") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The offscreen platform looks up a runtime folder it never uses for a PDF; that
        // there is none (a root shell, a build chroot) is no concern of a print.
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        app = std::make_unique<QGuiApplication>(argc, argv);
        qInstallMessageHandler(previous);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("ostrand-cli"));
    return ostrand::cli::Run(QCoreApplication::arguments());
}
