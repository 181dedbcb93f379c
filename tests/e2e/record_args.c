/* A stand-in server program for the "ShellExecuteVar" tests: it records the
 * command line it was started with and the show state it was given into
 * "<its own path without .exe>.args.txt", then exits. The file is written
 * under another name and renamed, so a waiting test never reads half of it. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int showState) {
    char path[MAX_PATH + 32];
    char partial[MAX_PATH + 32];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    if (length > 4 && _stricmp(path + length - 4, ".exe") == 0) path[length - 4] = 0;
    strcat(path, ".args.txt");
    snprintf(partial, sizeof partial, "%s.partial", path);

    FILE* out = fopen(partial, "wb");
    if (out == NULL) return 1;
    fprintf(out, "command line: %s\r\nshow state: %d\r\n", GetCommandLineA(), showState);
    fclose(out);
    return MoveFileExA(partial, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
