// A real Windows Installer session for the tests: a minimal package database
// written with the installer's own API, opened with MsiOpenPackageA. The
// handle it yields is what a custom action receives from msiexec.
#pragma once

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

class InstallerPackage {
public:
    InstallerPackage();
    ~InstallerPackage();  // closes the session and deletes the database: never copied

    MSIHANDLE Handle() const { return session_; }
    bool IsOpen() const { return session_ != 0; }

    void Set(const char* name, const std::string& value) const;
    std::string Get(const char* name) const;

private:
    std::string path_;
    MSIHANDLE session_ = 0;
};

// The folder of the running test executable, with a trailing backslash.
std::string TestExecutableFolder();
// The temporary folder, with a trailing backslash.
std::string TempFolder();
