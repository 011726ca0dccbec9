#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

"""A stand-in for bluetoothd on a private system bus (see with_fake_bluez.py): one adapter, the
devices below with their GATT trees and notifications. --crowd MACHINES,OTHERS adds "Crowd Bike
NNNN" machines notifying every --notify-ms (power counting up by one watt) and other devices, their
signals changing. Tests steer it through org.tallyfin.FakeBluez1 on /org/tallyfin/fake, under the
name org.tallyfin.FakeBluez (which stays while org.bluez goes). Fail(WHAT, MS) makes the stack
falter for MS milliseconds: "bluetoothd" leaves the bus, "adapter" is removed, "power" is switched
off, "sleep" suspends (logind's PrepareForSleep) and "silence" keeps the links but notifies nothing."""
import argparse
import itertools
import struct
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

PROPERTIES = 'org.freedesktop.DBus.Properties'
ADAPTER, DEVICE = 'org.bluez.Adapter1', 'org.bluez.Device1'
ADAPTER_PATH = '/org/bluez/hci0'
ADVERTISE_DELAY_MS = 200  # from StartDiscovery to the first advertisements
RESOLVE_DELAY_MS = 150    # from Connect to ServicesResolved (or to the error)
NOTIFY_INTERVAL_MS = 100
CROWD_BATCH = 250         # crowd devices added per turn of the main loop
RSSI_SLICE_MS = 100       # a twentieth of the crowd changes its signal strength this often


def uuid16(short):
    return '0000%04x-0000-1000-8000-00805f9b34fb' % short


def log(*parts):
    print('[fake-bluez]', *parts, file=sys.stderr, flush=True)


def bike_data(speed_centi_kmh, cadence_half_rpm, power):
    # Flags 0x0044: instantaneous speed (bit 0 clear), cadence (bit 2), power (bit 6).
    return struct.pack('<HHHh', 0x0044, speed_centi_kmh, cadence_half_rpm, power)


# Fitness Machine Feature: cadence and power, and a power target (32 bits each).
BIKE_FEATURES = struct.pack('<II', (1 << 1) | (1 << 14), 1 << 3)


def fitness_machine(data_uuid, notify, every_ms=NOTIFY_INTERVAL_MS, features=BIKE_FEATURES):
    return [{'uuid': 0x1826, 'chars': [
        {'uuid': 0x2ACC, 'flags': ['read'], 'value': features},
        {'uuid': data_uuid, 'flags': ['notify'], 'notify': notify, 'every_ms': every_ms}]}]


# How each device advertises, how it answers Connect and its GATT tree ('chars' in handle order,
# the order the machine lists them in). 'notify' is a list of payloads, or a function of the
# number sent so far for a device that notifies without end.
MACHINES = [
    {'address': 'C0:FF:EE:00:00:01', 'name': 'Tallyfin Test Bike', 'rssi': -61, 'tx_power': 4,
     'manufacturer': {0x0059: b'\x01\x02\x03'}, 'uuids': [0x1826],
     'services': [{'uuid': 0x1826, 'chars': [
         {'uuid': 0x2ACC, 'flags': ['read'], 'value': BIKE_FEATURES},
         {'uuid': 0x2AD2, 'flags': ['notify'], 'notify': [
             bike_data(2500, 160, 150), bike_data(2600, 170, 160), bike_data(2700, 180, 170),
             bike_data(2800, 181, 180), bike_data(2950, 184, 205)]},
         {'uuid': 0x2AD9, 'flags': ['write', 'indicate']}]}]},
    # Stroke rate 22, stroke count counting up, heart rate 101; it measures both.
    {'address': 'C0:FF:EE:00:00:02', 'name': 'Tallyfin Test Rower', 'rssi': -70, 'uuids': [0x1826],
     'services': fitness_machine(0x2AD1, lambda sent: struct.pack('<HBHB', 0x0200, 44, sent, 101),
                                 200, struct.pack('<II', (1 << 1) | (1 << 10), 0))},
    {'address': 'C0:FF:EE:00:00:04', 'name': 'Tallyfin Unreachable Bike', 'rssi': -90,
     'uuids': [0x1826], 'connect_error': 'le-connection-abort-by-local', 'services': []},
    # Known to bluetoothd from an earlier scan, not advertising now: listed without an RSSI.
    {'address': 'C0:FF:EE:00:00:06', 'name': 'Tallyfin Remembered Bike', 'rssi': None,
     'uuids': [0x1826], 'services': []},
    # Without a name of its own bluetoothd shows the address as its alias.
    {'address': 'C0:FF:EE:00:00:07', 'name': None, 'rssi': -75, 'uuids': [0x1826], 'services': []},
    # Not a fitness machine. Skin contact, 72 to 74 beats per minute, without end.
    {'address': 'C0:FF:EE:00:00:05', 'name': 'Tallyfin Heart Strap', 'rssi': -50,
     'uuids': [0x180D], 'services': [{'uuid': 0x180D, 'chars': [
         {'uuid': 0x2A37, 'flags': ['notify'], 'notify': lambda sent: bytes([6, 72 + sent % 3]),
          'every_ms': NOTIFY_INTERVAL_MS}]}]},
]


