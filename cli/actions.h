#pragma once
// The actions of quorvel-cli, one per dialog action, with the same module commands and flows.
// Each runs on a port that is open and logged in and fills the run's result.
#include "cli/action_result.h"
#include "cli/cli_request.h"
#include "operations/operation_events.h"

// Runs request.action.
void RunAction(const CliRequest& request, ActionResult* result);

void RunHandshake(ActionResult* result);
void RunDelete(int slot, ActionResult* result);
void RunErase(ActionResult* result);
void RunClearPassword(ActionResult* result);
void RunSetBaud(int baudCode, ActionResult* result);

void RunEnroll(int slot, ActionResult* result);
void RunVerify(int slot, ActionResult* result);
void RunIdentify(ActionResult* result);
void RunEnrollTemplate(const std::string& outPath, ActionResult* result);
void RunCaptureTemplate(const std::string& outPath, ActionResult* result);

void RunCompare(const TemplateStore& first, const TemplateStore& second, ActionResult* result);
void RunImage(const std::string& pngPath, const std::string& rawPath, ActionResult* result);

// A command that failed with status: the exit code, the confirmation code and the message.
void FailCommand(int commandCode, CommandStatus status, ActionResult* result);
// A flow that ended without success, told apart by the last command and the module's answer.
void FailFlow(OperationEvent finalEvent, ActionResult* result);
// The module's matcher (MatchFeatures, SearchTemplates) refused: no match, with its code.
void NoMatchByRefusal(int commandCode, int confirmationCode, ActionResult* result);
