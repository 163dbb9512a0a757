#include "tests/e2e/console_rig.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <thread>

#include "tests/e2e/virtual_display.h"

namespace {

namespace fs = std::filesystem;

// What starts a Windows program in the session, and the environment it needs.
struct WineSession {
    std::string launcher;
    std::string prefix;
    std::map<std::string, std::string> environment;
    bool own = false;
};

std::unique_ptr<VirtualDisplay> display;
WineSession session;
std::unique_ptr<ChildProcess> driver;
std::string suiteProblem;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Runs a command in the session to its end; its exit code, or -1.
int RunInSession(const std::vector<std::string>& arguments, int limitMs) {
    ChildProcess::Options options;
    options.arguments = arguments;
    options.extra = session.environment;
    options.outputFile = "/dev/null";
    ChildProcess command(options);
    int code = command.Wait(limitMs);
    if (code < 0)
        command.End(2000);
    return code;
}

// A throwaway prefix whose session runs in another locale: a running wineserver keeps the locale
// it started with, so the Windows tree's own session cannot switch.
bool StartOwnSession(const std::string& language) {
    char folder[] = "/tmp/quorvel-e2e-wine-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        return false;
    session.own = true;
    session.prefix = folder;
    session.launcher = "wine";
    session.environment = {{"WINEPREFIX", session.prefix},
                           {"WINEDEBUG", "-all"},
                           {"WINEDLLOVERRIDES", "mscoree,mshtml="},
                           {"WINEARCH", "win64"},
                           {"LANG", language},
                           {"LC_ALL", language}};
    if (RunInSession({"wine", "cmd", "/c", "exit"}, 180000) != 0)
        return false;
    // Keep the wineserver up between the programs of the run (it answers 2 when it is already up).
    RunInSession({"wineserver", "-p"}, 10000);
    return true;
}

void EndOwnSession() {
    if (!session.own)
        return;
    RunInSession({"wineserver", "-k"}, 20000);
    std::error_code ignored;
    fs::remove_all(session.prefix, ignored);
    session.own = false;
}

// Starts the driver once the session's desktop can show windows. A desktop that a program without
// a display started (the session's own start, say) lingers a moment after its last program ends;
// a program that joins it meanwhile finds no display driver, so wait until it has gone.
bool StartDriver() {
    // The session's wineserver outlives the program that started it and keeps that program's
    // output: start it here, writing nowhere, unless it is up already (then it answers 2).
    ChildProcess::Options server;
    server.arguments = {"wineserver", "-p"};
    server.extra = {{"WINEPREFIX", session.prefix}};
    server.outputFile = "/dev/null";
    ChildProcess(server).Wait(10000);

    for (int attempt = 0; attempt < 30; ++attempt) {
        ChildProcess::Options options;
        options.arguments = {session.launcher, Environment("QUORVEL_UI_DRIVER")};
        options.extra = session.environment;
        // A wineserver that the driver happens to start keeps its standard error, and dumps its
        // state there when the simulator's pseudo-terminal hangs up: keep that out of the answers.
        options.errorFile = "/dev/null";
        driver = std::make_unique<ChildProcess>(options);
        std::string answer;
        if (driver->WriteLine("display") && driver->ReadLine(&answer, 60000) && answer == "ok")
            return true;
        driver->WriteLine("quit");
        if (driver->Wait(5000) < 0)
            driver->End(2000);
        driver.reset();
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return false;
}

std::string TestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

}  // namespace

void ConsoleRig::SetUpTestSuite() {
    suiteProblem.clear();
    for (const char* name : {"QUORVEL_WINE_RUN", "QUORVEL_WINEPREFIX", "QUORVEL_CONSOLE",
                             "QUORVEL_UI_DRIVER", "QUORVEL_SIM", "QUORVEL_ARTIFACTS"}) {
        if (Environment(name).empty())
            suiteProblem += std::string(name) + " is not set; ";
    }
    if (!suiteProblem.empty())
        return;
    for (const char* name : {"QUORVEL_CONSOLE", "QUORVEL_UI_DRIVER", "QUORVEL_SIM"}) {
        if (!fs::exists(Environment(name)))
            suiteProblem += Environment(name) + " is missing; ";
    }
    if (!suiteProblem.empty())
        return;

    display = std::make_unique<VirtualDisplay>();
    if (!display->ok()) {
        suiteProblem = "no X display could be started";
        return;
    }
    std::string language = Environment("QUORVEL_E2E_SESSION_LANG");
    if (!language.empty()) {
        if (!StartOwnSession(language)) {
            suiteProblem = "the wine session for " + language + " did not start";
            return;
        }
    } else {
        session.launcher = Environment("QUORVEL_WINE_RUN");
        session.prefix = Environment("QUORVEL_WINEPREFIX");
        session.environment = {{"LANG", "en_US.UTF-8"}, {"LC_ALL", "en_US.UTF-8"}};
    }
    session.environment["DISPLAY"] = display->name();
    fs::create_directories(Environment("QUORVEL_ARTIFACTS"));

    std::string answer;
    if (!StartDriver()) {
        suiteProblem = "no desktop with a display in the wine session";
        return;
    }
    driver->WriteLine("acp");
    driver->ReadLine(&answer, 10000);
    std::cout << "wine session " << session.prefix << ", ANSI code page " << answer.substr(3)
              << ", display " << display->name() << std::endl;
}

void ConsoleRig::TearDownTestSuite() {
    if (driver) {
        driver->WriteLine("quit");
        if (driver->Wait(5000) < 0)
            driver->End(2000);
        driver.reset();
    }
    EndOwnSession();
    display.reset();
}

void ConsoleRig::SetUp() {
    ASSERT_TRUE(suiteProblem.empty()) << suiteProblem;
    char folder[] = "/tmp/quorvel-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    scratch_ = folder;
    record_ = scratch_ + "/frames.txt";
}

void ConsoleRig::TearDown() {
    if (console_) {
        if (console_->Wait(0) < 0) {
            Screenshot(TestName());
            Drive("end 2");
            if (console_->Wait(5000) < 0)
                console_->End(2000);
        }
        console_.reset();
    }
    if (module_) {
        module_->End(3000);
        module_.reset();
        // The simulator removes its COM link as it exits.
        EXPECT_FALSE(fs::is_symlink(session.prefix + "/dosdevices/com3"));
    }
    if (HasFailure()) {
        std::ifstream log(scratch_ + "/console.log");
        std::cout << "console output:\n" << log.rdbuf() << std::endl;
    }
    std::error_code ignored;
    if (!scratch_.empty())
        fs::remove_all(scratch_, ignored);
}

void ConsoleRig::StartModule(const std::vector<std::string>& options) {
    ChildProcess::Options start;
    start.arguments = {Environment("QUORVEL_SIM"), "--link", session.prefix + "/dosdevices/com3",
                       "--record", record_};
    start.arguments.insert(start.arguments.end(), options.begin(), options.end());
    module_ = std::make_unique<ChildProcess>(start);
    std::string line;
    ASSERT_TRUE(module_->ReadLine(&line, 10000)) << "the simulator did not start";
    ASSERT_EQ(line.rfind("device ", 0), 0u) << line;
    device_ = line.substr(7);
}

void ConsoleRig::StopModule() {
    if (module_)
        module_->End(2000);
    module_.reset();
}

std::string ConsoleRig::Module(const std::string& command) {
    std::string answer;
    if (!module_ || !module_->WriteLine(command) || !module_->ReadLine(&answer, 5000))
        return "error: no answer from the simulator";
    return answer;
}

std::vector<std::string> ConsoleRig::RecordedFrames() const {
    std::vector<std::string> frames;
    std::ifstream record(record_);
    for (std::string line; std::getline(record, line);)
        frames.push_back(line);
    return frames;
}

void ConsoleRig::StartConsole() {
    ChildProcess::Options start;
    start.arguments = {session.launcher, ConsolePath()};
    start.extra = session.environment;
    start.outputFile = scratch_ + "/console.log";
    console_ = std::make_unique<ChildProcess>(start);
    ASSERT_TRUE(console_->started());
    ASSERT_EQ(Drive("wait-window 30000"), "ok") << "the dialog did not appear";
}

std::string ConsoleRig::Drive(const std::string& command) {
    std::string answer;
    if (!driver || !driver->WriteLine(command) || !driver->ReadLine(&answer, 30000))
        return "error: no answer from the driver to " + command;
    return answer;
}

std::string ConsoleRig::Ok(const std::string& command) {
    std::string answer = Drive(command);
    EXPECT_EQ(answer.rfind("ok", 0), 0u) << command << " -> " << answer;
    return answer.size() > 3 ? answer.substr(3) : "";
}

std::string ConsoleRig::WaitForStatus(const std::string& text, int limitMs) {
    std::string answer = Drive("wait-status " + text + " " + std::to_string(limitMs));
    for (const std::string& lead : {std::string("ok "), std::string("error timeout ")}) {
        if (answer.rfind(lead, 0) == 0)
            return answer.substr(lead.size());
    }
    return answer;
}

int ConsoleRig::PortHolders() const {
    // Processes come and go while we look: every step takes an error code instead of throwing.
    int holders = 0;
    std::error_code error;
    for (fs::directory_iterator process("/proc", error), end; !error && process != end;
         process.increment(error)) {
        std::error_code inner;
        for (fs::directory_iterator descriptor(process->path() / "fd", inner);
             !inner && descriptor != end; descriptor.increment(inner)) {
            std::error_code unreadable;
            if (fs::read_symlink(descriptor->path(), unreadable).string() == device_)
                ++holders;
        }
    }
    return holders;
}

int ConsoleRig::ConsoleExitCode(int limitMs) {
    return console_ ? console_->Wait(limitMs) : -1;
}

std::string ConsoleRig::Screenshot(const std::string& name) {
    std::string path =
        fs::absolute(Environment("QUORVEL_ARTIFACTS")).string() + "/" + name + ".png";
    std::string answer = Drive("screenshot " + WindowsPath(path));
    if (answer.rfind("ok", 0) != 0)
        return "";
    std::cout << "screenshot: " << path << std::endl;
    return path;
}

std::string ConsoleRig::WindowsPath(const std::string& path) {
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    return windows;
}

std::string ConsoleRig::ConsolePath() {
    return Environment("QUORVEL_CONSOLE");
}
