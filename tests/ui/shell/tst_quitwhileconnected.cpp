// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Quitting the overlay while a machine is connected, over the real QtBluetooth backend and the
// fake bluetoothd: the link is closed once and cleanly before the program ends.

#include "FakeBluez.h"
#include "bluetooth/qt/QtBluetoothCentral.h"
#include "connection/FTMSManager.h"
#include "ui/panel/OverlaySizeManager.h"
#include "ui/shell/AppShell.h"

#include <QApplication>
#include <QQmlExtensionPlugin>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

Q_IMPORT_QML_PLUGIN(TallyfinPlugin)

using namespace tallyfin;

namespace {

QStringList qtBluetoothWarnings;

void recordWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && QByteArray(context.category).startsWith("qt.bluetooth")) {
        qtBluetoothWarnings.append(message);
    }
}

} // namespace

class QuitWhileConnectedTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quitReleasesTheMachineOnce() {
        testing::FakeBluezControl fake;
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("prefs.ini")), QSettings::IniFormat);
        ui::OverlaySizeManager sizes(&settings);
        {
            ui::AppShell::Options options;
            options.centralFactory = bluetooth::qtBluetoothCentralFactory();
            options.sizes = &sizes;
            options.connectTo = testing::fakeBike.name;
            options.sendSignal = [](const QString&, const QMap<QString, QString>&) {};
            ui::AppShell shell(std::move(options));
            QVERIFY(shell.launch());
            QTRY_VERIFY_WITH_TIMEOUT(shell.manager()->powerHistory().size() >= 2,
                                     testing::fakeBluezTimeoutMs);
            qInstallMessageHandler(recordWarnings);
            // As the menu's Quit does it: the application's event loop ends.
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            QCoreApplication::exec();
            QVERIFY(!shell.manager()->connectedPeripheral());
        }
        qInstallMessageHandler(nullptr);
        QCOMPARE(fake.callsContaining(QStringLiteral("Device1.Disconnect")).size(), 1);
        QCOMPARE(qtBluetoothWarnings, QStringList());
    }
};

QTEST_MAIN(QuitWhileConnectedTest)
#include "tst_quitwhileconnected.moc"
