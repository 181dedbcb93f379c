// The rights policy over an in-memory model of access lists: the list that
// grants the Users group full access, and the access check of one account.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access_entry.h"
#include "system/dacl_policy.h"

namespace {

using quillon::AceRef;

using Ace = quillon::test::AccessEntry;
using Acl = std::vector<Ace>;

// The access-list calls over Acl; the call numbered `failAt` (1-based,
// EqualSid not counted: it has no failure) fails.
class ModelAclCalls : public quillon::AclCalls {
public:
    explicit ModelAclCalls(int failingCall) : failAt(failingCall) {}
    int failAt;
    int calls = 0;

    bool GetAce(void* acl, uint32_t index, AceRef& ref) override {
        Acl& list = *static_cast<Acl*>(acl);
        if (Fails() || index >= list.size()) return false;
        Ace& ace = list[index];
        ref = {&ace, 0, ace.type, &ace.flags, ace.mask, &ace.sid};
        return true;
    }
    bool EqualSid(const void* first, const void* second) override {
        return *static_cast<const std::string*>(first) == *static_cast<const std::string*>(second);
    }
    bool AddAce(void* acl, const AceRef& ref) override {
        return !Fails() && (static_cast<Acl*>(acl)->push_back(*static_cast<const Ace*>(ref.entry)), true);
    }
    bool AddAccessAllowedAce(void* acl, uint32_t mask, const void* sid) override {
        return !Fails() && (static_cast<Acl*>(acl)->push_back({0, 0, mask, *static_cast<const std::string*>(sid)}), true);
    }

private:
    bool Fails() { return ++calls == failAt; }
};

const std::string kUsers = "S-1-5-32-545";
const std::string kAdmins = "S-1-5-32-544";
const std::string kSystem = "S-1-5-18";
constexpr uint32_t kAll = quillon::kGenericAll;
constexpr uint32_t kRwx = quillon::kFileReadWriteExecute;
constexpr uint32_t kFullFile = 0x001F01FF;  // FILE_ALL_ACCESS
constexpr uint32_t kWriteData = 0x2;        // FILE_WRITE_DATA

TEST(DaclPolicy, BuildsTheListThatGrantsUsersFullAccess) {
    const Acl admins = {{0, 0, kFullFile, kAdmins}};
    struct Case {
        const char* name;
        bool folder;
        Acl old;
        Acl built;
        bool done;
        uint32_t copied;
        int failAt = 0;  // the access-list call that fails
    } cases[] = {
        {"a file: other entries keep type and mask, take flags 3; one plain Users entry at the end", false,
         {{0, 0x10, kFullFile, kAdmins}, {1, 0x0B, kWriteData, kSystem}},
         {{0, 3, kFullFile, kAdmins}, {1, 3, kWriteData, kSystem}, {0, 0, kAll, kUsers}}, true, 2},
        {"a folder: the Users entry becomes inheritable and a plain one follows", true, admins,
         {{0, 3, kFullFile, kAdmins}, {0, 3, kAll, kUsers}, {0, 0, kAll, kUsers}}, true, 1},
        {"Users entries of any type are dropped, wherever they stand", true,
         {{0, 0, kRwx, kUsers}, {0, 2, kFullFile, kSystem}, {1, 0, kWriteData, kUsers}, {0, 3, kAll, kUsers}},
         {{0, 3, kFullFile, kSystem}, {0, 3, kAll, kUsers}, {0, 0, kAll, kUsers}}, true, 1},
        {"a list without entries is never rewritten", false, {}, {}, false, 0},
        {"reading an old entry fails", false, admins, {}, false, 0, 1},
        {"copying an entry fails", false, admins, {}, false, 0, 2},
        {"granting fails", true, admins, {{0, 3, kFullFile, kAdmins}}, false, 1, 3},
        {"reading the grant back fails", true, admins, {{0, 3, kFullFile, kAdmins}, {0, 0, kAll, kUsers}}, false, 1, 4},
        {"the folder's second grant fails", true, admins, {{0, 3, kFullFile, kAdmins}, {0, 3, kAll, kUsers}}, false, 1, 5},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelAclCalls calls(c.failAt);
        Acl old = c.old, built;
        uint32_t copied = 99;
        bool done = quillon::CopyEntriesAndGrant(calls, &old, static_cast<uint32_t>(old.size()), &built, &kUsers, copied);
        if (done && c.folder) done = quillon::GrantToFolderContents(calls, &built, copied, &kUsers);
        EXPECT_EQ(done, c.done);
        EXPECT_EQ(copied, c.copied);
        EXPECT_EQ(built, c.built);
        // The old entries read carry flags 3 too: they are marked where they lie.
        for (const Ace& ace : old) EXPECT_EQ(ace.flags, c.failAt == 1 ? 0 : 3);
    }
}

TEST(DaclPolicy, AccessNeedsReadWriteAndExecuteAllowedAndNotDenied) {
    struct Case {
        const char* name;
        Acl acl;
        bool holds;
        int failAt = 0;
    } cases[] = {
        {"read, write and execute, gathered from two entries", {{0, 0, 0x00120089, kUsers}, {0, 3, 0x001201B6, kUsers}}, true},
        {"one bit missing", {{0, 0, kRwx & ~0x20u, kUsers}}, false},
        {"deny beats allow, whatever the order", {{1, 0, kWriteData, kUsers}, {0, 0, kFullFile, kUsers}}, false},
        {"a denial of a bit not asked for", {{0, 0, kRwx, kUsers}, {1, 0, 0x00010000, kUsers}}, true},
        {"entries of other SIDs are ignored", {{1, 0, kWriteData, kAdmins}, {0, 0, kFullFile, kSystem}}, false},
        {"allowed compound (4) and object (5) entries allow", {{4, 0, 0x00120089, kUsers}, {5, 0, 0x00120136, kUsers}}, true},
        {"a denied object entry (6) denies", {{0, 0, kRwx, kUsers}, {6, 0, kWriteData, kUsers}}, false},
        {"audit (2), alarm (3) and later types are ignored", {{2, 0, kRwx, kUsers}, {3, 0, kRwx, kUsers}, {7, 0, kRwx, kUsers}}, false},
        {"a failing read drops the bits gathered so far", {{0, 0, kFullFile, kUsers}, {0, 0, kAll, kAdmins}}, false, 2},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelAclCalls calls(c.failAt);
        EXPECT_EQ(quillon::AccountHoldsFileAccess(calls, &c.acl, static_cast<uint32_t>(c.acl.size()), &kUsers), c.holds);
    }
}

}  // namespace
