#include "app/cli/CommandLineTool.h"
#include "app/cli/Console.h"

#include <QCoreApplication>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    UseUtf8Console();
    return CommandLineTool::run(QCoreApplication::arguments());
}
