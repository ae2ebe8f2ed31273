#pragma once

// Helpers shared by the file tests: a private folder per test, whole-file reads and writes (from
// TestFiles.h), and the lines of a buffer as strings.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "TestFiles.h"

namespace kivra_test {

// A new, empty folder under the system's temporary folder; removed with its contents on
// destruction (write bits are given back first so that chmod'ed files do not stay behind).
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kivra-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            if (!it->is_symlink()) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, error);
            }
        }
        std::filesystem::remove_all(path_, error);
    }

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    // The names in the folder (not recursive), sorted.
    std::vector<std::string> Entries() const { return EntriesOf(path_); }

    static std::vector<std::string> EntriesOf(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::vector<std::string> LinesOf(const CCorvelTextBuffer& buffer) {
    std::vector<std::string> lines;
    for (int line = 0; line < buffer.LineTotal(); ++line) {
        lines.emplace_back(buffer.LineText(line), buffer.LineLength(line));
    }
    return lines;
}

// Counts what the buffer tells its views.
class RecordingView : public CTextBufferObserver {
public:
    void RefreshAfterChange(CTextBufferObserver*, const CUpdateContext*, unsigned hint,
                            int line) override {
        hints.push_back(hint);
        lines.push_back(line);
    }
    void AfterEditAction(EditAction, const char*) override {}

    std::vector<unsigned> hints;
    std::vector<int> lines;
};

}  // namespace kivra_test
