// zentorak-cli: a small command-line companion on the core for scripts, benchmarks and checks.
// Each command lives in its own file and registers itself; output is one JSON object per line,
// UTF-8. This header gives the registry and a minimal JSON line builder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentorak::cli {

// Runs one command with its own arguments (argv[0] is the command name); returns the exit code.
using CommandFunction = int (*)(int argc, char** argv);

struct CommandRegistration {
    CommandRegistration(const char* name, const char* usage, CommandFunction run);
};

// Builds {"key": value, ...} in insertion order. Strings are escaped as JSON; doubles are printed
// with 17 significant digits so that they read back to the same value.
class JsonObject {
public:
    JsonObject& Add(std::string_view key, std::string_view utf8);
    JsonObject& Add(std::string_view key, std::u16string_view text);
    JsonObject& Add(std::string_view key, const char* utf8) {
        return Add(key, std::string_view(utf8));
    }
    JsonObject& Add(std::string_view key, long long value);
    JsonObject& Add(std::string_view key, int value) {
        return Add(key, static_cast<long long>(value));
    }
    JsonObject& Add(std::string_view key, double value);
    JsonObject& AddNull(std::string_view key);
    // A value that is already JSON text (an array or object).
    JsonObject& AddRaw(std::string_view key, std::string_view json);

    std::string str() const { return body_ + "}"; }
    // Writes the object and a newline to standard output and flushes it.
    void Print() const;

private:
    void Key(std::string_view key);
    std::string body_ = "{";
};

std::string JsonString(std::string_view utf8);
std::string JsonString(std::u16string_view text);
std::string JsonDouble(double value);
// An array of optional strings: null for an absent item.
std::string JsonArray(const std::vector<std::string>& jsonValues);

// Prints "zentorak-cli: message" to standard error and returns 2 (usage error).
int UsageError(std::string_view message);

}  // namespace zentorak::cli
