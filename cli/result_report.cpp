#include "cli/result_report.h"

#include <cstdio>

#include "cli/cli_output.h"
#include "cli/exit_codes.h"

namespace {

void AddNumber(std::string* json, const char* name, int value) {
    if (value < 0)
        return;
    *json += std::string(",\"") + name + "\":" + std::to_string(value);
}

void AddText(std::string* json, const char* name, const std::string& value) {
    if (value.empty())
        return;
    *json += std::string(",\"") + name + "\":" + JsonString(value);
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            json += escape;
        } else {
            json += static_cast<char>(c);
        }
    }
    return json + "\"";
}

std::string ResultJson(const std::string& action, const ActionResult& result) {
    std::string json = "{\"action\":" + JsonString(action);
    json += std::string(",\"ok\":") + (result.exitCode == 0 ? "true" : "false");
    json += ",\"exit\":" + std::to_string(result.exitCode);
    json += ",\"outcome\":" + JsonString(ExitOutcomeName(result.exitCode));
    json += ",\"message\":" + JsonString(result.message);
    AddNumber(&json, "slot", result.slot);
    AddNumber(&json, "score", result.score);
    if (result.match >= 0)
        json += std::string(",\"match\":") + (result.match ? "true" : "false");
    AddNumber(&json, "confirmation_code", result.confirmationCode);
    AddNumber(&json, "password_candidate", result.passwordCandidate);
    AddText(&json, "file", result.file);
    AddText(&json, "raw_file", result.rawFile);
    return json + "}";
}

void ReportResult(const std::string& action, const ActionResult& result, bool json) {
    if (json) {
        WriteOut(ResultJson(action, result) + "\n");
    } else if (result.exitCode == 0) {
        WriteOut(result.message + "\n");
    } else {
        WriteErr("quorvel-cli: " + result.message + "\n");
    }
}
