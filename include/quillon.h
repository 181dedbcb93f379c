/*
 * quillon.h - the C interface of Quillon.dll (x86 and x64 builds).
 *
 * Every function below is exported by name, with the fixed ordinal given in
 * its comment, and uses the stdcall convention (WINAPI). Link with
 * Quillon.lib (Microsoft's linker) or libquillon.dll.a (MinGW's), or look a
 * function up by name or ordinal with GetProcAddress.
 *
 * Texts are zero-terminated 8-bit strings in the ANSI code page; a null
 * pointer where a text is expected counts as "no text". No function throws,
 * logs or shows a message (except the script operation MsgBox); failures are
 * reported only through results, output parameters and installer properties.
 * The functions run on the caller's thread; one configuration and its nodes
 * must not be used from two threads at once.
 *
 * Usable from C and C++, with MinGW-w64 and with Microsoft's compiler.
 */
#ifndef QUILLON_H
#define QUILLON_H

#include <windows.h>
#include <objbase.h> /* HRESULT, REFCLSID, REFIID of the COM server's exports */

/* C++ callers learn that no exception leaves the library. */
#if defined(__cplusplus) && (__cplusplus >= 201103L || (defined(_MSVC_LANG) && _MSVC_LANG >= 201103L))
#define QUILLON_NOEXCEPT noexcept
#else
#define QUILLON_NOEXCEPT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Handles ------------------------------------------------------------
 * Pointer-sized: 32-bit in the x86 DLL, 64-bit in the x64 DLL. A handle of 0
 * makes every configuration and script function return 0 (or do nothing);
 * any other value is trusted, so pass only what the library handed out. */

/* A configuration, as Init returned it. It lives until the process unloads
 * the library; Release does not end it. */
typedef ULONG_PTR QUILLON_CONFIG;

/* A node of a configuration's tree: its name (the element's name), its text
 * and its children. It lives until the next Parse on its configuration. */
typedef ULONG_PTR QUILLON_NODE;

/* The installer's handle that Windows Installer passes to a custom action
 * (the MSIHANDLE of <msi.h>). */
typedef unsigned long QUILLON_INSTALLER;

/* ---- Constants ----------------------------------------------------------- */

/* SetSignMode: exactly this text (case included) switches protection mode
 * on; any other text switches it off. */
#define QUILLON_SIGN_MODE_PROTECTION "Protection"

/* Parse results. */
#define QUILLON_PARSE_DONE 0      /* read without XML error, or the file could not be read */
#define QUILLON_PARSE_XML_ERROR 1 /* the reader stopped at an XML error */

/* SetProperty types. Any other type removes the variable. */
#define QUILLON_VARIABLE_STRING 1     /* the value as text */
#define QUILLON_VARIABLE_LONG 2       /* the value read as a decimal number (atol) */
#define QUILLON_VARIABLE_MULTIPART 32 /* the value as a version number: 5.1.10 */

/* Installer properties read and written by the installer actions. */
#define QUILLON_PROPERTY_FDX_FUNCTION "FDX_FUNCTION"                     /* CustomFunction: the job */
#define QUILLON_PROPERTY_FDX_VAR1 "FDX_VAR1"                             /* CustomFunction: argument 1 */
#define QUILLON_PROPERTY_FDX_VAR2 "FDX_VAR2"                             /* CustomFunction: argument 2 */
#define QUILLON_PROPERTY_FDX_VAR3 "FDX_VAR3"                             /* CustomFunction: argument 3 or result */
#define QUILLON_PROPERTY_COMPARE_VERSION1 "COMPARE_VERSION1"             /* CompareVersions: first version */
#define QUILLON_PROPERTY_COMPARE_VERSION2 "COMPARE_VERSION2"             /* CompareVersions: second version */
#define QUILLON_PROPERTY_VERSION_COMPARE_RESULT "VERSION_COMPARE_RESULT" /* CompareVersions: the code */
#define QUILLON_PROPERTY_FILE_PATH "FILE_PATH"                           /* SetRights, CheckRights: the path */
#define QUILLON_PROPERTY_RIGHTS_OK "RIGHTS_OK"                           /* CheckRights: "1" or "0" */
#define QUILLON_PROPERTY_REBOOT_REQUIRED "REBOOT_REQUIRED"               /* IsRebootRequired: "1" or "0" */

