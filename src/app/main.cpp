#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ostrand"));
    QApplication::setApplicationName(QStringLiteral("Ostrand"));

    ostrand::MainWindow window;
    window.show();
    return app.exec();
}
