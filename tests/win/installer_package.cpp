#include "installer_package.h"

#include <vector>

namespace {

// Summary information property ids and variant types (from the installer's
// and OLE's headers, which the lean Windows headers leave out).
constexpr UINT kPidTemplate = 7;
constexpr UINT kPidRevisionNumber = 9;
constexpr UINT kPidPageCount = 14;
constexpr UINT kPidWordCount = 15;
constexpr UINT kTypeText = 30;  // kTypeText
constexpr UINT kTypeInt = 3;    // kTypeInt

bool Execute(MSIHANDLE database, const char* query) {
    MSIHANDLE view = 0;
    if (MsiDatabaseOpenViewA(database, query, &view) != ERROR_SUCCESS) return false;
    UINT result = MsiViewExecute(view, 0);
    MsiCloseHandle(view);
    return result == ERROR_SUCCESS;
}

bool WriteDatabase(const std::string& path) {
    MSIHANDLE database = 0;
    if (MsiOpenDatabaseA(path.c_str(), MSIDBOPEN_CREATE, &database) != ERROR_SUCCESS) return false;
    bool ok = Execute(database,
                      "CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` CHAR(0) NOT NULL "
                      "PRIMARY KEY `Property`)") &&
              Execute(database,
                      "INSERT INTO `Property` (`Property`, `Value`) VALUES "
                      "('ProductCode', '{5C7A3E52-8D3B-4F0A-9C1E-2B6D0F4A7E11}')") &&
              Execute(database, "INSERT INTO `Property` (`Property`, `Value`) VALUES ('ProductLanguage', '1033')");
    MSIHANDLE summary = 0;
    if (ok && MsiGetSummaryInformationA(database, nullptr, 8, &summary) == ERROR_SUCCESS) {
        ok = MsiSummaryInfoSetPropertyA(summary, kPidTemplate, kTypeText, 0, nullptr, "x64;1033") == ERROR_SUCCESS &&
             MsiSummaryInfoSetPropertyA(summary, kPidRevisionNumber, kTypeText, 0, nullptr,
                                        "{0B1C2D3E-4F50-4617-8293-A4B5C6D7E8F9}") == ERROR_SUCCESS &&
             MsiSummaryInfoSetPropertyA(summary, kPidPageCount, kTypeInt, 200, nullptr, nullptr) == ERROR_SUCCESS &&
             MsiSummaryInfoSetPropertyA(summary, kPidWordCount, kTypeInt, 2, nullptr, nullptr) == ERROR_SUCCESS &&
             MsiSummaryInfoPersist(summary) == ERROR_SUCCESS;
        MsiCloseHandle(summary);
    } else {
        ok = false;
    }
    ok = ok && MsiDatabaseCommit(database) == ERROR_SUCCESS;
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

InstallerPackage::InstallerPackage() {
    char folder[MAX_PATH] = {};
    char file[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    if (GetTempFileNameA(folder, "qms", 0, file) == 0) return;
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

std::string InstallerPackage::Get(const char* name) const {
    DWORD capacity = 0;
    char probe[1] = {};
    UINT result = MsiGetPropertyA(session_, name, probe, &capacity);
    if (result != ERROR_MORE_DATA && result != ERROR_SUCCESS) return "<error>";
    std::vector<char> buffer(capacity + 1);
    capacity += 1;
    if (MsiGetPropertyA(session_, name, buffer.data(), &capacity) != ERROR_SUCCESS) return "<error>";
    return std::string(buffer.data());
}
