<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The English string table: every text the user sees, by its dotted key. -->
<TS version="2.1" language="en" sourcelanguage="en">
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
    <message id="connection.noData">
        <source>No values from %1</source>
        <extracomment>Connected, but the machine sends no values (%1 is the machine's name)</extracomment>
        <translation>No values from %1</translation>
    </message>
    <message id="connection.awaitingReturn">
        <source>%1 lost: connecting again when it is heard</source>
        <extracomment>Status while a machine lost without the user asking is awaited (%1 is its name)</extracomment>
        <translation>%1 lost: connecting again when it is heard</translation>
    </message>
    <message id="connection.reconnecting">
        <source>Reconnecting to %1</source>
        <extracomment>Status when a lost machine is heard again and connected anew (%1 is its name)</extracomment>
        <translation>Reconnecting to %1</translation>
    </message>
    <message id="strap.connected">
        <source>Heart rate from %1</source>
        <extracomment>Status once a heart-rate strap sends its values (%1 is the strap's name)</extracomment>
        <translation>Heart rate from %1</translation>
    </message>
    <message id="strap.lost">
        <source>%1 lost: heart rate from the machine</source>
        <extracomment>Status when a strap goes away and the machine's heart rate shows again (%1 is the strap's name)</extracomment>
        <translation>%1 lost: heart rate from the machine</translation>
    </message>
    <message id="strap.lostWithoutMachineHeartRate">
        <source>%1 lost</source>
        <extracomment>Status when a strap goes away and the machine measures no heart rate (%1 is the strap's name)</extracomment>
        <translation>%1 lost</translation>
    </message>
    <message id="strap.machineChosen">
        <source>Heart rate from the machine</source>
        <extracomment>Status when the user chose the machine's own heart rate instead of a strap's</extracomment>
        <translation>Heart rate from the machine</translation>
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
    <message id="deviceList.bluetoothOff">
        <source>Bluetooth is off – turn it on in Settings</source>
        <extracomment>The device list while the Bluetooth adapter is switched off</extracomment>
        <translation>Bluetooth is off – turn it on in Settings</translation>
    </message>
    <message id="deviceList.noAdapter">
        <source>No Bluetooth adapter – plug one in</source>
        <extracomment>The device list when the computer has no Bluetooth LE adapter</extracomment>
        <translation>No Bluetooth adapter – plug one in</translation>
    </message>
    <message id="deviceList.bluetoothRefused">
        <source>Bluetooth access refused – allow it in Settings</source>
        <extracomment>The device list when the system refuses Tallyfin the use of Bluetooth</extracomment>
        <translation>Bluetooth access refused – allow it in Settings</translation>
    </message>
    <message id="feature.speed">
        <source>Speed</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Speed</translation>
    </message>
    <message id="feature.cadence">
        <source>Cadence</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Cadence</translation>
    </message>
    <message id="feature.distance">
        <source>Distance</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Distance</translation>
    </message>
    <message id="feature.incline">
        <source>Incline</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Incline</translation>
    </message>
    <message id="feature.pace">
        <source>Pace</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Pace</translation>
    </message>
    <message id="feature.steps">
        <source>Steps</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Steps</translation>
    </message>
    <message id="feature.resistance">
        <source>Resistance</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Resistance</translation>
    </message>
    <message id="feature.power">
        <source>Power</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Power</translation>
    </message>
    <message id="feature.calories">
        <source>Calories</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Calories</translation>
    </message>
    <message id="feature.heartRate">
        <source>Heart Rate</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Heart Rate</translation>
    </message>
    <message id="feature.time">
        <source>Time</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Time</translation>
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
        <source>Speed</source>
        <extracomment>Hover help of the speed tile</extracomment>
        <translation>Speed</translation>
    </message>
    <message id="metric.rowPace.tooltip">
        <source>Pace (time per 500 m)</source>
        <extracomment>Hover help of a rower's pace tile</extracomment>
        <translation>Pace (time per 500 m)</translation>
    </message>
    <message id="metric.milePace.tooltip">
        <source>Pace (minutes per mile)</source>
        <extracomment>Hover help of the pace tile of a treadmill shown in imperial units</extracomment>
        <translation>Pace (minutes per mile)</translation>
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
    <message id="machineInfo.units">
        <source>Units</source>
        <extracomment>Units label: the units distances and speeds are shown in</extracomment>
        <translation>Units</translation>
    </message>
    <message id="machineInfo.units.metric">
        <source>Metric</source>
        <extracomment>Units picker: kilometres and km/h</extracomment>
        <translation>Metric</translation>
    </message>
    <message id="machineInfo.units.imperial">
        <source>Imperial</source>
        <extracomment>Units picker: miles and mph</extracomment>
        <translation>Imperial</translation>
    </message>
    <message id="machineInfo.animation">
        <source>Animate values</source>
        <extracomment>Animation toggle</extracomment>
        <translation>Animate values</translation>
    </message>
    <message id="machineInfo.autoReconnect">
        <source>Reconnect automatically</source>
        <extracomment>Switch in the machine information popover: connect again to a machine lost unexpectedly</extracomment>
        <translation>Reconnect automatically</translation>
    </message>
    <message id="machineInfo.heartRate">
        <source>Heart rate</source>
        <extracomment>Label of the choice where the heart rate comes from: the machine or a strap</extracomment>
        <translation>Heart rate</translation>
    </message>
    <message id="machineInfo.heartRate.machine">
        <source>Machine</source>
        <extracomment>The heart rate the machine itself measures (as opposed to a strap's)</extracomment>
        <translation>Machine</translation>
    </message>
    <message id="machineInfo.heartRate.searching">
        <source>Looking for heart-rate straps…</source>
        <extracomment>Shown while no heart-rate strap has been heard</extracomment>
        <translation>Looking for heart-rate straps…</translation>
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
    <message id="menu.about">
        <source>About Tallyfin</source>
        <extracomment>Tray menu item that shows the version</extracomment>
        <translation>About Tallyfin</translation>
    </message>
    <message id="menu.about.description">
        <source>A floating overlay for indoor training on Bluetooth fitness machines.</source>
        <extracomment>What the program is, in the About box</extracomment>
        <translation>A floating overlay for indoor training on Bluetooth fitness machines.</translation>
    </message>
    <message id="menu.quit">
        <source>Quit Tallyfin</source>
        <extracomment>Tray menu item that ends the program</extracomment>
        <translation>Quit Tallyfin</translation>
    </message>
    <message id="update.upToDate.title">
        <source>You're up to date</source>
        <extracomment>Title of the answer to "Check for Updates" when nothing newer exists</extracomment>
        <translation>You're up to date</translation>
    </message>
    <message id="update.upToDate.text">
        <source>Tallyfin %1 is the newest version available.</source>
        <extracomment>%1 is the version running</extracomment>
        <translation>Tallyfin %1 is the newest version available.</translation>
    </message>
    <message id="update.available.title">
        <source>A new version of Tallyfin is available</source>
        <extracomment>Title of the answer to "Check for Updates" when a newer version exists</extracomment>
        <translation>A new version of Tallyfin is available</translation>
    </message>
    <message id="update.available.text">
        <source>Tallyfin %1 is available; you have %2.</source>
        <extracomment>%1 is the newer version, %2 the version running</extracomment>
        <translation>Tallyfin %1 is available; you have %2.</translation>
    </message>
    <message id="update.download">
        <source>Download…</source>
        <extracomment>Button that opens the download page of the newer version</extracomment>
        <translation>Download…</translation>
    </message>
    <message id="update.later">
        <source>Later</source>
        <extracomment>Button that closes the update message without downloading</extracomment>
        <translation>Later</translation>
    </message>
    <message id="update.failed.title">
        <source>Update check failed</source>
        <extracomment>Title of the answer to "Check for Updates" when the check failed</extracomment>
        <translation>Update check failed</translation>
    </message>
    <message id="update.failed.text">
        <source>Tallyfin could not check for updates: %1</source>
        <extracomment>%1 says what went wrong (a whole sentence)</extracomment>
        <translation>Tallyfin could not check for updates: %1</translation>
    </message>
    <message id="update.error.tooLarge">
        <source>The update feed at %1 is larger than %2 MiB.</source>
        <extracomment>%1 is the feed's address, %2 a number of mebibytes</extracomment>
        <translation>The update feed at %1 is larger than %2 MiB.</translation>
    </message>
    <message id="update.checking.title">
        <source>Check for Updates</source>
        <extracomment>Title of the window while an update check runs</extracomment>
        <translation>Check for Updates</translation>
    </message>
    <message id="update.checking.text">
        <source>Checking for updates at %1 …</source>
        <extracomment>%1 is the update feed's address</extracomment>
        <translation>Checking for updates at %1 …</translation>
    </message>
    <message id="update.error.timeout">
        <source>The update feed at %1 took longer than %2 seconds in all; the check was given up.</source>
        <extracomment>%1 is the feed's address, %2 a number of seconds</extracomment>
        <translation>The update feed at %1 took longer than %2 seconds in all; the check was given up.</translation>
    </message>
    <message id="update.error.httpStatus">
        <source>The update feed at %1 answered HTTP %2%3.</source>
        <extracomment>%1 is the feed's address, %2 the HTTP status code, %3 its reason in parentheses after a space, or nothing</extracomment>
        <translation>The update feed at %1 answered HTTP %2%3.</translation>
    </message>
    <message id="update.error.unreachable">
        <source>Could not reach the update feed at %1: %2.</source>
        <extracomment>%1 is the feed's address, %2 the network's error (from Qt)</extracomment>
        <translation>Could not reach the update feed at %1: %2.</translation>
    </message>
    <message id="update.error.unreadable">
        <source>The update feed at %1 could not be read: %2.</source>
        <extracomment>%1 is the feed's address, %2 what is wrong with the feed (English, technical)</extracomment>
        <translation>The update feed at %1 could not be read: %2.</translation>
    </message>
    <message id="commandLine.help">
        <source>Usage: %1 [OPTION]...

  --demo             show simulated machines instead of the Bluetooth stack's
  --connect NAME     connect at start to the first machine whose name contains NAME
  --size SIZE        small, medium or large for this run only (preference kept)
  --units UNITS      metric or imperial for this run only (preference kept)
  --screenshot FILE  render the panel to FILE and exit
  --after MS         wait MS milliseconds before the screenshot (default 1000)
  --unlock           unlock the running overlay's locked panel and exit
  --help             print this help and exit
  --version          print the version and exit
</source>
        <extracomment>The overlay's --help. %1 is the program's name. Keep the options as they are and the descriptions in one column, each line below 80 characters.</extracomment>
        <translation>Usage: %1 [OPTION]...

  --demo             show simulated machines instead of the Bluetooth stack's
  --connect NAME     connect at start to the first machine whose name contains NAME
  --size SIZE        small, medium or large for this run only (preference kept)
  --units UNITS      metric or imperial for this run only (preference kept)
  --screenshot FILE  render the panel to FILE and exit
  --after MS         wait MS milliseconds before the screenshot (default 1000)
  --unlock           unlock the running overlay's locked panel and exit
  --help             print this help and exit
  --version          print the version and exit
</translation>
    </message>
    <message id="commandLine.error.connect">
        <source>--connect needs part of a machine's name</source>
        <extracomment>Command-line error</extracomment>
        <translation>--connect needs part of a machine's name</translation>
    </message>
    <message id="commandLine.error.size">
        <source>--size needs one of small, medium, large (got "%1")</source>
        <extracomment>Command-line error; %1 is what was given</extracomment>
        <translation>--size needs one of small, medium, large (got "%1")</translation>
    </message>
    <message id="commandLine.error.units">
        <source>--units needs metric or imperial (got "%1")</source>
        <extracomment>Command-line error; %1 is what was given</extracomment>
        <translation>--units needs metric or imperial (got "%1")</translation>
    </message>
    <message id="commandLine.error.screenshot">
        <source>--screenshot needs a file name</source>
        <extracomment>Command-line error</extracomment>
        <translation>--screenshot needs a file name</translation>
    </message>
    <message id="commandLine.error.imageFormat">
        <source>--screenshot: cannot tell an image format from "%1" (use a name ending in .png)</source>
        <extracomment>Command-line error; %1 is the file name given</extracomment>
        <translation>--screenshot: cannot tell an image format from "%1" (use a name ending in .png)</translation>
    </message>
    <message id="commandLine.error.after">
        <source>--after needs a number of milliseconds (got "%1")</source>
        <extracomment>Command-line error; %1 is what was given</extracomment>
        <translation>--after needs a number of milliseconds (got "%1")</translation>
    </message>
    <message id="commandLine.error.afterAlone">
        <source>--after only applies together with --screenshot</source>
        <extracomment>Command-line error</extracomment>
        <translation>--after only applies together with --screenshot</translation>
    </message>
    <message id="commandLine.error.unknown">
        <source>unknown argument "%1"</source>
        <extracomment>Command-line error; %1 is the argument</extracomment>
        <translation>unknown argument "%1"</translation>
    </message>
    <message id="autostart.percentInPath">
        <source>Desktops cannot start %1 at login: its path holds a &quot;%&quot;. Move the program to a folder without one.</source>
        <extracomment>Why &quot;Start at Login&quot; is unavailable; %1 is the program's path</extracomment>
        <translation>Desktops cannot start %1 at login: its path holds a &quot;%&quot;. Move the program to a folder without one.</translation>
    </message>
    <message id="menu.startAtLogin">
        <source>Start at Login</source>
        <extracomment>Tray menu item, checked while the desktop starts the program when the user logs in</extracomment>
        <translation>Start at Login</translation>
    </message>
    <message id="menu.startAtLogin.failed">
        <source>Tallyfin could not change whether it starts at login.

%1</source>
        <extracomment>Message when the autostart entry cannot be written or removed; %1 is the file and why</extracomment>
        <translation>Tallyfin could not change whether it starts at login.

%1</translation>
    </message>
    <message id="menu.noUpdateFeed">
        <source>This build of Tallyfin has no update feed: updates come with the package it was installed from.</source>
        <extracomment>Tooltip of the disabled update-check menu item in a build without an update feed</extracomment>
        <translation>This build of Tallyfin has no update feed: updates come with the package it was installed from.</translation>
    </message>
    <message id="platform.noDisplay">
        <source>no X display (DISPLAY is not set): run tallyfin in a desktop session, set DISPLAY, or run it under Xvfb (xvfb-run tallyfin)</source>
        <extracomment>Start-up error when DISPLAY is not set</extracomment>
        <translation>no X display (DISPLAY is not set): run tallyfin in a desktop session, set DISPLAY, or run it under Xvfb (xvfb-run tallyfin)</translation>
    </message>
    <message id="platform.noXWayland">
        <source>this Wayland session has no XWayland (DISPLAY is not set), which the panel needs to stay above other windows: enable XWayland, or set QT_QPA_PLATFORM=wayland to run without it</source>
        <extracomment>Start-up error in a Wayland session without XWayland</extracomment>
        <translation>this Wayland session has no XWayland (DISPLAY is not set), which the panel needs to stay above other windows: enable XWayland, or set QT_QPA_PLATFORM=wayland to run without it</translation>
    </message>
    <message id="platform.displayDoesNotOpen">
        <source>cannot open the X display "%1": check DISPLAY, or run tallyfin under Xvfb (xvfb-run tallyfin)</source>
        <extracomment>Start-up error; %1 is the value of DISPLAY</extracomment>
        <translation>cannot open the X display "%1": check DISPLAY, or run tallyfin under Xvfb (xvfb-run tallyfin)</translation>
    </message>
    <message id="workout.title">
        <source>This workout</source>
        <extracomment>Title of the popover's section on the workout being recorded</extracomment>
        <translation>This workout</translation>
    </message>
    <message id="workout.duration">
        <source>Duration</source>
        <extracomment>Workout summary line: the time from start to end</extracomment>
        <translation>Duration</translation>
    </message>
    <message id="workout.distance">
        <source>Distance</source>
        <extracomment>Workout summary line</extracomment>
        <translation>Distance</translation>
    </message>
    <message id="workout.calories">
        <source>Calories</source>
        <extracomment>Workout summary line</extracomment>
        <translation>Calories</translation>
    </message>
    <message id="workout.power">
        <source>Power</source>
        <extracomment>Workout summary line: average and maximum watts</extracomment>
        <translation>Power</translation>
    </message>
    <message id="workout.speed">
        <source>Speed</source>
        <extracomment>Workout summary line: average and maximum speed</extracomment>
        <translation>Speed</translation>
    </message>
    <message id="workout.pace">
        <source>Pace</source>
        <extracomment>Workout summary line: average and best time per 500 m or per mile</extracomment>
        <translation>Pace</translation>
    </message>
    <message id="workout.cadence">
        <source>Cadence</source>
        <extracomment>Workout summary line: the bike's revolutions per minute</extracomment>
        <translation>Cadence</translation>
    </message>
    <message id="workout.strokeRate">
        <source>Stroke rate</source>
        <extracomment>Workout summary line: the rower's strokes per minute</extracomment>
        <translation>Stroke rate</translation>
    </message>
    <message id="workout.stepRate">
        <source>Step rate</source>
        <extracomment>Workout summary line: steps per minute</extracomment>
        <translation>Step rate</translation>
    </message>
    <message id="workout.heartRate">
        <source>Heart rate</source>
        <extracomment>Workout summary line: average and maximum beats per minute</extracomment>
        <translation>Heart rate</translation>
    </message>
    <message id="workout.average">
        <source>Average</source>
        <extracomment>Column heading in the workout section</extracomment>
        <translation>Average</translation>
    </message>
    <message id="workout.maximum">
        <source>Maximum</source>
        <extracomment>Column heading in the workout section</extracomment>
        <translation>Maximum</translation>
    </message>
    <message id="workout.folder">
        <source>Folder</source>
        <extracomment>Label of where finished workouts are written</extracomment>
        <translation>Folder</translation>
    </message>
    <message id="workout.chooseFolder">
        <source>Choose…</source>
        <extracomment>Button that opens the folder dialog for the workouts folder</extracomment>
        <translation>Choose…</translation>
    </message>
    <message id="workout.chooseFolder.title">
        <source>Folder for Workouts</source>
        <extracomment>Title of the dialog that picks where finished workouts are written</extracomment>
        <translation>Folder for Workouts</translation>
    </message>
    <message id="workout.formats">
        <source>Formats</source>
        <extracomment>Label of the file formats written at the end of a workout</extracomment>
        <translation>Formats</translation>
    </message>
    <message id="workout.autoExport">
        <source>Save at the end</source>
        <extracomment>Switch: write the workout's files automatically when it ends</extracomment>
        <translation>Save at the end</translation>
    </message>
    <message id="workout.recovered">
        <source>Workouts of an earlier run: %1 exported, %2 left in %3</source>
        <extracomment>Status after start-up; %1 and %2 are counts, %3 the folder of the unfinished journals</extracomment>
        <translation>Workouts of an earlier run: %1 exported, %2 left in %3</translation>
    </message>
    <message id="workout.notice.line">
        <source>%1: %2 average, %3 maximum</source>
        <extracomment>A line of the end-of-workout notification: the figure, its average and its maximum</extracomment>
        <translation>%1: %2 average, %3 maximum</translation>
    </message>
    <message id="workout.notice.savedIn">
        <source>Saved in %1</source>
        <extracomment>Last line of the end-of-workout notification; %1 is the folder</extracomment>
        <translation>Saved in %1</translation>
    </message>
    <message id="workout.notice.recorded">
        <source>Workout recorded</source>
        <extracomment>Title of the end-of-workout notification without export</extracomment>
        <translation>Workout recorded</translation>
    </message>
    <message id="workout.notice.saved">
        <source>Workout saved</source>
        <extracomment>Title of the end-of-workout notification</extracomment>
        <translation>Workout saved</translation>
    </message>
    <message id="workout.notice.openFolder">
        <source>Open Folder</source>
        <extracomment>Button of the end-of-workout notification</extracomment>
        <translation>Open Folder</translation>
    </message>
    <message id="menu.openWorkoutsFolder">
        <source>Open Workouts Folder</source>
        <extracomment>Tray menu item that shows the folder finished workouts are written to</extracomment>
        <translation>Open Workouts Folder</translation>
    </message>
    <message id="tile.time">
        <source>Time</source>
        <extracomment>Name of the elapsed-time tile in the menus and the popover</extracomment>
        <translation>Time</translation>
    </message>
    <message id="tile.distance">
        <source>Distance</source>
        <extracomment>Name of the distance tile in the menus and the popover</extracomment>
        <translation>Distance</translation>
    </message>
    <message id="tile.speed">
        <source>Speed</source>
        <extracomment>Name of the speed or pace tile in the menus and the popover</extracomment>
        <translation>Speed</translation>
    </message>
    <message id="tile.rate">
        <source>Cadence</source>
        <extracomment>Name of the cadence, stroke or step rate tile in the menus and the popover</extracomment>
        <translation>Cadence</translation>
    </message>
    <message id="tile.power">
        <source>Power</source>
        <extracomment>Name of the power tile in the menus and the popover</extracomment>
        <translation>Power</translation>
    </message>
    <message id="tile.calories">
        <source>Calories</source>
        <extracomment>Name of the calories tile in the menus and the popover</extracomment>
        <translation>Calories</translation>
    </message>
    <message id="tile.heartRate">
        <source>Heart Rate</source>
        <extracomment>Name of the heart-rate tile in the menus and the popover</extracomment>
        <translation>Heart Rate</translation>
    </message>
    <message id="menu.lockPanel">
        <source>Lock Panel</source>
        <extracomment>Menu item that makes the panel let every click through to the window below</extracomment>
        <translation>Lock Panel</translation>
    </message>
    <message id="menu.unlockPanel">
        <source>Unlock Panel</source>
        <extracomment>Menu item that makes the locked panel take clicks again</extracomment>
        <translation>Unlock Panel</translation>
    </message>
    <message id="menu.hideTile">
        <source>Hide %1</source>
        <extracomment>Menu item on a right click on a tile; %1 is the tile's name ("Power")</extracomment>
        <translation>Hide %1</translation>
    </message>
    <message id="commandLine.unlock.none">
        <source>No Tallyfin overlay is running; it will start unlocked.</source>
        <extracomment>Said by tallyfin --unlock when no overlay runs</extracomment>
        <translation>No Tallyfin overlay is running; it will start unlocked.</translation>
    </message>
    <message id="machineInfo.tiles">
        <source>Tiles</source>
        <extracomment>Popover: heading of the tile switches</extracomment>
        <translation>Tiles</translation>
    </message>
    <message id="machineInfo.opacity">
        <source>Opacity</source>
        <extracomment>Popover: label of the panel's opacity slider</extracomment>
        <translation>Opacity</translation>
    </message>
    <message id="machineInfo.ftp">
        <source>FTP</source>
        <extracomment>Popover: functional threshold power, for the power zones</extracomment>
        <translation>FTP</translation>
    </message>
    <message id="machineInfo.maxHeartRate">
        <source>Max. heart rate</source>
        <extracomment>Popover: maximum heart rate, for the heart-rate zones</extracomment>
        <translation>Max. heart rate</translation>
    </message>
    <message id="machineInfo.zonesOff">
        <source>Off</source>
        <extracomment>Popover: an FTP or maximum heart rate not set (zones off)</extracomment>
        <translation>Off</translation>
    </message>
</context>
</TS>
