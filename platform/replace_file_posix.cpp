// File replacement calls on POSIX systems.
#include "platform/replace_file_calls.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A rename is durable only once the folder's entry is on the disk too; a
// folder that cannot be synced does not undo a replacement already made.
void sync_folder(const char* target)
{
    char folder[300];
    size_t length = std::strlen(target);
    if (length >= sizeof folder)
        return;
    std::strcpy(folder, target);
    char* slash = std::strrchr(folder, '/');
    if (!slash)
        std::strcpy(folder, ".");
    else if (slash == folder)
        folder[1] = 0;
    else
        *slash = 0;
    int fd = open(folder, O_RDONLY);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

}  // namespace

FILE* create_new_file(const char* name, CreateOutcome& outcome)
{
    int fd = open(name, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) {
        outcome = errno == EEXIST ? CreateOutcome::name_taken : CreateOutcome::failed;
        return nullptr;
    }
    FILE* stream = fdopen(fd, "wb");
    if (!stream) {
        close(fd);
        unlink(name);
        outcome = CreateOutcome::failed;
        return nullptr;
    }
    outcome = CreateOutcome::created;
    return stream;
}

unsigned long process_tag()
{
    return static_cast<unsigned long>(getpid());
}

bool commit_to_disk(FILE* stream)
{
    return fsync(fileno(stream)) == 0;
}

bool replace_target(const char* replacement, const char* target)
{
    if (rename(replacement, target) != 0)
        return false;
    sync_folder(target);
    return true;
}

void remove_file(const char* name)
{
    unlink(name);
}
