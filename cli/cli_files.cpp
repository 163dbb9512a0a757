#include "cli/cli_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string Reason(const std::string& path) {
    return path + ": " + std::strerror(errno);
}

}  // namespace

bool ReadTemplateFile(const std::string& path, TemplateStore* store, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = Reason(path);
        return false;
    }
    // One byte more than a template holds tells a file that is too long.
    unsigned char bytes[TEMPLATE_SIZE + 1];
    size_t count = std::fread(bytes, 1, sizeof bytes, file);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        *error = path + ": cannot be read";
        return false;
    }
    if (count == 0 || count > TEMPLATE_SIZE) {
        *error = path + (count == 0 ? " is empty" : " is longer than 512 bytes") +
                 "; a template file holds 1 to 512 bytes";
        return false;
    }
    std::memcpy(store->bytes, bytes, count);
    store->length = static_cast<int>(count);
    return true;
}

bool CheckOutputFile(const std::string& path, std::string* error) {
    std::FILE* existing = std::fopen(path.c_str(), "rb");
    if (existing) {
        std::fclose(existing);
        // Appending opens for writing without changing a byte.
        std::FILE* file = std::fopen(path.c_str(), "ab");
        if (!file) {
            *error = "cannot write " + Reason(path);
            return false;
        }
        std::fclose(file);
        return true;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot write " + Reason(path);
        return false;
    }
    std::fclose(file);
    std::remove(path.c_str());
    return true;
}

bool WriteBytesFile(const std::string& path, const unsigned char* data, size_t count,
                    std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot write " + Reason(path);
        return false;
    }
    bool written = std::fwrite(data, 1, count, file) == count;
    if (std::fclose(file) != 0)
        written = false;
    if (!written) {
        *error = "cannot write " + path + ": the file is incomplete";
        return false;
    }
    return true;
}
