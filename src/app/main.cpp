// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

namespace {

void SetNames() {
    QCoreApplication::setOrganizationName(QStringLiteral("Ostrand"));
    QCoreApplication::setApplicationName(QStringLiteral("Ostrand"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(OSTRAND_VERSION_MAJOR)
                                                .arg(OSTRAND_VERSION_MINOR)
                                                .arg(OSTRAND_VERSION_PATCH));
}

void Describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Read, edit and write the channel personality of Delta-S and Delta-SX "
                       "radios through a RIB on a serial port."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A personality file (.DS, .DFS, .DSX) to open, "
                                                "as File > Open does."),
                                 QStringLiteral("[FILE]"));
}

} // namespace

int main(int argc, char** argv) {
    // --help and --version answer without a window, and so without a display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "--help-all" || arg == "--version" ||
            arg == "-v") {
            QCoreApplication app(argc, argv);
            SetNames();
            QCommandLineParser parser;
            Describe(parser);
            parser.parse(QCoreApplication::arguments());
            // Exits with 0.
            if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
            // The program's name as typed, not the path it was started by.
            std::fputs(qPrintable(parser.helpText().replace(
                           QRegularExpression(QStringLiteral("^Usage: \\S+")),
                           QStringLiteral("Usage: ostrand"))),
                       stdout);
            return 0;
        }
    }

    QApplication app(argc, argv);
    SetNames();
    QCommandLineParser parser;
    Describe(parser);
    parser.process(app); // Qt's own options are gone; an unknown one is an error
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "ostrand: one file at most (%s)\n",
                     qPrintable(files.join(QStringLiteral(", "))));
        return 2;
    }

    ostrand::MainWindow window;
    window.show();
    if (!files.isEmpty()) {
        const QString file = files.first();
        QTimer::singleShot(0, &window, [&window, file] { window.OpenDocument(file); });
    }
    return app.exec();
}