def crowd(machines, others, notify_ms):
    """The devices of --crowd, in the order they appear: the others first, then the machines."""
    devices = []
    for i in range(others + machines):
        machine = i >= others
        devices.append({
            'address': 'C0:FF:%02X:%02X:%02X:%02X' % (1 if machine else 2, i >> 16,
                                                    (i >> 8) & 0xFF, i & 0xFF),
            'name': 'Crowd Bike %04d' % (i - others + 1) if machine else 'Crowd Phone %04d' % (
                i + 1),
            'rssi': -40 - i % 50, 'uuids': [0x1826 if machine else 0x180F],
            'services': fitness_machine(0x2AD2, lambda sent: bike_data(2500, 160, sent % 30000 + 1),
                                        notify_ms) if machine else []})
    return devices


CROWD = []
CALLS = []


def record(text):
    CALLS.append(text)
    log(text)


class PropertyObject(dbus.service.Object):
    """A D-Bus object with one BlueZ interface and its properties."""

    def __init__(self, bus, path, interface, props):
        self.path, self.interface, self.props = path, interface, props
        super().__init__(bus, path)

    def update(self, **changed):
        self.props.update(changed)
        self.PropertiesChanged(self.interface, dbus.Dictionary(changed, signature='sv'),
                               dbus.Array([], signature='s'))

    @dbus.service.method(PROPERTIES, in_signature='ss', out_signature='v')
    def Get(self, interface, name):
        return self.props[name]

    @dbus.service.signal(PROPERTIES, signature='sa{sv}as')
    def PropertiesChanged(self, interface, changed, invalidated):
        pass


class Root(dbus.service.Object):
    """The object manager at /, as bluetoothd exports it."""

    def __init__(self, bus):
        super().__init__(bus, '/')
        self.objects = {}

    def add(self, obj, announce=True):
        self.objects[obj.path] = obj
        if announce:
            self.InterfacesAdded(dbus.ObjectPath(obj.path), {obj.interface: obj.props})

    def remove(self, obj, announce=True):
        del self.objects[obj.path]
        obj.remove_from_connection()
        if announce:
            self.InterfacesRemoved(dbus.ObjectPath(obj.path), [obj.interface])

    @dbus.service.method('org.freedesktop.DBus.ObjectManager', out_signature='a{oa{sa{sv}}}')
    def GetManagedObjects(self):
        record('ObjectManager.GetManagedObjects /')
        return {dbus.ObjectPath(p): {o.interface: o.props} for p, o in self.objects.items()}

    @dbus.service.signal('org.freedesktop.DBus.ObjectManager', signature='oa{sa{sv}}')
    def InterfacesAdded(self, path, interfaces):
        pass

    @dbus.service.signal('org.freedesktop.DBus.ObjectManager', signature='oas')
    def InterfacesRemoved(self, path, interfaces):
        pass


