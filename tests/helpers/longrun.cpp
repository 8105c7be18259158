// Stays alive for up to ten minutes so that a test can see whether something
// ended it; exits with 0 when nobody did.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Sleep(10 * 60 * 1000);
    return 0;
}
