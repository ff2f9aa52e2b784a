// Recording: everything the game is given, written as a script that
// vantrel-sim and --play replay. A run of ticks is written as one line.
#pragma once
#include <cstdio>
#include <string>

#include "shell/script.h"

// Every dispatched message is written to the stream as a script line; nullptr
// stops (after writing out the ticks still counted).
void setRecordStream(std::FILE* stream);
// Writes out the ticks still counted and flushes the stream.
void flushRecord();
// Called for each message dispatched to the game.
void recordMessage(const WindowMessage& message);

// --record: creates the file and records into it. False, with the reason in
// error, when it cannot be made.
bool startRecording(const std::string& path, std::string& error);
// Writes out what is still held, closes the file and stops recording. False,
// with the reason in error, when anything recorded did not reach the file (a
// full disk, an I/O error). True at once when no recording runs.
bool finishRecording(std::string& error);
