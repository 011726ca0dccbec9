#!/usr/bin/python3
"""A stand-in for bluetoothd on a private system bus, for the end-to-end tests of the
QtBluetooth central.

It owns org.bluez and exports what QtBluetooth's BlueZ backend uses: one adapter, a few
advertising machines (an indoor bike, a rower, a bike that drops out mid-stream, a bike that
refuses connections, a bike without a name and a heart-rate strap that is not a fitness machine), and on connection
their GATT tree with notifications through PropertiesChanged(Value). The rower and the strap notify
without end, so that both can be connected side by side.

With --crowd MACHINES,OTHERS a discovery also finds that many more devices within a moment:
"Crowd Bike NNNN" fitness machines, which notify without end every --notify-ms milliseconds
(power counting up by one watt), and other devices, all with a signal strength that changes every
two seconds. That is how a gym or a block of flats looks to bluetoothd.

The test steers and inspects it through org.tallyfin.FakeBluez1 on /org/tallyfin/fake:
SetPowered(b) switches the adapter, Advertise(address, rssi) makes a remembered machine
advertise again, Drop(address) ends a device's connection from its side, Calls() returns every
BlueZ method call received, in order,
as "Interface.Method path [detail]".

Notification payloads are fixed, so the tests can compare the published values exactly.
"""
import argparse
import struct
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

BLUEZ = 'org.bluez'
OBJECT_MANAGER = 'org.freedesktop.DBus.ObjectManager'
PROPERTIES = 'org.freedesktop.DBus.Properties'
ADAPTER = 'org.bluez.Adapter1'
DEVICE = 'org.bluez.Device1'
GATT_SERVICE = 'org.bluez.GattService1'
GATT_CHARACTERISTIC = 'org.bluez.GattCharacteristic1'
GATT_DESCRIPTOR = 'org.bluez.GattDescriptor1'
CONTROL = 'org.tallyfin.FakeBluez1'
ADAPTER_PATH = '/org/bluez/hci0'

ADVERTISE_DELAY_MS = 200       # from StartDiscovery to the first advertisement
READVERTISE_DELAY_MS = 400     # from the first advertisement to the RSSI update
RESOLVE_DELAY_MS = 150         # from Connect to ServicesResolved
NOTIFY_INTERVAL_MS = 100       # between notifications
CROWD_BATCH = 250              # crowd devices added per turn of the main loop
RSSI_SLICE_MS = 100            # a twentieth of the crowd changes its signal strength this often


def uuid16(short):
    return '0000%04x-0000-1000-8000-00805f9b34fb' % short


def log(*parts):
    print('[fake-bluez]', *parts, file=sys.stderr, flush=True)


def bike_data(speed_centi_kmh, cadence_half_rpm, power):
    # Flags 0x0044: instantaneous speed (bit 0 clear), cadence (bit 2), power (bit 6).
    return struct.pack('<HHHh', 0x0044, speed_centi_kmh, cadence_half_rpm, power)


def rower_data(strokes):
    # Flags 0x0200: stroke rate and count (bit 0 clear), heart rate 101 (bit 9).
    return struct.pack('<HBHB', 0x0200, 44, strokes, 101)


def heart_rate(sent):
    # Skin contact detected (bits 1 and 2), 72 to 74 beats per minute.
    return bytes([0x06, 72 + sent % 3])


# Fitness Machine Feature values: 32 bits of machine features, 32 bits of target settings.
BIKE_FEATURES = struct.pack('<II', (1 << 1) | (1 << 14), 1 << 3)  # cadence, power; power target
ROWER_FEATURES = struct.pack('<II', (1 << 1) | (1 << 10), 0)  # stroke rate, heart rate

