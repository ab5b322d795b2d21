#pragma once
// The exit status of corvane-cli, and the status of one file's result or
// one data command: the worst of the files' statuses is the program's.

namespace corvane {

enum class ExitStatus : int { Ok = 0, Refused = 1, Invalid = 2 };

}  // namespace corvane