/* The jobs of CustomFunction, named in FDX_FUNCTION (case is ignored). */
#define QUILLON_FUNCTION_SHELL_EXECUTE_VAR "ShellExecuteVar" /* start FDX_VAR1 with " /RegServer" */
#define QUILLON_FUNCTION_COMPARE_VERSIONS "CompareVersions"  /* FDX_VAR1 against FDX_VAR2 into FDX_VAR3 */

/* Version comparison codes, in VERSION_COMPARE_RESULT and FDX_VAR3. */
#define QUILLON_COMPARE_GREATER "1" /* the first version is greater than the second */
#define QUILLON_COMPARE_EQUAL "0"   /* the two are equal */
#define QUILLON_COMPARE_SMALLER "2" /* the first version is smaller than the second */

/* Yes and no in RIGHTS_OK and REBOOT_REQUIRED. */
#define QUILLON_PROPERTY_YES "1"
#define QUILLON_PROPERTY_NO "0"

/* CustomFunction's result when nothing was launched. */
#define QUILLON_CUSTOM_FUNCTION_NO_LAUNCH 99u

/* LaunchAppAndWaitEx's result when the process could not be created. */
#define QUILLON_LAUNCH_FAILED (-1)

/* UpdateWTSCopy modes; any other value only visits the copies. */
#define QUILLON_COPIES_DELETE 0u    /* delete app_001.exe ... app_999.exe */
#define QUILLON_COPIES_OVERWRITE 1u /* overwrite each with the source file */

/* ---- COM server ---------------------------------------------------------
 * The usual entry points of an in-process server (regsvr32 calls the last
 * two); they have the system's own prototypes. */

/* Ordinal 1. S_OK when no object or lock is outstanding, else S_FALSE. */
STDAPI DllCanUnloadNow(void);
/* Ordinal 2. The class object of a class of the QUILLONLib type library;
 * CLASS_E_CLASSNOTAVAILABLE for another class, E_POINTER for a null out. */
STDAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, LPVOID *object);
/* Ordinal 3. Registers the classes and the type library: S_OK, or the code
 * of the first step that failed. */
STDAPI DllRegisterServer(void);
/* Ordinal 4. Removes the registration; always S_OK. */
STDAPI DllUnregisterServer(void);

/* ---- Configuration ------------------------------------------------------
 * Typical order: Init; SetAppName and SetAppVersion choose the section of
 * the file to load ("Application" with those "Name" and "Version");
 * SetSignMode for a protected file; Parse; walk and edit; Write2XML. All
 * return 0 for a handle of 0. */

/* Ordinal 100. A new configuration, 0 when there is no memory. */
QUILLON_CONFIG WINAPI Init(void) QUILLON_NOEXCEPT;
/* Ordinal 101. Does nothing: the configuration and its nodes stay usable. */
void WINAPI Release(QUILLON_CONFIG config) QUILLON_NOEXCEPT;
/* Ordinal 102. The application name of the section to load and write; 1. */
int WINAPI SetAppName(QUILLON_CONFIG config, const char *name) QUILLON_NOEXCEPT;
/* Ordinal 103. The application version of the section to load and write; 1. */
int WINAPI SetAppVersion(QUILLON_CONFIG config, const char *version) QUILLON_NOEXCEPT;
/* Ordinal 104. Protection mode (signed sections) on for exactly
 * QUILLON_SIGN_MODE_PROTECTION, off otherwise; 1. Takes effect at the next
 * Parse or Write2XML. */
int WINAPI SetSignMode(QUILLON_CONFIG config, const char *mode) QUILLON_NOEXCEPT;
/* Ordinal 110. Loads the chosen section of the file into the tree, whose
 * old nodes' handles then become invalid, and in protection mode checks its
 * signature (no export reports the verdict; `quillon config verify` does).
 * A file that cannot be read changes nothing. QUILLON_PARSE_DONE
 * (0) after a read without XML error, and also when the file could not be
 * read or holds no such section (the root then has no children);
 * QUILLON_PARSE_XML_ERROR (1) after an XML error. Note: 0 is the good result
 * here. */
int WINAPI Parse(QUILLON_CONFIG config, const char *fileName) QUILLON_NOEXCEPT;
/* Ordinal 111. The root node (its name is null; its children are the
 * section's top elements). */
QUILLON_NODE WINAPI GetRoot(QUILLON_CONFIG config) QUILLON_NOEXCEPT;
/* Ordinal 112. The first child of that name (case is ignored), or the first
 * child for a null or empty name; 0 when there is none. The node's child
 * cursor stays on the result for GetNextSubNode. */
