// Tavrel.so loads on its own: opening it pulls in no library of the system
// (Corvane.zlk in particular), only the system's runtime.
//
//   tavrel_alone <path of Tavrel.so>
#include <dlfcn.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrel_alone <Tavrel.so>\n");
        return 2;
    }
    void* tavrel = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (tavrel == nullptr) {
        std::fprintf(stderr, "tavrel_alone: %s\n", dlerror());
        return 1;
    }
    if (dlsym(tavrel, "_ZN6TavrelC1Ev") == nullptr) {
        std::fprintf(stderr, "tavrel_alone: no Tavrel constructor\n");
        return 1;
    }
    if (dlopen("Corvane.zlk", RTLD_NOW | RTLD_NOLOAD) != nullptr) {
        std::fprintf(stderr, "tavrel_alone: opening Tavrel.so loaded Corvane.zlk\n");
        return 1;
    }
    std::fprintf(stderr, "tavrel_alone: loaded without the core\n");
    return 0;
}
