#pragma once
// The writers of the save flow report failure as a flag, not as an
// exception: the flow turns a false result into its one message box. The
// message of what failed is kept, so a caller that can show it (the
// command line) still can.

#include <functional>
#include <string>

// Runs write; true when it returned, false when it raised anything (the
// exception is swallowed and its message kept for LastWriterFailure).
bool GuardWriter(const std::function<void()>& write);

// Why the last guarded writer failed; empty after one that succeeded.
const std::string& LastWriterFailure();
// For the dispatch, which fails without running a writer.
void SetLastWriterFailure(std::string message);
