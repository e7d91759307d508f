// A file system of one regular file, memos.txt, whose reads from a given
// offset on wait for the test: it holds an export at a point of the test's
// choosing, as a volume that is slow to answer would, however fast the machine
// is, and lets it read on a step at a time.
//
//   quillet-held-source CONTENT HOLD_FROM STEP MOUNT_POINT
//
// Serves the bytes of the file CONTENT. A read before HOLD_FROM is answered at
// once, cut short at HOLD_FROM; each read from HOLD_FROM on first writes
// "held OFFSET" to standard output and waits for a line on standard input:
// "step" answers it with at most STEP bytes, "free" answers it and every later
// read whole, and so does standard input closed. Writes "mounted" once the
// kernel has mounted it. Ends, unmounting, on SIGTERM and when the test that
// started it ends.

#define FUSE_USE_VERSION 26
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <fuse.h>
#include <iterator>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <vector>

namespace {

const char *const FilePath = "/memos.txt";

std::string content;
off_t holdFrom = 0;
std::size_t step = 0;
bool heldNoMore = false;

int getStatus(const char *path, struct stat *status)
{
    *status = {};
    if (std::strcmp(path, "/") == 0) {
        status->st_mode = S_IFDIR | 0755;
        status->st_nlink = 2;
        return 0;
    }
    if (std::strcmp(path, FilePath) != 0)
        return -ENOENT;
    status->st_mode = S_IFREG | 0444;
    status->st_nlink = 1;
    status->st_size = off_t(content.size());
    return 0;
}

int listFolder(const char *path, void *buffer, fuse_fill_dir_t fill, off_t, fuse_file_info *)
{
    if (std::strcmp(path, "/") != 0)
        return -ENOTDIR;
    for (const char *name : {".", "..", FilePath + 1})
        fill(buffer, name, nullptr, 0);
    return 0;
}

int openFile(const char *path, fuse_file_info *file)
{
    if (std::strcmp(path, FilePath) != 0)
        return -ENOENT;
    if ((file->flags & O_ACCMODE) != O_RDONLY)
        return -EACCES;
    // Every read comes here: none is answered from the kernel's cache, and a
    // short answer reaches the reader as it is.
    file->direct_io = 1;
    return 0;
}

int readFile(const char *, char *into, std::size_t size, off_t offset, fuse_file_info *)
{
    if (offset >= off_t(content.size()))
        return 0;
    std::size_t count = std::min(size, content.size() - std::size_t(offset));
    if (!heldNoMore && offset < holdFrom) {
        count = std::min(count, std::size_t(holdFrom - offset));
    } else if (!heldNoMore) {
        std::printf("held %lld\n", static_cast<long long>(offset));
        std::fflush(stdout);
        char word[16] = {};
        if (std::fgets(word, sizeof word, stdin) == nullptr || std::strcmp(word, "free\n") == 0)
            heldNoMore = true;
        else
            count = std::min(count, step);
    }
    content.copy(into, count, std::size_t(offset));
    return int(count);
}

void *mounted(fuse_conn_info *)
{
    std::puts("mounted");
    std::fflush(stdout);
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5) {
        std::fputs("usage: quillet-held-source CONTENT HOLD_FROM STEP MOUNT_POINT\n", stderr);
        return 2;
    }
    // A test that ends before it could stop this one leaves no mount behind.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    std::ifstream file(argv[1], std::ios::binary);
    content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    holdFrom = off_t(std::stoll(argv[2]));
    step = std::stoul(argv[3]);

    fuse_operations operations = {};
    operations.getattr = getStatus;
    operations.readdir = listFolder;
    operations.open = openFile;
    operations.read = readFile;
    operations.init = mounted;
    // In the foreground, so that the test holds it, and one request at a time.
    std::vector<char *> arguments{argv[0], argv[4], const_cast<char *>("-f"),
                                  const_cast<char *>("-s")};
    return fuse_main(int(arguments.size()), arguments.data(), &operations, nullptr);
}
