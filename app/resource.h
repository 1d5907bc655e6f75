// Resource identifiers of Tabulo.exe (shared by the resource script and the code).
#pragma once

#define IDI_TABULO 1
