"""A Python host of libreadcard.so through ctypes, as a hospital's Python
program calls it: all ten functions, each answer printed on one line, texts
as the hex of their bytes (GBK, exactly as the library hands them over).
Usage: python3 readcard_host.py /path/to/libreadcard.so.86"""
import ctypes
import sys

TRACK_GOOD = b"123456780000123456=009633791987654321"
TRACK_BAD = b"1234"


def text(pointer):
    """The bytes behind a char* that the library stored, as hex; - for NULL."""
    return "-" if pointer.value is None else pointer.value.hex()


def main():
    lib = ctypes.CDLL(sys.argv[1])
    c_int, char_pp = ctypes.c_int, ctypes.POINTER(ctypes.c_char_p)
    lib.QTZ_DLL_BBH.argtypes = []
    lib.QTZ_DKH.argtypes = [c_int] * 4 + [char_pp, char_pp]
    lib.CK_DKH.argtypes = [c_int, c_int, ctypes.c_char_p, char_pp]
    lib.SBK_YKT_ICGETINFO.argtypes = [c_int, c_int, char_pp, ctypes.POINTER(c_int)]
    inactive = [("QTZ_ErrorString", 3), ("QTZ_FindWindow2", 1), ("QTZ_HSXK", 6),
                ("QTZ_YKT_JK_SD", 0), ("SBK_YKT_ICPURCHASE", 11), ("SBK_YKT_ICTRANSLOG", 3)]
    for name, count in inactive:
        getattr(lib, name).argtypes = [c_int] * count
    for name in ["QTZ_DLL_BBH", "QTZ_DKH", "CK_DKH", "SBK_YKT_ICGETINFO"] + [n for n, _ in inactive]:
        getattr(lib, name).restype = c_int

    print("QTZ_DLL_BBH", lib.QTZ_DLL_BBH())
    print("inactive", *[getattr(lib, name)(*[0] * count) for name, count in inactive])
    for track in (TRACK_BAD, TRACK_GOOD):
        number = ctypes.c_char_p()
        result = lib.CK_DKH(0, 0, track, ctypes.byref(number))
        print("CK_DKH", result, text(number))
    number, copy = ctypes.c_char_p(), ctypes.c_char_p()
    result = lib.QTZ_DKH(0, 0, 0, 0, ctypes.byref(number), ctypes.byref(copy))
    print("QTZ_DKH", result, text(number), text(copy))
    info, status = ctypes.c_char_p(), c_int(7)
    result = lib.SBK_YKT_ICGETINFO(0, 0, ctypes.byref(info), ctypes.byref(status))
    print("SBK_YKT_ICGETINFO", result, status.value, text(info))


if __name__ == "__main__":
    main()
