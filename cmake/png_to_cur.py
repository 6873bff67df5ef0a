"""Makes a Windows cursor from a PNG picture: ImageMagick writes it as an icon, then the header is turned
into a cursor's with the hot spot at X, Y.   png_to_cur.py CONVERT IN.png OUT.cur X Y"""
import struct
import subprocess
import sys

convert, source, target, x, y = sys.argv[1:6]
subprocess.run([convert, source, "ICO:" + target], check=True)
with open(target, "r+b") as f:
    data = bytearray(f.read())
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or count < 1:
        sys.exit(f"{target}: not an icon")
    struct.pack_into("<H", data, 2, 2)
    for i in range(count):
        struct.pack_into("<HH", data, 6 + 16 * i + 4, int(x), int(y))
    f.seek(0)
    f.write(data)
