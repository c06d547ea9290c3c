// The program's version, shared by the code and the version resource.
#pragma once

#define ZORVEL_VERSION_BINARY 1, 3, 9, 0
#define ZORVEL_VERSION_TEXT "1.39"
#define ZORVEL_VERSION_WTEXT L"1.39"
#define ZORVEL_TITLE_WTEXT L"Zorvel Ver." ZORVEL_VERSION_WTEXT
