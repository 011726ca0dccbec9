#include "cli/Commands.h"
#include "cli/Dispatcher.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallyfin-cli"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return tallyfin::cli::dispatch(tallyfin::cli::commands(), app.arguments().mid(1), out, err);
}
