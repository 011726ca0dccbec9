<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The German string table: every entry of the English one, by the same dotted keys. -->
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name></name>
    <message id="connection.ready">
        <source>Ready to scan</source>
        <extracomment>Ready to scan</extracomment>
        <translation>Bereit zur Suche</translation>
    </message>
    <message id="connection.scanning">
        <source>Searching for machines…</source>
        <extracomment>Scanning...</extracomment>
        <translation>Suche nach Geräten…</translation>
    </message>
    <message id="connection.scanStopped">
        <source>Search stopped</source>
        <extracomment>Scan stopped</extracomment>
        <translation>Suche beendet</translation>
    </message>
    <message id="connection.connecting">
        <source>Connecting to %1…</source>
        <extracomment>Connecting to... (%1 is the machine's name)</extracomment>
        <translation>Verbinde mit %1…</translation>
    </message>
    <message id="connection.connected">
        <source>Connected to %1</source>
        <extracomment>Connected to... (%1 is the machine's name)</extracomment>
        <translation>Verbunden mit %1</translation>
    </message>
    <message id="connection.disconnected">
        <source>Disconnected</source>
        <extracomment>Disconnected</extracomment>
        <translation>Getrennt</translation>
    </message>
    <message id="connection.connectionFailed">
        <source>Connection failed. %1</source>
        <extracomment>Connection failed (%1 is the system's error description, possibly empty)</extracomment>
        <translation>Verbindung fehlgeschlagen. %1</translation>
    </message>
    <message id="connection.noData">
        <source>No values from %1</source>
        <extracomment>Connected, but the machine sends no values (%1 is the machine's name)</extracomment>
        <translation>Keine Werte von %1</translation>
    </message>
    <message id="connection.awaitingReturn">
        <source>%1 lost: connecting again when it is heard</source>
        <extracomment>Status while a machine lost without the user asking is awaited (%1 is its name)</extracomment>
        <translation>%1 verloren: wird wieder verbunden, sobald es zu hören ist</translation>
    </message>
    <message id="connection.reconnecting">
        <source>Reconnecting to %1</source>
        <extracomment>Status when a lost machine is heard again and connected anew (%1 is its name)</extracomment>
        <translation>Erneut verbinden mit %1</translation>
    </message>
    <message id="strap.connected">
        <source>Heart rate from %1</source>
        <extracomment>Status once a heart-rate strap sends its values (%1 is the strap's name)</extracomment>
        <translation>Herzfrequenz von %1</translation>
    </message>
    <message id="strap.lost">
        <source>%1 lost: heart rate from the machine</source>
        <extracomment>Status when a strap goes away and the machine's heart rate shows again (%1 is the strap's name)</extracomment>
        <translation>Verbindung zu %1 verloren: Herzfrequenz vom Gerät</translation>
    </message>
    <message id="strap.lostWithoutMachineHeartRate">
        <source>%1 lost</source>
        <extracomment>Status when a strap goes away and the machine measures no heart rate (%1 is the strap's name)</extracomment>
        <translation>Verbindung zu %1 verloren</translation>
    </message>
    <message id="strap.machineChosen">
        <source>Heart rate from the machine</source>
        <extracomment>Status when the user chose the machine's own heart rate instead of a strap's</extracomment>
        <translation>Herzfrequenz vom Gerät</translation>
    </message>
    <message id="bluetooth.unsupported">
        <source>This computer has no Bluetooth LE</source>
        <extracomment>Bluetooth unsupported</extracomment>
        <translation>Dieser Computer hat kein Bluetooth LE</translation>
    </message>
    <message id="bluetooth.unauthorized">
        <source>Tallyfin may not use Bluetooth</source>
        <extracomment>Bluetooth unauthorized</extracomment>
        <translation>Tallyfin darf Bluetooth nicht verwenden</translation>
    </message>
    <message id="bluetooth.poweredOff">
        <source>Bluetooth is turned off</source>
        <extracomment>Bluetooth powered off</extracomment>
        <translation>Bluetooth ist ausgeschaltet</translation>
    </message>
    <message id="bluetooth.ready">
        <source>Bluetooth is ready</source>
        <extracomment>Bluetooth ready</extracomment>
        <translation>Bluetooth ist bereit</translation>
    </message>
    <message id="bluetooth.unavailable">
        <source>Bluetooth is not available</source>
        <extracomment>Bluetooth unavailable</extracomment>
        <translation>Bluetooth ist nicht verfügbar</translation>
    </message>
    <message id="equipment.detected.rower">
        <source>Rower found</source>
        <extracomment>Rower detected</extracomment>
        <translation>Rudergerät erkannt</translation>
    </message>
    <message id="equipment.detected.bike">
        <source>Indoor bike found</source>
        <extracomment>Bike detected</extracomment>
        <translation>Indoor-Bike erkannt</translation>
    </message>
    <message id="equipment.detected.crossTrainer">
        <source>Cross trainer found</source>
        <extracomment>Cross trainer detected</extracomment>
        <translation>Crosstrainer erkannt</translation>
    </message>
    <message id="equipment.detected.treadmill">
        <source>Treadmill found</source>
        <extracomment>Treadmill detected</extracomment>
        <translation>Laufband erkannt</translation>
    </message>
    <message id="simulation.stopped">
        <source>Simulation stopped</source>
        <extracomment>Simulation stopped status</extracomment>
        <translation>Simulation beendet</translation>
    </message>
    <message id="deviceList.unknownDevice">
        <source>Unknown device</source>
        <extracomment>Unknown device</extracomment>
        <translation>Unbekanntes Gerät</translation>
    </message>
    <message id="deviceList.bluetoothOff">
        <source>Bluetooth is off – turn it on in Settings</source>
        <extracomment>The device list while the Bluetooth adapter is switched off</extracomment>
        <translation>Bluetooth ist aus – in den Einstellungen einschalten</translation>
    </message>
    <message id="deviceList.noAdapter">
        <source>No Bluetooth adapter – plug one in</source>
        <extracomment>The device list when the computer has no Bluetooth LE adapter</extracomment>
        <translation>Kein Bluetooth-Adapter – bitte einen anschließen</translation>
    </message>
    <message id="deviceList.bluetoothRefused">
        <source>Bluetooth access refused – allow it in Settings</source>
        <extracomment>The device list when the system refuses Tallyfin the use of Bluetooth</extracomment>
        <translation>Bluetooth verweigert – in den Einstellungen erlauben</translation>
    </message>
    <message id="feature.speed">
        <source>Speed</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Geschwindigkeit</translation>
    </message>
    <message id="feature.cadence">
        <source>Cadence</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Trittfrequenz</translation>
    </message>
    <message id="feature.distance">
        <source>Distance</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Distanz</translation>
    </message>
    <message id="feature.incline">
        <source>Incline</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Steigung</translation>
    </message>
    <message id="feature.pace">
        <source>Pace</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Tempo</translation>
    </message>
    <message id="feature.steps">
        <source>Steps</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Schritte</translation>
    </message>
    <message id="feature.resistance">
        <source>Resistance</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Widerstand</translation>
    </message>
    <message id="feature.power">
        <source>Power</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Leistung</translation>
    </message>
    <message id="feature.calories">
        <source>Calories</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Kalorien</translation>
    </message>
    <message id="feature.heartRate">
        <source>Heart Rate</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Herzfrequenz</translation>
    </message>
    <message id="feature.time">
        <source>Time</source>
        <extracomment>A measurement or target a machine offers, in the machine information popover</extracomment>
        <translation>Zeit</translation>
    </message>
    <message id="deviceList.searching">
        <source>Looking for fitness machines…</source>
        <extracomment>Shown in the device list while no machine has been found</extracomment>
        <translation>Suche nach Fitnessgeräten…</translation>
    </message>
    <message id="device.type.rower">
        <source>Rower</source>
        <extracomment>Rower device type</extracomment>
        <translation>Rudergerät</translation>
    </message>
    <message id="device.type.bike">
        <source>Indoor Bike</source>
        <extracomment>Indoor bike device type</extracomment>
        <translation>Indoor-Bike</translation>
    </message>
    <message id="device.type.treadmill">
        <source>Treadmill</source>
        <extracomment>Treadmill device type</extracomment>
        <translation>Laufband</translation>
    </message>
    <message id="device.type.crossTrainer">
        <source>Cross Trainer</source>
        <extracomment>Cross trainer device type</extracomment>
        <translation>Crosstrainer</translation>
    </message>
    <message id="device.type.unknown">
        <source>Fitness Equipment</source>
        <extracomment>Unknown fitness device type</extracomment>
        <translation>Fitnessgerät</translation>
    </message>
    <message id="equipment.rower">
        <source>Rower</source>
        <extracomment>Rower equipment type</extracomment>
        <translation>Rudergerät</translation>
    </message>
    <message id="equipment.bike">
        <source>Indoor Bike</source>
        <extracomment>Bike equipment type</extracomment>
        <translation>Indoor-Bike</translation>
    </message>
    <message id="equipment.crossTrainer">
        <source>Cross Trainer</source>
        <extracomment>Cross trainer equipment type</extracomment>
        <translation>Crosstrainer</translation>
    </message>
    <message id="equipment.treadmill">
        <source>Treadmill</source>
        <extracomment>Treadmill equipment type</extracomment>
        <translation>Laufband</translation>
    </message>
    <message id="equipment.unknown">
        <source>Not detected yet</source>
        <extracomment>Unknown equipment type</extracomment>
        <translation>Noch nicht erkannt</translation>
    </message>
    <message id="metric.time.tooltip">
        <source>Elapsed time</source>
        <extracomment>Hover help of the elapsed-time tile</extracomment>
        <translation>Trainingsdauer</translation>
    </message>
    <message id="metric.distance.tooltip">
        <source>Total distance</source>
        <extracomment>Hover help of the distance tile</extracomment>
        <translation>Zurückgelegte Strecke</translation>
    </message>
    <message id="metric.speed.tooltip">
        <source>Speed</source>
        <extracomment>Hover help of the speed tile</extracomment>
        <translation>Geschwindigkeit</translation>
    </message>
    <message id="metric.rowPace.tooltip">
        <source>Pace (time per 500 m)</source>
        <extracomment>Hover help of a rower's pace tile</extracomment>
        <translation>Tempo (Zeit pro 500 m)</translation>
    </message>
    <message id="metric.milePace.tooltip">
        <source>Pace (minutes per mile)</source>
        <extracomment>Hover help of the pace tile of a treadmill shown in imperial units</extracomment>
        <translation>Pace (Minuten pro Meile)</translation>
    </message>
    <message id="metric.cadence.tooltip">
        <source>Cadence (revolutions per minute)</source>
        <extracomment>Cadence tooltip</extracomment>
        <translation>Trittfrequenz (Umdrehungen pro Minute)</translation>
    </message>
    <message id="metric.strokeRate.tooltip">
        <source>Stroke rate (strokes per minute)</source>
        <extracomment>Stroke rate tooltip</extracomment>
        <translation>Schlagzahl (Schläge pro Minute)</translation>
    </message>
    <message id="metric.stepRate.tooltip">
        <source>Step rate (steps per minute)</source>
        <extracomment>Step rate tooltip</extracomment>
        <translation>Schrittfrequenz (Schritte pro Minute)</translation>
    </message>
    <message id="metric.power.tooltip">
        <source>Power (watts)</source>
        <extracomment>Hover help of the power tile</extracomment>
        <translation>Leistung (Watt)</translation>
    </message>
    <message id="metric.calories.tooltip">
        <source>Energy burned (kilocalories)</source>
        <extracomment>Hover help of the calories tile</extracomment>
        <translation>Verbrauchte Energie (Kilokalorien)</translation>
    </message>
    <message id="metric.heartRate.tooltip">
        <source>Heart rate (beats per minute)</source>
        <extracomment>Hover help of the heart-rate tile</extracomment>
        <translation>Herzfrequenz (Schläge pro Minute)</translation>
    </message>
    <message id="machineInfo.title">
        <source>Machine Info</source>
        <extracomment>Machine info title</extracomment>
        <translation>Geräteinfo</translation>
    </message>
    <message id="machineInfo.device">
        <source>Device:</source>
        <extracomment>Device label</extracomment>
        <translation>Gerät:</translation>
    </message>
    <message id="machineInfo.type">
        <source>Type:</source>
        <extracomment>Type label</extracomment>
        <translation>Typ:</translation>
    </message>
    <message id="machineInfo.supportedMetrics">
        <source>Supported metrics</source>
        <extracomment>Supported metrics label</extracomment>
        <translation>Unterstützte Messwerte</translation>
    </message>
    <message id="machineInfo.controlCapabilities">
        <source>Control capabilities</source>
        <extracomment>Control capabilities label</extracomment>
        <translation>Einstellbare Zielwerte</translation>
    </message>
    <message id="machineInfo.size">
        <source>Size</source>
        <extracomment>Size label</extracomment>
        <translation>Größe</translation>
    </message>
    <message id="machineInfo.units">
        <source>Units</source>
        <extracomment>Units label: the units distances and speeds are shown in</extracomment>
        <translation>Einheiten</translation>
    </message>
    <message id="machineInfo.units.metric">
        <source>Metric</source>
        <extracomment>Units picker: kilometres and km/h</extracomment>
        <translation>Metrisch</translation>
    </message>
    <message id="machineInfo.units.imperial">
        <source>Imperial</source>
        <extracomment>Units picker: miles and mph</extracomment>
        <translation>Imperial</translation>
    </message>
    <message id="machineInfo.animation">
        <source>Animate values</source>
        <extracomment>Animation toggle</extracomment>
        <translation>Werte animieren</translation>
    </message>
    <message id="machineInfo.autoReconnect">
        <source>Reconnect automatically</source>
        <extracomment>Switch in the machine information popover: connect again to a machine lost unexpectedly</extracomment>
        <translation>Automatisch neu verbinden</translation>
    </message>
    <message id="machineInfo.heartRate">
        <source>Heart rate</source>
        <extracomment>Label of the choice where the heart rate comes from: the machine or a strap</extracomment>
        <translation>Herzfrequenz</translation>
    </message>
    <message id="machineInfo.heartRate.machine">
        <source>Machine</source>
        <extracomment>The heart rate the machine itself measures (as opposed to a strap's)</extracomment>
        <translation>Gerät</translation>
    </message>
    <message id="machineInfo.heartRate.searching">
        <source>Looking for heart-rate straps…</source>
        <extracomment>Shown while no heart-rate strap has been heard</extracomment>
        <translation>Suche nach Herzfrequenzsensoren…</translation>
    </message>
    <message id="machineInfo.copyLog">
        <source>Copy debug log</source>
        <extracomment>Copy debug log</extracomment>
        <translation>Diagnoseprotokoll kopieren</translation>
    </message>
    <message id="machineInfo.logCopied">
        <source>Log copied</source>
        <extracomment>Log copied confirmation</extracomment>
        <translation>Protokoll kopiert</translation>
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
        <translation>Nach Updates suchen…</translation>
    </message>
    <message id="menu.about">
        <source>About Tallyfin</source>
        <extracomment>Tray menu item that shows the version</extracomment>
        <translation>Über Tallyfin</translation>
    </message>
    <message id="menu.about.description">
        <source>A floating overlay for indoor training on Bluetooth fitness machines.</source>
        <extracomment>What the program is, in the About box</extracomment>
        <translation>Ein schwebendes Overlay für das Indoor-Training an Bluetooth-Fitnessgeräten.</translation>
    </message>
    <message id="menu.quit">
        <source>Quit Tallyfin</source>
        <extracomment>Tray menu item that ends the program</extracomment>
        <translation>Tallyfin beenden</translation>
    </message>
    <message id="autostart.percentInPath">
        <source>Desktops cannot start %1 at login: its path holds a &quot;%&quot;. Move the program to a folder without one.</source>
        <extracomment>Why &quot;Start at Login&quot; is unavailable; %1 is the program's path</extracomment>
        <translation>Desktops können %1 beim Anmelden nicht starten: Der Pfad enthält ein „%“. Verschieben Sie das Programm in einen Ordner ohne dieses Zeichen.</translation>
    </message>
    <message id="menu.startAtLogin">
        <source>Start at Login</source>
        <extracomment>Tray menu item, checked while the desktop starts the program when the user logs in</extracomment>
        <translation>Beim Anmelden starten</translation>
    </message>
    <message id="menu.startAtLogin.failed">
        <source>Tallyfin could not change whether it starts at login.

%1</source>
        <extracomment>Message when the autostart entry cannot be written or removed; %1 is the file and why</extracomment>
        <translation>Tallyfin konnte nicht ändern, ob es beim Anmelden startet.

%1</translation>
    </message>
    <message id="update.upToDate.title">
        <source>You're up to date</source>
        <extracomment>Title of the answer to "Check for Updates" when nothing newer exists</extracomment>
        <translation>Tallyfin ist aktuell</translation>
    </message>
    <message id="update.upToDate.text">
        <source>Tallyfin %1 is the newest version available.</source>
        <extracomment>%1 is the version running</extracomment>
        <translation>Tallyfin %1 ist die neueste verfügbare Version.</translation>
    </message>
    <message id="update.available.title">
        <source>A new version of Tallyfin is available</source>
        <extracomment>Title of the answer to "Check for Updates" when a newer version exists</extracomment>
        <translation>Eine neue Version von Tallyfin ist verfügbar</translation>
    </message>
    <message id="update.available.text">
        <source>Tallyfin %1 is available; you have %2.</source>
        <extracomment>%1 is the newer version, %2 the version running</extracomment>
        <translation>Tallyfin %1 ist verfügbar; installiert ist %2.</translation>
    </message>
    <message id="update.download">
        <source>Download…</source>
        <extracomment>Button that opens the download page of the newer version</extracomment>
        <translation>Herunterladen…</translation>
    </message>
    <message id="update.later">
        <source>Later</source>
        <extracomment>Button that closes the update message without downloading</extracomment>
        <translation>Später</translation>
    </message>
    <message id="update.failed.title">
        <source>Update check failed</source>
        <extracomment>Title of the answer to "Check for Updates" when the check failed</extracomment>
        <translation>Suche nach Updates fehlgeschlagen</translation>
    </message>
    <message id="update.failed.text">
        <source>Tallyfin could not check for updates: %1</source>
        <extracomment>%1 says what went wrong (a whole sentence)</extracomment>
        <translation>Tallyfin konnte nicht nach Updates suchen: %1</translation>
    </message>
    <message id="update.error.tooLarge">
        <source>The update feed at %1 is larger than %2 MiB.</source>
        <extracomment>%1 is the feed's address, %2 a number of mebibytes</extracomment>
        <translation>Der Update-Feed unter %1 ist größer als %2 MiB.</translation>
    </message>
    <message id="update.checking.title">
        <source>Check for Updates</source>
        <extracomment>Title of the window while an update check runs</extracomment>
        <translation>Nach Updates suchen</translation>
    </message>
    <message id="update.checking.text">
        <source>Checking for updates at %1 …</source>
        <extracomment>%1 is the update feed's address</extracomment>
        <translation>Suche nach Updates unter %1 …</translation>
    </message>
    <message id="update.error.timeout">
        <source>The update feed at %1 took longer than %2 seconds in all; the check was given up.</source>
        <extracomment>%1 is the feed's address, %2 a number of seconds</extracomment>
        <translation>Der Update-Feed unter %1 brauchte insgesamt länger als %2 Sekunden; die Suche wurde abgebrochen.</translation>
    </message>
    <message id="update.error.httpStatus">
        <source>The update feed at %1 answered HTTP %2%3.</source>
        <extracomment>%1 is the feed's address, %2 the HTTP status code, %3 its reason in parentheses after a space, or nothing</extracomment>
        <translation>Der Update-Feed unter %1 antwortete mit HTTP %2%3.</translation>
    </message>
    <message id="update.error.unreachable">
        <source>Could not reach the update feed at %1: %2.</source>
        <extracomment>%1 is the feed's address, %2 the network's error (from Qt)</extracomment>
        <translation>Der Update-Feed unter %1 ist nicht erreichbar: %2.</translation>
    </message>
    <message id="update.error.unreadable">
        <source>The update feed at %1 could not be read: %2.</source>
        <extracomment>%1 is the feed's address, %2 what is wrong with the feed (English, technical)</extracomment>
        <translation>Der Update-Feed unter %1 ist nicht lesbar: %2.</translation>
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
        <translation>Aufruf: %1 [OPTION]...

  --demo             simulierte Geräte statt echter Bluetooth-Geräte zeigen
  --connect NAME     mit dem ersten Gerät verbinden, dessen Name NAME enthält
  --size GRÖSSE      small, medium, large für diesen Lauf (Einstellung bleibt)
  --units EINHEITEN  metric oder imperial für diesen Lauf (Einstellung bleibt)
  --screenshot DATEI das Panel als Bild in DATEI speichern und beenden
  --after MS         vor dem Bild MS Millisekunden warten (Standard: 1000)
  --unlock           gesperrte Leiste des laufenden Overlays entsperren
  --help             diese Hilfe ausgeben und beenden
  --version          die Version ausgeben und beenden
</translation>
    </message>
    <message id="commandLine.error.connect">
        <source>--connect needs part of a machine's name</source>
        <extracomment>Command-line error</extracomment>
        <translation>--connect braucht einen Teil des Gerätenamens</translation>
    </message>
    <message id="commandLine.error.size">
        <source>--size needs one of small, medium, large (got "%1")</source>
        <extracomment>Command-line error; %1 is what was given</extracomment>
        <translation>--size braucht small, medium oder large (angegeben: „%1“)</translation>
    </message>
    <message id="commandLine.error.units">
        <source>--units needs metric or imperial (got "%1")</source>
        <extracomment>Command-line error; %1 is what was given</extracomment>
        <translation>--units braucht metric oder imperial (angegeben: „%1“)</translation>
    </message>
    <message id="commandLine.error.screenshot">
        <source>--screenshot needs a file name</source>
        <extracomment>Command-line error</extracomment>
        <translation>--screenshot braucht einen Dateinamen</translation>
    </message>
    <message id="commandLine.error.imageFormat">
        <source>--screenshot: cannot tell an image format from "%1" (use a name ending in .png)</source>
        <extracomment>Command-line error; %1 is the file name given</extracomment>
        <translation>--screenshot: „%1“ nennt kein Bildformat (Dateiname mit .png am Ende verwenden)</translation>
    </message>
    <message id="commandLine.error.after">
        <source>--after needs a number of milliseconds (got "%1")</source>
        <extracomment>Command-line error; %1 is what was given</extracomment>
        <translation>--after braucht eine Anzahl Millisekunden (angegeben: „%1“)</translation>
    </message>
    <message id="commandLine.error.afterAlone">
        <source>--after only applies together with --screenshot</source>
        <extracomment>Command-line error</extracomment>
        <translation>--after gilt nur zusammen mit --screenshot</translation>
    </message>
    <message id="commandLine.error.unknown">
        <source>unknown argument "%1"</source>
        <extracomment>Command-line error; %1 is the argument</extracomment>
        <translation>unbekanntes Argument „%1“</translation>
    </message>
    <message id="menu.noUpdateFeed">
        <source>This build of Tallyfin has no update feed: updates come with the package it was installed from.</source>
        <extracomment>Tooltip of the disabled update-check menu item in a build without an update feed</extracomment>
        <translation>Dieser Build von Tallyfin hat keinen Update-Feed: Updates kommen mit dem Paket, aus dem er installiert wurde.</translation>
    </message>
    <message id="platform.noDisplay">
        <source>no X display (DISPLAY is not set): run tallyfin in a desktop session, set DISPLAY, or run it under Xvfb (xvfb-run tallyfin)</source>
        <extracomment>Start-up error when DISPLAY is not set</extracomment>
        <translation>kein X-Display (DISPLAY ist nicht gesetzt): tallyfin in einer Desktop-Sitzung starten, DISPLAY setzen oder unter Xvfb ausführen (xvfb-run tallyfin)</translation>
    </message>
    <message id="platform.noXWayland">
        <source>this Wayland session has no XWayland (DISPLAY is not set), which the panel needs to stay above other windows: enable XWayland, or set QT_QPA_PLATFORM=wayland to run without it</source>
        <extracomment>Start-up error in a Wayland session without XWayland</extracomment>
        <translation>diese Wayland-Sitzung hat kein XWayland (DISPLAY ist nicht gesetzt), das das Panel braucht, um über anderen Fenstern zu bleiben: XWayland einschalten oder mit QT_QPA_PLATFORM=wayland ohne es starten</translation>
    </message>
    <message id="platform.displayDoesNotOpen">
        <source>cannot open the X display "%1": check DISPLAY, or run tallyfin under Xvfb (xvfb-run tallyfin)</source>
        <extracomment>Start-up error; %1 is the value of DISPLAY</extracomment>
        <translation>das X-Display „%1“ lässt sich nicht öffnen: DISPLAY prüfen oder tallyfin unter Xvfb ausführen (xvfb-run tallyfin)</translation>
    </message>
    <message id="workout.title">
        <source>This workout</source>
        <extracomment>Title of the popover's section on the workout being recorded</extracomment>
        <translation>Dieses Training</translation>
    </message>
    <message id="workout.duration">
        <source>Duration</source>
        <extracomment>Workout summary line: the time from start to end</extracomment>
        <translation>Dauer</translation>
    </message>
    <message id="workout.distance">
        <source>Distance</source>
        <extracomment>Workout summary line</extracomment>
        <translation>Strecke</translation>
    </message>
    <message id="workout.calories">
        <source>Calories</source>
        <extracomment>Workout summary line</extracomment>
        <translation>Kalorien</translation>
    </message>
    <message id="workout.power">
        <source>Power</source>
        <extracomment>Workout summary line: average and maximum watts</extracomment>
        <translation>Leistung</translation>
    </message>
    <message id="workout.speed">
        <source>Speed</source>
        <extracomment>Workout summary line: average and maximum speed</extracomment>
        <translation>Geschwindigkeit</translation>
    </message>
    <message id="workout.pace">
        <source>Pace</source>
        <extracomment>Workout summary line: average and best time per 500 m or per mile</extracomment>
        <translation>Tempo</translation>
    </message>
    <message id="workout.cadence">
        <source>Cadence</source>
        <extracomment>Workout summary line: the bike's revolutions per minute</extracomment>
        <translation>Trittfrequenz</translation>
    </message>
    <message id="workout.strokeRate">
        <source>Stroke rate</source>
        <extracomment>Workout summary line: the rower's strokes per minute</extracomment>
        <translation>Schlagfrequenz</translation>
    </message>
    <message id="workout.stepRate">
        <source>Step rate</source>
        <extracomment>Workout summary line: steps per minute</extracomment>
        <translation>Schrittfrequenz</translation>
    </message>
    <message id="workout.heartRate">
        <source>Heart rate</source>
        <extracomment>Workout summary line: average and maximum beats per minute</extracomment>
        <translation>Herzfrequenz</translation>
    </message>
    <message id="workout.average">
        <source>Average</source>
        <extracomment>Column heading in the workout section</extracomment>
        <translation>Mittel</translation>
    </message>
    <message id="workout.maximum">
        <source>Maximum</source>
        <extracomment>Column heading in the workout section</extracomment>
        <translation>Maximum</translation>
    </message>
    <message id="workout.folder">
        <source>Folder</source>
        <extracomment>Label of where finished workouts are written</extracomment>
        <translation>Ordner</translation>
    </message>
    <message id="workout.chooseFolder">
        <source>Choose…</source>
        <extracomment>Button that opens the folder dialog for the workouts folder</extracomment>
        <translation>Wählen…</translation>
    </message>
    <message id="workout.chooseFolder.title">
        <source>Folder for Workouts</source>
        <extracomment>Title of the dialog that picks where finished workouts are written</extracomment>
        <translation>Ordner für Trainings</translation>
    </message>
    <message id="workout.formats">
        <source>Formats</source>
        <extracomment>Label of the file formats written at the end of a workout</extracomment>
        <translation>Formate</translation>
    </message>
    <message id="workout.autoExport">
        <source>Save at the end</source>
        <extracomment>Switch: write the workout's files automatically when it ends</extracomment>
        <translation>Am Ende speichern</translation>
    </message>
    <message id="workout.recovered">
        <source>Workouts of an earlier run: %1 exported, %2 left in %3</source>
        <extracomment>Status after start-up; %1 and %2 are counts, %3 the folder of the unfinished journals</extracomment>
        <translation>Trainings eines früheren Laufs: %1 exportiert, %2 verbleiben in %3</translation>
    </message>
    <message id="workout.notice.line">
        <source>%1: %2 average, %3 maximum</source>
        <extracomment>A line of the end-of-workout notification: the figure, its average and its maximum</extracomment>
        <translation>%1: %2 im Mittel, %3 maximal</translation>
    </message>
    <message id="workout.notice.savedIn">
        <source>Saved in %1</source>
        <extracomment>Last line of the end-of-workout notification; %1 is the folder</extracomment>
        <translation>Gespeichert in %1</translation>
    </message>
    <message id="workout.notice.recorded">
        <source>Workout recorded</source>
        <extracomment>Title of the end-of-workout notification without export</extracomment>
        <translation>Training aufgezeichnet</translation>
    </message>
    <message id="workout.notice.saved">
        <source>Workout saved</source>
        <extracomment>Title of the end-of-workout notification</extracomment>
        <translation>Training gespeichert</translation>
    </message>
    <message id="workout.notice.openFolder">
        <source>Open Folder</source>
        <extracomment>Button of the end-of-workout notification</extracomment>
        <translation>Ordner öffnen</translation>
    </message>
    <message id="menu.openWorkoutsFolder">
        <source>Open Workouts Folder</source>
        <extracomment>Tray menu item that shows the folder finished workouts are written to</extracomment>
        <translation>Trainingsordner öffnen</translation>
    </message>
    <message id="tile.time">
        <source>Time</source>
        <extracomment>Name of the elapsed-time tile in the menus and the popover</extracomment>
        <translation>Zeit</translation>
    </message>
    <message id="tile.distance">
        <source>Distance</source>
        <extracomment>Name of the distance tile in the menus and the popover</extracomment>
        <translation>Distanz</translation>
    </message>
    <message id="tile.speed">
        <source>Speed</source>
        <extracomment>Name of the speed or pace tile in the menus and the popover</extracomment>
        <translation>Tempo</translation>
    </message>
    <message id="tile.rate">
        <source>Cadence</source>
        <extracomment>Name of the cadence, stroke or step rate tile in the menus and the popover</extracomment>
        <translation>Frequenz</translation>
    </message>
    <message id="tile.power">
        <source>Power</source>
        <extracomment>Name of the power tile in the menus and the popover</extracomment>
        <translation>Leistung</translation>
    </message>
    <message id="tile.calories">
        <source>Calories</source>
        <extracomment>Name of the calories tile in the menus and the popover</extracomment>
        <translation>Kalorien</translation>
    </message>
    <message id="tile.heartRate">
        <source>Heart Rate</source>
        <extracomment>Name of the heart-rate tile in the menus and the popover</extracomment>
        <translation>Herzfrequenz</translation>
    </message>
    <message id="menu.lockPanel">
        <source>Lock Panel</source>
        <extracomment>Menu item that makes the panel let every click through to the window below</extracomment>
        <translation>Leiste sperren</translation>
    </message>
    <message id="menu.unlockPanel">
        <source>Unlock Panel</source>
        <extracomment>Menu item that makes the locked panel take clicks again</extracomment>
        <translation>Leiste entsperren</translation>
    </message>
    <message id="menu.hideTile">
        <source>Hide %1</source>
        <extracomment>Menu item on a right click on a tile; %1 is the tile's name ("Power")</extracomment>
        <translation>%1 ausblenden</translation>
    </message>
    <message id="commandLine.unlock.none">
        <source>No Tallyfin overlay is running; it will start unlocked.</source>
        <extracomment>Said by tallyfin --unlock when no overlay runs</extracomment>
        <translation>Es läuft kein Tallyfin-Overlay; es startet entsperrt.</translation>
    </message>
    <message id="machineInfo.tiles">
        <source>Tiles</source>
        <extracomment>Popover: heading of the tile switches</extracomment>
        <translation>Kacheln</translation>
    </message>
    <message id="machineInfo.opacity">
        <source>Opacity</source>
        <extracomment>Popover: label of the panel's opacity slider</extracomment>
        <translation>Deckkraft</translation>
    </message>
    <message id="machineInfo.ftp">
        <source>FTP</source>
        <extracomment>Popover: functional threshold power, for the power zones</extracomment>
        <translation>FTP</translation>
    </message>
    <message id="machineInfo.maxHeartRate">
        <source>Max. heart rate</source>
        <extracomment>Popover: maximum heart rate, for the heart-rate zones</extracomment>
        <translation>Max. Herzfrequenz</translation>
    </message>
    <message id="machineInfo.zonesOff">
        <source>Off</source>
        <extracomment>Popover: an FTP or maximum heart rate not set (zones off)</extracomment>
        <translation>Aus</translation>
    </message>
</context>
</TS>
