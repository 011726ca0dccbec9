// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>

namespace tallyfin::ui {

// How a popover learns that the user is done with it.
enum class PopoverClosing {
    // It holds the pointer and the keyboard while it shows: a click outside it or Escape reaches
    // it wherever it lands.
    grab,
    // It is a window the window manager manages, kept above the others and given the keyboard
    // focus with the click that opened it, and it closes when it loses the focus or on Escape.
    // For XWayland, whose grabs do not hold the Wayland desktop's own windows: a click on one
    // of them, or Escape while one has the focus, would go there and leave the popover open.
    focus,
};

// The way for `platformName` (Qt's platform plugin), `xwayland` telling whether the X server is
// XWayland.
PopoverClosing popoverClosing(const QString& platformName, bool xwayland);

// Makes a window close like a desktop popover: while it shows, Escape or a click anywhere
// outside it asks for it to close (`dismissed`), in the way popoverClosing() picks.
// The window is only ever opened by a click on the panel, so the application the user works in
// keeps the keyboard focus until then (with grabs), and gets it back when the popover closes.
// Any dialog the application opens meanwhile (an update notice, a message) closes the popover
// first: a grab would swallow every click meant for the dialog.
class PopoverGrab : public QObject {
    Q_OBJECT
    Q_PROPERTY(QWindow* window READ window WRITE setWindow NOTIFY windowChanged)
    // True while the popover holds the pointer and the keyboard (or the keyboard focus).
    Q_PROPERTY(bool grabbing READ grabbing NOTIFY grabbingChanged)

public:
    explicit PopoverGrab(QObject* parent = nullptr);
    ~PopoverGrab() override;

    QWindow* window() const { return m_window; }
    void setWindow(QWindow* window);
    bool grabbing() const { return m_grabbing; }

Q_SIGNALS:
    void windowChanged();
    void grabbingChanged();
    void dismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void grab();
    void release();
    void dismiss();
    void setGrabbing(bool grabbing);

    QPointer<QWindow> m_window;
    PopoverClosing m_closing = PopoverClosing::grab;
    bool m_grabbing = false;
};

} // namespace tallyfin::ui
