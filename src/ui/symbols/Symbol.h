// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QMetaType>
#include <QString>
#include <QUrl>

namespace tallyfin::ui {

// How one named symbol is drawn: a ligature of the icon font, or one of our own monochrome
// images for the symbols the font lacks. Neither for a name we do not know.
struct Symbol {
    Q_GADGET
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(QString ligature MEMBER ligature CONSTANT)
    Q_PROPERTY(QUrl source MEMBER source CONSTANT)
    Q_PROPERTY(bool isLigature READ isLigature CONSTANT)
    Q_PROPERTY(bool isImage READ isImage CONSTANT)

public:
    QString name;
    // The ligature text to set in the icon font; empty for an image or an unknown name.
    QString ligature;
    // "qrc:" address of a single-colour SVG (black on transparent) to be tinted; otherwise empty.
    QUrl source;

    bool isLigature() const { return !ligature.isEmpty(); }
    bool isImage() const { return !source.isEmpty(); }
    bool isKnown() const { return isLigature() || isImage(); }

    bool operator==(const Symbol&) const = default;
};

} // namespace tallyfin::ui

Q_DECLARE_METATYPE(tallyfin::ui::Symbol)
