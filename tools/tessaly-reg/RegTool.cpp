#include "RegTool.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <istream>
#include <optional>
#include <ostream>

namespace tessaly {

namespace {

constexpr const char* kUsage =
    "tessaly-reg: reads and writes Tessaly's HKEY_CURRENT_USER registry hive.\n"
    "\n"
    "  tessaly-reg query  KEY [/v NAME | /ve]\n"
    "  tessaly-reg add    KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]\n"
    "  tessaly-reg delete KEY [/v NAME | /ve] [/f]\n"
    "\n"
    "  KEY    HKCU\\Sub\\Key or HKEY_CURRENT_USER\\Sub\\Key\n"
    "  /v     the value NAME; /ve the default (unnamed) value\n"
    "  /t     REG_SZ (default), REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY or REG_DWORD\n"
    "  /d     the data: text; \\0 separates REG_MULTI_SZ strings; hex digits for REG_BINARY;\n"
    "         a number (decimal or 0x hex) for REG_DWORD\n"
    "  /f     overwrite or delete without asking\n"
    "\n"
    "Exit code 0 when the operation completed, 1 otherwise.\n";

constexpr const char* kNotFound =
    "ERROR: The system was unable to find the specified registry key or value.";
constexpr const char* kSuccess = "The operation completed successfully.";
constexpr const char* kRootName = "HKEY_CURRENT_USER";

struct TypeName {
    std::uint32_t type;
    const char* name;
};
constexpr TypeName kTypes[] = {{kRegNone, "REG_NONE"},          {kRegSz, "REG_SZ"},
                               {kRegExpandSz, "REG_EXPAND_SZ"}, {kRegBinary, "REG_BINARY"},
                               {kRegDword, "REG_DWORD"},        {kRegMultiSz, "REG_MULTI_SZ"}};

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

// A bad command line or bad data: the message to print.
struct UsageError {
    std::string message;
};

struct Command {
    std::string verb;
    std::string keyPath; // as typed, without the root
    std::optional<std::string> valueName;
    std::optional<std::string> typeName;
    std::optional<std::string> data;
    bool force = false;
};

bool isSwitch(const std::string& arg, const char* name)
{
    return arg.size() >= 2 && (arg[0] == '/' || arg[0] == '-') && upper(arg.substr(1)) == name;
}

std::string parseKey(const std::string& key)
{
    const auto separator = key.find('\\');
    const std::string root = upper(key.substr(0, separator));
    if (root != "HKCU" && root != kRootName) {
        if (root == "HKLM" || root == "HKCR" || root == "HKU" || root == "HKCC" ||
            root.rfind("HKEY_", 0) == 0)
            throw UsageError{"ERROR: Only HKEY_CURRENT_USER (HKCU) is available in this registry."};
        throw UsageError{"ERROR: Invalid key name \"" + key + "\"; it must start with HKCU\\."};
    }
    if (separator == std::string::npos)
        return {};
    std::string path = key.substr(separator + 1);
    // reg.exe accepts one trailing separator.
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

Command parse(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        throw UsageError{"ERROR: Invalid syntax."};
    Command command;
    command.verb = upper(args[0]);
    if (command.verb != "QUERY" && command.verb != "ADD" && command.verb != "DELETE")
        throw UsageError{"ERROR: Invalid operation \"" + args[0] + "\"."};
    command.keyPath = parseKey(args[1]);
    const auto next = [&](std::size_t& i, const char* what) -> std::string {
        if (i + 1 >= args.size())
            throw UsageError{std::string("ERROR: Invalid syntax: ") + what + " needs a value."};
        return args[++i];
    };
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (isSwitch(arg, "V") || isSwitch(arg, "VE")) {
            if (command.valueName)
                throw UsageError{"ERROR: Invalid syntax: give /v or /ve once."};
            command.valueName = isSwitch(arg, "VE") ? std::string() : next(i, "/v");
        } else if (isSwitch(arg, "T") && command.verb == "ADD") {
            command.typeName = upper(next(i, "/t"));
        } else if (isSwitch(arg, "D") && command.verb == "ADD") {
            command.data = next(i, "/d");
        } else if (isSwitch(arg, "F") && command.verb != "QUERY") {
            command.force = true;
        } else {
            throw UsageError{"ERROR: Invalid syntax: unexpected \"" + arg + "\"."};
        }
    }
    if (command.verb == "ADD" && !command.valueName && (command.typeName || command.data))
        throw UsageError{"ERROR: Invalid syntax: /t and /d need /v NAME or /ve."};
    return command;
}

std::uint32_t parseType(const std::string& name)
{
    for (const auto& [type, typeName] : kTypes) {
        if (name == typeName && type != kRegNone)
            return type;
    }
    throw UsageError{"ERROR: Invalid type \"" + name +
                     "\"; use REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY or REG_DWORD."};
}

std::string encodeData(std::uint32_t type, const std::string& data)
{
    switch (type) {
    case kRegDword: {
        std::uint32_t number = 0;
        const bool hex = data.size() > 2 && data[0] == '0' && (data[1] == 'x' || data[1] == 'X');
        const char* begin = data.data() + (hex ? 2 : 0);
        const char* end = data.data() + data.size();
        const auto [ptr, ec] = std::from_chars(begin, end, number, hex ? 16 : 10);
        if (data.empty() || ec != std::errc() || ptr != end)
            throw UsageError{"ERROR: Invalid data \"" + data +
                             "\" for REG_DWORD; give a number from 0 to 4294967295 (decimal or "
                             "0x hex)."};
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = char((number >> (8 * i)) & 0xff);
        return bytes;
    }
    case kRegBinary: {
        if (data.size() % 2 != 0 || !std::all_of(data.begin(), data.end(),
                                                 [](unsigned char c) { return std::isxdigit(c); }))
            throw UsageError{"ERROR: Invalid data \"" + data +
                             "\" for REG_BINARY; give an even number of hex digits."};
        std::string bytes;
        for (std::size_t i = 0; i < data.size(); i += 2)
            bytes.push_back(char(std::stoi(data.substr(i, 2), nullptr, 16)));
        return bytes;
    }
    case kRegMultiSz: {
        std::string bytes;
        for (std::size_t pos = 0;;) {
            const auto separator = data.find("\\0", pos);
            bytes += data.substr(pos, separator - pos);
            bytes.push_back('\0');
            if (separator == std::string::npos)
                break;
            pos = separator + 2;
        }
        bytes.push_back('\0');
        return bytes;
    }
    default:
        // Text is stored with its terminating NUL, as reg.exe stores it.
        return data + '\0';
    }
}

std::string typeName(std::uint32_t type)
{
    for (const auto& [known, name] : kTypes) {
        if (known == type)
            return name;
    }
    return "REG_UNKNOWN(" + std::to_string(type) + ")";
}

std::string hex(const std::string& bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 0xf];
    }
    return text;
}

