#include <cstdio>

int main() {
    std::printf("Vorquel %s\n", VQ_VERSION);
    return 0;
}
