// tavolex.exe: the desktop program.
#include "ui/application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return tavolex::ui::ProgramEntry(instance, showCommand);
}