# Each machine: how it advertises, how it answers Connect and its GATT tree. In the tree,
# 'chars' are listed in handle order, which is the order the machine reports them in.
MACHINES = [
    {
        'address': 'C0:FF:EE:00:00:01', 'name': 'Tallyfin Test Bike', 'rssi': -61,
        'rssi_update': -55, 'tx_power': 4,
        'manufacturer': {0x0059: b'\x01\x02\x03'},
        'uuids': [0x1826, 0x180A],
        'services': [
            {'uuid': 0x180A, 'chars': [{'uuid': 0x2A29, 'flags': ['read'], 'value': b'Tallyfin'}]},
            {'uuid': 0x1826, 'chars': [
                {'uuid': 0x2ACC, 'flags': ['read'], 'value': BIKE_FEATURES},
                {'uuid': 0x2AD2, 'flags': ['notify'], 'notify': [
                    bike_data(2500, 160, 150), bike_data(2600, 170, 160), bike_data(2700, 180, 170),
                    bike_data(2800, 181, 180), bike_data(2950, 184, 205)]},
                {'uuid': 0x2AD9, 'flags': ['write', 'indicate'], 'value': b''},
            ]},
        ],
    },
    {
        'address': 'C0:FF:EE:00:00:02', 'name': 'Tallyfin Test Rower', 'rssi': -70,
        'uuids': [0x1826],
        'services': [{'uuid': 0x1826, 'chars': [
            {'uuid': 0x2ACC, 'flags': ['read'], 'value': ROWER_FEATURES},
            {'uuid': 0x2AD1, 'flags': ['notify'], 'every_ms': 200,
             'notify': lambda sent: rower_data(sent + 1)}]}],
    },
    {
        # Sends two notifications, then drops the link on its own.
        'address': 'C0:FF:EE:00:00:03', 'name': 'Tallyfin Fading Bike', 'rssi': -80,
        'uuids': [0x1826], 'drop_after_notifications': True,
        'services': [
            {'uuid': 0x1826, 'chars': [
                {'uuid': 0x2ACC, 'flags': ['read'], 'value': BIKE_FEATURES},
                {'uuid': 0x2AD2, 'flags': ['notify'], 'notify': [
                    bike_data(2000, 150, 120), bike_data(2100, 152, 125)]},
            ]},
        ],
    },
    {
        'address': 'C0:FF:EE:00:00:04', 'name': 'Tallyfin Unreachable Bike', 'rssi': -90,
        'uuids': [0x1826],
        'connect_error': ('org.bluez.Error.Failed', 'le-connection-abort-by-local'),
        'services': [],
    },
    {
        # Known to bluetoothd from an earlier scan but switched off now: listed, no RSSI, never
        # advertising.
        'address': 'C0:FF:EE:00:00:06', 'name': 'Tallyfin Remembered Bike', 'rssi': None,
        'uuids': [0x1826], 'remembered': True, 'services': [],
    },
    {
        # No name of its own: bluetoothd has only the address to show as its alias.
        'address': 'C0:FF:EE:00:00:07', 'name': None, 'rssi': -75, 'uuids': [0x1826],
        'services': [{'uuid': 0x1826, 'chars': [
            {'uuid': 0x2ACC, 'flags': ['read'], 'value': BIKE_FEATURES},
            {'uuid': 0x2AD2, 'flags': ['notify'], 'notify': [bike_data(1800, 140, 110)]}]}],
    },
    {
        # Not a fitness machine: the central reports it only to a scan for heart-rate straps.
        'address': 'C0:FF:EE:00:00:05', 'name': 'Tallyfin Heart Strap', 'rssi': -50,
        'uuids': [0x180D],
        'services': [{'uuid': 0x180D, 'chars': [
            {'uuid': 0x2A37, 'flags': ['notify'], 'notify': heart_rate}]}],
    },
]


def crowd(machines, others, notify_ms):
    """The devices of --crowd, in the order they appear: the others first, then the machines."""
    devices = []
    for i in range(others + machines):
        machine = i >= others
        number = i - others + 1 if machine else i + 1
        devices.append({
            'address': 'C0:FF:%02X:%02X:%02X:%02X' % (0x01 if machine else 0x02, i >> 16,
                                                    (i >> 8) & 0xFF, i & 0xFF),
            'name': ('Crowd Bike %04d' if machine else 'Crowd Phone %04d') % number,
            'rssi': -40 - i % 50, 'uuids': [0x1826] if machine else [0x180F],
            'services': [{'uuid': 0x1826, 'chars': [
                {'uuid': 0x2ACC, 'flags': ['read'], 'value': BIKE_FEATURES},
                {'uuid': 0x2AD2, 'flags': ['notify'], 'every_ms': notify_ms,
                 'notify': lambda sent: bike_data(2500, 160, sent % 30000 + 1)},
            ]}] if machine else []})
    return devices


