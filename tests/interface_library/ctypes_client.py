"""A Pelgrin32 client in Python, through ctypes only: the exports must be
usable as plain C functions. Arguments: the library's path and an extended
index of a band real. Reads what a C++ process wrote, writes -321 to 18."""
import ctypes
import sys

library = ctypes.CDLL(sys.argv[1])
real_index = int(sys.argv[2])

library.Open.argtypes = [ctypes.c_char_p]
library.Open.restype = ctypes.c_void_p
library.DllCFunc.argtypes = [ctypes.c_int32, ctypes.c_int32]
library.DllCFunc.restype = ctypes.c_int32
library.EDllDblPeek.argtypes = [ctypes.c_int32]
library.EDllDblPeek.restype = ctypes.c_double
library.fnTuskExtDll.restype = ctypes.c_int32

if not library.Open(b"python client"):
    sys.exit("Open failed")
print("17", library.DllCFunc(17, 0))
print("real", library.EDllDblPeek(real_index))
print("write", library.DllCFunc(-18, -321))
print("fn", library.fnTuskExtDll())
