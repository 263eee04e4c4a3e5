#pragma once
// The writers of the save flow report failure as a flag, not as an
// exception: the flow turns a false result into its one message box. What
// failed is kept, so a caller that can tell the user more (the command
// line) still can.

#include <exception>
#include <functional>
#include <string>

// Runs write; true when it returned, false when it raised anything (the
// exception is swallowed and kept for LastWriterFailure).
bool GuardWriter(const std::function<void()>& write);

// Why the last guarded writer failed; empty after one that succeeded.
const std::string& LastWriterFailure();
// The exception it swallowed; null when there was none (a type without a
// writer).
std::exception_ptr LastWriterException();
// For the dispatch, which fails without running a writer.
void SetLastWriterFailure(std::string message);