CROWD = []


class Calls:
    """Every BlueZ method call, in arrival order, for the test to inspect."""
    entries = []

    @classmethod
    def record(cls, text):
        cls.entries.append(text)
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
        if interface != self.interface or name not in self.props:
            raise dbus.exceptions.DBusException('No such property ' + name,
                                                name='org.freedesktop.DBus.Error.InvalidArgs')
        return self.props[name]

    @dbus.service.method(PROPERTIES, in_signature='s', out_signature='a{sv}')
    def GetAll(self, interface):
        return dbus.Dictionary(self.props if interface == self.interface else {}, signature='sv')

    @dbus.service.method(PROPERTIES, in_signature='ssv')
    def Set(self, interface, name, value):
        Calls.record('Properties.Set %s %s=%s' % (self.path, name, value))
        self.update(**{name: value})

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

    def remove(self, obj):
        if self.objects.pop(obj.path, None) is None:
            return
        obj.remove_from_connection()
        self.InterfacesRemoved(dbus.ObjectPath(obj.path), [obj.interface])

    @dbus.service.method(OBJECT_MANAGER, out_signature='a{oa{sa{sv}}}')
    def GetManagedObjects(self):
        Calls.record('ObjectManager.GetManagedObjects /')
        return {dbus.ObjectPath(p): {o.interface: o.props} for p, o in self.objects.items()}

    @dbus.service.signal(OBJECT_MANAGER, signature='oa{sa{sv}}')
    def InterfacesAdded(self, path, interfaces):
        pass

    @dbus.service.signal(OBJECT_MANAGER, signature='oas')
    def InterfacesRemoved(self, path, interfaces):
        pass


