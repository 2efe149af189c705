# What the benchmark scripts see of a display, through libX11 by ctypes: top-level windows
# with their owner process, geometry and owner window, and the pixels of a screen area.
import array
import ctypes
import ctypes.util
import os

_x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")

Window = ctypes.c_ulong
Atom = ctypes.c_ulong


class XWindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
        ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
        ("root", Window), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
        ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
        ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
        ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
        ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
        ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p),
    ]


class XImage(ctypes.Structure):
    # Only the leading fields are read.
    _fields_ = [
        ("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int), ("format", ctypes.c_int),
        ("data", ctypes.POINTER(ctypes.c_ubyte)), ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
    ]


_x.XOpenDisplay.restype = ctypes.c_void_p
_x.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x.XDefaultRootWindow.restype = Window
_x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                          ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
_x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(XWindowAttributes)]
_x.XInternAtom.restype = Atom
_x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x.XGetWindowProperty.argtypes = [ctypes.c_void_p, Window, Atom, ctypes.c_long, ctypes.c_long, ctypes.c_int,
                                  Atom, ctypes.POINTER(Atom), ctypes.POINTER(ctypes.c_int),
                                  ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                  ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]
_x.XGetTransientForHint.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window)]
_x.XFree.argtypes = [ctypes.c_void_p]
_x.XGetImage.restype = ctypes.POINTER(XImage)
_x.XGetImage.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                         ctypes.c_ulong, ctypes.c_int]
_x.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
_x.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]

_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_ignore = _ERROR_HANDLER(lambda d, e: 0)  # windows come and go while they are looked at
_x.XSetErrorHandler(_ignore)

ZPixmap = 2
IsViewable = 2
XA_ATOM = 4
XA_CARDINAL = 6


class Win:
    def __init__(self, wid, x, y, w, h, mapped, override, pid, owner, title, dialog):
        self.id, self.x, self.y, self.w, self.h = wid, x, y, w, h
        self.mapped, self.override, self.pid, self.owner = mapped, override, pid, owner
        self.title, self.dialog = title, dialog

    @property
    def box(self):
        return (self.x, self.y, self.x + self.w, self.y + self.h)


class Screen:
    def __init__(self, display=None):
        self.d = _x.XOpenDisplay(display.encode() if display else None)
        if not self.d:
            raise RuntimeError("cannot open display %s" % (display or os.environ.get("DISPLAY")))
        self.root = _x.XDefaultRootWindow(self.d)
        self.width = _x.XDisplayWidth(self.d, 0)
        self.height = _x.XDisplayHeight(self.d, 0)
        self._pid_atom = _x.XInternAtom(self.d, b"_NET_WM_PID", 0)
        self._name_atom = _x.XInternAtom(self.d, b"_NET_WM_NAME", 0)
        self._utf8_atom = _x.XInternAtom(self.d, b"UTF8_STRING", 0)
        self._type_atom = _x.XInternAtom(self.d, b"_NET_WM_WINDOW_TYPE", 0)
        self._dialog_atom = _x.XInternAtom(self.d, b"_NET_WM_WINDOW_TYPE_DIALOG", 0)

    def close(self):
        _x.XCloseDisplay(self.d)

    def _pid(self, wid):
        actual, fmt = Atom(), ctypes.c_int()
        n, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        pid = 0
        if _x.XGetWindowProperty(self.d, wid, self._pid_atom, 0, 1, 0, XA_CARDINAL, ctypes.byref(actual),
                                 ctypes.byref(fmt), ctypes.byref(n), ctypes.byref(after),
                                 ctypes.byref(data)) == 0 and data:
            if n.value >= 1 and fmt.value == 32:
                pid = ctypes.cast(data, ctypes.POINTER(ctypes.c_long))[0]
            _x.XFree(data)
        return pid

    def _title(self, wid):
        actual, fmt = Atom(), ctypes.c_int()
        n, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        title = ""
        if _x.XGetWindowProperty(self.d, wid, self._name_atom, 0, 1024, 0, self._utf8_atom, ctypes.byref(actual),
                                 ctypes.byref(fmt), ctypes.byref(n), ctypes.byref(after),
                                 ctypes.byref(data)) == 0 and data:
            if fmt.value == 8:
                title = ctypes.string_at(data, n.value).decode("utf-8", "replace")
            _x.XFree(data)
        return title

    def _is_dialog(self, wid):
        actual, fmt = Atom(), ctypes.c_int()
        n, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        dialog = False
        if _x.XGetWindowProperty(self.d, wid, self._type_atom, 0, 16, 0, XA_ATOM, ctypes.byref(actual),
                                 ctypes.byref(fmt), ctypes.byref(n), ctypes.byref(after),
                                 ctypes.byref(data)) == 0 and data:
            if fmt.value == 32:
                types = ctypes.cast(data, ctypes.POINTER(Atom))
                dialog = any(types[i] == self._dialog_atom for i in range(n.value))
            _x.XFree(data)
        return dialog

    def windows(self, pid=None):
        out = []
        r, p = Window(), Window()
        kids = ctypes.POINTER(Window)()
        count = ctypes.c_uint()
        if not _x.XQueryTree(self.d, self.root, ctypes.byref(r), ctypes.byref(p), ctypes.byref(kids),
                             ctypes.byref(count)):
            return out
        ids = [kids[i] for i in range(count.value)]
        if kids:
            _x.XFree(kids)
        for wid in ids:
            wpid = self._pid(wid)
            if pid is not None and wpid != pid:
                continue
            a = XWindowAttributes()
            if not _x.XGetWindowAttributes(self.d, wid, ctypes.byref(a)):
                continue
            owner = Window()
            has_owner = _x.XGetTransientForHint(self.d, wid, ctypes.byref(owner))
            out.append(Win(wid, a.x, a.y, a.width, a.height, a.map_state == IsViewable, bool(a.override_redirect),
                           wpid, owner.value if has_owner else 0, self._title(wid),
                           self._is_dialog(wid)))
        return out

    def pixels(self, box):
        """The area's pixels as a list of 0xRRGGBB values, clipped to the screen."""
        left, top = max(0, box[0]), max(0, box[1])
        right, bottom = min(self.width, box[2]), min(self.height, box[3])
        if right <= left or bottom <= top:
            return []
        img = _x.XGetImage(self.d, self.root, left, top, right - left, bottom - top, 0xFFFFFFFF, ZPixmap)
        if not img:
            return []
        im = img.contents
        if im.bits_per_pixel != 32:
            _x.XDestroyImage(img)
            raise RuntimeError("expects a 24-bit screen")
        raw = ctypes.string_at(im.data, im.bytes_per_line * im.height)
        out = array.array("I")
        for y in range(im.height):
            out.frombytes(raw[y * im.bytes_per_line:y * im.bytes_per_line + 4 * im.width])
        out = [v & 0xFFFFFF for v in out]
        _x.XDestroyImage(img)
        return out
