<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The English string table: every text the user sees, by its dotted key. -->
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="connection.ready">
        <source>Ready to scan</source>
        <extracomment>Ready to scan</extracomment>
        <translation>Ready to scan</translation>
    </message>
    <message id="connection.scanning">
        <source>Searching for machines…</source>
        <extracomment>Scanning...</extracomment>
        <translation>Searching for machines…</translation>
    </message>
    <message id="connection.scanStopped">
        <source>Search stopped</source>
        <extracomment>Scan stopped</extracomment>
        <translation>Search stopped</translation>
    </message>
    <message id="connection.connecting">
        <source>Connecting to %1…</source>
        <extracomment>Connecting to... (%1 is the machine's name)</extracomment>
        <translation>Connecting to %1…</translation>
    </message>
    <message id="connection.connected">
        <source>Connected to %1</source>
        <extracomment>Connected to... (%1 is the machine's name)</extracomment>
        <translation>Connected to %1</translation>
    </message>
    <message id="connection.disconnected">
        <source>Disconnected</source>
        <extracomment>Disconnected</extracomment>
        <translation>Disconnected</translation>
    </message>
    <message id="connection.connectionFailed">
        <source>Connection failed. %1</source>
        <extracomment>Connection failed (%1 is the system's error description, possibly empty)</extracomment>
        <translation>Connection failed. %1</translation>
    </message>
    <message id="bluetooth.unsupported">
        <source>This computer has no Bluetooth LE</source>
        <extracomment>Bluetooth unsupported</extracomment>
        <translation>This computer has no Bluetooth LE</translation>
    </message>
    <message id="bluetooth.unauthorized">
        <source>Tallyfin may not use Bluetooth</source>
        <extracomment>Bluetooth unauthorized</extracomment>
        <translation>Tallyfin may not use Bluetooth</translation>
    </message>
    <message id="bluetooth.poweredOff">
        <source>Bluetooth is turned off</source>
        <extracomment>Bluetooth powered off</extracomment>
        <translation>Bluetooth is turned off</translation>
    </message>
    <message id="bluetooth.ready">
        <source>Bluetooth is ready</source>
        <extracomment>Bluetooth ready</extracomment>
        <translation>Bluetooth is ready</translation>
    </message>
    <message id="bluetooth.unavailable">
        <source>Bluetooth is not available</source>
        <extracomment>Bluetooth unavailable</extracomment>
        <translation>Bluetooth is not available</translation>
    </message>
    <message id="equipment.detected.rower">
        <source>Rower found</source>
        <extracomment>Rower detected</extracomment>
        <translation>Rower found</translation>
    </message>
    <message id="equipment.detected.bike">
        <source>Indoor bike found</source>
        <extracomment>Bike detected</extracomment>
        <translation>Indoor bike found</translation>
    </message>
    <message id="equipment.detected.crossTrainer">
        <source>Cross trainer found</source>
        <extracomment>Cross trainer detected</extracomment>
        <translation>Cross trainer found</translation>
    </message>
    <message id="equipment.detected.treadmill">
        <source>Treadmill found</source>
        <extracomment>Treadmill detected</extracomment>
        <translation>Treadmill found</translation>
    </message>
    <message id="simulation.stopped">
        <source>Simulation stopped</source>
        <extracomment>Simulation stopped status</extracomment>
        <translation>Simulation stopped</translation>
    </message>
    <message id="deviceList.unknownDevice">
        <source>Unknown device</source>
        <extracomment>Unknown device</extracomment>
        <translation>Unknown device</translation>
    </message>
    <message id="deviceList.searching">
        <source>Looking for fitness machines…</source>
        <extracomment>Shown in the device list while no machine has been found</extracomment>
        <translation>Looking for fitness machines…</translation>
    </message>
    <message id="device.type.rower">
        <source>Rower</source>
        <extracomment>Rower device type</extracomment>
        <translation>Rower</translation>
    </message>
    <message id="device.type.bike">
        <source>Indoor Bike</source>
        <extracomment>Indoor bike device type</extracomment>
        <translation>Indoor Bike</translation>
    </message>
    <message id="device.type.treadmill">
        <source>Treadmill</source>
        <extracomment>Treadmill device type</extracomment>
        <translation>Treadmill</translation>
    </message>
    <message id="device.type.crossTrainer">
        <source>Cross Trainer</source>
        <extracomment>Cross trainer device type</extracomment>
        <translation>Cross Trainer</translation>
    </message>
    <message id="device.type.unknown">
        <source>Fitness Equipment</source>
        <extracomment>Unknown fitness device type</extracomment>
        <translation>Fitness Equipment</translation>
    </message>
    <message id="equipment.rower">
        <source>Rower</source>
        <extracomment>Rower equipment type</extracomment>
        <translation>Rower</translation>
    </message>
    <message id="equipment.bike">
        <source>Indoor Bike</source>
        <extracomment>Bike equipment type</extracomment>
        <translation>Indoor Bike</translation>
    </message>
    <message id="equipment.crossTrainer">
        <source>Cross Trainer</source>
        <extracomment>Cross trainer equipment type</extracomment>
        <translation>Cross Trainer</translation>
    </message>
    <message id="equipment.treadmill">
        <source>Treadmill</source>
        <extracomment>Treadmill equipment type</extracomment>
        <translation>Treadmill</translation>
    </message>
    <message id="equipment.unknown">
        <source>Not detected yet</source>
        <extracomment>Unknown equipment type</extracomment>
        <translation>Not detected yet</translation>
    </message>
    <message id="metric.time.tooltip">
        <source>Elapsed time</source>
        <extracomment>Hover help of the elapsed-time tile</extracomment>
        <translation>Elapsed time</translation>
    </message>
    <message id="metric.distance.tooltip">
        <source>Total distance</source>
        <extracomment>Hover help of the distance tile</extracomment>
        <translation>Total distance</translation>
    </message>
    <message id="metric.speed.tooltip">
        <source>Speed, or pace per 500 m on a rower</source>
        <extracomment>Hover help of the speed or pace tile</extracomment>
        <translation>Speed, or pace per 500 m on a rower</translation>
    </message>
    <message id="metric.cadence.tooltip">
        <source>Cadence (revolutions per minute)</source>
        <extracomment>Cadence tooltip</extracomment>
        <translation>Cadence (revolutions per minute)</translation>
    </message>
    <message id="metric.strokeRate.tooltip">
        <source>Stroke rate (strokes per minute)</source>
        <extracomment>Stroke rate tooltip</extracomment>
        <translation>Stroke rate (strokes per minute)</translation>
    </message>
    <message id="metric.stepRate.tooltip">
        <source>Step rate (steps per minute)</source>
        <extracomment>Step rate tooltip</extracomment>
        <translation>Step rate (steps per minute)</translation>
    </message>
    <message id="metric.power.tooltip">
        <source>Power (watts)</source>
        <extracomment>Hover help of the power tile</extracomment>
        <translation>Power (watts)</translation>
    </message>
    <message id="metric.calories.tooltip">
        <source>Energy burned (kilocalories)</source>
        <extracomment>Hover help of the calories tile</extracomment>
        <translation>Energy burned (kilocalories)</translation>
    </message>
    <message id="metric.heartRate.tooltip">
        <source>Heart rate (beats per minute)</source>
        <extracomment>Hover help of the heart-rate tile</extracomment>
        <translation>Heart rate (beats per minute)</translation>
    </message>
    <message id="machineInfo.title">
        <source>Machine Info</source>
        <extracomment>Machine info title</extracomment>
        <translation>Machine Info</translation>
    </message>
    <message id="machineInfo.device">
        <source>Device:</source>
        <extracomment>Device label</extracomment>
        <translation>Device:</translation>
    </message>
    <message id="machineInfo.type">
        <source>Type:</source>
        <extracomment>Type label</extracomment>
        <translation>Type:</translation>
    </message>
    <message id="machineInfo.supportedMetrics">
        <source>Supported metrics</source>
        <extracomment>Supported metrics label</extracomment>
        <translation>Supported metrics</translation>
    </message>
    <message id="machineInfo.controlCapabilities">
        <source>Control capabilities</source>
        <extracomment>Control capabilities label</extracomment>
        <translation>Control capabilities</translation>
    </message>
    <message id="machineInfo.size">
        <source>Size</source>
        <extracomment>Size label</extracomment>
        <translation>Size</translation>
    </message>
    <message id="machineInfo.animation">
        <source>Animate values</source>
        <extracomment>Animation toggle</extracomment>
        <translation>Animate values</translation>
    </message>
    <message id="machineInfo.copyLog">
        <source>Copy debug log</source>
        <extracomment>Copy debug log</extracomment>
        <translation>Copy debug log</translation>
    </message>
    <message id="machineInfo.logCopied">
        <source>Log copied</source>
        <extracomment>Log copied confirmation</extracomment>
        <translation>Log copied</translation>
    </message>
    <message id="S">
        <source>S</source>
        <extracomment>Overlay size picker: small</extracomment>
        <translation>S</translation>
    </message>
    <message id="M">
        <source>M</source>
        <extracomment>Overlay size picker: medium</extracomment>
        <translation>M</translation>
    </message>
    <message id="L">
        <source>L</source>
        <extracomment>Overlay size picker: large</extracomment>
        <translation>L</translation>
    </message>
    <message id="menu.checkForUpdates">
        <source>Check for Updates…</source>
        <extracomment>Application menu item that starts a software-update check</extracomment>
        <translation>Check for Updates…</translation>
    </message>
</context>
</TS>