QUILLON_NODE WINAPI GetSubNode(QUILLON_NODE node, const char *name) QUILLON_NOEXCEPT;
/* Ordinal 113. The child after the cursor, whatever its name; 0 after the
 * last one, and the next call starts over at the first. The cursor is one
 * per node, shared by every caller that walks it. */
QUILLON_NODE WINAPI GetNextSubNode(QUILLON_NODE parent) QUILLON_NOEXCEPT;
/* Ordinal 114. Copies the node's name with its terminator into the buffer,
 * which must hold the longest name there can be: no length is passed. A
 * null name (the root) leaves the buffer as it was. 1. */
int WINAPI GetNodeType(QUILLON_NODE node, char *buffer) QUILLON_NOEXCEPT;
/* Ordinal 115. The same for the node's text; a null text leaves the buffer
 * as it was. 1. */
int WINAPI GetNodeText(QUILLON_NODE node, char *buffer) QUILLON_NOEXCEPT;
/* Ordinal 116. Writes the tree as the file's one section (signed in
 * protection mode), replacing the file only when the whole of it was
 * written. 1 when written, 0 otherwise. */
int WINAPI Write2XML(QUILLON_CONFIG config, const char *fileName) QUILLON_NOEXCEPT;
/* Ordinal 117. Appends a child of that name (a second one if the name is
 * taken) with the text, or with a null text when the text is null or empty.
 * The new node. */
QUILLON_NODE WINAPI AddChildNode(QUILLON_NODE parent, const char *name, const char *text) QUILLON_NOEXCEPT;
/* Ordinal 118. The node's text; a null text makes it null. 1. */
int WINAPI SetNodeText(QUILLON_NODE node, const char *text) QUILLON_NOEXCEPT;

/* ---- Scripts ------------------------------------------------------------
 * Each configuration owns a script engine whose variables persist across
 * calls. */

/* Ordinal 130. Sets a variable (names ignore case) of type
 * QUILLON_VARIABLE_STRING, _LONG or _MULTIPART and returns 1; any other type
 * removes the variable of that name and returns 0. */
int WINAPI SetProperty(QUILLON_CONFIG config, const char *name, const char *value, int type) QUILLON_NOEXCEPT;
/* Ordinal 131. Runs the script. 1 when it left a result: a number or truth
 * value (1 or 0) in *number, or a text (with its terminator) in text, which
 * must hold the longest text the script can produce: no length is passed.
 * Exactly one of the two is written. 0, with neither written, when the
 * script failed or left no result. */
int WINAPI Execute(QUILLON_CONFIG config, const char *script, char *text, int *number) QUILLON_NOEXCEPT;

/* ---- Installer actions --------------------------------------------------
 * Custom actions of Windows Installer (DLL custom actions, immediate): the
 * installer's handle is the only argument, everything else travels in
 * installer properties. */

/* Ordinal 200. The job named in FDX_FUNCTION:
 * QUILLON_FUNCTION_SHELL_EXECUTE_VAR starts the program of FDX_VAR1 (a path
 * or a placeholder such as "[WinSysDir]") with " /RegServer", shown as
 * FDX_VAR3 says (empty: hidden), and clears the variables it read; returns 0
 * when it started, else the shell's error code (at most 32).
 * QUILLON_FUNCTION_COMPARE_VERSIONS writes the code of FDX_VAR1 against
 * FDX_VAR2 into FDX_VAR3. Otherwise QUILLON_CUSTOM_FUNCTION_NO_LAUNCH (99),
 * also after a comparison. */
UINT WINAPI CustomFunction(QUILLON_INSTALLER installer) QUILLON_NOEXCEPT;
/* Ordinal 153. Compares COMPARE_VERSION1 with COMPARE_VERSION2 and writes
 * the code (QUILLON_COMPARE_*) into VERSION_COMPARE_RESULT; the inputs stay.
 * 0 (ERROR_SUCCESS) when the code was written; otherwise the failing
 * installer call's error code, or 1603 (ERROR_INSTALL_FAILURE). */
UINT WINAPI CompareVersions(QUILLON_INSTALLER installer) QUILLON_NOEXCEPT;
/* Ordinal 160. Writes REBOOT_REQUIRED: "1" when the installation ends with a
 * reboot, else "0". 1 when the property was written, else 0 (declare the
 * action Return="ignore": 1 is a failure to the installer). */
