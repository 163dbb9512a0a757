#pragma once
// How a run's result is shown: one line for a person (the outcome on standard output, a failure
// on standard error), or one JSON object on standard output for a script.
#include <string>

#include "cli/action_result.h"

void ReportResult(const std::string& action, const ActionResult& result, bool json);

// The JSON object of a result: action, ok, exit, outcome, message, then the facts it has.
std::string ResultJson(const std::string& action, const ActionResult& result);
// A JSON string literal of text, quotes included.
std::string JsonString(const std::string& text);
