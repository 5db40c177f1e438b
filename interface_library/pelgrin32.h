#pragma once
/* Pelgrin32: the interface library every process loads to reach the shared
 * area of host variables ("TuskExtDll.1"). Plain C exports, undecorated names.
 *
 * Attach once with Open (or OpenB, OpenL, OpenL16: the same attach); then read
 * a host variable with DllCFunc(index, 0) and write one with
 * DllCFunc(-index, value). While not attached every access export returns its
 * "not attached" value: -1 from DllCFunc and DllCF16, 0 (0.0) from the rest. */
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Attach: map the shared area (creating and laying it out on first use
 * anywhere). Returns the address of the host block (32768 signed 16-bit words)
 * or null. The argument is ignored. */
void* Open(const char* text);
void* OpenB(const void* block8);
void* OpenL(uint64_t value);
void* OpenL16(uint64_t value);

/* index >= 0: read; index < 0: write `value` to -index and return the
 * write's result. */
int32_t DllCFunc(int32_t index, int32_t value);
int32_t DllCF16(int32_t index, int32_t value);

/* Plain indices (below 65536) through the plain decoder, others extended. */
int32_t DllPeek(int32_t index);
int32_t DllPoke(int32_t index, int32_t value);

/* Always the extended decoder. */
int32_t EDllPeek(int32_t index);
int32_t EDllPoke(int32_t index, int32_t value);
double EDllDblPeek(int32_t index);
int32_t EDllDblPoke(int32_t index, double value);

/* One function under two names: touches nothing, returns 0. */
int32_t EDllCRead(int32_t a, int32_t b, int32_t c);
int32_t EDllCWrite(int32_t a, int32_t b, int32_t c);

/* Returns 42. */
int32_t fnTuskExtDll(void);
/* Exported integer, 0; nothing reads or writes it. */
extern int32_t nTuskExtDll;

#ifdef __cplusplus
}
#endif
