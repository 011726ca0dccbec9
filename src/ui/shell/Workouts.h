// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/EquipmentType.h"
#include "workout/WorkoutRecorder.h"

#include <QObject>
#include <QString>

#include <memory>

class QSettings;

namespace tallyfin::ui {

class OverlaySizeManager;

// The overlay's side of workouts: owns the recorder, keeps its preferences (folder, formats,
// automatic export) in the settings, exports at start the journals a crash left behind, and at the
// end of each kept workout puts a desktop notification up that offers to open the folder.
class Workouts : public QObject {
    Q_OBJECT
    Q_PROPERTY(tallyfin::WorkoutRecorder* recorder READ recorder CONSTANT)
    // What the start-up recovery or the last failure said; empty when there is nothing to say.
    Q_PROPERTY(QString notice READ notice NOTIFY noticeChanged)

public:
    static constexpr char folderKey[] = "workouts/folder";
    static constexpr char formatsKey[] = "workouts/formats";
    static constexpr char autoExportKey[] = "workouts/autoExport";

    Workouts(FTMSManager& manager, QSettings& settings, const OverlaySizeManager& sizes,
             WorkoutRecorder::Clock clock = {}, QObject* parent = nullptr);
    ~Workouts() override;

    WorkoutRecorder* recorder() const { return m_recorder.get(); }
    QString notice() const { return m_notice; }

    // Exports the journals left by an earlier run that never finished its workout.
    void recover();
    // Ends the workout being recorded (quit, logout, a stop signal). While quitting the
    // notification is sent before this returns.
    void finish(bool quitting);

    // Asks for the folder with the desktop's folder dialog.
    Q_INVOKABLE void chooseFolder();
    // Opens the workouts folder in the file manager (made first if it is not there yet).
    Q_INVOKABLE void openFolder();

Q_SIGNALS:
    void noticeChanged();

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& action);

private:
    void notify(const WorkoutSummary& summary, const QStringList& files);
    void setNotice(const QString& notice);

    QSettings& m_settings;
    const OverlaySizeManager& m_sizes;
    std::unique_ptr<WorkoutRecorder> m_recorder;
    EquipmentType m_kind = EquipmentType::unknown; // of the workout being recorded
    QString m_notice;
    bool m_quitting = false;
    uint m_notification = 0; // the notification on screen, 0 for none
};

} // namespace tallyfin::ui
