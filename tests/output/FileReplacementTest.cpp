#include "output/FileReplacement.h"
#include "output/PsdExport.h"

#include "support/FileContents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utime.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Writes `text` to `target` as the exports do; returns the reason of a
// refusal or failure, "" on success.
std::string replaceWith(const std::string& target, const std::string& text)
{
    FileReplacement file;
    std::string reason = file.begin(target);
    if (!reason.empty())
        return reason;
    if (const int error = file.write(text.data(), text.size()))
        return std::strerror(error);
    if (const int error = file.commit())
        return std::strerror(error);
    return "";
}

// A process id that no process has: a child's, once it has been reaped.
pid_t goneProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

} // namespace

TEST(FileReplacement, FifoAndCharacterDeviceAreWrittenThroughNotReplaced)
{
    TempFolder folder("welmo_replace");
    const std::string fifo = folder.file("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = fileBytes(fifo); });
    EXPECT_EQ(replaceWith(fifo, "through the pipe\n"), "");
    reader.join();
    EXPECT_EQ(received, "through the pipe\n");
    struct stat status;
    ASSERT_EQ(lstat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    EXPECT_EQ(replaceWith("/dev/null", "nothing\n"), "");
    ASSERT_EQ(lstat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode)) << "/dev/null must stay the device";
    EXPECT_EQ(folderNames(folder.path()), std::vector<std::string> { "pipe" });
}

TEST(FileReplacement, SymbolicLinkIsFollowedAndItsTargetReplaced)
{
    TempFolder folder("welmo_replace");
    fs::create_directory(folder.path() / "real");
    writeFile(folder.file("real/data.dat"), "old\n");
    chmod(folder.file("real/data.dat").c_str(), 0604);
    // A relative link, and a link to that link.
    fs::create_symlink("real/data.dat", folder.path() / "link");
    fs::create_symlink(folder.file("link"), folder.path() / "second");
    for (const char* name : { "link", "second" }) {
        SCOPED_TRACE(name);
        EXPECT_EQ(replaceWith(folder.file(name), std::string("new through ") + name), "");
        EXPECT_TRUE(fs::is_symlink(folder.path() / name));
        EXPECT_EQ(fileBytes(folder.file("real/data.dat")), std::string("new through ") + name);
        struct stat status;
        ASSERT_EQ(stat(folder.file("real/data.dat").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0604u) << "the mode stays";
    }
    EXPECT_EQ(folderNames(folder.path() / "real"), std::vector<std::string> { "data.dat" });
}

TEST(FileReplacement, NamesThatCannotBeAFileAreRefusedBeforeAByte)
{
    TempFolder folder("welmo_replace");
    fs::create_directory(folder.path() / "folder");
    fs::create_symlink("folder", folder.path() / "to_folder");
    fs::create_symlink("loop", folder.path() / "loop");
    const struct {
        std::string target;
        std::string reason;
    } cases[] = {
        { "", std::strerror(ENOENT) },
        { folder.file("folder"), std::strerror(EISDIR) },
        { folder.file("folder") + "/", std::strerror(EISDIR) },
        { folder.file("to_folder"), std::strerror(EISDIR) },
        { folder.file("loop"), std::strerror(ELOOP) },
        { folder.file("missing/out.dat"), std::strerror(ENOENT) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        FileReplacement file;
        EXPECT_EQ(file.begin(c.target), c.reason);
        EXPECT_EQ(file.descriptor(), -1);
    }
    EXPECT_EQ(
        folderNames(folder.path()), (std::vector<std::string> { "folder", "loop", "to_folder" }));
    EXPECT_TRUE(fs::is_empty(folder.path() / "folder"));
}

// As the shell sees it: a user's write to a read-only file is refused, and
// root's replaces it for its owner, who keeps it.
TEST(FileReplacement, PermissionAndOwnerAreTheShellsWriteThrough)
{
    TempFolder folder("welmo_replace");
    const std::string target = folder.file("theirs.dat");
    writeFile(target, "kept\n");
    chmod(target.c_str(), 0444);
    if (geteuid() != 0) {
        EXPECT_EQ(replaceWith(target, "new\n"), std::strerror(EACCES));
        EXPECT_EQ(fileBytes(target), "kept\n");
        EXPECT_EQ(folderNames(folder.path()), std::vector<std::string> { "theirs.dat" });
        return;
    }
    ASSERT_EQ(chown(target.c_str(), 4321, 4322), 0);
    EXPECT_EQ(replaceWith(target, "new\n"), "");
    struct stat status;
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 4322u);
    EXPECT_EQ(status.st_mode & 07777, 0444u);
}

TEST(FileReplacement, AStopBeforeTheRenameKeepsTheOldFile)
{
    TempFolder folder("welmo_replace");
    const std::string target = folder.file("old.dat");
    writeFile(target, "old\n");
    FileReplacement file;
    ASSERT_EQ(file.begin(target), "");
    ASSERT_EQ(file.write("new\n", 4), 0);
    EXPECT_EQ(file.commit([] { return false; }), ECANCELED);
    EXPECT_EQ(fileBytes(target), "old\n");
    EXPECT_EQ(folderNames(folder.path()), std::vector<std::string> { "old.dat" });
}

TEST(FileReplacement, TemporariesOfGoneWritersAreRemovedByTheNextWrite)
{
    TempFolder folder("welmo_replace");
    const auto temporary
        = [](pid_t pid) { return std::string(TEMPORARY_PREFIX) + std::to_string(pid) + "-a1B2c3"; };
    const std::string gone = temporary(goneProcess());
    // The parent lives, but started long after this file's last write: its
    // id was reused.
    const std::string reused = temporary(getppid());
    const std::string ours = temporary(getpid());
    const std::string alike = ".welmo-notes.txt";
    for (const std::string& name : { gone, reused, ours, alike })
        writeFile(folder.file(name), "left behind\n");
    const utimbuf longAgo = { 86400, 86400 };
    utime(folder.file(reused).c_str(), &longAgo);

    EXPECT_EQ(replaceWith(folder.file("out.dat"), "new\n"), "");
    std::vector<std::string> kept { alike, ours, "out.dat" };
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(folderNames(folder.path()), kept);
}
