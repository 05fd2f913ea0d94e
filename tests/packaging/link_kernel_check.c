/* A caller that links the kernel through its import library and the public
 * header, as a Windows program built with the kernel would. It is linked,
 * not run: the check is that every export resolves, by its plain name. */
#include "TarveloV1_Kernel.h"

int main(void) {
    const float composition[16] = {100};
    float lambda, rho, hu;
    const int32_t english = 2;
    GasData_Init();
    Calculate(composition, &lambda, &rho, &hu);
    Save2File("gas", "report.html", &english, 3, 11);
    Help("help.chm", 8);
    return lambda > 9.5f ? 0 : 1;
}
