#include "app/app_shell.h"
#include "app/game_folder.h"

int main() {
    if (!EnterGameFolder())
        return 1;
    return WinMain(nullptr, nullptr, "", 1);
}
