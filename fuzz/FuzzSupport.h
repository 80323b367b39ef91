#pragma once

#include "core/lists/FavoritenDat.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace fw::fuzz {

// A broken property counts as a crash: libFuzzer keeps the input that broke it.
inline void Require(bool holds, const char* property) {
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

// The same addresses in the same order in every bank.
inline bool SameBanks(const CFavoritenDat& a, const CFavoritenDat& b) {
    for (int bank = 0; bank < kBankCount; ++bank) {
        if (a.GetCount(bank) != b.GetCount(bank))
            return false;
        for (int i = 0; i < a.GetCount(bank); ++i)
            if (a.GetAddress(bank, i) != b.GetAddress(bank, i))
                return false;
    }
    return true;
}

inline std::filesystem::path MakeScratchFolder() {
    // Memory rather than disk unless TMPDIR says otherwise: the writers sync every file.
    std::error_code error;
    const bool shm =
        std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm", error);
    std::string pattern =
        ((shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) /
         "flashwerk-fuzz-XXXXXX")
            .string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    return pattern;
}

// One folder per process for the code that reads from a path; removed at a normal exit.
inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = MakeScratchFolder();
    // Registered after the folder's construction, so it runs before the folder is destroyed.
    [[maybe_unused]] static const bool removedAtExit =
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        }) == 0;
    return folder;
}

// Replaces the one scratch file with the bytes; the path of that file.
inline std::string WriteScratchFile(std::string_view name, std::string_view bytes) {
    const std::string path = (ScratchFolder() / name).string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr, "scratch file can be opened");
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    Require(std::fclose(file) == 0 && written, "scratch file is written");
    return path;
}

} // namespace fw::fuzz
