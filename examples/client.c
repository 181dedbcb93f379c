/*
 * A C client of Quillon.dll: loads the Ledger 4.2 section of a setup
 * configuration, walks and edits it, writes it to a second file and reads
 * that back, compares two versions and runs a script.
 *
 * Build it from the unpacked release (x64 shown; use x86 the same way):
 *   MinGW:      x86_64-w64-mingw32-gcc -I include examples/client.c x64/libquillon.dll.a -o client.exe
 *   Microsoft:  cl /I include examples\client.c x64\Quillon.lib
 * Run it with Quillon.dll beside it:
 *   client.exe examples\setup-config.xml edited.xml
 */
#include <stdio.h>
#include <string.h>

#include "quillon.h"

/* GetNodeType, GetNodeText and Execute write into the caller's buffer
 * without a length: make it larger than any name, text or result. */
#define BUFFER_SIZE 1024

static int failures = 0;

static void Fail(const char *what) {
    printf("FAILED: %s\n", what);
    failures++;
}

/* The text of the child of that name, or "" (the buffer is cleared first
 * because a missing or null text leaves it as it was). */
static const char *ChildText(QUILLON_NODE parent, const char *name, char *buffer) {
    QUILLON_NODE child = GetSubNode(parent, name);
    buffer[0] = '\0';
    if (child != 0) GetNodeText(child, buffer);
    return buffer;
}

static QUILLON_CONFIG Load(const char *file) {
    QUILLON_CONFIG config = Init();
    if (config == 0) return 0;
    SetAppName(config, "Ledger");
    SetAppVersion(config, "4.2");
    /* Parse answers 0 also for a file it cannot read: an empty tree. */
    if (Parse(config, file) != QUILLON_PARSE_DONE || GetSubNode(GetRoot(config), "") == 0) {
        Release(config);
        return 0;
    }
    return config;
}

static void WalkAndEdit(QUILLON_CONFIG config, const char *output) {
    char name[BUFFER_SIZE], text[BUFFER_SIZE];
    QUILLON_NODE root = GetRoot(config);
    QUILLON_NODE server = GetSubNode(root, "Server");
    QUILLON_NODE components = GetSubNode(root, "Configuration");
    QUILLON_NODE node;

    printf("publisher: %s\n", ChildText(root, "Publisher", text));
    printf("server: %s port %s\n", ChildText(server, "Host", text), ChildText(server, "Port", name));

    /* GetSubNode with an empty name gives the first child, GetNextSubNode
     * the following ones until it answers 0. */
    for (node = GetSubNode(components, ""); node != 0; node = GetNextSubNode(components)) {
        GetNodeType(node, name);
        printf("%s: %s", name, ChildText(node, "Name", text));
        printf(" (%s)\n", ChildText(node, "File", text));
    }

    SetNodeText(GetSubNode(server, "Port"), "4300");
    if (AddChildNode(server, "Backup", "LEDGER-SRV2") == 0) Fail("AddChildNode");
    if (Write2XML(config, output) != 1) Fail("Write2XML");
}

static void ReadBack(const char *output) {
    char text[BUFFER_SIZE], backup[BUFFER_SIZE];
    QUILLON_CONFIG config = Load(output);
    QUILLON_NODE server;
    if (config == 0) {
        Fail("loading the written file");
        return;
    }
    server = GetSubNode(GetRoot(config), "Server");
    printf("written: port %s, backup %s\n", ChildText(server, "Port", text), ChildText(server, "Backup", backup));
    Release(config);
}

/* Versions compare part by part as numbers, so 4.2.10 is newer than 4.2.9:
 * set both as multipart variables and compare them in a script. */
static void CompareVersionsByScript(QUILLON_CONFIG config, const char *installed, const char *offered) {
    char text[BUFFER_SIZE];
    int newer = -1;
    SetProperty(config, "installed", installed, QUILLON_VARIABLE_MULTIPART);
    SetProperty(config, "offered", offered, QUILLON_VARIABLE_MULTIPART);
    if (Execute(config, "installed < offered", text, &newer) != 1) {
        Fail("Execute of the comparison");
        return;
    }
    printf("%s < %s: %d\n", installed, offered, newer);
}

static void RunScript(QUILLON_CONFIG config) {
    char text[BUFFER_SIZE];
    int number = 0;
    SetProperty(config, "port", "4300", QUILLON_VARIABLE_LONG);
    if (Execute(config, "port + 1", text, &number) == 1) printf("port + 1: %d\n", number);
    else Fail("Execute of a sum");
    /* No precedence: a script is reduced from left to right. */
    if (Execute(config, "\"next port \" + (port + 1)", text, &number) == 1) printf("text: %s\n", text);
    else Fail("Execute of a text");
}

int main(int argc, char **argv) {
    QUILLON_CONFIG config;
    if (argc != 3) {
        fprintf(stderr, "usage: client CONFIGURATION OUTPUT\n");
        return 2;
    }
    config = Load(argv[1]);
    if (config == 0) {
        printf("FAILED: no Ledger 4.2 section in %s\n", argv[1]);
        return 1;
    }
    WalkAndEdit(config, argv[2]);
    ReadBack(argv[2]);
    CompareVersionsByScript(config, "4.2.9", "4.2.10");
    CompareVersionsByScript(config, "4.2.10", "4.2.9");
    RunScript(config);
    Release(config);
    return failures == 0 ? 0 : 1;
}
