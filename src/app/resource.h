// Resource identifiers of Zorvel.exe.
#pragma once

#define IDI_ZORVEL 101
#define IDS_APP_NAME 40020
