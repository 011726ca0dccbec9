// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bluetooth/Central.h"
#include "connection/Published.h"
#include "model/ApplicationInfo.h"
#include "ui/desktop/OverlayPanel.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QQmlApplicationEngine;
class QQuickWindow;
class QSettings;

namespace tallyfin {
class FTMSManager;
}

namespace tallyfin::ui {

class AppMenu;
class InstanceGuard;
class Appearance;
class Workouts;
class OverlaySizeManager;

// The application: starts analytics when the build carries an application identifier, then the
// update check, the machine manager and the panel, and keeps the panel's frame in step with the
// connection and the overlay size for the whole run.
class AppShell : public QObject {
    Q_OBJECT

public:
    struct Options {
        ApplicationInfo applicationInfo;
        bluetooth::CentralFactory centralFactory;
        // The size preferences; OverlaySizeManager::shared() when not given.
        OverlaySizeManager* sizes = nullptr;
        // Where the chosen heart-rate strap is kept; the application's settings when not given.
        QSettings* settings = nullptr;
        // The primary screen when not given.
        OverlayPanel::ScreenSource screens;
        // Connect at start to the first machine whose name contains this text.
        std::optional<QString> connectTo;
        // Installs the analytics client for an application identifier and sends the launch
        // signal; TelemetryDeck when not given.
        std::function<void(const QString& appId)> startAnalytics;
        // Builds the update controller (nothing when the build has no update feed) and says how
        // the menu asks it for a check.
        std::function<std::pair<std::unique_ptr<QObject>, std::function<void()>>()> makeUpdater;
        // Runs once the manager exists, before any view uses it (tests tune its timing here).
        std::function<void(FTMSManager&)> managerCreated;
        // Sends the manager's usage signals; TelemetryDeck when not given.
        std::function<void(const QString& name, const QMap<QString, QString>& parameters)>
            sendSignal;
        // The time the manager's log and the workouts go by; the system's when not given.
        std::function<QDateTime()> clock;
    };

    explicit AppShell(Options options, QObject* parent = nullptr);
    ~AppShell() override;

    // Runs the launch steps in order. False when the views could not be loaded.
    bool launch();
    // Commands from a later `tallyfin`: "unlock" unlocks the panel.
    void takeCommands(InstanceGuard& guard);
    // Closes the views and lets go of a connected machine and strap, waiting (a few seconds at
    // most) until the stack confirms it. Runs when the application quits; does nothing the second
    // time.
    void shutDown();

    FTMSManager* manager() const { return m_manager.get(); }
    OverlayPanel* panel() const { return m_panel.get(); }
    QQuickWindow* window() const;
    QQmlApplicationEngine* engine() const { return m_engine.get(); }
    AppMenu* menu() const { return m_menu.get(); }
    Appearance* appearance() const { return m_appearance.get(); }
    QObject* updaterController() const { return m_updaterController.get(); }
    OverlaySizeManager& sizes() const { return *m_sizes; }
    Workouts* workouts() const { return m_workouts.get(); }

private:
    void watchAppearance();
    void startAnalytics();
    void startUpdates();
    void startManager();
    bool setUpPanel();
    void observeConnection();
    void observeSize();
    void observeTiles();
    void connectWhenFound();

    Options m_options;
    OverlaySizeManager* m_sizes;
    // Whether the desktop is dark, for the analytics client's default parameters.
    std::shared_ptr<std::atomic<bool>> m_darkDesktop;
    std::unique_ptr<QSettings> m_ownSettings;
    std::unique_ptr<QObject> m_updaterController;
    std::function<void()> m_checkForUpdates;
    std::unique_ptr<FTMSManager> m_manager;
    std::unique_ptr<Workouts> m_workouts;
    std::unique_ptr<Appearance> m_appearance;
    std::unique_ptr<AppMenu> m_menu;
    std::unique_ptr<QQmlApplicationEngine> m_engine;
    std::unique_ptr<OverlayPanel> m_panel;
    std::vector<Subscription> m_cancellables;
};

} // namespace tallyfin::ui
