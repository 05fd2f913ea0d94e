// tarvelo: the calculation kernel from the command line.
#include "Calculator.h"
#include "Commands.h"
#include "KernelBinding.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string_view> args(argv + 1, argv + argc);
    tarvelo::KernelBinding binding;
    tarvelo::cli::KernelCalculator calculator(binding);
    const int status = tarvelo::cli::runTarvelo(args, calculator, std::cout, std::cerr);
    std::cout.flush();
    return std::cout.fail() ? 1 : status;
}
