#pragma once
// Identifiers of the compiled-in resources.
#define IDI_LADOSLOV 1
#define IDC_CURSOR_A 101
#define IDC_CURSOR_B 102
