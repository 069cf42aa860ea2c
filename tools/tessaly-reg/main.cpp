// tessaly-reg: reads and writes the HKEY_CURRENT_USER hive the way Windows' reg.exe does.

#include "RegTool.h"

#include <iostream>

int main(int argc, char** argv)
{
    tessaly::SqliteRegistry registry;
    return tessaly::RunRegTool({argv + 1, argv + argc}, registry, std::cout, std::cerr, std::cin);
}
