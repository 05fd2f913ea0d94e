/* The kernel's worked examples: compositions in volume percent and the
 * results Calculate must give for them, bit for bit. Shared by the kernel's
 * tests and the check program run under Wine, which is C. */
#ifndef TARVELO_TESTS_WORKED_EXAMPLES_H
#define TARVELO_TESTS_WORKED_EXAMPLES_H

struct WorkedExample {
    const char* what;
    float percent[16];
    float lambda, rho, hu;
};

/* Composition order: 1 CH4, 2 C2H6, 3 C3H8, ..., 11 H2, 13 CO2, 14 N2, 15 O2, 16 H2O. */
static const struct WorkedExample kWorkedExamples[] = {
    {"100 CH4", {100}, 9.56110001f, 717.5f, 9.96800041f},
    {"60 CH4, 40 CO2",
     {60, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40},
     5.73666f,
     1221.21985f,
     5.98079967f},
    {"90/5/2/2/1",
     {90, 5, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1},
     9.93543339f,
     805.759949f,
     10.3827105f},
    {"100 C3H8", {0, 0, 100}, 24.3736992f, 2010.99988f, 25.8929996f},
    {"100 H2", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100}, 2.3829999f, 89.9000015f, 2.99499989f},
    {"100 O2", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100}, 0.0f, 1428.90002f, 0.0f},
    {"all 0", {0}, 0.0f, 0.0f, 0.0f},
    {"50 CH4, not normalised", {50}, 4.78055f, 358.75f, 4.98400021f},
    {"100 N2", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100}, 0.0f, 1250.3999f, 0.0f},
};

/* The index of 90 CH4, 5 C2H6, 2 C3H8, 2 CO2, 1 N2: the example of the reports. */
enum { kReportExample = 2 };

#endif
