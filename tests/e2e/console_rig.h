#pragma once
// The end-to-end rig: the real quorvel.exe under wine against the simulated module, driven by
// ui_driver.exe from beside it.
//
// Per test program (one test suite per run): the X display (a private Xvfb when there is no
// DISPLAY), the wine session (the Windows tree's own, or a throwaway one in another locale), and
// the driver. Per test: a scratch folder, the simulator on a pseudo-terminal mapped as COM3 of the
// prefix, and the console. Every process is ended by its own id and every file removed.
//
// The Windows tree passes its paths in the environment: QUORVEL_WINE_RUN, QUORVEL_WINEPREFIX,
// QUORVEL_CONSOLE, QUORVEL_UI_DRIVER, QUORVEL_SIM, QUORVEL_ARTIFACTS; QUORVEL_E2E_SESSION_LANG
// asks for a throwaway wine session of that locale.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"

// Control ids of the dialog, as the driver addresses them.
enum {
    MODULE_ENROLL_BUTTON = 1000,
    VERIFY_BUTTON = 1001,
    IDENTIFY_BUTTON = 1002,
    SLOT_FIELD = 1003,
    DELETE_BUTTON = 1004,
    ERASE_BUTTON = 1005,
    HOST_ENROLL_BUTTON = 1006,
    HOST_CAPTURE_BUTTON = 1007,
    COMPARE_BUTTON = 1008,
    STATUS_LINE = 1009,
    OPEN_BUTTON = 1010,
    CLOSE_BUTTON = 1011,
    PORT_FIELD = 1012,
    BAUD_FIELD = 1013,
    CLEAR_PASSWORD_BUTTON = 1014,
    SHOW_IMAGE_BOX = 1015,
    BAUD_57600_BUTTON = 1016,
    BAUD_115200_BUTTON = 1017,
};

// The handlers that talk to the module answer within this, short of a 16 s reply limit.
enum { COMMAND_LIMIT_MS = 8000 };

class ConsoleRig : public ::testing::Test {
  public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the simulated module on COM3 with these extra options (--password, --silent, ...).
    void StartModule(const std::vector<std::string>& options = {});
    // Ends the simulator and waits until it is gone: the adapter is unplugged.
    void StopModule();
    // A control command to the simulator; its answer line.
    std::string Module(const std::string& command);
    // Every frame the module received so far, as uppercase hex bytes separated by spaces.
    std::vector<std::string> RecordedFrames() const;

    // Starts quorvel.exe and waits for its dialog.
    void StartConsole();
    // One driver command and its answer line.
    std::string Drive(const std::string& command);
    // A driver command that must answer "ok"; what follows "ok ".
    std::string Ok(const std::string& command);
    std::string Status() { return Ok("status"); }
    // Clicks a button; returns once the dialog has handled the click.
    void Click(int id) { Ok("click " + std::to_string(id)); }
    // Clicks a button; the status text that the click left.
    std::string ClickForStatus(int id) {
        Click(id);
        return Status();
    }
    // Posts a click and returns at once, while the handler may still run.
    void Press(int id) { Ok("press " + std::to_string(id)); }
    // Waits until the status line shows text; the status shown at the end.
    std::string WaitForStatus(const std::string& text, int limitMs = COMMAND_LIMIT_MS);
    // How many open descriptors, in any process, name the simulator's pseudo-terminal: the
    // simulator's own, plus those of the port while the console has it open.
    int PortHolders() const;
    // The console's exit code once it has ended within limitMs, else -1.
    int ConsoleExitCode(int limitMs);

    // Saves the dialog's client area under the artefact folder and prints the path.
    std::string Screenshot(const std::string& name);

    // The path as the wine session sees it (drive Z: is the root).
    static std::string WindowsPath(const std::string& path);
    static std::string ConsolePath();

  private:
    std::string scratch_;
    std::string record_;
    std::string device_;
    std::unique_ptr<ChildProcess> module_;
    std::unique_ptr<ChildProcess> console_;
};
