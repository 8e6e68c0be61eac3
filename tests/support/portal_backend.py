'''Fake desktop behind the real xdg-desktop-portal: Screenshot, PickColor and Access.

Loaded by python3-dbusmock as a template (python3 -m dbusmock -t portal_backend.py -p JSON);
run directly (portal_backend.py pattern FILE.png WIDTH HEIGHT) it writes the test picture.

Parameters: pattern (PNG handed out by Screenshot), window (the one handed out when the user
picks a window), shots (folder for the copies),
screenshot and access (response codes: 0 success, 1 cancelled, 2 denied), color ("r,g,b", 0..1),
delay (seconds Screenshot takes to answer, as a user does in a dialog, answering everything else
meanwhile), hang (seconds Screenshot blocks the whole service, which then answers nothing).
'''

import shutil
import struct
import sys
import time
import zlib

import dbus
import dbus.service
from gi.repository import GLib

BUS_NAME = 'org.freedesktop.impl.portal.Test'
MAIN_OBJ = '/org/freedesktop/portal/desktop'
MAIN_IFACE = 'org.freedesktop.impl.portal.Screenshot'
ACCESS_IFACE = 'org.freedesktop.impl.portal.Access'
SYSTEM_BUS = False


def load(mock, parameters):
    mock.pattern = parameters['pattern']
    mock.window = parameters.get('window', mock.pattern)
    mock.shots = parameters['shots']
    mock.screenshot_code = int(parameters.get('screenshot', 0))
    mock.access_code = int(parameters.get('access', 0))
    mock.color = [float(c) for c in parameters.get('color', '0.2,0.4,1.0').split(',')]
    mock.shot_count = 0
    mock.delay = float(parameters.get('delay', 0))
    mock.hang = float(parameters.get('hang', 0))
    # Version 2 makes the portal ask Access before a non-interactive screenshot.
    mock.AddProperties(MAIN_IFACE, {'version': dbus.UInt32(2)})


@dbus.service.method(MAIN_IFACE, in_signature='ossa{sv}', out_signature='ua{sv}',
                     async_callbacks=('reply', 'error'))
def Screenshot(self, handle, app_id, parent_window, options, reply, error):
    if self.hang:
        time.sleep(self.hang)
    if self.screenshot_code != 0:
        reply(dbus.UInt32(self.screenshot_code), dbus.Dictionary({}, signature='sv'))
        return

    def answer():
        # A fresh file per call, as a real desktop writes one, so a client may delete what it got.
        self.shot_count += 1
        path = f'{self.shots}/Screenshot-{self.shot_count}.png'
        shutil.copyfile(self.window if options.get('interactive') else self.pattern, path)
        reply(dbus.UInt32(0), dbus.Dictionary({'uri': 'file://' + path}, signature='sv'))
        return False

    if self.delay:
        GLib.timeout_add(int(self.delay * 1000), answer)
    else:
        answer()


@dbus.service.method(MAIN_IFACE, in_signature='ossa{sv}', out_signature='ua{sv}')
def PickColor(self, handle, app_id, parent_window, options):
    if self.screenshot_code != 0:
        return (dbus.UInt32(self.screenshot_code), dbus.Dictionary({}, signature='sv'))
    color = dbus.Struct([dbus.Double(c) for c in self.color], signature='ddd')
    return (dbus.UInt32(0), dbus.Dictionary({'color': color}, signature='sv'))


@dbus.service.method(ACCESS_IFACE, in_signature='osssssa{sv}', out_signature='ua{sv}')
def AccessDialog(self, handle, app_id, parent_window, title, subtitle, body, options):
    return (dbus.UInt32(self.access_code), dbus.Dictionary({}, signature='sv'))


def write_pattern(path, width, height, margin=0):
    '''Each pixel tells its own place: r = x & 255, g = y & 255, b = (x >> 8 & 15) | (y >> 8 << 4).

    With a margin, the pattern lies opaque inside a translucent black margin of that width left,
    right and below, as GNOME hands over a window with the shadow round it.'''
    reds = bytes(x & 255 for x in range(width))
    blues = bytes(x >> 8 & 15 for x in range(width))
    shadow = b'\0\0\0\x60' * margin
    raw = bytearray()
    for y in range(height):
        row = bytearray(4 * width)
        row[0::4] = reds
        row[1::4] = bytes([y & 255]) * width
        row[2::4] = bytes(b | (y >> 8 << 4) & 255 for b in blues)
        row[3::4] = b'\xff' * width
        raw += b'\0' + shadow + row + shadow
    raw += (b'\0' + b'\0\0\0\x60' * (width + 2 * margin)) * margin

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', width + 2 * margin, height + margin, 8, 6, 0, 0, 0)))
        f.write(chunk(b'IDAT', zlib.compress(bytes(raw), 6)))
        f.write(chunk(b'IEND', b''))


if __name__ == '__main__' and sys.argv[1:2] == ['pattern']:
    write_pattern(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), *map(int, sys.argv[5:6]))
