#pragma once
// VarnexCfg --size FILE [--layout-image OUT.png]: sizes the requests of a JSON
// file without any window and prints the results as JSON on standard output.

/// Runs the headless sizing on the offscreen platform; returns the exit status
/// (0, or 2 when the request file cannot be read or the program cannot start).
int RunHeadlessMain(int argc, char **argv);
