// Who besides the administrators may change the program's files: the decision
// over a DACL's entries, on the layouts Windows and Wine give.
#include <gtest/gtest.h>

#include "security/FileAccess.h"

namespace {

constexpr uint32_t kFullControl = 0x1F01FF;
constexpr uint32_t kModify = 0x1301BF;
constexpr uint32_t kReadExecute = 0x1200A9;
constexpr uint32_t kGenericAll = 0x10000000;
const char* const kAdministrators = "S-1-5-32-544";
const char* const kSystem = "S-1-5-18";
const char* const kUsers = "S-1-5-32-545";
const char* const kAuthenticatedUsers = "S-1-5-11";
const char* const kCreatorOwner = "S-1-3-0";
const char* const kUser = "S-1-5-21-1-2-3-1001";

AccessEntry Allow(const char* sid, uint32_t mask, bool inheritOnly = false) {
    return {true, inheritOnly, mask, sid};
}

ObjectAccess Dacl(std::vector<AccessEntry> entries) {
    return {true, std::move(entries), ""};
}

// A folder unpacked under C:\ inherits Authenticated Users: Modify.
TEST(FileAccessTest, AFolderUnderTheDriveRootIsOpenToAuthenticatedUsers) {
    const ObjectAccess folder =
        Dacl({Allow(kAdministrators, kFullControl), Allow(kSystem, kFullControl),
              Allow(kUsers, kReadExecute), Allow(kAuthenticatedUsers, kModify),
              Allow(kCreatorOwner, kGenericAll, true)});
    EXPECT_EQ(kAuthenticatedUsers, FirstOutsideWriter(folder, true, ""));
    EXPECT_EQ(kAuthenticatedUsers, FirstOutsideWriter(folder, false, ""));
}

// Program Files: TrustedInstaller, SYSTEM, the administrators, and CREATOR
// OWNER for what is made inside; the users only read.
TEST(FileAccessTest, AFolderOnlyAdministratorsChangeIsClosed) {
    const ObjectAccess folder =
        Dacl({Allow("S-1-5-80-956008885-3418522649-1831038044-1850242598-2063802358", kFullControl),
              Allow(kSystem, kModify), Allow(kAdministrators, kModify), Allow(kUsers, kReadExecute),
              Allow(kCreatorOwner, kGenericAll, true)});
    EXPECT_EQ("", FirstOutsideWriter(folder, true, ""));
}

// Wine makes the descriptor from the Unix mode: SYSTEM, the Unix owner as the
// running user, and Everyone from the bits of others.
TEST(FileAccessTest, TheRunningAdministratorIsTrustedOnlyWhenNamed) {
    ObjectAccess folder = Dacl(
        {Allow(kSystem, kFullControl), Allow(kUser, kFullControl), Allow(kEveryoneSid, 0x1200A9)});
    EXPECT_EQ("", FirstOutsideWriter(folder, true, kUser));
    EXPECT_EQ(kUser, FirstOutsideWriter(folder, true, ""));
    folder.entries[2].mask = 0x1301FF; // a folder others may write (mode 0777)
    EXPECT_EQ(kEveryoneSid, FirstOutsideWriter(folder, true, kUser));
}

// An entry for new contents lets its group plant files in a folder; on a file
// it grants nothing. Generic rights count as what they map to.
TEST(FileAccessTest, InheritOnlyEntriesCountForDirectoriesAlone) {
    const ObjectAccess access = Dacl({Allow(kAdministrators, kFullControl),
                                      Allow(kUsers, 0x40000000 /* GENERIC_WRITE */, true)});
    EXPECT_EQ(kUsers, FirstOutsideWriter(access, true, ""));
    EXPECT_EQ("", FirstOutsideWriter(access, false, ""));
}

TEST(FileAccessTest, AnEarlierDenyTakesTheRightAway) {
    ObjectAccess file = Dacl({{false, false, 0x0006, kUsers}, Allow(kUsers, kModify)});
    EXPECT_EQ("", FirstOutsideWriter(file, false, ""));
    file.entries[0].sid = kAuthenticatedUsers; // another group's deny
    EXPECT_EQ(kUsers, FirstOutsideWriter(file, false, ""));
}

// An owner may always rewrite the DACL: one from outside counts, whatever the
// entries say.
TEST(FileAccessTest, AnOwnerFromOutsideCanChangeTheObject) {
    ObjectAccess file = Dacl({Allow(kAdministrators, kFullControl)});
    file.owner = kUser;
    EXPECT_EQ(kUser, FirstOutsideWriter(file, false, ""));
    EXPECT_EQ("", FirstOutsideWriter(file, false, kUser));
}

// The Quenlor key on a default Windows: Users read its values. An entry that
// only passes on to subkeys (Wine's default) reads none of them.
TEST(FileAccessTest, WhoMayReadAKeyIsAnyoneButTheAdministratorsAndSystem) {
    ObjectAccess key =
        Dacl({Allow(kAdministrators, kFullControl), Allow(kSystem, kFullControl),
              Allow(kUsers, 0x20019 /* KEY_READ */), Allow(kUser, 0x80000000, true)});
    EXPECT_EQ(std::vector<std::string>{kUsers}, OutsideReaders(key, ""));
    key.entries[2].mask = 0x20000; // READ_CONTROL alone
    EXPECT_TRUE(OutsideReaders(key, "").empty());
    key.owner = kUser;
    EXPECT_EQ(std::vector<std::string>{kUser}, OutsideReaders(key, ""));
    EXPECT_TRUE(OutsideReaders(key, kUser).empty());
}

// Windows lets everyone in where there is no DACL at all (a FAT volume).
TEST(FileAccessTest, NoDaclIsOpenToEveryone) {
    ObjectAccess none;
    none.hasDacl = false;
    EXPECT_EQ(kEveryoneSid, FirstOutsideWriter(none, false, kUser));
}

} // namespace
