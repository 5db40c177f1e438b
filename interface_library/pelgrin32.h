#pragma once
/* Pelgrin32: the interface library every process loads to reach the shared
 * area of host variables ("TuskExtDll.1"). Plain C exports, undecorated names.
 *
 * Attach once with Open (or OpenB, OpenL, OpenL16: the same attach); then read
 * a host variable with DllCFunc(index, 0) and write one with
 * DllCFunc(-index, value). While not attached every access export returns its
 * "not attached" value: -1 from DllCFunc and DllCF16, 0 (0.0) from the rest. */
#include <stdint.h>

/* PELGRIN32_CALL: the calling convention of every export, used alike by the
 * library and by the function-pointer types of the programs that load it.
 * On 32-bit Windows it is __stdcall, the convention of the Windows API: the
 * callee removes its arguments, and it is what hosts written in other
 * languages (Delphi's "stdcall", Visual Basic's Declare, LabVIEW's "WINAPI")
 * assume for a DLL function. A caller using another convention than the
 * library corrupts the stack on x86, so both sides take it from here. The
 * names stay undecorated (no "_Name@N"): the build strips the decoration.
 * Elsewhere (Linux, 64-bit Windows) there is only one convention and the
 * macro is empty. */
#if defined(_WIN32) && defined(__i386__)
#define PELGRIN32_CALL __stdcall
/* The compiler's own name of an export, for aliasing one to another. */
#define PELGRIN32_SYMBOL(name, argumentBytes) name "@" #argumentBytes
#else
#define PELGRIN32_CALL
#define PELGRIN32_SYMBOL(name, argumentBytes) name
#endif

/* PELGRIN32_EXPORT: on Windows the library marks exactly these sixteen
 * names for export (nothing else leaves the DLL) and programs linking its
 * import library import them; on Linux a version script does the same. */
#if defined(_WIN32) && defined(PELGRIN32_BUILDING)
#define PELGRIN32_EXPORT __declspec(dllexport)
#elif defined(_WIN32)
#define PELGRIN32_EXPORT __declspec(dllimport)
#else
#define PELGRIN32_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Attach: map the shared area (creating and laying it out on first use
 * anywhere). Returns the address of the host block (32768 signed 16-bit words)
 * or null. The argument is ignored. */
PELGRIN32_EXPORT void* PELGRIN32_CALL Open(const char* text);
PELGRIN32_EXPORT void* PELGRIN32_CALL OpenB(const void* block8);
PELGRIN32_EXPORT void* PELGRIN32_CALL OpenL(uint64_t value);
PELGRIN32_EXPORT void* PELGRIN32_CALL OpenL16(uint64_t value);

/* index >= 0: read; index < 0: write `value` to -index and return the
 * write's result. */
PELGRIN32_EXPORT int32_t PELGRIN32_CALL DllCFunc(int32_t index, int32_t value);
PELGRIN32_EXPORT int32_t PELGRIN32_CALL DllCF16(int32_t index, int32_t value);

/* Plain indices (below 65536) through the plain decoder, others extended. */
PELGRIN32_EXPORT int32_t PELGRIN32_CALL DllPeek(int32_t index);
PELGRIN32_EXPORT int32_t PELGRIN32_CALL DllPoke(int32_t index, int32_t value);

/* Always the extended decoder. */
PELGRIN32_EXPORT int32_t PELGRIN32_CALL EDllPeek(int32_t index);
PELGRIN32_EXPORT int32_t PELGRIN32_CALL EDllPoke(int32_t index, int32_t value);
PELGRIN32_EXPORT double PELGRIN32_CALL EDllDblPeek(int32_t index);
PELGRIN32_EXPORT int32_t PELGRIN32_CALL EDllDblPoke(int32_t index, double value);

/* One function under two names: touches nothing, returns 0. */
PELGRIN32_EXPORT int32_t PELGRIN32_CALL EDllCRead(int32_t a, int32_t b, int32_t c);
PELGRIN32_EXPORT int32_t PELGRIN32_CALL EDllCWrite(int32_t a, int32_t b, int32_t c);

/* Returns 42. */
PELGRIN32_EXPORT int32_t PELGRIN32_CALL fnTuskExtDll(void);
/* Exported integer, 0; nothing reads or writes it. */
extern PELGRIN32_EXPORT int32_t nTuskExtDll;

#ifdef __cplusplus
}
#endif
