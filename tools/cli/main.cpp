// ostrand-cli: the personality codec and the radio operations from the command line.
#include "Commands.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ostrand-cli"));
    return ostrand::cli::Run(QCoreApplication::arguments());
}
