#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Tallyfin developers
# SPDX-License-Identifier: MIT

"""Runs a command against a fake bluetoothd on a private system bus: dbus-daemon on a socket in a
fresh temporary directory (configured from --bus-config with @SOCKET@ replaced), fake_bluez.py on it
(--bluez says which; --crowd and --notify-ms go to it) and each --fake SCRIPT (another fake service
that prints "ready"), then the command after -- with DBUS_SYSTEM_BUS_ADDRESS set (and
TALLYFIN_FAKE_BLUEZ_CROWD to the crowd). Exits with its status; everything it started stops with
it, also when it is killed."""
import argparse
import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile

STARTUP_TIMEOUT_S = 60  # a loaded two-core machine can be slow to start Python and the bus


def die_with_parent():
    ctypes.CDLL(None).prctl(1, signal.SIGTERM, 0, 0, 0)  # PR_SET_PDEATHSIG
    # The parent may have died between fork and prctl.
    if os.getppid() == 1:
        os._exit(1)


def start(command, env=None):
    """Starts command and returns it with the first line it prints, or None for no line in time."""
    process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE, preexec_fn=die_with_parent)
    ready, _, _ = select.select([process.stdout], [], [], STARTUP_TIMEOUT_S)
    return process, process.stdout.readline().decode().strip() if ready else None


def stop(process):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description='Runs a command against a fake bluetoothd.')
    parser.add_argument('--fake', action='append', default=[], metavar='SCRIPT')
    parser.add_argument('--bus-config', default=os.path.join(here, 'system-bus.conf.in'))
    parser.add_argument('--bluez', choices=['fake', 'fake-empty', 'fake-without-adapter', 'none'],
                        default='fake')
    parser.add_argument('--crowd')
    parser.add_argument('--notify-ms')
    parser.add_argument('command', nargs='+', help='the command to run, after --')
    if '--' not in argv:
        parser.error('the command goes after --')
    options = parser.parse_args(argv[1:])
    dbus_daemon = shutil.which('dbus-daemon')
    if dbus_daemon is None:
        parser.error('dbus-daemon is not installed (Debian package "dbus")')

    workdir = tempfile.mkdtemp(prefix='tallyfin-fake-bluez-')
    children = []
    # Turn SIGTERM into a normal exit so that the finally block runs.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    try:
        config_path = os.path.join(workdir, 'system-bus.conf')
        with open(options.bus_config) as template, open(config_path, 'w') as config:
            config.write(template.read().replace('@SOCKET@', os.path.join(workdir, 'socket')))
        bus, address = start([dbus_daemon, '--config-file=' + config_path, '--nofork',
                              '--print-address=1'])
        children.append(bus)
        if not address:
            return fail('dbus-daemon did not start')

        env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=address)
        # QtBluetooth otherwise asks the owner of org.bluez for its version by running its
        # executable with --version, which here is Python.
        env.setdefault('BLUETOOTH_FORCE_DBUS_LE_VERSION', '5.66')
        if options.crowd:
            env['TALLYFIN_FAKE_BLUEZ_CROWD'] = options.crowd
        fakes = [[script] for script in options.fake]
        if options.bluez != 'none':
            flags = {'fake-without-adapter': ['--without-adapter'], 'fake-empty': ['--empty']}
            fake_command = [os.path.join(here, 'fake_bluez.py')] + flags.get(options.bluez, [])
            for option, value in (('--crowd', options.crowd), ('--notify-ms', options.notify_ms)):
                fake_command += [option, value] if value else []
            fakes.insert(0, fake_command)
        for fake in fakes:
            process, line = start(['/usr/bin/python3'] + fake, env)
            children.append(process)
            if line != 'ready':
                return fail(fake[0] + ' did not start')

        test = subprocess.Popen(options.command, env=env, preexec_fn=die_with_parent)
        try:
            status = test.wait()
            return 128 - status if status < 0 else status
        finally:
            stop(test)
    finally:
        for process in reversed(children):
            stop(process)
        shutil.rmtree(workdir, ignore_errors=True)


def fail(message):
    print('with_fake_bluez: ' + message, file=sys.stderr, flush=True)
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv))
