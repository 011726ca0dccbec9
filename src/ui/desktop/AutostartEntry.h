// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

#include <optional>

namespace tallyfin::ui {

// The user's XDG autostart entry for the program: whether the desktop starts it at login, and
// turning that on (writing the entry) and off (removing it).
class AutostartEntry {
public:
    // The entry is <appId>.desktop in the user's autostart folder and starts `program`.
    AutostartEntry(QString appId, QString program);

    // $XDG_CONFIG_HOME/autostart/<appId>.desktop (~/.config when the variable is not set).
    QString filePath() const;

    // Whether the entry exists and does not switch itself off (Hidden=true, or GNOME's
    // X-GNOME-Autostart-enabled=false, which desktops write when the user disables it there).
    bool isEnabled() const;

    // Writes or removes the entry. On failure returns what went wrong and leaves any existing
    // entry as it was; an entry that could not start the program (problem()) is not written.
    std::optional<QString> setEnabled(bool enabled);

    // Why no desktop could start `program` from an entry, or nothing when one can. GLib (GNOME,
    // Xfce, Cinnamon) splits the Exec value as a shell would before it expands the field codes,
    // so an escaped "%%" stays doubled in the program it looks for, and it drops the entry.
    static std::optional<QString> unusableProgram(const QString& program);
    std::optional<QString> problem() const { return unusableProgram(m_program); }

    // The desktop entry text that starts `program` under `appId`'s name and icon.
    static QString entryText(const QString& appId, const QString& program);

private:
    QString m_appId;
    QString m_program;
};

} // namespace tallyfin::ui
