#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

"""workout_end_to_end.py PROGRAM CHECK_WORKOUT NODE APP_ID (under dbus-run-session): rides the
demo bike in the overlay (offscreen, its time 10 times faster) for 90 s of demo time in a home of
its own, stops it with SIGTERM, and checks that the FIT file is in the documents folder, that both
FIT readers accept it (check-workout.mjs), and that a notification server on the session bus got
the summary, escaped for its markup, with the average power of the file."""
import csv
import glob
import os
import signal
import subprocess
import sys
import tempfile

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

NOTIFICATIONS = 'org.freedesktop.Notifications'


class Server(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, '/org/freedesktop/Notifications')
        self.calls = []

    @dbus.service.method(NOTIFICATIONS, out_signature='as')
    def GetCapabilities(self):
        return ['body', 'body-markup', 'actions']

    @dbus.service.method(NOTIFICATIONS, in_signature='susssasa{sv}i', out_signature='u')
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.calls.append((str(app), str(icon), str(summary), str(body), [str(a) for a in actions]))
        return len(self.calls)


def fail(message):
    print('workout_end_to_end: ' + message, file=sys.stderr)
    sys.exit(1)


def main(program, check, node, app_id):
    npm_cache = os.environ.get('TALLYFIN_NPM_CACHE') or os.path.expanduser('~/.cache/tallyfin-npm')
    home = tempfile.mkdtemp(prefix='tallyfin-workout-')
    documents = os.path.join(home, 'Work & <outs>')
    os.makedirs(os.path.join(home, '.config', 'Tallyfin'))
    with open(os.path.join(home, '.config', 'user-dirs.dirs'), 'w') as dirs:
        dirs.write('XDG_DOCUMENTS_DIR="$HOME/Work & <outs>"\n')
    with open(os.path.join(home, '.config', 'Tallyfin', 'Tallyfin.conf'), 'w') as settings:
        settings.write('[workouts]\nformats=fit, csv\n')
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, '.config'),
               XDG_DATA_HOME=os.path.join(home, '.local', 'share'), QT_QPA_PLATFORM='offscreen',
               TALLYFIN_DEMO_RATE='10', LANGUAGE='', LANG='C.UTF-8', LC_ALL='C.UTF-8')
    env.pop('XDG_DOCUMENTS_DIR', None)
    # A runtime folder of its own: the overlay keeps one instance per user and display there.
    env['XDG_RUNTIME_DIR'] = os.path.join(home, 'run')
    os.makedirs(env['XDG_RUNTIME_DIR'], mode=0o700)

    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(NOTIFICATIONS, bus)
    server = Server(bus)
    loop = GLib.MainLoop()
    child = subprocess.Popen([program, '--demo', '--connect', 'Bike'], env=env)
    status = []
    GLib.child_watch_add(child.pid, lambda pid, code: (status.append(code), loop.quit()))
    # 9 s are 90 s of demo time, counted from the start; then the stop signal.
    GLib.timeout_add(9000, lambda: child.send_signal(signal.SIGTERM))
    GLib.timeout_add(30000, lambda: (child.kill(), loop.quit()))
    loop.run()
    del name
    if not status or status[0] != 0:
        fail(f'the overlay ended with {status}, not 0 after SIGTERM')

    fits = glob.glob(os.path.join(documents, 'Tallyfin', '*_bike.fit'))
    csvs = glob.glob(os.path.join(documents, 'Tallyfin', '*_bike.csv'))
    if len(fits) != 1 or len(csvs) != 1:
        fail(f'expected one FIT and one CSV file in {documents}/Tallyfin, found {fits} {csvs}')
    journals = glob.glob(os.path.join(home, '.local', 'share', 'tallyfin', 'journal', '*'))
    if journals:
        fail(f'the journal should be gone once exported: {journals}')
    checked = subprocess.run([node, check, fits[0], csvs[0], 'cycling', 'indoorCycling'],
                             env=dict(os.environ, TALLYFIN_NPM_CACHE=npm_cache))
    if checked.returncode != 0:
        fail('the FIT readers did not accept the file')

    with open(csvs[0]) as rows:
        powers = [int(row['power_w']) for row in csv.DictReader(rows)]
    if len(powers) < 60:
        fail(f'{len(powers)} seconds recorded, more than a minute expected')
    average = int(sum(powers) / len(powers) + 0.5)
    if len(server.calls) != 1:
        fail(f'expected one notification, got {server.calls}')
    app, icon, summary, body, actions = server.calls[0]
    expected = {
        'app name': (app, 'Tallyfin'), 'icon': (icon, app_id), 'summary': (summary, 'Workout saved'),
        'actions': (actions, ['open-folder', 'Open Folder']),
        'power line': (f'Power: {average} W average, {max(powers)} W maximum' in body, True),
        'escaped folder': ('Saved in ' + documents.replace('&', '&amp;').replace('<', '&lt;')
                           .replace('>', '&gt;') in body, True),
    }
    for what, (got, wanted) in expected.items():
        if got != wanted:
            fail(f'notification {what}: {got!r}, expected {wanted!r}; body:\n{body}')
    print(f'workout_end_to_end: {len(powers)} s, average power {average} W, notified')


if __name__ == '__main__':
    main(*sys.argv[1:5])
