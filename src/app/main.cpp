// nodalyx-config: the configuration tool's windows.
#include "ConsoleOutput.h"
#include "FrmMain.h"
#include "ProgramDir.h"
#include "Screenshots.h"
#include "SerialPorts.h"
#include "StartupOptions.h"
#include "WidgetOperator.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

using namespace nodalyx;

namespace {

void nameProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("nodalyx-config"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NODALYX_VERSION_STRING));
}

// Help, the version, a mistake in the options and a Qt that cannot read the files are
// answered before any window exists, so they need no display. Answers the exit status, or
// -1 when the windows are to open.
int answerWithoutWindows(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    nameProgram();
    const StartupOptions options = parseStartupOptions(QCoreApplication::arguments().mid(1));
    if (options.help || options.version || !options.error.isEmpty())
        attachParentConsole();
    if (options.help) {
        QTextStream(stdout) << startupHelpText();
        return 0;
    }
    if (options.version) {
        QTextStream(stdout) << "nodalyx-config " << NODALYX_VERSION_STRING << '\n';
        return 0;
    }
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << "nodalyx-config: " << options.error << '\n'
                            << QCoreApplication::translate("StartupOptions",
                                                           "Try 'nodalyx-config --help'.")
                            << '\n';
        return 2;
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const int status = answerWithoutWindows(argc, argv); status >= 0)
        return status;

    QApplication app(argc, argv);
    nameProgram();
    QApplication::setApplicationDisplayName(WidgetOperator::kTitle);
    QApplication::setDesktopFileName(QStringLiteral("nodalyx-config"));
    // Qt has taken its own options (-platform, -style, ...) out of the arguments by now.
    const StartupOptions options = parseStartupOptions(QApplication::arguments().mid(1));

    SharedState state;
    state.programDir = resolveProgramDir(options.dir);
    SerialPorts::setProgramDir(state.programDir); // its port map
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
