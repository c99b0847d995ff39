#include "cli.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "core/text/code_page.h"

namespace zentorak::cli {

namespace {

struct Command {
    const char* usage;
    CommandFunction run;
};

std::map<std::string, Command>& Registry() {
    static std::map<std::string, Command> registry;
    return registry;
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* usage, CommandFunction run) {
    Registry()[name] = Command{usage, run};
}

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string JsonString(std::u16string_view text) {
    return JsonString(ToUtf8(text));
}

std::string JsonDouble(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string JsonArray(const std::vector<std::string>& jsonValues) {
    std::string out = "[";
    for (size_t i = 0; i < jsonValues.size(); ++i) {
        out += i ? ", " : "";
        out += jsonValues[i];
    }
    return out + "]";
}

void JsonObject::Key(std::string_view key) {
    if (body_.size() > 1) {
        body_ += ", ";
    }
    body_ += JsonString(key);
    body_ += ": ";
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view utf8) {
    Key(key);
    body_ += JsonString(utf8);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, std::u16string_view text) {
    Key(key);
    body_ += JsonString(text);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, long long value) {
    Key(key);
    body_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, double value) {
    Key(key);
    body_ += JsonDouble(value);
    return *this;
}

JsonObject& JsonObject::AddNull(std::string_view key) {
    Key(key);
    body_ += "null";
    return *this;
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string_view json) {
    Key(key);
    body_ += json;
    return *this;
}

// Each line is flushed: a reader at the other end of a pipe (zentorak-cli gps under timeout,
// a script waiting for the next answer) gets every answer when it is made, not at exit.
void JsonObject::Print() const {
    std::string line = str();
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

int UsageError(std::string_view message) {
    std::fprintf(stderr, "zentorak-cli: %.*s\n", static_cast<int>(message.size()), message.data());
    return 2;
}

}  // namespace zentorak::cli

namespace {

bool IsHelp(const char* argument) {
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

// --help prints the usage on standard output; an unknown command prints it on standard error.
int Usage(FILE* out) {
    std::fprintf(out, "usage:\n");
    for (const auto& [name, command] : zentorak::cli::Registry()) {
        std::fprintf(out, "  zentorak-cli %s\n", command.usage);
    }
    return out == stderr ? 2 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    auto& registry = zentorak::cli::Registry();
    if (argc >= 2 && IsHelp(argv[1])) {
        return Usage(stdout);
    }
    if (argc >= 2) {
        auto it = registry.find(argv[1]);
        if (it != registry.end()) {
            // "zentorak-cli load --help" asks for the command's usage, not for a file "--help".
            for (int i = 2; i < argc; ++i) {
                if (IsHelp(argv[i])) {
                    std::printf("usage: zentorak-cli %s\n", it->second.usage);
                    return 0;
                }
            }
            return it->second.run(argc - 1, argv + 1);
        }
    }
    return Usage(stderr);
}
