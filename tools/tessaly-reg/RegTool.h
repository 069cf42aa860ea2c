#pragma once

// The commands of tessaly-reg, in the style of reg.exe:
//   query  KEY [/v NAME | /ve]
//   add    KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]
//   delete KEY [/v NAME | /ve] [/f]
// KEY starts with HKCU or HKEY_CURRENT_USER. Answers the exit code: 0 done, 1 failed.

#include "publisher/linux/SqliteRegistry.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tessaly {

int RunRegTool(const std::vector<std::string>& args, SqliteRegistry& registry, std::ostream& out,
               std::ostream& err, std::istream& in);

} // namespace tessaly
