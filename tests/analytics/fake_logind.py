#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

"""systemd-logind on a private system bus, as far as Tallyfin reads it: GetSession, one session's
properties and inhibitor locks. Steered through org.tallyfin.FakeLogind1: Send(what, b) sends the
signal Lock, Unlock, PrepareForSleep or PrepareForShutdown, or changes the session's Active or
LockedHint; Inhibitors() lists the locks held, as "what who why mode".
"""
import os

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

LOGIN1, CONTROL = 'org.freedesktop.login1', 'org.tallyfin.FakeLogind1'
PROPERTIES = 'org.freedesktop.DBus.Properties'
MANAGER, SESSION = LOGIN1 + '.Manager', LOGIN1 + '.Session'
MANAGER_PATH, SESSION_PATH = '/org/freedesktop/login1', '/org/freedesktop/login1/session/c1'
session = {'Active': dbus.Boolean(True), 'LockedHint': dbus.Boolean(False)}
locks = []


def emit(path, interface, member, signature='', *args):
    message = dbus.lowlevel.SignalMessage(path, interface, member)
    if signature:
        message.append(*args, signature=signature)
    dbus.SystemBus().send_message(message)


class Session(dbus.service.Object):
    @dbus.service.method(PROPERTIES, in_signature='s', out_signature='a{sv}')
    def GetAll(self, _interface):
        return dbus.Dictionary(session, signature='sv')


class Manager(dbus.service.Object):
    @dbus.service.method(MANAGER, in_signature='s', out_signature='o')
    def GetSession(self, _name):
        return SESSION_PATH

    @dbus.service.method(MANAGER, in_signature='ssss', out_signature='h')
    def Inhibit(self, what, who, why, mode):
        # The lock lasts until every copy of the returned descriptor is closed.
        read_end, write_end = os.pipe()
        lock = ' '.join((what, who, why, mode))
        locks.append(lock)

        def released(*_):
            os.close(read_end)
            locks.remove(lock)
            return False
        GLib.io_add_watch(read_end, GLib.IO_HUP, released)
        GLib.idle_add(os.close, write_end)
        return write_end

    @dbus.service.method(CONTROL, in_signature='sb')
    def Send(self, what, value):
        if what in session:
            session[what] = dbus.Boolean(value)
            emit(SESSION_PATH, PROPERTIES, 'PropertiesChanged', 'sa{sv}as', SESSION,
                 {what: session[what]}, [])
        elif what.startswith('PrepareFor'):
            emit(MANAGER_PATH, MANAGER, what, 'b', value)
        else:
            emit(SESSION_PATH, SESSION, what)

    @dbus.service.method(CONTROL, out_signature='as')
    def Inhibitors(self):
        return dbus.Array(locks, signature='s')


if __name__ == '__main__':
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    loop = GLib.MainLoop()
    dbus.SystemBus().call_on_disconnection(lambda _connection: loop.quit())
    objects = [Manager(dbus.SystemBus(), MANAGER_PATH), Session(dbus.SystemBus(), SESSION_PATH)]
    name = dbus.service.BusName(LOGIN1, dbus.SystemBus(), do_not_queue=True)
    print('ready', flush=True)
    loop.run()