class Adapter(PropertyObject):
    def __init__(self, bus, root):
        self.bus, self.root, self.devices = bus, root, {}
        # Timers of an earlier discovery find the number changed and end.
        self.discovery = 0
        super().__init__(bus, ADAPTER_PATH, ADAPTER, {
            'Address': 'AA:00:00:00:00:01', 'Name': 'tallyfin-test', 'Alias': 'tallyfin-test',
            'Powered': True, 'Discovering': False})

    @dbus.service.method(ADAPTER, in_signature='a{sv}')
    def SetDiscoveryFilter(self, discovery_filter):
        record('Adapter1.SetDiscoveryFilter ' + self.path)

    @dbus.service.method(ADAPTER)
    def StartDiscovery(self):
        record('Adapter1.StartDiscovery ' + self.path)
        if not self.props['Powered']:
            raise dbus.exceptions.DBusException('Resource Not Ready',
                                                name='org.bluez.Error.NotReady')
        self.update(Discovering=True)
        self.later(ADVERTISE_DELAY_MS, self._advertise)

    @dbus.service.method(ADAPTER)
    def StopDiscovery(self):
        record('Adapter1.StopDiscovery ' + self.path)
        self.stop_discovery()

    def stop_discovery(self):
        self.discovery += 1
        if self.props['Discovering']:
            self.update(Discovering=False)

    def later(self, delay_ms, action):
        """Runs action after delay_ms, and again as long as it returns True and discovery lasts."""
        discovery = self.discovery
        GLib.timeout_add(delay_ms, lambda: discovery == self.discovery and bool(action()))

    def heard(self, spec, rssi=None):
        device = self.devices.get(spec['address'])
        if device is None:
            device = self.devices[spec['address']] = Device(self.bus, self.root, spec)
            self.root.add(device)
        elif rssi is not None:
            device.update(RSSI=dbus.Int16(rssi))

    def _advertise(self):
        for spec in MACHINES:
            if spec['rssi'] is not None:
                self.heard(spec)
        if CROWD:
            steps = self._crowd(lambda: self.later(RSSI_SLICE_MS, lambda: next(steps)))
            self.later(0, lambda: next(steps))

    def _crowd(self, then):
        """Adds the crowd in batches, so that the main loop answers calls in between; then, each
        step, a twentieth of it changes its signal strength."""
        for first in range(0, len(CROWD), CROWD_BATCH):
            for spec in CROWD[first:first + CROWD_BATCH]:
                self.heard(spec)
            if first + CROWD_BATCH < len(CROWD):
                yield True
        log('crowd of', len(CROWD), 'devices advertising')
        then()
        yield False
        for rssi_slice in itertools.count(1):
            for i in range(rssi_slice % 20, len(CROWD), 20):
                self.heard(CROWD[i], -40 - (i + rssi_slice) % 50)
            yield True

    def set_powered(self, powered):
        if not powered:
            self.stop_discovery()
            self.drop_links()
        self.update(Powered=dbus.Boolean(powered))

    def drop_links(self):
        for device in self.devices.values():
            if device.props['Connected']:
                device.drop()

    def forget(self, remove_adapter):
        """Drops every link and forgets the devices heard, as a restarted bluetoothd does (which
        announces nothing), or as the adapter's removal does."""
        self.stop_discovery()
        self.drop_links()
        for address, device in list(self.devices.items()):
            if device.spec['rssi'] is not None:
                self.root.remove(device, remove_adapter)
                del self.devices[address]
        if remove_adapter:
            self.root.remove(self)

    def restore(self):
        self.add_to_connection(self.bus, self.path)
        self.root.add(self)


