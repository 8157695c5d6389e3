#include "app/CWelmoApp.h"
#include "core/Version.h"

#include <QByteArray>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

const char usage[] = "Usage: welmo [FILE]\n"
                     "Spectral analysis of a time series: reads a column of an ASCII table,\n"
                     "estimates its power spectral density and shows series, spectrum and\n"
                     "statistics in one window.\n"
                     "\n"
                     "  FILE           offered to Retrieve Data: the data dialog opens with its\n"
                     "                 name, to confirm the layout\n"
                     "  -h, --help     print this help and exit\n"
                     "  -v, --version  print the version and exit\n"
                     "\n"
                     "Qt's own options (-platform, -style, ...) are accepted too.\n";

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

bool namesPlatformArgument(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    return false;
}

// Qt ends the process with abort() when its platform plugin cannot reach
// the display. While the application object is being built, its messages
// are held back; a fatal one is turned into one line and a plain exit.
QtMessageHandler previousHandler = nullptr;
std::vector<std::pair<QtMsgType, QString>> heldMessages;

void startUpMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "welmo: cannot open the display%s%s\n", display ? " " : "",
            display ? display : "");
        std::_Exit(1);
    }
    // The context points at the caller's strings, so only the text is kept.
    heldMessages.emplace_back(type, text);
}

void releaseHeldMessages()
{
    qInstallMessageHandler(previousHandler);
    for (const auto& [type, text] : heldMessages) {
        const QByteArray line = text.toLocal8Bit();
        switch (type) {
        case QtDebugMsg:
            qDebug("%s", line.constData());
            break;
        case QtInfoMsg:
            qInfo("%s", line.constData());
            break;
        default:
            qWarning("%s", line.constData());
            break;
        }
    }
    heldMessages.clear();
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("welmo %s\n", WELMO_VERSION);
            return 0;
        }
    }
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")
        && !namesPlatformArgument(argc, argv)) {
        std::fputs("welmo: no display (DISPLAY and WAYLAND_DISPLAY are not set; "
                   "QT_QPA_PLATFORM=offscreen runs without one)\n",
            stderr);
        return 1;
    }

    previousHandler = qInstallMessageHandler(startUpMessageHandler);
    CWelmoApp app(argc, argv);
    releaseHeldMessages();

    // The application object has taken Qt's own options out of argv.
    const QStringList arguments = app.arguments().mid(1);
    QString documentPath;
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            std::fprintf(
                stderr, "welmo: unknown option %s\n%s", argument.toLocal8Bit().constData(), usage);
            return 2;
        }
        if (!documentPath.isEmpty()) {
            std::fprintf(stderr, "welmo: only one FILE can be opened\n%s", usage);
            return 2;
        }
        documentPath = argument;
    }

    if (!app.initInstance(documentPath))
        return 1;
    return app.exec();
}