UINT WINAPI IsRebootRequired(QUILLON_INSTALLER installer) QUILLON_NOEXCEPT;
/* Ordinal 220. SetFileRights on the path in FILE_PATH; 0 when FILE_PATH
 * cannot be read (declare the action Return="ignore"). */
UINT WINAPI SetRights(QUILLON_INSTALLER installer) QUILLON_NOEXCEPT;
/* Ordinal 222. CheckFileRights on the path in FILE_PATH, its answer also
 * written into RIGHTS_OK ("1" or "0"); 0 ("0") when FILE_PATH cannot be
 * read. */
UINT WINAPI CheckRights(QUILLON_INSTALLER installer) QUILLON_NOEXCEPT;

/* ---- File and folder rights ---------------------------------------------
 * Granting the built-in Users group full access, checking that Users (or
 * Everyone) holds read, write and execute access. Volumes without access
 * lists, and volumes that cannot be queried, count as right. */

/* Ordinal 221. 1 when done (or nothing to do on this volume), 0 when a step
 * failed. */
int WINAPI SetFileRights(const char *path) QUILLON_NOEXCEPT;
/* Ordinal 223. 1 when Users or Everyone may read, write and execute, else 0. */
int WINAPI CheckFileRights(const char *path) QUILLON_NOEXCEPT;
/* Ordinal 224. Runs CheckFileRights when the path is not null, storing its
 * 1 or 0 through result (when not null). Returns the Windows error code the
 * last set or check of the process ended with (0 if none ran). */
UINT WINAPI CheckRightsAPI(UINT unused, UINT *result, const char *path) QUILLON_NOEXCEPT;
/* Ordinal 225. Runs SetFileRights, storing the Windows error code it ended
 * with through errorCode (when not null). Returns 0 when the rights were set,
 * 1 when not or when the path is null (then nothing is stored). Note: 0 is
 * the good result here. */
UINT WINAPI SetRightsAPI(UINT unused, UINT *errorCode, const char *path) QUILLON_NOEXCEPT;

/* ---- Programs and numbered copies --------------------------------------- */

/* Ordinal 152. Starts "program" parameters in the working directory (empty:
 * the program's folder), hidden when hidden is nonzero, else shown on the
 * interactive desktop. With wait nonzero, returns when the program ended and
 * stores its exit code through exitCode. 0 when the process was created,
 * QUILLON_LAUNCH_FAILED (-1) when not. */
int WINAPI LaunchAppAndWaitEx(const char *program, const char *parameters, const char *workingDirectory,
                              UINT wait, UINT hidden, UINT *exitCode) QUILLON_NOEXCEPT;
/* Ordinal 300. Deletes (QUILLON_COPIES_DELETE) or overwrites with the source
 * (QUILLON_COPIES_OVERWRITE) the numbered copies of a file: app_001.exe up
 * to app_999.exe beside app.exe. Copies that are missing or open elsewhere
 * are skipped. 1 when every attempt succeeded, 0 when one failed or, for
 * QUILLON_COPIES_OVERWRITE, the source cannot be opened. */
UINT WINAPI UpdateWTSCopy(const char *source, UINT mode) QUILLON_NOEXCEPT;

/* ---- Server search ------------------------------------------------------
 * Fills the caller's dialog with the computers of the local domain or
 * workgroup that offer the multi-user service. The controls are found by
 * their window texts; the caller's dialog keeps dispatching messages while
 * the search runs on a worker thread. */

/* Ordinal 140. Starts the search into the list box and disables the button
 * until it ends. 1 when both controls were found, else 0. */
int WINAPI SearchServer(HWND parent, const char *listBoxText, const char *buttonText) QUILLON_NOEXCEPT;
/* Ordinal 141. On entry the buffer holds the list box's window text; on
 * return the selected entry (at most 259 characters and the terminator, so
 * 260 bytes suffice) and 1. 0, buffer unchanged, when there is no such list
 * box or no selection. */
int WINAPI GetLBSelection(HWND parent, char *buffer) QUILLON_NOEXCEPT;
/* Ordinal 151 ("Abbrechen" is German for "cancel"). Stops the search, waits
 * 100 ms and enables the search button; 1. */
int WINAPI Abbrechen(void) QUILLON_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* QUILLON_H */
