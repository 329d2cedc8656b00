// The `vantrel` command: the process's arguments handed to cli::Main.
#include <iostream>
#include <string_view>
#include <vector>

#include "app/cli/CliMain.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return vantrel::cli::Main(args, VANTREL_VERSION, std::cout, std::cerr);
}