std::string displayData(const SqliteRegistry::Value& value)
{
    const std::string& data = value.data;
    switch (value.type) {
    case kRegSz:
    case kRegExpandSz:
        return data.substr(0, data.find('\0'));
    case kRegMultiSz: {
        std::string text;
        std::size_t pos = 0;
        while (pos < data.size() && data[pos] != '\0') {
            const auto end = std::min(data.find('\0', pos), data.size());
            if (!text.empty())
                text += "\\0";
            text += data.substr(pos, end - pos);
            pos = end + 1;
        }
        return text;
    }
    case kRegDword:
        if (data.size() == 4) {
            std::uint32_t number = 0;
            for (int i = 3; i >= 0; --i)
                number = (number << 8) | static_cast<unsigned char>(data[i]);
            char text[16];
            std::snprintf(text, sizeof text, "0x%x", number);
            return text;
        }
        return hex(data);
    default:
        return hex(data);
    }
}

std::string displayKey(const std::string& path)
{
    return path.empty() ? kRootName : std::string(kRootName) + "\\" + path;
}

class Tool {
public:
    Tool(SqliteRegistry& registry, std::ostream& out, std::ostream& err, std::istream& in)
        : registry_(registry), out_(out), err_(err), in_(in)
    {}

    int run(const Command& command)
    {
        if (command.verb == "QUERY")
            return query(command);
        if (command.verb == "ADD")
            return add(command);
        return remove(command);
    }

private:
    // Opens the key, reporting why it cannot be; 0 when it cannot.
    RegKey open(const std::string& path)
    {
        RegKey key = 0;
        const RegStatus status = registry_.RegOpenKeyA(kHkeyCurrentUser, path.c_str(), &key);
        if (status != kErrorSuccess)
            fail(status);
        return key;
    }

    int fail(RegStatus status)
    {
        if (status == kErrorFileNotFound)
            err_ << kNotFound << '\n';
        else if (status == kErrorLockViolation)
            err_ << "ERROR: The registry hive is locked by another program; try again.\n";
        else
            err_ << "ERROR: Cannot access the registry hive " << registry_.hivePath().toStdString()
                 << " (error " << status << ").\n";
        return 1;
    }

    bool confirm(const std::string& question, bool force)
    {
        if (force)
            return true;
        out_ << question << " (Yes/No)? " << std::flush;
        std::string answer;
        std::getline(in_, answer);
        answer = upper(answer);
        if (answer == "Y" || answer == "YES")
            return true;
        out_ << "The operation was cancelled.\n";
        return false;
    }

