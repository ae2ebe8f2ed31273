#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "NetlistAnalysis.h"
#include "TestFiles.h"

// A folder of netlist files for one test; the first file written is the netlist analysed.
class NetlistFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("kivra-netlist-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Write(const std::string& name, const std::string& text) {
        const auto path = folder / name;
        std::filesystem::create_directories(path.parent_path());
        kivra_test::WriteBytes(path, text);
        return path.string();
    }
    std::shared_ptr<const NetlistAnalysis> Analyze(const std::vector<std::pair<std::string, std::string>>& files) {
        std::string main;
        for (const auto& [name, text] : files) {
            const std::string path = Write(name, text);
            if (main.empty())
                main = path;
        }
        return AnalyzeNetlist(main, NetlistText::FromBytes(files.front().second));
    }
    std::string Path(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};
