#include "CommandLine.h"

#include <QImageWriter>

namespace tallyfin::ui {

namespace {

// The value of an option that needs one, or an error when the arguments end or the next one is
// another option.
std::optional<QString> takeValue(const QStringList& arguments, qsizetype& i) {
    if (i + 1 >= arguments.size()) {
        return std::nullopt;
    }
    const QString& next = arguments.at(i + 1);
    if (next.startsWith(u"--")) {
        return std::nullopt;
    }
    ++i;
    return next;
}

bool isWritableImageSuffix(const QString& file) {
    const qsizetype dot = file.lastIndexOf(u'.');
    const qsizetype slash = file.lastIndexOf(u'/');
    if (dot <= slash + 1 || dot == file.size() - 1) {
        return false;
    }
    const QByteArray suffix = file.mid(dot + 1).toLower().toLatin1();
    return QImageWriter::supportedImageFormats().contains(suffix);
}

} // namespace

std::variant<CommandLineOptions, CommandLineError> parseCommandLine(const QStringList& arguments) {
    CommandLineOptions options;
    bool afterGiven = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        QString name = argument;
        std::optional<QString> inlineValue;
        if (const qsizetype eq = argument.indexOf(u'='); argument.startsWith(u"--") && eq > 2) {
            name = argument.left(eq);
            inlineValue = argument.mid(eq + 1);
        }
        auto value = [&]() -> std::optional<QString> {
            return inlineValue ? inlineValue : takeValue(arguments, i);
        };
        auto noValueAllowed = [&]() { return !inlineValue.has_value(); };

        if (name == u"--demo" && noValueAllowed()) {
            options.demo = true;
        } else if ((name == u"--help" || name == u"-h") && noValueAllowed()) {
            options.showHelp = true;
        } else if (name == u"--version" && noValueAllowed()) {
            options.showVersion = true;
        } else if (name == u"--connect") {
            const auto text = value();
            if (!text || text->isEmpty()) {
                return CommandLineError{QStringLiteral("--connect needs part of a machine's name")};
            }
            options.connectTo = *text;
        } else if (name == u"--size") {
            const auto text = value();
            const auto size = text ? overlaySizeFromName(*text) : std::nullopt;
            if (!size) {
                return CommandLineError{
                    QStringLiteral("--size needs one of small, medium, large (got \"%1\")")
                        .arg(text.value_or(QString()))};
            }
            options.size = size;
        } else if (name == u"--screenshot") {
            const auto file = value();
            if (!file || file->isEmpty()) {
                return CommandLineError{QStringLiteral("--screenshot needs a file name")};
            }
            if (!isWritableImageSuffix(*file)) {
                return CommandLineError{
                    QStringLiteral("--screenshot: cannot tell an image format from \"%1\" "
                                   "(use a name ending in .png)")
                        .arg(*file)};
            }
            options.screenshot = *file;
        } else if (name == u"--after") {
            const auto text = value();
            bool ok = false;
            const int ms = text ? text->toInt(&ok) : 0;
            if (!ok || ms < 0) {
                return CommandLineError{
                    QStringLiteral("--after needs a number of milliseconds (got \"%1\")")
                        .arg(text.value_or(QString()))};
            }
            options.screenshotDelayMs = ms;
            afterGiven = true;
        } else {
            return CommandLineError{QStringLiteral("unknown argument \"%1\"").arg(argument)};
        }
    }
    if (afterGiven && !options.screenshot) {
        return CommandLineError{QStringLiteral("--after only applies together with --screenshot")};
    }
    return options;
}

QString commandLineHelp(const QString& program) {
    return QStringLiteral(
               "Usage: %1 [--demo] [--connect NAME] [--size small|medium|large]\n"
               "          [--screenshot FILE [--after MS]]\n"
               "\n"
               "  --demo             show simulated machines instead of the Bluetooth stack's\n"
               "  --connect NAME     connect at start to the first machine whose name contains "
               "NAME\n"
               "  --size SIZE        overlay size for this run only (the preference is kept)\n"
               "  --screenshot FILE  render the panel to FILE and exit\n"
               "  --after MS         wait MS milliseconds before the screenshot (default 1000)\n"
               "  --version          print the version and exit\n")
        .arg(program);
}

} // namespace tallyfin::ui
