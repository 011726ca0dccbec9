// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

namespace {

// `program` as one argument of an Exec key: quoted when it holds a character the desktop entry
// format reserves, then escaped once more as every string value is.
QString execArgument(const QString& program) {
    static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`"_s;
    const bool quote =
        std::any_of(program.begin(), program.end(), [](QChar c) { return reserved.contains(c); });
    QString argument;
    if (quote) {
        argument += u'"';
        for (const QChar c : program) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
                argument += u'\\';
            }
            argument += c;
        }
        argument += u'"';
    } else {
        argument = program;
    }
    argument.replace(u'%', u"%%"_s);
    argument.replace(u'\\', u"\\\\"_s);
    argument.replace(u'\n', u"\\n"_s);
    argument.replace(u'\t', u"\\t"_s);
    return argument;
}

} // namespace

AutostartEntry::AutostartEntry(QString appId, QString program)
    : m_appId(std::move(appId))
    , m_program(std::move(program)) {}

QString AutostartEntry::filePath() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) %
           u"/autostart/"_s % m_appId % u".desktop"_s;
}

bool AutostartEntry::isEnabled() const {
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inMainGroup || eq < 0) {
            continue;
        }
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if ((key == u"Hidden" && value == u"true") ||
            (key == u"X-GNOME-Autostart-enabled" && value == u"false")) {
            return false;
        }
    }
    return true;
}

std::optional<QString> AutostartEntry::setEnabled(bool enabled) {
    const QString path = filePath();
    if (!enabled) {
        QFile file(path);
        if (QFileInfo::exists(path) && !file.remove()) {
            return path % u": "_s % file.errorString();
        }
        return std::nullopt;
    }
    if (const auto unusable = problem()) {
        return *unusable;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return folder % u": cannot create this folder"_s;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return path % u": "_s % file.errorString();
    }
    file.write(entryText(m_appId, m_program).toUtf8());
    if (!file.commit()) {
        return path % u": "_s % file.errorString();
    }
    return std::nullopt;
}

std::optional<QString> AutostartEntry::unusableProgram(const QString& program) {
    if (program.contains(u'%')) {
        //: Why "Start at Login" is unavailable; %1 is the program's path
        return qtTrId("autostart.percentInPath").arg(program);
    }
    return std::nullopt;
}

QString AutostartEntry::entryText(const QString& appId, const QString& program) {
    QString text = u"[Desktop Entry]\nType=Application\nName=Tallyfin\n"_s;
    text += u"Exec="_s + execArgument(program) + u'\n';
    // Skipped, rather than failing at each login, once the program is uninstalled.
    text += u"TryExec="_s + QString(program).replace(u"\\"_s, u"\\\\"_s) + u'\n';
    text += u"Icon="_s + appId + u'\n';
    text += u"Terminal=false\nX-GNOME-Autostart-enabled=true\n"_s;
    return text;
}

} // namespace tallyfin::ui
