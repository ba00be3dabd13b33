#include <cstdio>

int main() {
    std::puts("Hivewright");
    return 0;
}