class Adapter(PropertyObject):
    def __init__(self, bus, root):
        self.bus, self.root = bus, root
        self.devices = {}
        self.timers = {}
        super().__init__(bus, ADAPTER_PATH, ADAPTER, {
            'Address': 'AA:00:00:00:00:01', 'AddressType': 'public', 'Name': 'tallyfin-test',
            'Alias': 'tallyfin-test', 'Class': dbus.UInt32(0), 'Powered': True,
            'Discoverable': False, 'Pairable': True, 'DiscoverableTimeout': dbus.UInt32(180),
            'PairableTimeout': dbus.UInt32(0), 'Discovering': False,
            'UUIDs': dbus.Array([], signature='s'), 'Modalias': 'usb:v1D6Bp0246d0542'})

    @dbus.service.method(ADAPTER, in_signature='a{sv}')
    def SetDiscoveryFilter(self, discovery_filter):
        Calls.record('Adapter1.SetDiscoveryFilter %s %s' % (
            self.path, sorted((str(k), str(v)) for k, v in discovery_filter.items())))

    @dbus.service.method(ADAPTER, out_signature='as')
    def GetDiscoveryFilters(self):
        return ['UUIDs', 'RSSI', 'Pathloss', 'Transport', 'DuplicateData']

    @dbus.service.method(ADAPTER)
    def StartDiscovery(self):
        Calls.record('Adapter1.StartDiscovery ' + self.path)
        if not self.props['Powered']:
            raise dbus.exceptions.DBusException('Resource Not Ready',
                                                name='org.bluez.Error.NotReady')
        self.update(Discovering=True)
        self._schedule(ADVERTISE_DELAY_MS, self._advertise)

    @dbus.service.method(ADAPTER)
    def StopDiscovery(self):
        Calls.record('Adapter1.StopDiscovery ' + self.path)
        self._cancel_timers()
        self.update(Discovering=False)

    @dbus.service.method(ADAPTER, in_signature='o')
    def RemoveDevice(self, path):
        Calls.record('Adapter1.RemoveDevice ' + path)

    def _schedule(self, delay_ms, action):
        def fire():
            del self.timers[action.__name__]
            action()
            return False
        self._cancel_timer(action.__name__)
        self.timers[action.__name__] = GLib.timeout_add(delay_ms, fire)

    def _cancel_timer(self, name):
        timer = self.timers.pop(name, None)
        if timer is not None:
            GLib.source_remove(timer)

    def _cancel_timers(self):
        for name in list(self.timers):
            self._cancel_timer(name)

    def _heard(self, machine):
        device = self.devices.get(machine['address'])
        if device is None:
            device = Device(self.bus, self.root, machine)
            self.devices[machine['address']] = device
            self.root.add(device)
        else:
            # A known device advertising again: bluetoothd refreshes its RSSI.
            device.update(RSSI=dbus.Int16(machine['rssi']))

    def _advertise(self):
        for machine in MACHINES:
            if not machine.get('remembered'):
                self._heard(machine)
        self._schedule(READVERTISE_DELAY_MS, self._readvertise)
        if CROWD:
            self.crowd_added = 0
            self._schedule(0, self._add_crowd)

    def _add_crowd(self):
        # In batches, so that the main loop answers calls in between.
        batch = CROWD[self.crowd_added:self.crowd_added + CROWD_BATCH]
        for machine in batch:
            self._heard(machine)
        self.crowd_added += len(batch)
        if self.crowd_added < len(CROWD):
            self._schedule(0, self._add_crowd)
        else:
            log('crowd of', len(CROWD), 'devices advertising')
            self.rssi_slice = 0
            self._schedule(RSSI_SLICE_MS, self._change_crowd_rssi)

    def _change_crowd_rssi(self):
        self.rssi_slice += 1
        for i in range(self.rssi_slice % 20, len(CROWD), 20):
            rssi = -40 - (i + self.rssi_slice) % 50
            self.devices[CROWD[i]['address']].update(RSSI=dbus.Int16(rssi))
        self._schedule(RSSI_SLICE_MS, self._change_crowd_rssi)

    def _readvertise(self):
        for machine in MACHINES:
            if 'rssi_update' in machine:
                self.devices[machine['address']].update(RSSI=dbus.Int16(machine['rssi_update']))

    def set_powered(self, powered):
        if not powered:
            self._cancel_timers()
            if self.props['Discovering']:
                self.update(Discovering=False)
        self.update(Powered=dbus.Boolean(powered))


