// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QPointer>
#include <QWindow>

namespace tallyfin::ui {

// Makes a window close like a desktop popover: while it shows, it holds the pointer and the
// keyboard, so that Escape or a click anywhere outside it asks for it to close (`dismissed`).
// The window is only ever opened by a click on the panel, so the application the user works in
// keeps the keyboard focus until then, and gets the keyboard back when the popover closes.
// Any dialog the application opens meanwhile (an update notice, a message) closes the popover
// first: a grab would swallow every click meant for the dialog.
class PopoverGrab : public QObject {
    Q_OBJECT
    Q_PROPERTY(QWindow* window READ window WRITE setWindow NOTIFY windowChanged)
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

    QPointer<QWindow> m_window;
    bool m_grabbing = false;
};

} // namespace tallyfin::ui