class Device(PropertyObject):
    def __init__(self, bus, root, spec):
        self.bus, self.root, self.spec, self.gatt = bus, root, spec, []
        props = {
            'Address': spec['address'], 'Alias': spec['name'] or spec['address'].replace(':', '-'),
            'Connected': False, 'ServicesResolved': False, 'Adapter': dbus.ObjectPath(ADAPTER_PATH),
            'UUIDs': dbus.Array([uuid16(u) for u in spec['uuids']], signature='s')}
        if spec['name']:
            props['Name'] = spec['name']
        if spec['rssi'] is not None:
            props['RSSI'] = dbus.Int16(spec['rssi'])
        if 'tx_power' in spec:
            props['TxPower'] = dbus.Int16(spec['tx_power'])
        if 'manufacturer' in spec:
            props['ManufacturerData'] = dbus.Dictionary(
                {dbus.UInt16(k): dbus.Array(v, signature='y', variant_level=1)
                 for k, v in spec['manufacturer'].items()}, signature='qv')
        super().__init__(bus, ADAPTER_PATH + '/dev_' + spec['address'].replace(':', '_'), DEVICE,
                         props)

    @dbus.service.method(DEVICE, async_callbacks=('reply', 'error'))
    def Connect(self, reply, error):
        record('Device1.Connect ' + self.path)
        if 'connect_error' in self.spec:
            failure = dbus.exceptions.DBusException(self.spec['connect_error'],
                                                    name='org.bluez.Error.Failed')
            GLib.timeout_add(RESOLVE_DELAY_MS, lambda: error(failure))
            return
        self.update(Connected=True)
        reply()
        GLib.timeout_add(RESOLVE_DELAY_MS, self._resolve_services)

    @dbus.service.method(DEVICE)
    def Disconnect(self):
        record('Device1.Disconnect ' + self.path)
        self.drop()

    def drop(self):
        for obj in reversed(self.gatt):
            if isinstance(obj, Characteristic):
                obj.stop()
            self.root.remove(obj)
        self.gatt = []
        self.update(ServicesResolved=False)
        self.update(Connected=False)

    def _resolve_services(self):
        if not self.props['Connected']:
            return False
        handle = 0x0010
        for service in self.spec['services']:
            service_path = '%s/service%04x' % (self.path, handle)
            self.gatt.append(PropertyObject(self.bus, service_path, 'org.bluez.GattService1', {
                'UUID': uuid16(service['uuid']), 'Primary': True,
                'Device': dbus.ObjectPath(self.path)}))
            for spec in service['chars']:
                handle += 1
                char_path = '%s/char%04x' % (service_path, handle)
                self.gatt.append(Characteristic(self.bus, char_path, service_path, spec))
                if 'notify' in spec['flags'] or 'indicate' in spec['flags']:
                    # The client configuration (0x2902): without it Qt enables no notifications.
                    handle += 1
                    self.gatt.append(PropertyObject(
                        self.bus, '%s/desc%04x' % (char_path, handle), 'org.bluez.GattDescriptor1',
                        {'UUID': uuid16(0x2902), 'Characteristic': dbus.ObjectPath(char_path)}))
            handle += 1
        for obj in self.gatt:
            self.root.add(obj)
        self.update(ServicesResolved=True)
        return False


class Characteristic(PropertyObject):
    INTERFACE = 'org.bluez.GattCharacteristic1'

    silent = False  # Fail('silence')
    def __init__(self, bus, path, service_path, spec):
        self.spec, self.timer, self.sent = spec, None, 0
        super().__init__(bus, path, self.INTERFACE, {
            'UUID': uuid16(spec['uuid']), 'Service': dbus.ObjectPath(service_path),
            'Value': dbus.Array(spec.get('value', b''), signature='y'),
            'Flags': dbus.Array(spec['flags'], signature='s'), 'Notifying': False})

    def describe(self):
        return '%s %04X' % (self.path, self.spec['uuid'])

    @dbus.service.method(INTERFACE, in_signature='a{sv}', out_signature='ay')
    def ReadValue(self, options):
        record('GattCharacteristic1.ReadValue ' + self.describe())
        self.update(Value=self.props['Value'])  # as bluetoothd does
        return self.props['Value']

    @dbus.service.method(INTERFACE, in_signature='aya{sv}')
    def WriteValue(self, value, options):
        record('GattCharacteristic1.WriteValue %s %s' % (self.describe(), bytes(value).hex()))

    @dbus.service.method(INTERFACE)
    def StartNotify(self):
        record('GattCharacteristic1.StartNotify ' + self.describe())
        if self.timer is None:
            self.update(Notifying=True)
            self.timer = GLib.timeout_add(self.spec.get('every_ms', NOTIFY_INTERVAL_MS),
                                          self._notify)

    def stop(self):
        if self.timer is not None:
            GLib.source_remove(self.timer)
            self.timer = None

    def _notify(self):
        payloads = self.spec['notify']
        if not callable(payloads) and self.sent == len(payloads):
            self.timer = None
            return False
        if Characteristic.silent:
            return True
        payload = payloads(self.sent) if callable(payloads) else payloads[self.sent]
        self.update(Value=dbus.Array(payload, signature='y'))
        self.sent += 1
        return True


