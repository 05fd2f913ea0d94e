/* Control of the file-operation fault shim. The shim is linked into a test
 * program ahead of the C library, so that it stands in for the C library's
 * file functions in the whole process, the kernel loaded at run time
 * included. Disarmed it only passes calls on; armed it counts the calls of
 * the functions that create, write, sync, close, chmod and rename files and
 * makes one of them fail. */
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

enum TarveloFaultMode {
    TARVELO_FAULT_FAIL = 0,      /* call number `at` fails with `error` */
    TARVELO_FAULT_FULL = 1,      /* writes fail with ENOSPC once `at` bytes are written */
    TARVELO_FAULT_DEVFULL = 2,   /* a created temporary file is made /dev/full */
    TARVELO_FAULT_SHORT = 3,     /* every write writes at most `at` bytes (no fault) */
    TARVELO_FAULT_INTERRUPT = 4, /* every write is first interrupted once (EINTR, no fault) */
};

/* Starts counting from zero; `at` counts from 1. */
void tarvelo_fault_arm(enum TarveloFaultMode mode, long at, int error);
/* Stops counting and failing. */
void tarvelo_fault_disarm(void);
/* The number of counted calls since arming. */
long tarvelo_fault_calls(void);
/* The name of the function that was made to fail, or NULL if none was. */
const char* tarvelo_fault_hit(void);
/* True when a rename had succeeded before the fault: the target was replaced. */
int tarvelo_fault_after_rename(void);

#ifdef __cplusplus
}
#endif