    void printValue(const SqliteRegistry::Value& value)
    {
        out_ << "    " << (value.name.empty() ? "(Default)" : value.name) << "    "
             << typeName(value.type) << "    " << displayData(value) << '\n';
    }

    int query(const Command& command)
    {
        const RegKey key = open(command.keyPath);
        if (key == 0)
            return 1;
        std::vector<SqliteRegistry::Value> values;
        std::vector<std::string> subKeys;
        RegStatus status = registry_.ListValues(key, &values);
        if (status == kErrorSuccess && !command.valueName)
            status = registry_.ListSubKeys(key, &subKeys);
        registry_.RegCloseKey(key);
        if (status != kErrorSuccess)
            return fail(status);

        if (command.valueName) {
            const auto it = std::find_if(values.begin(), values.end(), [&](const auto& value) {
                return upper(value.name) == upper(*command.valueName);
            });
            if (it == values.end())
                return fail(kErrorFileNotFound);
            out_ << '\n' << displayKey(command.keyPath) << '\n';
            printValue(*it);
            out_ << '\n';
            return 0;
        }
        out_ << '\n' << displayKey(command.keyPath) << '\n';
        for (const auto& value : values)
            printValue(value);
        out_ << '\n';
        for (const auto& name : subKeys)
            out_ << displayKey(command.keyPath.empty() ? name : command.keyPath + "\\" + name)
                 << '\n';
        return 0;
    }

    int add(const Command& command)
    {
        const std::uint32_t type = parseType(command.typeName.value_or("REG_SZ"));
        const std::string bytes = encodeData(type, command.data.value_or(""));
        RegKey key = 0;
        RegStatus status = registry_.RegCreateKeyA(kHkeyCurrentUser, command.keyPath.c_str(), &key);
        if (status != kErrorSuccess)
            return fail(status);
        if (command.valueName) {
            std::uint32_t size = 0;
            const bool exists =
                registry_.RegQueryValueExA(key, command.valueName->c_str(), nullptr, nullptr,
                                           nullptr, &size) == kErrorSuccess;
            const std::string shown = command.valueName->empty() ? "(Default)" : *command.valueName;
            if (exists && !confirm("Value " + shown + " exists, overwrite", command.force)) {
                registry_.RegCloseKey(key);
                return 1;
            }
            status = registry_.RegSetValueExA(key, command.valueName->c_str(), 0, type,
                                              reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                              std::uint32_t(bytes.size()));
        }
        registry_.RegCloseKey(key);
        if (status != kErrorSuccess)
            return fail(status);
        out_ << kSuccess << '\n';
        return 0;
    }

    int remove(const Command& command)
    {
        RegStatus status;
        if (command.valueName) {
            const RegKey key = open(command.keyPath);
            if (key == 0)
                return 1;
            std::uint32_t size = 0;
            status = registry_.RegQueryValueExA(key, command.valueName->c_str(), nullptr, nullptr,
                                                nullptr, &size);
            const std::string shown = command.valueName->empty() ? "(Default)" : *command.valueName;
            if (status == kErrorSuccess &&
                !confirm("Delete the registry value " + shown, command.force)) {
                registry_.RegCloseKey(key);
                return 1;
            }
            if (status == kErrorSuccess)
                status = registry_.RegDeleteValueA(key, command.valueName->c_str());
            registry_.RegCloseKey(key);
        } else {
            if (command.keyPath.empty()) {
                err_ << "ERROR: The root key HKEY_CURRENT_USER cannot be deleted.\n";
                return 1;
            }
            const RegKey key = open(command.keyPath);
            if (key == 0)
                return 1;
            registry_.RegCloseKey(key);
            if (!confirm("Permanently delete the registry key " + displayKey(command.keyPath),
                         command.force))
                return 1;
            status = registry_.RegDeleteTreeA(kHkeyCurrentUser, command.keyPath.c_str());
        }
        if (status != kErrorSuccess)
            return fail(status);
        out_ << kSuccess << '\n';
        return 0;
    }

    SqliteRegistry& registry_;
    std::ostream& out_;
    std::ostream& err_;
    std::istream& in_;
};

} // namespace

int RunRegTool(const std::vector<std::string>& args, SqliteRegistry& registry, std::ostream& out,
               std::ostream& err, std::istream& in)
{
    if (args.size() == 1 && (args[0] == "/?" || args[0] == "-h" || args[0] == "--help")) {
        out << kUsage;
        return 0;
    }
    try {
        return Tool(registry, out, err, in).run(parse(args));
    } catch (const UsageError& e) {
        err << e.message << "\nType \"tessaly-reg /?\" for usage.\n";
        return 1;
    } catch (const std::exception& e) {
        err << "ERROR: " << e.what() << '\n';
        return 1;
    }
}

} // namespace tessaly
