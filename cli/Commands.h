#pragma once
// The subcommands of vorlix-cli. Each takes the arguments after its name
// and returns the exit status; UsageError and Exception reach main.

#include <string>
#include <string_view>
#include <vector>

#include "app/SizeCoupling.h"

class CliArguments;

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFile = 2;
constexpr int kExitFailure = 3;

// A failure reading or writing a named file: main prints the name and
// the reader's or writer's message and exits with kExitFile.
class FileError : public std::exception {
public:
    FileError(std::string file, std::string message) : file_(std::move(file)), message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& File() const { return file_; }

private:
    std::string file_;
    std::string message_;
};

int ResampleCommand(const std::vector<std::string>& args);
int InfoCommand(const std::vector<std::string>& args);
int ConvertCommand(const std::vector<std::string>& args);
int AlgorithmsCommand(const std::vector<std::string>& args);
int DemoCommand(const std::vector<std::string>& args);
int FilterCommand(const std::vector<std::string>& args);
int SampleCommand(const std::vector<std::string>& args);

// The target size of --width, --height or --scale, coupled as the size
// edits couple them; UsageError for a side below 1 pixel.
TCoupledSize CommandTargetSize(const CliArguments& arguments, int32_t sourceWidth, int32_t sourceHeight);

std::string UsageText();
// text with control characters shown as \xNN, for one-line messages.
std::string Printable(std::string_view text);
