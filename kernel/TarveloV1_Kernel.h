/*
 * TarveloV1_Kernel - combustion properties of a fuel gas mixture.
 *
 * The library knows sixteen gas components in a fixed order (the composition
 * order used everywhere):
 *    1 CH4       methane            9 C2H2  acetylene
 *    2 C2H6      ethane            10 C2H4  ethene
 *    3 C3H8      propane           11 H2    hydrogen
 *    4 ISO-C4H10 iso-butane        12 CO    carbon monoxide
 *    5 N-C4H10   normal-butane     13 CO2   carbon dioxide
 *    6 C5H12     pentane           14 N2    nitrogen
 *    7 C6H14     hexane            15 O2    oxygen
 *    8 C7H16     heptane           16 H2O   water vapour
 *
 * Texts cross this interface as a pointer to 8-bit characters (Windows-1252)
 * plus a separate 32-bit length; no terminating NUL is needed and no
 * character past the length is read. Trailing blanks (code 32) are removed
 * before a text is used; a negative length counts as 0.
 *
 * The library keeps process-wide state (the component table, the last
 * calculation) without locks: calls must not overlap. The first call of any
 * export masks all floating-point exceptions and sets double precision for
 * intermediate results on the calling thread.
 *
 * This header is plain C and may be included from C or C++.
 */
#ifndef TARVELOV1_KERNEL_H
#define TARVELOV1_KERNEL_H

#include <stdint.h>

/* The version of this library's interface and binary: the major number
 * changes when a caller built against an older header would break. */
#define TARVELO_KERNEL_VERSION "1.0.0"
#define TARVELO_KERNEL_VERSION_MAJOR 1
#define TARVELO_KERNEL_VERSION_MINOR 0
#define TARVELO_KERNEL_VERSION_PATCH 0

/* The language codes of Save2File. */
#define TARVELO_LANGUAGE_GERMAN 1
#define TARVELO_LANGUAGE_ENGLISH 2

/* TARVELO_API declares an export: the system calling convention of the
 * platform (stdcall on 32-bit Windows, callee pops its arguments) and, when
 * the library itself is built, default visibility. */
#if defined(_WIN32)
#define TARVELO_CALL __stdcall
#define TARVELO_VISIBLE
#else
#define TARVELO_CALL
#if defined(TARVELOV1_KERNEL_BUILD)
#define TARVELO_VISIBLE __attribute__((visibility("default")))
#else
#define TARVELO_VISIBLE
#endif
#endif
#define TARVELO_API(ret) TARVELO_VISIBLE ret TARVELO_CALL

#ifdef __cplusplus
extern "C" {
#endif

/* GasData_Init
 * Fills the component table (molar mass, density, calorific value and air
 * requirement of the sixteen components). Call it once before the first
 * Calculate; calling it again writes the same values and leaves the last
 * calculation alone. Returns 0. */
TARVELO_API(int32_t) GasData_Init(void);

/* Calculate
 * Reads exactly 16 single-precision volume percentages starting at
 * `composition` (never written) and writes the mixture's
 *   *lambda  stoichiometric air/fuel ratio   [l air / l fuel]
 *   *rho     density at normal conditions    [g/Nm3]
 *   *hu      lower calorific value           [kWh/Nm3]
 * Each is the volume-weighted sum of the component column, formed in double
 * precision and rounded to single precision once. Percentages are used as
 * they are: not checked, not normalised to 100. The fractions and the three
 * results become the "last calculation" that Save2File reports. Before
 * GasData_Init the table is zero and so are the results. Returns 0. */
TARVELO_API(int32_t) Calculate(const float* composition, float* lambda, float* rho, float* hu);

/* Save2File
 * Writes the HTML report of the last calculation (its 16 percentages and three
 * results, not any new input) to the file named by `path`/`pathLength`, with
 * the gas name `gasName`/`gasNameLength` as title and heading (<, > and & are
 * escaped) and the local date and time of writing. `*language` selects the
 * texts: TARVELO_LANGUAGE_GERMAN (1) or TARVELO_LANGUAGE_ENGLISH (2); any
 * other value leaves the language-dependent lines out. The file is
 * Windows-1252 text with CR LF line ends; an existing file is replaced only
 * once the new report is complete, and keeps its permission bits. A symbolic link is followed to
 * the file it names. A path that names a device, a FIFO or a descriptor of the process
 * (/dev/stdout) is written into, not replaced. Returns 0 when the report was written completely,
 * otherwise the C library's error number of the step that failed (ENOSPC on a full device, EPIPE
 * when a pipe's reader has gone); a previous file is then unchanged. On
 * Windows `path` is text in the process's ANSI code page (UTF-8 in a process
 * whose manifest makes UTF-8 its ANSI code page, as TarveloV1's programs do),
 * opened through the wide file functions; NUL, CON, COM1 ... name devices,
 * written in place, and a read-only file is not replaced (EACCES). */
TARVELO_API(int32_t)
Save2File(const char* gasName, const char* path, const int32_t* language, int32_t gasNameLength,
          int32_t pathLength);

/* Help
 * Opens the document named by `path`/`pathLength` with the viewer that the
 * system associates with its type (xdg-open on Linux; on Windows the command
 * interpreter's `start`, without a console window, the path in the ANSI code
 * page as for Save2File) and returns at once, without waiting for the viewer.
 * Whether the viewer started is not reported. Returns 0. */
TARVELO_API(int32_t) Help(const char* path, int32_t pathLength);

/* Pointer types for callers that bind the library at run time. */
typedef int32_t(TARVELO_CALL* TarveloGasDataInitFn)(void);
typedef int32_t(TARVELO_CALL* TarveloCalculateFn)(const float*, float*, float*, float*);
typedef int32_t(TARVELO_CALL* TarveloSave2FileFn)(const char*, const char*, const int32_t*, int32_t,
                                                  int32_t);
typedef int32_t(TARVELO_CALL* TarveloHelpFn)(const char*, int32_t);

#ifdef __cplusplus
}
#endif

#endif /* TARVELOV1_KERNEL_H */
