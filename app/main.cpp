#include <cstdio>

// The window and the game loop are not wired in yet; the program only says so.
int main() {
    fputs("larkspin: the window is not built yet\n", stderr);
    return 0;
}