class Device(PropertyObject):
    def __init__(self, bus, root, machine):
        self.bus, self.root, self.machine = bus, root, machine
        self.gatt = []
        self.notifiers = []
        path = ADAPTER_PATH + '/dev_' + machine['address'].replace(':', '_')
        props = {
            'Address': machine['address'], 'AddressType': 'random',
            'Alias': machine['name'] or machine['address'].replace(':', '-'), 'Paired': False, 'Trusted': False, 'Blocked': False,
            'LegacyPairing': False, 'Connected': False,
            'ServicesResolved': False,
            'UUIDs': dbus.Array([uuid16(u) for u in machine['uuids']], signature='s'),
            'Adapter': dbus.ObjectPath(ADAPTER_PATH)}
        if machine['name']:
            props['Name'] = machine['name']
        if machine['rssi'] is not None:
            props['RSSI'] = dbus.Int16(machine['rssi'])
        if 'tx_power' in machine:
            props['TxPower'] = dbus.Int16(machine['tx_power'])
        if 'manufacturer' in machine:
            props['ManufacturerData'] = dbus.Dictionary(
                {dbus.UInt16(k): dbus.Array(v, signature='y', variant_level=1)
                 for k, v in machine['manufacturer'].items()}, signature='qv')
        super().__init__(bus, path, DEVICE, props)

    @dbus.service.method(DEVICE, async_callbacks=('reply', 'error'))
    def Connect(self, reply, error):
        Calls.record('Device1.Connect ' + self.path)
        if 'connect_error' in self.machine:
            name, message = self.machine['connect_error']

            def fail():
                error(dbus.exceptions.DBusException(message, name=name))
                return False
            GLib.timeout_add(RESOLVE_DELAY_MS, fail)
            return
        self.update(Connected=True)
        reply()
        GLib.timeout_add(RESOLVE_DELAY_MS, self._resolve_services)

    @dbus.service.method(DEVICE)
    def Disconnect(self):
        Calls.record('Device1.Disconnect ' + self.path)
        self.drop()

    def drop(self):
        for notifier in self.notifiers:
            notifier.stop()
        self.notifiers = []
        for obj in reversed(self.gatt):
            self.root.remove(obj)
        self.gatt = []
        self.update(ServicesResolved=False)
        self.update(Connected=False)

    def _resolve_services(self):
        if not self.props['Connected']:
            return False
        handle = 0x0010
        for service in self.machine['services']:
            service_path = '%s/service%04x' % (self.path, handle)
            handle += 1
            self.gatt.append(PropertyObject(self.bus, service_path, GATT_SERVICE, {
                'UUID': uuid16(service['uuid']), 'Primary': True,
                'Device': dbus.ObjectPath(self.path), 'Includes': dbus.Array([], signature='o')}))
            for spec in service['chars']:
                char_path = '%s/char%04x' % (service_path, handle)
                handle += 1
                characteristic = Characteristic(self.bus, char_path, service_path, spec, self)
                self.gatt.append(characteristic)
                if 'notify' in spec['flags'] or 'indicate' in spec['flags']:
                    self.gatt.append(Descriptor(self.bus, '%s/desc%04x' % (char_path, handle),
                                                char_path))
                    handle += 1
        for obj in self.gatt:
            self.root.add(obj)
        self.update(ServicesResolved=True)
        return False

    def notifications_done(self):
        if self.machine.get('drop_after_notifications'):
            log('dropping the link of', self.path)
            self.drop()


class Characteristic(PropertyObject):
    def __init__(self, bus, path, service_path, spec, device):
        self.spec, self.device, self.timer, self.sent = spec, device, None, 0
        super().__init__(bus, path, GATT_CHARACTERISTIC, {
            'UUID': uuid16(spec['uuid']), 'Service': dbus.ObjectPath(service_path),
            'Value': dbus.Array(spec.get('value', b''), signature='y'),
            'Flags': dbus.Array(spec['flags'], signature='s'), 'Notifying': False})

    def describe(self):
        return '%s %04X' % (self.path, self.spec['uuid'])

    @dbus.service.method(GATT_CHARACTERISTIC, in_signature='a{sv}', out_signature='ay')
    def ReadValue(self, options):
        Calls.record('GattCharacteristic1.ReadValue ' + self.describe())
        if 'read' not in self.spec['flags']:
            raise dbus.exceptions.DBusException('Read not permitted',
                                                name='org.bluez.Error.NotPermitted')
        # Like bluetoothd, publish what was read as the characteristic's new value too.
        self.update(Value=self.props['Value'])
        return self.props['Value']

    @dbus.service.method(GATT_CHARACTERISTIC, in_signature='aya{sv}')
    def WriteValue(self, value, options):
        Calls.record('GattCharacteristic1.WriteValue %s %s' % (self.describe(), bytes(value).hex()))

    @dbus.service.method(GATT_CHARACTERISTIC)
    def StartNotify(self):
        Calls.record('GattCharacteristic1.StartNotify ' + self.describe())
        if self.props['Notifying']:
            return
        self.update(Notifying=True)
        self.device.notifiers.append(self)
        self.timer = GLib.timeout_add(self.spec.get('every_ms', NOTIFY_INTERVAL_MS), self._notify)

    @dbus.service.method(GATT_CHARACTERISTIC)
    def StopNotify(self):
        Calls.record('GattCharacteristic1.StopNotify ' + self.describe())
        self.stop()
        self.update(Notifying=False)

    def stop(self):
        if self.timer is not None:
            GLib.source_remove(self.timer)
            self.timer = None

    def _notify(self):
        payloads = self.spec.get('notify', [])
        if callable(payloads) or self.sent < len(payloads):
            payload = payloads(self.sent) if callable(payloads) else payloads[self.sent]
            self.update(Value=dbus.Array(payload, signature='y'))
            self.sent += 1
            return True
        self.timer = None
        self.device.notifications_done()
        return False


