// The whole game state as one line of JSON, for scripts, tests and bug reports.
#pragma once
#include <string>

std::string stateLine();

// Writes the state line on standard output, on a line of its own.
void printStateLine();
