// The program's entry: the four start values go to the framework unchanged.
#include "platform/afx/framework.h"
#include "platform/win32/kernel.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nShowCmd);
}
