#pragma once
// Resource identifiers of TALMIREXRemove.exe.

#define IDI_TALMIREX 1
#define IDB_BANNER 101
