#include "app/app_shell.h"

int main() { return WinMain(nullptr, nullptr, "", 1); }