class Descriptor(PropertyObject):
    """The client characteristic configuration (0x2902) of a notifying characteristic."""

    def __init__(self, bus, path, char_path):
        super().__init__(bus, path, GATT_DESCRIPTOR, {
            'UUID': uuid16(0x2902), 'Characteristic': dbus.ObjectPath(char_path),
            'Value': dbus.Array(b'\x00\x00', signature='y')})

    @dbus.service.method(GATT_DESCRIPTOR, in_signature='a{sv}', out_signature='ay')
    def ReadValue(self, options):
        Calls.record('GattDescriptor1.ReadValue ' + self.path)
        return self.props['Value']

    @dbus.service.method(GATT_DESCRIPTOR, in_signature='aya{sv}')
    def WriteValue(self, value, options):
        # bluetoothd refuses writes to the CCCD: clients must use StartNotify.
        Calls.record('GattDescriptor1.WriteValue %s %s' % (self.path, bytes(value).hex()))
        raise dbus.exceptions.DBusException('Write not permitted',
                                            name='org.bluez.Error.NotPermitted')


class Control(dbus.service.Object):
    def __init__(self, bus, adapter):
        super().__init__(bus, '/org/tallyfin/fake')
        self.adapter = adapter

    @dbus.service.method(CONTROL, in_signature='b')
    def SetPowered(self, powered):
        if self.adapter is None:
            raise dbus.exceptions.DBusException('No adapter', name='org.bluez.Error.NotReady')
        log('adapter powered', bool(powered))
        self.adapter.set_powered(bool(powered))

    @dbus.service.method(CONTROL, in_signature='sn')
    def Advertise(self, address, rssi):
        """A machine bluetoothd already knows is heard again."""
        log('advertising', address, rssi)
        self.adapter.devices[str(address)].update(RSSI=dbus.Int16(rssi))

    @dbus.service.method(CONTROL, in_signature='s')
    def Drop(self, address):
        """The device ends its connection, as one that goes out of range."""
        log('dropping', address)
        self.adapter.devices[str(address)].drop()

    @dbus.service.method(CONTROL, out_signature='as')
    def Calls(self):
        return dbus.Array(Calls.entries, signature='s')


def main():
    parser = argparse.ArgumentParser(description='A fake bluetoothd on the system bus.')
    # bluetoothd running on a machine without Bluetooth hardware.
    parser.add_argument('--without-adapter', action='store_true')
    parser.add_argument('--crowd', default='0,0', metavar='MACHINES,OTHERS')
    parser.add_argument('--notify-ms', type=int, default=NOTIFY_INTERVAL_MS)
    options = parser.parse_args()
    with_adapter = not options.without_adapter
    machines, others = (int(count) for count in options.crowd.split(','))
    CROWD.extend(crowd(machines, others, options.notify_ms))
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SystemBus()
    loop = GLib.MainLoop()
    # Without the bus there is nothing left to fake.
    bus.call_on_disconnection(lambda _connection: loop.quit())
    root = Root(bus)
    adapter = None
    if with_adapter:
        adapter = Adapter(bus, root)
        root.add(adapter, announce=False)
        for machine in MACHINES:
            if machine.get('remembered'):
                device = Device(bus, root, machine)
                adapter.devices[machine['address']] = device
                root.add(device, announce=False)
    control = Control(bus, adapter)
    # Own the name last, so that a client that sees org.bluez finds everything in place.
    name = dbus.service.BusName(BLUEZ, bus, do_not_queue=True)
    log('ready as', bus.get_unique_name())
    print('ready', flush=True)
    loop.run()
    del name, control


if __name__ == '__main__':
    main()
