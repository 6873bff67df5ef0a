# A plain window of another program for the screensaver to draw into, as a host's preview gives one:
#   host_window.py X Y WIDTH HEIGHT  — prints the window's id once it is mapped, then stays until killed.
import sys

from Xlib import X, display

x, y, w, h = map(int, sys.argv[1:5])
d = display.Display()
screen = d.screen()
magenta = screen.default_colormap.alloc_color(0xFFFF, 0, 0xFFFF).pixel
win = screen.root.create_window(x, y, w, h, 0, screen.root_depth, X.InputOutput, X.CopyFromParent,
                                background_pixel=magenta, event_mask=X.StructureNotifyMask,
                                override_redirect=True)
win.set_wm_name("host")
win.map()
while d.next_event().type != X.MapNotify:
    pass
print(hex(win.id), flush=True)
while True:
    d.next_event()
