// The program's version texts (ZorvelVersion.h is generated from VERSION).
#pragma once

#include "ZorvelVersion.h"

#define ZORVEL_TITLE_WTEXT L"Zorvel Ver." ZORVEL_VERSION_WTEXT
