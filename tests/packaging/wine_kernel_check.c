/* Loads TarveloV1_Kernel.dll the way a Windows program does (LoadLibrary,
 * then GetProcAddress by name) and runs the worked examples through it.
 * Cross-compiled with MinGW and run under Wine; prints one line per failure
 * and exits non-zero if there was any. */
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "WorkedExamples.h"

typedef int32_t(__stdcall* GasDataInitFn)(void);
typedef int32_t(__stdcall* CalculateFn)(const float*, float*, float*, float*);
typedef int32_t(__stdcall* Save2FileFn)(const char*, const char*, const int32_t*, int32_t, int32_t);
typedef int32_t(__stdcall* HelpFn)(const char*, int32_t);

static int failures = 0;

static uint32_t bits(float value) {
    uint32_t b;
    memcpy(&b, &value, sizeof b);
    return b;
}

static void expectBits(const char* what, const char* field, float got, float want) {
    if (bits(got) != bits(want)) {
        printf("FAIL %s: %s is %.9g (0x%08lx), expected %.9g (0x%08lx)\n", what, field, (double)got,
               (unsigned long)bits(got), (double)want, (unsigned long)bits(want));
        ++failures;
    }
}

static FARPROC resolve(HMODULE dll, const char* name, WORD ordinal) {
    FARPROC byName = GetProcAddress(dll, name);
    FARPROC byOrdinal = GetProcAddress(dll, MAKEINTRESOURCEA(ordinal));
    if (byName == NULL) {
        printf("FAIL %s is not exported by name\n", name);
        ++failures;
    } else if (byOrdinal != byName) {
        printf("FAIL ordinal %u is not %s\n", (unsigned)ordinal, name);
        ++failures;
    }
    return byName;
}

int main(int argc, char** argv) {
    const char* dllPath = argc > 1 ? argv[1] : "TarveloV1_Kernel.dll";
    const char* reportPath = argc > 2 ? argv[2] : NULL;
    HMODULE dll = LoadLibraryA(dllPath);
    if (dll == NULL) {
        printf("FAIL cannot load %s (error %lu)\n", dllPath, (unsigned long)GetLastError());
        return 1;
    }

    /* Ordinals 1-4 in alphabetical order. */
    CalculateFn calculate = (CalculateFn)(void*)resolve(dll, "Calculate", 1);
    GasDataInitFn gasDataInit = (GasDataInitFn)(void*)resolve(dll, "GasData_Init", 2);
    resolve(dll, "Help", 3);
    Save2FileFn save2File = (Save2FileFn)(void*)resolve(dll, "Save2File", 4);
    if (calculate == NULL || gasDataInit == NULL || save2File == NULL)
        return 1;

    if (gasDataInit() != 0) {
        printf("FAIL GasData_Init did not return 0\n");
        ++failures;
    }
    for (size_t i = 0; i < sizeof kWorkedExamples / sizeof kWorkedExamples[0]; ++i) {
        const struct WorkedExample* e = &kWorkedExamples[i];
        float lambda = -1, rho = -1, hu = -1;
        if (calculate(e->percent, &lambda, &rho, &hu) != 0) {
            printf("FAIL %s: Calculate did not return 0\n", e->what);
            ++failures;
        }
        expectBits(e->what, "air/fuel ratio", lambda, e->lambda);
        expectBits(e->what, "density", rho, e->rho);
        expectBits(e->what, "calorific value", hu, e->hu);
    }

    /* The report of the 90/5/2/2/1 example, through the stdcall Save2File
     * with its five arguments; the caller checks the file. */
    if (reportPath != NULL) {
        const char name[] = "Wine <check>";
        float lambda, rho, hu;
        calculate(kWorkedExamples[kReportExample].percent, &lambda, &rho, &hu);
        const int32_t english = 2;
        int32_t status = save2File(name, reportPath, &english, (int32_t)strlen(name),
                                   (int32_t)strlen(reportPath));
        if (status != 0) {
            printf("FAIL Save2File returned %ld\n", (long)status);
            ++failures;
        }
    }

    FreeLibrary(dll);
    if (failures == 0)
        printf("all worked examples bit-exact\n");
    return failures == 0 ? 0 : 1;
}
