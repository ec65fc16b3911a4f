"""Loads libbaslink.so through ctypes, reads its version and writes and reads back a
block of the board's EEPROM on the given port."""
import ctypes
import sys


def main(library_path, port):
    lib = ctypes.CDLL(library_path)
    lib.VersionDLL.restype = ctypes.c_char_p
    lib.VersionDLL.argtypes = []
    lib.EscribirBloqueEpromQDK.restype = ctypes.c_uint8
    lib.EscribirBloqueEpromQDK.argtypes = [ctypes.c_uint8, ctypes.c_uint16, ctypes.c_uint16,
                                           ctypes.POINTER(ctypes.c_uint8)]
    lib.LeerBloqueEpromQDK.restype = ctypes.c_uint8
    lib.LeerBloqueEpromQDK.argtypes = lib.EscribirBloqueEpromQDK.argtypes

    if lib.VersionDLL() != b"1.39":
        sys.exit("version %r" % lib.VersionDLL())
    written = (ctypes.c_uint8 * 3)(0x11, 0x22, 0x33)
    if lib.EscribirBloqueEpromQDK(port, 0x0200, 3, written) != 1:
        sys.exit("write failed")
    read = (ctypes.c_uint8 * 3)()
    if lib.LeerBloqueEpromQDK(port, 0x0200, 3, read) != 1 or list(read) != list(written):
        sys.exit("read back failed: %r" % list(read))
    print("ok")


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
