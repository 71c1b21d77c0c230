#include <QApplication>

#include "app/AppServices.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return AppServices::run(app);
}
