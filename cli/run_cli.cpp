#include "cli/run_cli.h"

#include <cstring>

#include "cli/actions.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/cli_request.h"
#include "cli/exit_codes.h"
#include "cli/frame_watch.h"
#include "cli/module_session.h"
#include "cli/operation_wait.h"
#include "cli/result_report.h"
#include "cli/simulated_module.h"

namespace {

bool UsesWorker(const std::string& action) {
    return action == "enroll" || action == "verify" || action == "identify" ||
           action == "enroll-template" || action == "capture-template";
}

// The port, once everything on the command line has been read and found good.
void Connect(const CliRequest& request, SessionSettings* settings, bool simulate, bool trace,
             ActionResult* result) {
    std::string error;
    if (simulate) {
        std::string devicePath;
        if (!StartSimulatedModule(request.finger, &devicePath, &error)) {
            result->exitCode = CLI_EXIT_HOST_FAILURE;
            result->message = error;
            return;
        }
        settings->port = DevicePortChoice(devicePath);
    }
    if (!PreparePort(settings->port, &error)) {
        result->exitCode = CLI_EXIT_USAGE;
        result->message = error;
        return;
    }
    bool worker = UsesWorker(request.action);
    if (worker && !OpenOperationSink(&error)) {
        result->exitCode = CLI_EXIT_HOST_FAILURE;
        result->message = error;
        return;
    }
    BeginFrameWatch(trace);
    if (OpenModuleSession(*settings, result)) {
        RunAction(request, result);
        CloseModuleSession();
    }
    EndFrameWatch();
    if (worker)
        CloseOperationSink();
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           bool errIsTerminal) {
    // --json is looked for before parsing, so that even a command line that does not parse gets
    // its result object.
    bool json = false;
    for (int i = 1; i < argc; ++i)
        json = json || std::strcmp(argv[i], "--json") == 0;
    BeginCliOutput(&out, &err, json, errIsTerminal);

    CliOptions options;
    ActionResult result;
    std::string error;
    ParseOutcome parsed = ParseCliOptions(argc, argv, out, &options, &error);
    if (parsed == PARSE_HELP) {
        EndCliOutput();
        return CLI_EXIT_OK;
    }
    CliRequest request;
    SessionSettings settings;
    if (parsed == PARSE_FAILED || !ReadCliRequest(options, &request, &settings, &error)) {
        result.exitCode = CLI_EXIT_USAGE;
        result.message = error;
    } else {
        Connect(request, &settings, options.simulate, options.trace, &result);
        StopSimulatedModule();
    }
    ReportResult(options.action, result, json);
    EndCliOutput();
    return result.exitCode;
}
