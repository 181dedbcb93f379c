#include "installer_package.h"

namespace {

// Summary information property ids and variant types (from the installer's
// and OLE's headers, which the lean Windows headers leave out).
constexpr UINT kPidRevisionNumber = 9;  // the package code
constexpr UINT kPidPageCount = 14;      // the installer version it needs
constexpr UINT kTypeText = 30;
constexpr UINT kTypeInt = 3;

// An empty database with the two summary properties without which the
// installer does not open it as a package.
bool WriteDatabase(const std::string& path) {
    MSIHANDLE database = 0;
    if (MsiOpenDatabaseA(path.c_str(), MSIDBOPEN_CREATE, &database) != ERROR_SUCCESS) return false;
    MSIHANDLE summary = 0;
    bool ok = MsiGetSummaryInformationA(database, nullptr, 2, &summary) == ERROR_SUCCESS &&
              MsiSummaryInfoSetPropertyA(summary, kPidRevisionNumber, kTypeText, 0, nullptr,
                                         "{0B1C2D3E-4F50-4617-8293-A4B5C6D7E8F9}") == ERROR_SUCCESS &&
              MsiSummaryInfoSetPropertyA(summary, kPidPageCount, kTypeInt, 200, nullptr, nullptr) == ERROR_SUCCESS &&
              MsiSummaryInfoPersist(summary) == ERROR_SUCCESS && MsiDatabaseCommit(database) == ERROR_SUCCESS;
    MsiCloseHandle(summary);
    MsiCloseHandle(database);
    return ok;
}

}  // namespace

std::string TestExecutableFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string TempFolder() {
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return path;
}

InstallerPackage::InstallerPackage() {
    char file[MAX_PATH] = {};
    if (GetTempFileNameA(TempFolder().c_str(), "qms", 0, file) == 0) return;
    DeleteFileA(file);
    path_ = std::string(file) + ".msi";
    if (!WriteDatabase(path_)) return;
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    if (MsiOpenPackageA(path_.c_str(), &session_) != ERROR_SUCCESS) session_ = 0;
}

InstallerPackage::~InstallerPackage() {
    if (session_) MsiCloseHandle(session_);
    if (!path_.empty()) DeleteFileA(path_.c_str());
}

void InstallerPackage::Set(const char* name, const std::string& value) const {
    MsiSetPropertyA(session_, name, value.c_str());
}

// Short values only: the tests read back flags and codes.
std::string InstallerPackage::Get(const char* name) const {
    char value[1024] = {};
    DWORD size = sizeof value;
    return MsiGetPropertyA(session_, name, value, &size) == ERROR_SUCCESS ? value : "<error or too long>";
}
