#!/usr/bin/python3
"""Runs a command against a fake bluetoothd on a private system bus.

    with_fake_bluez.py [--bus-config FILE] [--bluez fake|fake-without-adapter|none]
                       [--crowd MACHINES,OTHERS] [--notify-ms MS] -- COMMAND [ARGS...]

Starts dbus-daemon with a system bus listening in a fresh temporary directory (its configuration
from FILE with @SOCKET@ replaced; system-bus.conf.in by default), starts fake_bluez.py on it
(with an adapter, without one, or not at all; --crowd and --notify-ms go to the fake), waits
until the fake owns org.bluez, then runs COMMAND with DBUS_SYSTEM_BUS_ADDRESS pointing at that
bus (and TALLYFIN_FAKE_BLUEZ_CROWD set to the crowd, if any). Exits with COMMAND's status. The bus and the fake are always stopped afterwards, also when COMMAND fails or crashes, and they die with this wrapper if it is killed
(CTest's timeout), because every child gets PR_SET_PDEATHSIG.

    --fake SCRIPT   also starts SCRIPT (another fake service, which prints "ready") on the bus.
"""
import argparse
import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

STARTUP_TIMEOUT_S = 60  # a loaded two-core machine can be slow to start Python and the bus


def die_with_parent():
    libc = ctypes.CDLL(None, use_errno=True)
    PR_SET_PDEATHSIG = 1
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)
    # The parent may have died between fork and prctl.
    if os.getppid() == 1:
        os._exit(1)


def fail(message):
    print('with_fake_bluez: ' + message, file=sys.stderr, flush=True)
    return 2


def read_line(stream, timeout_s):
    """One line from a child's pipe, or None when it does not come in time or the pipe closes."""
    deadline = time.monotonic() + timeout_s
    line = b''
    while not line.endswith(b'\n'):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            return None
        ready, _, _ = select.select([stream], [], [], remaining)
        if not ready:
            return None
        chunk = os.read(stream.fileno(), 1)
        if not chunk:
            return None
        line += chunk
    return line.decode().strip()


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
    parser.add_argument('--fake', action='append', default=[], metavar='SCRIPT',
                        help='another fake service to start on the bus (it prints "ready")')
    parser.add_argument('--bus-config', default=os.path.join(here, 'system-bus.conf.in'))
    parser.add_argument('--bluez', choices=['fake', 'fake-without-adapter', 'none'],
                        default='fake')
    parser.add_argument('--crowd')
    parser.add_argument('--notify-ms')
    parser.add_argument('command', nargs='+', help='the command to run, after --')
    if '--' not in argv:
        parser.print_usage(sys.stderr)
        return fail('the command goes after --')
    split = argv.index('--')
    options = parser.parse_args(argv[1:split] + ['--'] + argv[split + 1:])
    fake_script = os.path.join(here, 'fake_bluez.py')
    config_template, command = options.bus_config, options.command
    for path in (fake_script, config_template):
        if not os.path.isfile(path):
            return fail('no such file: ' + path)
    dbus_daemon = shutil.which('dbus-daemon')
    if dbus_daemon is None:
        return fail('dbus-daemon is not installed (Debian package "dbus")')

    workdir = tempfile.mkdtemp(prefix='tallyfin-fake-bluez-')
    bus = fake = None
    others = []
    # Turn SIGTERM into a normal exit so that the finally block runs.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    try:
        socket_path = os.path.join(workdir, 'system_bus_socket')
        config_path = os.path.join(workdir, 'system-bus.conf')
        with open(config_template) as template, open(config_path, 'w') as config:
            config.write(template.read().replace('@SOCKET@', socket_path))

        bus = subprocess.Popen([dbus_daemon, '--config-file=' + config_path, '--nofork',
                                '--print-address=1'],
                               stdout=subprocess.PIPE, preexec_fn=die_with_parent)
        address = read_line(bus.stdout, STARTUP_TIMEOUT_S)
        if not address:
            return fail('dbus-daemon did not start')

        env = dict(os.environ)
        env['DBUS_SYSTEM_BUS_ADDRESS'] = address
        # QtBluetooth otherwise asks the owner of org.bluez for its version by running its
        # executable with --version, which here is Python.
        env.setdefault('BLUETOOTH_FORCE_DBUS_LE_VERSION', '5.66')
        if options.crowd:
            env['TALLYFIN_FAKE_BLUEZ_CROWD'] = options.crowd

        if options.bluez != 'none':
            fake_command = ['/usr/bin/python3', fake_script]
            if options.bluez == 'fake-without-adapter':
                fake_command.append('--without-adapter')
            for option in ('crowd', 'notify_ms'):
                if getattr(options, option):
                    fake_command += ['--' + option.replace('_', '-'), getattr(options, option)]
            fake = subprocess.Popen(fake_command, env=env, stdout=subprocess.PIPE,
                                    preexec_fn=die_with_parent)
            if read_line(fake.stdout, STARTUP_TIMEOUT_S) != 'ready':
                return fail('the fake bluetoothd did not start')

        for script in options.fake:
            others.append(subprocess.Popen(['/usr/bin/python3', script], env=env,
                                           stdout=subprocess.PIPE, preexec_fn=die_with_parent))
            if read_line(others[-1].stdout, STARTUP_TIMEOUT_S) != 'ready':
                return fail(script + ' did not start')

        try:
            test = subprocess.Popen(command, env=env, preexec_fn=die_with_parent)
        except OSError as error:
            return fail('cannot run %s: %s' % (command[0], error))
        try:
            status = test.wait()
            return 128 - status if status < 0 else status
        finally:
            stop(test)
    finally:
        for process in [fake] + others:
            stop(process)
        stop(bus)
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main(sys.argv))
