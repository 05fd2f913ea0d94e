// TarveloV1R1: combustion properties of a fuel gas mixture, on the desktop.
#include "Identity.h"
#include "Pictures.h"
#include "frmMain.h"

#include <QApplication>

#include <cstdio>
#include <string_view>

namespace {

// Without any display to talk to, Qt would abort with a page of platform
// plugin warnings; one line says it better.
bool displayAvailable() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

// --help and --version answer on standard output instead of opening the
// window; other arguments are Qt's (-platform, -style, ...).
bool answeredOnTheCommandLine(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version" || argument == "-v") {
            std::printf("%s %s\n", tarvelo::kAppTitle, tarvelo::kVersion);
            return true;
        }
        if (argument == "--help" || argument == "-h") {
            std::printf("Usage: %s [--help] [--version] [Qt options]\n\n"
                        "Opens the window that calculates the combustion properties of a fuel\n"
                        "gas mixture from its composition. Without a window: tarvelo --help.\n",
                        tarvelo::kAppTitle);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (answeredOnTheCommandLine(argc, argv))
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "%s: no graphical display found (neither DISPLAY nor "
                     "WAYLAND_DISPLAY is set).\n",
                     tarvelo::kAppTitle);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(tarvelo::kAppTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(tarvelo::kVersion));
    QApplication::setWindowIcon(tarvelo::pictureIcon(QStringLiteral("tarvelo")));
    // Lets desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.marsk.TarveloV1"));

    frmMain window;
    window.show();
    return QApplication::exec();
}