class Control(dbus.service.Object):
    def __init__(self, bus, adapter):
        super().__init__(bus, '/org/tallyfin/fake')
        self.bus, self.adapter = bus, adapter

    @dbus.service.method('org.tallyfin.FakeBluez1', in_signature='su')
    def Fail(self, what, ms):
        record('Fail %s %d' % (what, ms))
        bus, adapter = self.bus, self.adapter
        down, up = {
            # Gone before anything it knew could be announced, as when it crashes.
            'bluetoothd': (lambda: bus.release_name('org.bluez') or adapter.forget(False),
                           lambda: own_name(bus, 'org.bluez')),
            'adapter': (lambda: adapter.forget(True), adapter.restore),
            'power': (lambda: adapter.set_powered(False), lambda: adapter.set_powered(True)),
            # A sleeping computer hears nothing; the machine's link outlives the suspend here.
            'sleep': (lambda: self.silence(True) or self.sleep(True),
                      lambda: self.silence(False) or self.sleep(False)),
            'silence': (lambda: self.silence(True), lambda: self.silence(False)),
        }[what]
        down()
        GLib.timeout_add(ms, lambda: up() and False)

    @staticmethod
    def silence(silent):
        Characteristic.silent = silent

    def sleep(self, start):
        own_name(self.bus, 'org.freedesktop.login1')
        message = dbus.lowlevel.SignalMessage('/org/freedesktop/login1',
                                              'org.freedesktop.login1.Manager', 'PrepareForSleep')
        message.append(dbus.Boolean(start), signature='b')
        self.bus.send_message(message)

    @dbus.service.method('org.tallyfin.FakeBluez1', in_signature='b')
    def SetPowered(self, powered):
        self.adapter.set_powered(bool(powered))

    @dbus.service.method('org.tallyfin.FakeBluez1', in_signature='sn')
    def Advertise(self, address, rssi):
        self.adapter.heard(next(d for d in MACHINES if d['address'] == address), rssi)

    @dbus.service.method('org.tallyfin.FakeBluez1', in_signature='ss')
    def AddMachine(self, address, name):
        """A bike with any name (one a stranger chose), heard from the next scan on, sending
        150 W without end."""
        MACHINES.append({'address': str(address), 'name': str(name), 'rssi': -60,
                         'uuids': [0x1826], 'services': fitness_machine(
                             0x2AD2, lambda sent: bike_data(2500, 160, 150))})

    @dbus.service.method('org.tallyfin.FakeBluez1', in_signature='s')
    def Drop(self, address):
        self.adapter.devices[str(address)].drop()

    @dbus.service.method('org.tallyfin.FakeBluez1', out_signature='as')
    def Calls(self):
        return dbus.Array(CALLS, signature='s')


def main():
    parser = argparse.ArgumentParser(description='A fake bluetoothd on the system bus.')
    parser.add_argument('--without-adapter', action='store_true', help='no Bluetooth hardware')
    parser.add_argument('--empty', action='store_true', help='an adapter that finds nothing')
    parser.add_argument('--crowd', default='0,0', metavar='MACHINES,OTHERS')
    parser.add_argument('--notify-ms', type=int, default=NOTIFY_INTERVAL_MS)
    options = parser.parse_args()
    machines, others = (int(count) for count in options.crowd.split(','))
    CROWD.extend(crowd(machines, others, options.notify_ms))
    if options.empty:
        MACHINES.clear()
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SystemBus()
    loop = GLib.MainLoop()
    # Without the bus there is nothing left to fake.
    bus.call_on_disconnection(lambda _connection: loop.quit())
    root = Root(bus)
    adapter = None
    if not options.without_adapter:
        adapter = Adapter(bus, root)
        root.add(adapter, announce=False)
        for spec in MACHINES:
            if spec['rssi'] is None:
                adapter.devices[spec['address']] = Device(bus, root, spec)
                root.add(adapter.devices[spec['address']], announce=False)
    control = Control(bus, adapter)
    own_name(bus, 'org.tallyfin.FakeBluez')
    # Own the name last, so that a client that sees org.bluez finds everything in place.
    own_name(bus, 'org.bluez')
    log('ready as', bus.get_unique_name())
    print('ready', flush=True)
    loop.run()
    del control


def own_name(bus, name):
    log('owning', name)
    bus.request_name(name, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)


if __name__ == '__main__':
    main()
