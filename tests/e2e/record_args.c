/* A stand-in program for the launch tests: it records the command line it was
 * started with and the show state it was given into
 * "<its own path without .exe>.args.txt", then exits - with the code N when
 * its command line holds "/exit:N", else 0. The file is written under another
 * name and renamed, so a waiting test never reads half of it. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int showState) {
    char path[MAX_PATH + 32];
    char partial[MAX_PATH + 32];
    const char* exitOption = strstr(GetCommandLineA(), "/exit:");
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    if (length > 4 && _stricmp(path + length - 4, ".exe") == 0) path[length - 4] = 0;
    strcat(path, ".args.txt");
    snprintf(partial, sizeof partial, "%s.partial", path);

    FILE* out = fopen(partial, "wb");
    if (out == NULL) return 1;
    fprintf(out, "command line: %s\r\nshow state: %d\r\n", GetCommandLineA(), showState);
    fclose(out);
    if (!MoveFileExA(partial, path, MOVEFILE_REPLACE_EXISTING)) return 1;
    return exitOption ? atoi(exitOption + 6) : 0;
}
