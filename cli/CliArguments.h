#pragma once
// A small argument reader: positionals in order, "--name value" options and
// "--flag" switches, each option known in advance.

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

// Bad usage; the message says what was wrong.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CliArguments {
public:
    // valued: options that take a value; flags: switches. Anything else
    // starting with "--" is a usage error.
    CliArguments(const std::vector<std::string>& args, const std::set<std::string>& valued,
                 const std::set<std::string>& flags);

    const std::vector<std::string>& Positionals() const { return positionals_; }
    // Exactly count positionals, named in the message when missing.
    void RequirePositionals(size_t count, const char* what) const;
    bool Has(const std::string& name) const { return values_.count(name) > 0 || flags_.count(name) > 0; }
    std::optional<std::string> Value(const std::string& name) const;
    // A decimal integer option in [minimum, maximum], or nothing when absent.
    std::optional<int32_t> Integer(const std::string& name, int32_t minimum, int32_t maximum) const;

private:
    std::vector<std::string> positionals_;
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
};
