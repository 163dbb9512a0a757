#pragma once
// Runs quorvel-cli in-process against a simulated module served on a pseudo-terminal that port 3
// names, and keeps the files of a test in a folder of its own, removed at the end.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "link/port_device_path.h"
#include "sim/frame_bytes.h"
#include "sim/module_server.h"
#include "sim/templates.h"

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs the console with exactly these arguments after the program name.
inline CliRun RunCliWith(const std::vector<std::string>& args, bool errIsTerminal = false) {
    std::vector<const char*> argv = {"quorvel-cli"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out;
    std::ostringstream err;
    int code = RunCli(static_cast<int>(argv.size()), argv.data(), out, err, errIsTerminal);
    return {code, out.str(), err.str()};
}

inline sim::Bytes ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return sim::Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const sim::Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The template the module holds for a finger enrolled on it.
inline sim::Bytes EnrolledTemplate(uint32_t finger) {
    return sim::MergedTemplate(sim::FingerTemplate(finger, 1));
}

class CliAgainstModule : public ::testing::Test {
  protected:
    enum { PORT = 3 };

    void SetUp() override {
        module = std::make_unique<sim::ModuleServer>();
        ASSERT_TRUE(module->ok()) << module->error();
        ASSERT_EQ(SetModulePortDevice(PORT, module->devicePath().c_str()), 1);
        module->setAutoFinger(1);
        char pattern[] = "/tmp/quorvel-cli-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        module.reset();
    }

    // Runs the console on port 3 with these arguments after --port 3.
    CliRun Run(std::initializer_list<std::string> args, bool errIsTerminal = false) {
        std::vector<std::string> all = {"--port", "3"};
        all.insert(all.end(), args.begin(), args.end());
        return RunCliWith(all, errIsTerminal);
    }

    std::string File(const std::string& name) const { return folder + "/" + name; }

    // The command codes of the command frames the module received, in order.
    std::vector<int> Commands() const { return module->receivedCommands(); }

    std::unique_ptr<sim::ModuleServer> module;
    std::string folder;
};
