#include "app/frmDelta.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ostrand"));
    QApplication::setApplicationName(QStringLiteral("Ostrand"));

    ostrand::frmDelta window;
    window.show();
    return app.exec();
}
