// A library that only the tests load: a bridge bound to it lets a test watch
// the bridge load and release it. A bridge binds a library without the
// installer's entries too, so it needs none.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
