#include "cli/CliArguments.h"

#include "platform/SysUtils.h"

CliArguments::CliArguments(const std::vector<std::string>& args, const std::set<std::string>& valued,
                           const std::set<std::string>& flags) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            positionals_.push_back(arg);
            continue;
        }
        const std::string name = arg.substr(2);
        if (flags.count(name)) {
            flags_.insert(name);
        } else if (valued.count(name)) {
            if (i + 1 >= args.size()) throw UsageError("option --" + name + " needs a value");
            values_[name] = args[++i];
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
}

void CliArguments::RequirePositionals(size_t count, const char* what) const {
    if (positionals_.size() < count) throw UsageError(std::string("missing ") + what);
    if (positionals_.size() > count) throw UsageError("unexpected argument " + positionals_[count]);
}

std::optional<std::string> CliArguments::Value(const std::string& name) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

std::optional<int32_t> CliArguments::Integer(const std::string& name, int32_t minimum, int32_t maximum) const {
    const auto text = Value(name);
    if (!text) return std::nullopt;
    int32_t value = 0;
    if (!TryStrToInt(*text, value) || value < minimum || value > maximum)
        throw UsageError("--" + name + " takes a whole number from " + std::to_string(minimum) + " to " +
                         std::to_string(maximum) + ", not '" + *text + "'");
    return value;
}
