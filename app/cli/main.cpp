// The `vantrel` command.
#include <cstring>
#include <iostream>

namespace {

constexpr const char kUsage[] =
    "usage: vantrel --help | --version\n"
    "\n"
    "Vantrel, a photo editor.\n"
    "  --help      show this text\n"
    "  --version   show the version\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "vantrel " << VANTREL_VERSION << "\n";
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << kUsage;
        return 0;
    }
    std::cerr << kUsage;
    return 2;
}
