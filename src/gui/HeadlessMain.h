#pragma once
// VarnexCfg --size FILE [--layout-image OUT.png]: sizes the requests of a JSON
// file without any window and prints the results as JSON on standard output.

/// Runs the headless sizing on the offscreen platform; returns the exit status:
/// 0; 1 when a document, picture or the answers could not be written (each
/// said on standard error); 2 for a wrong command line, an unreadable request
/// file, or a program that cannot start.
int RunHeadlessMain(int argc, char **argv);

/// "--help" is among the arguments.
bool IsHelpRequest(int argc, char **argv);
/// The usage on standard output; the exit status (0, or 1 when it cannot be written).
int PrintUsage();
