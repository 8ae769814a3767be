// nodalyx-config: the configuration tool's windows.
#include "FrmMain.h"
#include "ProgramDir.h"
#include "Screenshots.h"
#include "StartupOptions.h"
#include "WidgetOperator.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

using namespace nodalyx;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nodalyx-config"));
    QApplication::setApplicationDisplayName(WidgetOperator::kTitle);
    QApplication::setApplicationVersion(QStringLiteral(NODALYX_VERSION_STRING));
    QApplication::setDesktopFileName(QStringLiteral("nodalyx-config"));

    const StartupOptions options = parseStartupOptions(QApplication::arguments().mid(1));
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << "nodalyx-config: " << options.error << '\n';
        return 2;
    }

    SharedState state;
    state.programDir = resolveProgramDir(options.dir);
    state.ServiceMode = options.serviceMode;

    WidgetOperator op;
    op.setUnattended(!options.screenshotDir.isEmpty());
    FrmMain window(state, op);
    op.setStatusBar(window.statusBar());
    window.start();
    window.show();

    if (!options.screenshotDir.isEmpty()) {
        QTimer::singleShot(200, &window, [&] {
            const int failures = takeScreenshots(window, state, op, options.screenshotDir);
            QApplication::exit(failures == 0 ? 0 : 1);
        });
    }
    return QApplication::exec();
}
