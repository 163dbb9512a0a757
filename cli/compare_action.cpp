#include "cli/actions.h"
#include "cli/exit_codes.h"
#include "commands/module_commands.h"

namespace {

enum { MATCH_FEATURES_CODE = 0x03, WRITE_FEATURES_CODE = 0x09 };

}  // namespace

// As the dialog's host compare: both templates into buffers 1 and 2, then the module's match.
void RunCompare(const TemplateStore& first, const TemplateStore& second, ActionResult* result) {
    CommandStatus status = WriteFeatures(1, first.bytes, first.length);
    if (status == 0)
        status = WriteFeatures(2, second.bytes, second.length);
    if (status != 0) {
        FailCommand(WRITE_FEATURES_CODE, status, result);
        return;
    }
    int score = 0;
    status = MatchFeatures(&score);
    if (status > 0) {
        NoMatchByRefusal(MATCH_FEATURES_CODE, status, result);
        return;
    }
    if (status != 0) {
        FailCommand(MATCH_FEATURES_CODE, status, result);
        return;
    }
    result->score = score;
    result->match = score >= MATCH_SCORE_THRESHOLD ? 1 : 0;
    result->exitCode = result->match ? CLI_EXIT_OK : CLI_EXIT_NO_MATCH;
    result->message =
        "score " + std::to_string(score) + ": " + (result->match ? "match" : "no match");
}
