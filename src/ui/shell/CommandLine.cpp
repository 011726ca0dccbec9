// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

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
        } else if (name == u"--unlock" && noValueAllowed()) {
            options.unlock = true;
        } else if (name == u"--version" && noValueAllowed()) {
            options.showVersion = true;
        } else if (name == u"--connect") {
            const auto text = value();
            if (!text || text->isEmpty()) {
                //: Command-line error
                return CommandLineError{qtTrId("commandLine.error.connect")};
            }
            options.connectTo = *text;
        } else if (name == u"--size") {
            const auto text = value();
            const auto size = text ? overlaySizeFromName(*text) : std::nullopt;
            if (!size) {
                //: Command-line error; %1 is what was given
                return CommandLineError{
                    qtTrId("commandLine.error.size").arg(text.value_or(QString()))};
            }
            options.size = size;
        } else if (name == u"--units") {
            const auto text = value();
            const auto units = text ? unitSystemFromName(*text) : std::nullopt;
            if (!units) {
                //: Command-line error; %1 is what was given
                return CommandLineError{
                    qtTrId("commandLine.error.units").arg(text.value_or(QString()))};
            }
            options.units = units;
        } else if (name == u"--screenshot") {
            const auto file = value();
            if (!file || file->isEmpty()) {
                //: Command-line error
                return CommandLineError{qtTrId("commandLine.error.screenshot")};
            }
            if (!isWritableImageSuffix(*file)) {
                //: Command-line error; %1 is the file name given
                return CommandLineError{qtTrId("commandLine.error.imageFormat").arg(*file)};
            }
            options.screenshot = *file;
        } else if (name == u"--after") {
            const auto text = value();
            bool ok = false;
            const int ms = text ? text->toInt(&ok) : 0;
            if (!ok || ms < 0) {
                //: Command-line error; %1 is what was given
                return CommandLineError{
                    qtTrId("commandLine.error.after").arg(text.value_or(QString()))};
            }
            options.screenshotDelayMs = ms;
            afterGiven = true;
        } else {
            //: Command-line error; %1 is the argument
            return CommandLineError{qtTrId("commandLine.error.unknown").arg(argument)};
        }
    }
    if (afterGiven && !options.screenshot) {
        //: Command-line error
        return CommandLineError{qtTrId("commandLine.error.afterAlone")};
    }
    return options;
}

QString commandLineHelp(const QString& program) {
    //: The overlay's --help. %1 is the program's name. Keep the options as they are and the
    //: descriptions in one column, each line below 80 characters.
    return qtTrId("commandLine.help").arg(program);
}

} // namespace tallyfin::ui
