#!/usr/bin/python3
"""Runs a command against a fake bluetoothd on a private system bus.

    with_fake_bluez.py FAKE_BLUEZ SYSTEM_BUS_CONF_IN -- COMMAND [ARGS...]

Starts dbus-daemon with a system bus listening in a fresh temporary directory, starts the fake
on it, waits until the fake owns org.bluez, then runs COMMAND with DBUS_SYSTEM_BUS_ADDRESS
pointing at that bus. Exits with COMMAND's status. The bus and the fake are always stopped
afterwards, also when COMMAND fails or crashes, and they die with this wrapper if it is killed
(CTest's timeout), because every child gets PR_SET_PDEATHSIG.
"""
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
    if len(argv) < 5 or argv[3] != '--':
        return fail('usage: with_fake_bluez.py FAKE_BLUEZ SYSTEM_BUS_CONF_IN -- COMMAND [ARGS...]')
    fake_script, config_template, command = argv[1], argv[2], argv[4:]
    for path in (fake_script, config_template):
        if not os.path.isfile(path):
            return fail('no such file: ' + path)
    dbus_daemon = shutil.which('dbus-daemon')
    if dbus_daemon is None:
        return fail('dbus-daemon is not installed (Debian package "dbus")')

    workdir = tempfile.mkdtemp(prefix='tallyfin-fake-bluez-')
    bus = fake = None
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

        fake = subprocess.Popen(['/usr/bin/python3', fake_script], env=env,
                                stdout=subprocess.PIPE, preexec_fn=die_with_parent)
        if read_line(fake.stdout, STARTUP_TIMEOUT_S) != 'ready':
            return fail('the fake bluetoothd did not start')

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
        stop(fake)
        stop(bus)
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main(sys.argv))
