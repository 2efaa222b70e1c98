#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_env.h"
#include "tools/archive_writer.h"
#include "tools/script_writer.h"

// Writes dat/Scenario.dat holding one scrambled script member.
inline void WriteScenario(const kutest::TempDir& dir, const std::string& name, const std::string& plain) {
    std::string error;
    std::filesystem::create_directories(dir.path() + "/dat");
    std::filesystem::create_directories(dir.path() + "/tmp");
    ASSERT_TRUE(WriteArchive(dir.path() + "/dat/Scenario.dat", {{name, "", ScrambleScript(plain)}}, false, &error))
        << error;
}
