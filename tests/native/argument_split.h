// The C runtime's rules for splitting a command line into arguments, so that tests can check what
// a started program actually receives: 2n backslashes before a quote give n and toggle quoting,
// 2n+1 give n and a literal quote, other backslashes are literal; the program name ends at the
// first blank outside quotes and knows no escapes.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> splitArguments(const std::string& line) {
    std::vector<std::string> args;
    size_t i = 0;
    std::string program;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            break;
        } else {
            program += c;
        }
    }
    args.push_back(program);
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string arg;
        quoted = false;
        while (i < line.size()) {
            const char c = line[i];
            if (c == '\\') {
                size_t n = 0;
                while (i < line.size() && line[i] == '\\') ++n, ++i;
                if (i < line.size() && line[i] == '"') {
                    arg.append(n / 2, '\\');
                    if (n % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(n, '\\');
                }
                continue;
            }
            if (c == '"') {
                quoted = !quoted;
                ++i;
                continue;
            }
            if ((c == ' ' || c == '\t') && !quoted) break;
            arg += c;
            ++i;
        }
        args.push_back(arg);
    }
    return args;
}
