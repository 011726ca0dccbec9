#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

"""fake_portal.py -- COMMAND [ARGS...] (under dbus-run-session): runs COMMAND next to a desktop
portal whose Settings.Read gives the color-scheme 1 (prefer dark), and
whose org.tallyfin.FakePortal.SetColorScheme(u) changes it with SettingChanged, as the real one
does. Exits with COMMAND's status."""
import subprocess
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

SETTINGS = 'org.freedesktop.portal.Settings'


class Portal(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, '/org/freedesktop/portal/desktop')
        self.scheme = 1

    @dbus.service.method(SETTINGS, in_signature='ss', out_signature='v')
    def Read(self, _namespace, _key):
        # Read wraps the value in one variant more than SettingChanged.
        return dbus.UInt32(self.scheme, variant_level=2)

    @dbus.service.signal(SETTINGS, signature='ssv')
    def SettingChanged(self, namespace, key, value):
        pass

    @dbus.service.method('org.tallyfin.FakePortal', in_signature='u')
    def SetColorScheme(self, scheme):
        self.scheme = int(scheme)
        self.SettingChanged('org.freedesktop.appearance', 'color-scheme', dbus.UInt32(scheme))


def main(argv):
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName('org.freedesktop.portal.Desktop', bus)
    portal = Portal(bus)
    loop = GLib.MainLoop()
    child = subprocess.Popen(argv[argv.index('--') + 1:])
    status = []
    GLib.child_watch_add(child.pid, lambda pid, code: (status.append(code), loop.quit()))
    loop.run()
    del name, portal
    return status[0] >> 8 if status[0] & 0x7f == 0 else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv))
